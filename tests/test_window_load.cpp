// The window as created, and filled from the board.
#include "window_fixture.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
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
        QCOMPARE(w.size(), QSize(338, 699));
        QCOMPARE(w.minimumSize(), w.maximumSize());
        QVERIFY(!w.windowIcon().isNull());
        QCOMPARE(w.font().family(), QStringLiteral("Arial"));
        QCOMPARE(w.font().pointSize(), 10);
        QVERIFY(w.Position->font().bold() && w.Degrees->font().bold() && !w.Label8->font().bold());
        QCOMPARE(f.Texts(), Placeholders);
        for (QLineEdit* box : f.Boxes())
            QVERIFY(!box->isEnabled());
        QVERIFY(!w.Frame1->isEnabled() && !w.Go->isEnabled());
        QCOMPARE(Details(w), QStringList(4, QString()));
        QVERIFY(w.Position->text().isEmpty() && w.Degrees->text().isEmpty() && w.lblStatus->text().isEmpty());
        QVERIFY(!w.Timer->isActive());
        QCOMPARE(w.Timer->interval(), 100);
        QCOMPARE(QApplication::focusWidget(), nullptr);
        QVERIFY(!w.Go->isDefault() && !w.Go->autoDefault());

        // Twips over 15, measured from the client area (frame children from the frame).
        const std::pair<const char*, QRect> layout[] = {
            {"Frame1", {4, 4, 329, 117}},   {"lblManuf", {108, 20, 220, 22}}, {"lblProduct", {104, 44, 220, 18}},
            {"Label3", {12, 92, 121, 19}},  {"Position", {144, 136, 69, 17}}, {"Label8", {8, 152, 101, 17}},
            {"Homing", {144, 196, 69, 24}}, {"TFriction", {144, 304, 69, 22}}, {"Slimit", {144, 340, 69, 25}},
            {"Label18", {8, 568, 145, 17}}, {"Go", {104, 648, 117, 33}},      {"Line2", {8, 480, 320, 1}},
        };
        for (const auto& [name, pixels] : layout) {
            auto* control = w.findChild<QWidget*>(name);
            QVERIFY2(control, name);
            QCOMPARE(control->geometry(), pixels);
        }

        // Screen readers name each box after its caption.
        const QList<QLabel*> captions = {w.Label1,  w.Label6,  w.Label13, w.Label15, w.Label16, w.Label7,
                                         w.Label18, w.Label20, w.Label21, w.Label22, w.Label23, w.Label24};
        for (std::size_t i = 0; i < 12; ++i) {
            QCOMPARE(captions[qsizetype(i)]->buddy(), f.Boxes()[i]);
            QCOMPARE(f.Boxes()[i]->accessibleName(), captions[qsizetype(i)]->text());
        }
        QCOMPARE(w.Homing->accessibleName(), QStringLiteral("Centre offset"));
    }

    void loadFillsDetailsAndSettings()
    {
        WindowOnBoard f;
        frmMain& w = f.Load();
        QCOMPARE(Details(w), FactoryDetails);
        QCOMPARE(w.Link.DeviceType, std::optional<int>(3));
        QCOMPARE(f.Platform.Paused, std::chrono::milliseconds(300));
        QCOMPARE(f.Texts(), FactoryTexts);
        for (QLineEdit* box : f.Boxes())
            QVERIFY(box->isEnabled());
        QVERIFY(w.Frame1->isEnabled() && w.Go->isEnabled() && w.Timer->isActive());
        QCOMPARE(QApplication::focusWidget(), w.Homing);
        QVERIFY(f.SetRequests().empty());

        // Nothing loaded is cut short.
        for (QLabel* l : {w.lblManuf, w.lblProduct, w.lblVersion, w.lblSerialNumber})
            QVERIFY2(QFontMetrics(l->font()).horizontalAdvance(l->text()) <= l->width(), qPrintable(l->objectName()));
        for (QLineEdit* box : f.Boxes())
            QVERIFY2(QFontMetrics(box->font()).horizontalAdvance(box->text()) < box->width() - 8,
                     qPrintable(box->objectName()));
    }

    void versionCaption()
    {
        const std::tuple<int, const char*, int> cases[] = {
            {0x0307, " 3.7", 3},  {0x0110, " 1.10", 1}, {0x0A05, " 10.5", 10},
            {0x02AB, " 2.AB", 2}, {0x0000, " 0.0", 0},  {0xFF01, " -1.1", -1},  // the type is signed
        };
        for (const auto& [versionNumber, caption, deviceType] : cases) {
            WindowOnBoard f(static_cast<std::uint16_t>(versionNumber));
            QCOMPARE(f.Load().lblVersion->text(), QString::fromLatin1(caption));
            QCOMPARE(f.W().Link.DeviceType, std::optional<int>(deviceType));
        }
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
        WindowOnBoard h;
        h.Board->FailFeatureRequests = 1;
        h.Load();
        QCOMPARE(h.Texts(), Placeholders);
        for (QLineEdit* box : h.Boxes())
            QVERIFY(box->isEnabled());
        QVERIFY(h.W().Go->isEnabled());
        QCOMPARE(h.W().focusWidget(), h.W().Homing);
    }

    void springAbove127ShowsZero()
    {
        for (auto [stored, shown] : {std::pair{200, "0"}, std::pair{128, "0"}, std::pair{127, "127"}}) {
            WindowOnBoard f;
            f.Board->Board->Settings[28] = static_cast<std::uint8_t>(stored);
            QCOMPARE(f.Load().Spring->text(), QString::fromLatin1(shown));
        }
    }

    void deviceStringsShowAsSent()
    {
        WindowOnBoard f;
        f.Board->Manufacturer = u"Ōsaka Ĉontrols";  // U+0100 and above do not end the text
        f.Board->Product = u"Руль KX5170 ハンドル";
        f.Board->SerialNumber = u"<b>SN</b>&amp;";  // shown as text, never as markup
        frmMain& w = f.Load();
        QCOMPARE(w.lblManuf->text(), QString::fromUtf8(" Ōsaka Ĉontrols"));
        QCOMPARE(w.lblProduct->text(), QString::fromUtf8(" Руль KX5170 ハンドル"));
        QCOMPARE(w.lblSerialNumber->text(), QStringLiteral(" <b>SN</b>&amp;"));
        QCOMPARE(w.lblSerialNumber->textFormat(), Qt::PlainText);
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
