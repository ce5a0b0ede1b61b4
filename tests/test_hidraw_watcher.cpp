// The hidraw watcher on a directory standing in for /dev; its queue is read without
// blocking, so each change made here is seen by the next call.
#include "hidraw_watcher.h"

#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>

#include <fstream>

using namespace kx;

namespace {

void Touch(const QString& path) { QVERIFY2(QFile(path).open(QIODevice::WriteOnly), qPrintable(path)); }
void ChangeMode(const QString& path, mode_t mode) { QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode), 0); }

}  // namespace

class TestHidrawWatcher : public QObject {
    Q_OBJECT

private slots:
    void reportsEachChangeToAHidrawNodeOnce()
    {
        QTemporaryDir dev;
        const QString d = dev.path();
        Touch(d + "/tty5");
        HidrawWatcher watcher(d.toStdString());
        auto news = [&](bool expected, const char* change) {
            QVERIFY2(watcher.ChangedSinceLastCall() == expected, change);
            QVERIFY2(!watcher.ChangedSinceLastCall(), change);
        };
        news(false, "nothing yet");
        Touch(d + "/hidraw3");
        news(true, "node appears");
        // udev opens an existing node to the logged-in user after the kernel made it.
        ChangeMode(d + "/hidraw3", 0666);
        news(true, "permissions change");
        QVERIFY(QFile::rename(d + "/hidraw3", d + "/.old-node"));
        news(true, "renamed away");
        QVERIFY(QFile::rename(d + "/.old-node", d + "/hidraw7"));
        news(true, "renamed into place");
        QVERIFY(QFile::remove(d + "/hidraw7"));
        news(true, "node removed");
        Touch(d + "/event12");
        ChangeMode(d + "/tty5", 0600);
        QVERIFY(QFile::remove(d + "/tty5"));
        QVERIFY(QDir(d).mkpath(QStringLiteral("input")));
        Touch(d + "/input/hidraw0");
        news(false, "other nodes, and below the directory");
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
        Touch(parent.path() + "/file");
        for (const char* name : {"/missing", "/file"}) {
            HidrawWatcher watcher((parent.path() + name).toStdString());
            QVERIFY2(!watcher.Watching(), name);
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
