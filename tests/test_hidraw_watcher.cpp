// The hidraw watcher on a directory standing in for /dev. How the window uses its
// answers is tested with the simulated platform's change news.
#include "hidraw_watcher.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>

#include <fstream>
#include <functional>
#include <string>

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

int QueuedEventLimit()
{
    std::ifstream in("/proc/sys/fs/inotify/max_queued_events");
    int limit = -1;
    in >> limit;
    return limit;
}

}  // namespace

class TestHidrawWatcher : public QObject {
    Q_OBJECT

private slots:
    void reportsEachChangeToAHidrawNodeOnce_data();
    void reportsEachChangeToAHidrawNodeOnce();
    void otherNodesAreNotAChange();
    void manyChangesAreDrainedInOneCall();
    void overflowedQueueCountsAsAChange();
    void withoutAWatchEveryCallIsAChange_data();
    void withoutAWatchEveryCallIsAChange();
};

void TestHidrawWatcher::reportsEachChangeToAHidrawNodeOnce_data()
{
    QTest::addColumn<Action>("before");  // done before the watcher starts
    QTest::addColumn<Action>("change");

    const Action nothing = [](const QString&) {};
    const Action makeNode = [](const QString& d) { Touch(d + "/hidraw3"); };
    QTest::newRow("node appears") << nothing << makeNode;
    QTest::newRow("node removed") << makeNode << Action([](const QString& d) { QFile::remove(d + "/hidraw3"); });
    // udev opens an existing node to the logged-in user after the kernel made it.
    QTest::newRow("permissions change") << makeNode << Action([](const QString& d) { ChangeMode(d + "/hidraw3", 0666); });
    QTest::newRow("renamed into place") << Action([](const QString& d) { Touch(d + "/.tmp-node"); })
                                        << Action([](const QString& d) {
                                               QVERIFY(QFile::rename(d + "/.tmp-node", d + "/hidraw7"));
                                           });
    QTest::newRow("renamed away") << makeNode << Action([](const QString& d) {
        QVERIFY(QFile::rename(d + "/hidraw3", d + "/.old-node"));
    });
}

void TestHidrawWatcher::reportsEachChangeToAHidrawNodeOnce()
{
    QFETCH(Action, before);
    QFETCH(Action, change);
    QTemporaryDir dev;
    before(dev.path());

    HidrawWatcher watcher(dev.path().toStdString());
    QVERIFY(watcher.Watching());
    QVERIFY(!watcher.ChangedSinceLastCall());
    change(dev.path());
    QVERIFY(watcher.ChangedSinceLastCall());
    QVERIFY(!watcher.ChangedSinceLastCall());
    QVERIFY(!watcher.ChangedSinceLastCall());
}

void TestHidrawWatcher::otherNodesAreNotAChange()
{
    QTemporaryDir dev;
    Touch(dev.path() + "/tty5");
    HidrawWatcher watcher(dev.path().toStdString());

    Touch(dev.path() + "/event12");
    ChangeMode(dev.path() + "/tty5", 0600);
    QFile::remove(dev.path() + "/tty5");
    QVERIFY(QDir(dev.path()).mkpath(QStringLiteral("input/by-id")));
    Touch(dev.path() + "/input/hidraw0");  // not in the watched directory itself
    QVERIFY(!watcher.ChangedSinceLastCall());
    QVERIFY(watcher.Watching());
}

void TestHidrawWatcher::manyChangesAreDrainedInOneCall()
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

void TestHidrawWatcher::overflowedQueueCountsAsAChange()
{
    const int limit = QueuedEventLimit();
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

void TestHidrawWatcher::withoutAWatchEveryCallIsAChange_data()
{
    QTest::addColumn<Action>("breakIt");  // given the directory the watcher watches

    QTest::newRow("directory missing") << Action([](const QString& d) { QVERIFY(QDir(d).removeRecursively()); });
    QTest::newRow("not a directory") << Action([](const QString& d) {
        QVERIFY(QDir(d).removeRecursively());
        Touch(d);
    });
}

void TestHidrawWatcher::withoutAWatchEveryCallIsAChange()
{
    QFETCH(Action, breakIt);
    QTemporaryDir parent;
    const QString dev = parent.path() + "/dev";
    QVERIFY(QDir().mkpath(dev));
    breakIt(dev);
    HidrawWatcher watcher(dev.toStdString());
    QVERIFY(!watcher.Watching());
    for (int i = 0; i < 3; ++i)
        QVERIFY(watcher.ChangedSinceLastCall());

    // A watch lost later (the directory removed, or moved away) is no better.
    const QString other = parent.path() + "/other";
    QVERIFY(QDir().mkpath(other));
    HidrawWatcher later(other.toStdString());
    QVERIFY(later.Watching());
    QVERIFY(!later.ChangedSinceLastCall());
    const int watched = later.Descriptor();
    QVERIFY(QDir(other).removeRecursively());
    QVERIFY(QDir().mkpath(other));  // even back again, the watch is gone
    for (int i = 0; i < 3; ++i)
        QVERIFY(later.ChangedSinceLastCall());
    QVERIFY(!later.Watching());
    // No longer offered, but not closed under a caller that may still watch it.
    QCOMPARE(later.Descriptor(), -1);
    QVERIFY(::fcntl(watched, F_GETFD) != -1);
}

QTEST_MAIN(TestHidrawWatcher)
#include "test_hidraw_watcher.moc"
