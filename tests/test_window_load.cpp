// The window filled from the board, or emptied without one.
#include "window_fixture.h"

using namespace kx;

namespace {

QStringList Details(WindowControls& v)
{
    return {v.lblManuf->text(), v.lblProduct->text(), v.lblVersion->text(), v.lblSerialNumber->text()};
}

}  // namespace

class TestWindowLoad : public QObject {
    Q_OBJECT

private slots:
    void loadFillsDetailsAndSettings_data()
    {
        QTest::addColumn<int>("versionNumber");  // the board type in the high byte, its revision in the low
        QTest::addColumn<QString>("caption");  // empty: the manufacturer's string cannot be read
        QTest::addColumn<QString>("degrees");  // position 4660 at the type's counts a turn; none unknown
        QTest::newRow("3.7") << 0x0307 << " 3.7" << " 167.8";
        QTest::newRow("revision 0x10 in hex") << 0x0110 << " 1.10" << " 204.8";
        QTest::newRow("type 10 in decimal") << 0x0A05 << " 10.5" << "";
        QTest::newRow("revision in capitals") << 0x02AB << " 2.AB" << " 167.8";
        QTest::newRow("all zero") << 0x0000 << " 0.0" << "";
        // The type is the version's high byte, unsigned, as kx5170ctl and files give it.
        QTest::newRow("high bit set") << 0x8107 << " 129.7" << "";
        QTest::newRow("manufacturer unreadable: no version, no type") << 0x0307 << "" << "";
    }

    void loadFillsDetailsAndSettings()
    {
        QFETCH(int, versionNumber);
        QFETCH(QString, caption);
        QFETCH(QString, degrees);
        const bool unread = caption.isEmpty();
        WindowOnBoard f(static_cast<std::uint16_t>(versionNumber));
        f.Board->FailStringRequests = unread ? 1 : 0;
        frmMain& w = f.Load();
        WindowControls& v = f.V();
        QCOMPARE(Details(v), (QStringList{unread ? "" : " KX Motion", " KX5170 Wheel Controller", caption,
                                          " KX5170-000123"}));
        f.Tick(4660);
        QCOMPARE(v.Degrees->text(), degrees);
        QCOMPARE(f.Platform.Paused, std::chrono::milliseconds(300));
        QCOMPARE(f.Texts(), FactoryTexts);
        QVERIFY(v.Spring->isEnabled() && v.Go->isEnabled());
        QCOMPARE(w.focusWidget(), v.Homing);
        QCOMPARE(f.Status(), QStringLiteral("Board ready."));
        QVERIFY(f.SetRequests().empty());
    }

    void noBoardEmptiesTheDetails_data()
    {
        QTest::addColumn<bool>("refused");  // plugged in, but it cannot be opened
        QTest::addColumn<QString>("status");
        QTest::newRow("unplugged") << false << "No board found: plug it in. If it is plugged in, kx5170ctl doctor tells "
                                                  "what stands in the way. File > Open works on a profile meanwhile.";
        QTest::newRow("refused") << true << "Board found, but it could not be opened.";
    }

    void noBoardEmptiesTheDetails()
    {
        QFETCH(bool, refused);
        QFETCH(QString, status);
        WindowOnBoard f;
        WindowControls& v = f.V();
        v.lblManuf->setText(QStringLiteral(" stale"));
        v.lblVersion->setText(QStringLiteral(" 9.9"));
        if (refused)
            f.Board->RefuseOpen = HidFailure::Other;
        else
            f.Unplug();
        f.Load();
        QCOMPARE(f.Platform.OpenHandles(), 0);
        QCOMPARE(Details(v), QStringList(4, QString()));
        QCOMPARE(f.Texts(), Placeholders);
        QVERIFY(!v.Homing->isEnabled() && !v.Frame1->isEnabled() && !v.Go->isEnabled());
        QVERIFY2(f.Status().startsWith(status), qPrintable(f.Status()));
    }
};

QTEST_MAIN(TestWindowLoad)
#include "test_window_load.moc"
