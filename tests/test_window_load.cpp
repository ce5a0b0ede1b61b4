// The window as created, and filled from the board.
#include "window_fixture.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QMenuBar>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace kx;

namespace {

const QStringList FactoryDetails = {" KX Motion", " KX5170 Wheel Controller", " 3.7", " KX5170-000123"};

QStringList Details(frmMain& w)
{
    return {w.lblManuf->text(), w.lblProduct->text(), w.lblVersion->text(), w.lblSerialNumber->text()};
}

}  // namespace

class TestWindowLoad : public QObject {
    Q_OBJECT

private slots:
    void windowAsCreated()
    {
        WindowOnBoard f;
        frmMain& w = f.W();
        w.show();
        QCOMPARE(w.windowTitle(), QStringLiteral("Wheel configuration"));
        // The client area keeps its size; the menu bar stands above it.
        QCOMPARE(w.Client->size(), QSize(338, 699));
        QCOMPARE(w.size(), QSize(338, 699 + w.MenuBar->height()));
        QCOMPARE(w.Client->mapTo(&w, QPoint(0, 0)), QPoint(0, w.MenuBar->height()));
        QCOMPARE(w.font().family(), QStringLiteral("Arial"));
        QVERIFY(w.Position->font().bold() && w.Degrees->font().bold() && !w.Label8->font().bold());
        QCOMPARE(f.Texts(), Placeholders);
        QVERIFY(!w.Homing->isEnabled() && !w.Go->isEnabled());

        // Twips over 15, measured from the client area (frame children from the frame).
        QCOMPARE(w.lblManuf->geometry(), QRect(108, 20, 220, 22));
        QCOMPARE(w.Homing->geometry(), QRect(144, 196, 69, 24));
        QCOMPARE(w.Go->geometry(), QRect(104, 648, 117, 33));

        // Screen readers name each box after its caption.
        const QList<QLabel*> captions = {w.Label1,  w.Label6,  w.Label13, w.Label15, w.Label16, w.Label7,
                                         w.Label18, w.Label20, w.Label21, w.Label22, w.Label23, w.Label24};
        for (std::size_t i = 0; i < 12; ++i) {
            QCOMPARE(captions[qsizetype(i)]->buddy(), f.Boxes()[i]);
            QCOMPARE(f.Boxes()[i]->accessibleName(), captions[qsizetype(i)]->text());
        }
    }

    void loadFillsDetailsAndSettings()
    {
        WindowOnBoard f;
        frmMain& w = f.Load();
        QCOMPARE(Details(w), FactoryDetails);
        QCOMPARE(w.Link.DeviceType, std::optional<int>(3));
        QCOMPARE(f.Platform.Paused, std::chrono::milliseconds(300));
        QCOMPARE(f.Texts(), FactoryTexts);
        QVERIFY(w.Spring->isEnabled() && w.Go->isEnabled() && w.Timer->isActive());
        QCOMPARE(QApplication::focusWidget(), w.Homing);
        QVERIFY(f.SetRequests().empty());

        // Nothing loaded is cut short.
        for (QLabel* l : {w.lblManuf, w.lblProduct, w.lblVersion, w.lblSerialNumber})
            QVERIFY2(QFontMetrics(l->font()).horizontalAdvance(l->text()) <= l->width(), qPrintable(l->objectName()));
        for (QLineEdit* box : f.Boxes())
            QVERIFY2(QFontMetrics(box->font()).horizontalAdvance(box->text()) < box->width() - 8,
                     qPrintable(box->objectName()));
    }

    void versionCaption_data()
    {
        QTest::addColumn<int>("versionNumber");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("deviceType");
        QTest::newRow("3.7") << 0x0307 << " 3.7" << 3;
        QTest::newRow("revision 0x10 in hex") << 0x0110 << " 1.10" << 1;
        QTest::newRow("type 10 in decimal") << 0x0A05 << " 10.5" << 10;
        QTest::newRow("revision in capitals") << 0x02AB << " 2.AB" << 2;
        QTest::newRow("all zero") << 0x0000 << " 0.0" << 0;
        QTest::newRow("signed type") << 0xFF01 << " -1.1" << -1;
    }

