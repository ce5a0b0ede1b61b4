// The hidraw watcher on a directory standing in for /dev. Its queue is read without
// blocking, so each change made here is seen by the next call. How the window uses
// its answers is tested with the simulated platform's change news.
#include "hidraw_watcher.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>

#include <fstream>
#include <functional>

using namespace kx;

using Action = std::function<void(const QString&)>;
Q_DECLARE_METATYPE(Action)

namespace {

void Touch(const QString& path)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
}

void ChangeMode(const QString& path, mode_t mode)
{
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode), 0);
}

}  // namespace

class TestHidrawWatcher : public QObject {
    Q_OBJECT

private slots:
    void reportsEachChangeToAHidrawNodeOnce_data()
    {
        QTest::addColumn<Action>("before");  // done before the watcher starts
        QTest::addColumn<Action>("change");
        QTest::addColumn<bool>("changed");
        const Action nothing = [](const QString&) {};
        const Action makeNode = [](const QString& d) { Touch(d + "/hidraw3"); };
        QTest::newRow("node appears") << nothing << makeNode << true;
        QTest::newRow("node removed") << makeNode << Action([](const QString& d) { QFile::remove(d + "/hidraw3"); }) << true;
        // udev opens an existing node to the logged-in user after the kernel made it.
        QTest::newRow("permissions change") << makeNode << Action([](const QString& d) { ChangeMode(d + "/hidraw3", 0666); }) << true;
        QTest::newRow("renamed into place") << Action([](const QString& d) { Touch(d + "/.tmp-node"); })
                                            << Action([](const QString& d) {
                                                   QVERIFY(QFile::rename(d + "/.tmp-node", d + "/hidraw7"));
                                               }) << true;
        QTest::newRow("renamed away") << makeNode << Action([](const QString& d) {
            QVERIFY(QFile::rename(d + "/hidraw3", d + "/.old-node"));
        }) << true;
        QTest::newRow("other nodes, and below the directory") << Action([](const QString& d) { Touch(d + "/tty5"); })
                                                          << Action([](const QString& d) {
                                                                 Touch(d + "/event12");
                                                                 ChangeMode(d + "/tty5", 0600);
                                                                 QFile::remove(d + "/tty5");
                                                                 QVERIFY(QDir(d).mkpath(QStringLiteral("input")));
                                                                 Touch(d + "/input/hidraw0");
                                                             }) << false;
    }

    void reportsEachChangeToAHidrawNodeOnce()
    {
        QFETCH(Action, before);
        QFETCH(Action, change);
        QFETCH(bool, changed);
        QTemporaryDir dev;
        before(dev.path());
        HidrawWatcher watcher(dev.path().toStdString());
        QVERIFY(!watcher.ChangedSinceLastCall());
        change(dev.path());
        QCOMPARE(watcher.ChangedSinceLastCall(), changed);
        QVERIFY(!watcher.ChangedSinceLastCall());
        QVERIFY(watcher.Watching());
    }

    void manyChangesAreDrainedInOneCall()
    {
        QTemporaryDir dev;
        HidrawWatcher watcher(dev.path().toStdString());
        // Far more events than one read takes, with long names among them.
        for (int i = 0; i < 300; ++i)
            Touch(dev.path() + QStringLiteral("/hidraw%1-%2").arg(i).arg(QString(200, QLatin1Char('x'))));
        QVERIFY(watcher.ChangedSinceLastCall());
        QVERIFY(!watcher.ChangedSinceLastCall());

        // A hidraw node among the last of many other events is still seen.
        for (int i = 0; i < 300; ++i)
            Touch(dev.path() + QStringLiteral("/other%1").arg(i));
        Touch(dev.path() + "/hidraw999");
        QVERIFY(watcher.ChangedSinceLastCall());
    }

    void overflowedQueueCountsAsAChange()
    {
        int limit = -1;
        std::ifstream("/proc/sys/fs/inotify/max_queued_events") >> limit;
        if (limit <= 0 || limit > 200000)
            QSKIP("the kernel's inotify queue limit is unknown or too large to fill here");
        QTemporaryDir dev;
        Touch(dev.path() + "/a");
        Touch(dev.path() + "/b");
        HidrawWatcher watcher(dev.path().toStdString());
        // Alternating, so the kernel cannot merge the events; then the one that matters,
        // which the full queue drops.
        for (int i = 0; i <= limit; ++i)
            ChangeMode(dev.path() + (i % 2 ? "/a" : "/b"), i % 4 < 2 ? 0600 : 0644);
        Touch(dev.path() + "/hidraw0");
        QVERIFY(watcher.ChangedSinceLastCall());
        QVERIFY(!watcher.ChangedSinceLastCall());
    }

    // Without a watch nothing can be ruled out: every call is a change.
    void withoutAWatchEveryCallIsAChange()
    {
        QTemporaryDir parent;
        const QString missing = parent.path() + "/missing", file = parent.path() + "/file";
        Touch(file);
        for (const QString& dev : {missing, file}) {
            HidrawWatcher watcher(dev.toStdString());
            QVERIFY2(!watcher.Watching(), qPrintable(dev));
            QVERIFY(watcher.ChangedSinceLastCall());
            QVERIFY(watcher.ChangedSinceLastCall());
        }

        // A watch lost later (the directory removed) is no better, even with it back again.
        const QString dev = parent.path() + "/dev";
        QVERIFY(QDir().mkpath(dev));
        HidrawWatcher later(dev.toStdString());
        QVERIFY(!later.ChangedSinceLastCall());
        const int watched = later.Descriptor();
        QVERIFY(QDir(dev).removeRecursively());
        QVERIFY(QDir().mkpath(dev));
        QVERIFY(later.ChangedSinceLastCall());
        QVERIFY(later.ChangedSinceLastCall());
        QVERIFY(!later.Watching());
        // No longer offered, but not closed under a caller that may still watch it.
        QCOMPARE(later.Descriptor(), -1);
        QVERIFY(::fcntl(watched, F_GETFD) != -1);
    }
};

QTEST_MAIN(TestHidrawWatcher)
#include "test_hidraw_watcher.moc"
