// The window filled from the board, or emptied without one.
#include "window_fixture.h"

using namespace kx;

namespace {

QStringList Details(frmMain& w)
{
    return {w.lblManuf->text(), w.lblProduct->text(), w.lblVersion->text(), w.lblSerialNumber->text()};
}

}  // namespace

class TestWindowLoad : public QObject {
    Q_OBJECT

private slots:
    void loadFillsDetailsAndSettings_data()
    {
        QTest::addColumn<int>("versionNumber");  // the board type in the high byte, its revision in the low
        QTest::addColumn<QString>("caption");  // empty: the manufacturer's string cannot be read
        QTest::addColumn<int>("deviceType");
        QTest::newRow("3.7") << 0x0307 << " 3.7" << 3;
        QTest::newRow("revision 0x10 in hex") << 0x0110 << " 1.10" << 1;
        QTest::newRow("type 10 in decimal") << 0x0A05 << " 10.5" << 10;
        QTest::newRow("revision in capitals") << 0x02AB << " 2.AB" << 2;
        QTest::newRow("all zero") << 0x0000 << " 0.0" << 0;
        QTest::newRow("signed type") << 0xFF01 << " -1.1" << -1;
        QTest::newRow("manufacturer unreadable: no version, no type") << 0x0307 << "" << 0;
    }

    void loadFillsDetailsAndSettings()
    {
        QFETCH(int, versionNumber);
        QFETCH(QString, caption);
        QFETCH(int, deviceType);
        const bool unread = caption.isEmpty();
        WindowOnBoard f(static_cast<std::uint16_t>(versionNumber));
        f.Board->FailStringRequests = unread ? 1 : 0;
        frmMain& w = f.Load();
        QCOMPARE(Details(w), (QStringList{unread ? "" : " KX Motion", " KX5170 Wheel Controller", caption,
                                          " KX5170-000123"}));
        QCOMPARE(w.Link.DeviceType, unread ? std::nullopt : std::optional<int>(deviceType));
        QCOMPARE(f.Platform.Paused, std::chrono::milliseconds(300));
        QCOMPARE(f.Texts(), FactoryTexts);
        QVERIFY(w.Spring->isEnabled() && w.Go->isEnabled() && w.Timer->isActive());
        QCOMPARE(w.focusWidget(), w.Homing);
        QVERIFY(f.SetRequests().empty());
    }

    void noBoardEmptiesTheDetails_data()
    {
        QTest::addColumn<bool>("refused");  // plugged in, but it cannot be opened
        QTest::addColumn<QString>("status");
        QTest::newRow("unplugged") << false << "No board found: plug it in.";
        QTest::newRow("refused") << true << "Board found, but it could not be opened.";
    }

    void noBoardEmptiesTheDetails()
    {
        QFETCH(bool, refused);
        QFETCH(QString, status);
        WindowOnBoard f;
        frmMain& w = f.W();
        w.lblManuf->setText(QStringLiteral(" stale"));
        w.lblVersion->setText(QStringLiteral(" 9.9"));
        if (refused)
            f.Board->RefuseOpen = HidFailure::Other;
        else
            f.Unplug();
        f.Load();
        QCOMPARE(f.Platform.OpenHandles(), 0);
        QCOMPARE(Details(w), QStringList(4, QString()));
        QCOMPARE(f.Texts(), Placeholders);
        QVERIFY(!w.Homing->isEnabled() && !w.Frame1->isEnabled() && !w.Go->isEnabled());
        QCOMPARE(w.lblStatus->text(), status);
    }
};

QTEST_MAIN(TestWindowLoad)
#include "test_window_load.moc"