    void versionCaption()
    {
        QFETCH(int, versionNumber);
        QFETCH(QString, caption);
        QFETCH(int, deviceType);
        WindowOnBoard f(static_cast<std::uint16_t>(versionNumber));
        QCOMPARE(f.Load().lblVersion->text(), caption);
        QCOMPARE(f.W().Link.DeviceType, std::optional<int>(deviceType));
    }

    void keyboard()
    {
        WindowOnBoard f;
        frmMain& w = f.Load();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));

        // The Tab order follows the board, not the screen.
        const QList<QWidget*> order = {w.TDamp,    w.Slimit,    w.Stiff,       w.Damp,        w.Go,
                                       w.DampingScale, w.OverallScale, w.TInertia, w.TFriction, w.MotorFilter,
                                       w.InputFilter, w.Spring, w.Homing};
        for (QWidget* next : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        w.Slimit->setEnabled(false);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), w.Stiff);

        // Enter and Escape write nothing.
        for (QLineEdit* box : {w.Homing, w.Spring, w.InputFilter}) {
            box->setFocus();
            for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
                QTest::keyClick(box, key);
        }
        QVERIFY(f.SetRequests().empty());
        QVERIFY(w.isVisible());
    }

    void failedReads()
    {
        // The manufacturer at the first load: no version, no type, the other strings shown.
        WindowOnBoard f;
        f.Board->FailStringRequests = 1;
        f.Load();
        QCOMPARE(Details(f.W()), (QStringList{"", " KX5170 Wheel Controller", "", " KX5170-000123"}));
        QCOMPARE(f.W().Link.DeviceType, std::nullopt);

        // At a later load the old version stays, though the release number changed.
        WindowOnBoard g;
        frmMain& w = g.Load();
        g.Board->FailStringRequests = 1;
        w.Link.Attributes.VersionNumber = 0x0205;
        w.LoadDeviceSettings();
        QCOMPARE(Details(w), FactoryDetails);
        QCOMPARE(w.Link.DeviceType, std::optional<int>(3));

        // The settings: the boxes keep their texts, edits included, and are enabled.
        g.Board->FailFeatureRequests = 1;
        w.Stiff->setText(QStringLiteral("123"));
        w.LoadDeviceSettings();
        QCOMPARE(w.Stiff->text(), QStringLiteral("123"));
    }

    void noBoardEmptiesTheDetails()
    {
        WindowOnBoard f(0x0307, false);
        frmMain& w = f.W();
        w.lblManuf->setText(QStringLiteral(" stale"));
        w.lblVersion->setText(QStringLiteral(" 9.9"));
        f.Load();
        QCOMPARE(w.Link.BoardOpen, FlagFalse);
        QCOMPARE(Details(w), QStringList(4, QString()));
        QCOMPARE(f.Texts(), Placeholders);
        QVERIFY(!w.Homing->isEnabled() && !w.Frame1->isEnabled() && !w.Go->isEnabled());
        QCOMPARE(w.lblStatus->text(), QStringLiteral("No board found: plug it in."));
        QVERIFY(w.Timer->isActive());
        QCOMPARE(f.Platform.Paused, std::chrono::milliseconds(0));
    }

    void refusedBoardIsToldApart()
    {
        // Access denied is tested with its link and dialog in test_access.
        WindowOnBoard g;
        g.Board->RefuseOpen = HidFailure::Other;
        frmMain& w = g.Load();
        QCOMPARE(w.lblStatus->text(), QStringLiteral("Board found, but it could not be opened."));
        QCOMPARE(g.Platform.OpenHandles(), 0);

        // Mended and plugged in again: loaded, message gone.
        g.Board->RefuseOpen = HidFailure::None;
        g.Unplug();
        g.PlugIn();
        w.Timer_Timer();
        QCOMPARE(w.Link.BoardOpen, FlagTrue);
        QVERIFY(w.lblStatus->text().isEmpty());
    }
};

QTEST_MAIN(TestWindowLoad)
#include "test_window_load.moc"
