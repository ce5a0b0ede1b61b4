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

class TestWindowLoad : public QObject {
    Q_OBJECT

private slots:
    void windowAsCreated();
    void layoutInTwips_data();
    void layoutInTwips();
    void loadFillsDetailsAndSettings();
    void versionCaption_data();
    void versionCaption();
    void tabOrderFollowsTheBoardNotTheScreen();
    void enterAndEscapeDoNotWrite();
    void failedManufacturerReadKeepsVersion();
    void failedSettingsReadStillEnables();
    void springAbove127ShowsZero();
    void deviceStringsShowAsSent();
    void noBoardEmptiesTheDetails();
    void refusedBoardIsToldApart();
    void boxesAreNamedByTheirCaptions();
    void loadedTextsAreNotClipped();
};

void TestWindowLoad::windowAsCreated()
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
    QVERIFY(w.Position->font().bold());
    QVERIFY(w.Degrees->font().bold());
    QVERIFY(!w.Label8->font().bold());

    const QStringList placeholders = {"Stops", "Centre", "Stiffness", "Damping", "Damping", "Damping",
                                      "Scale", "Inertia", "Friction",  "",        "",        "Spring"};
    const auto boxes = f.Boxes();
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        QCOMPARE(boxes[i]->text(), placeholders[static_cast<qsizetype>(i)]);
        QVERIFY(!boxes[i]->isEnabled());
    }
    QVERIFY(!w.Frame1->isEnabled());
    QVERIFY(!w.Go->isEnabled());
    for (QLabel* l : {w.lblManuf, w.lblProduct, w.lblVersion, w.lblSerialNumber, w.Position, w.Degrees, w.lblStatus})
        QVERIFY(l->text().isEmpty());
    QVERIFY(!w.Timer->isActive());
    QCOMPARE(w.Timer->interval(), 100);
    QCOMPARE(QApplication::focusWidget(), nullptr);
    QVERIFY(!w.Go->isDefault());
    QVERIFY(!w.Go->autoDefault());
}

void TestWindowLoad::layoutInTwips_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("pixels");
    // Twips over 15, measured from the client area (frame children from the frame).
    QTest::newRow("Frame1") << "Frame1" << QRect(4, 4, 329, 117);
    QTest::newRow("lblManuf") << "lblManuf" << QRect(108, 20, 220, 22);
    QTest::newRow("lblProduct") << "lblProduct" << QRect(104, 44, 220, 18);
    QTest::newRow("Label3") << "Label3" << QRect(12, 92, 121, 19);
    QTest::newRow("Position") << "Position" << QRect(144, 136, 69, 17);
    QTest::newRow("Label8") << "Label8" << QRect(8, 152, 101, 17);
    QTest::newRow("Homing") << "Homing" << QRect(144, 196, 69, 24);
    QTest::newRow("TFriction") << "TFriction" << QRect(144, 304, 69, 22);
    QTest::newRow("Slimit") << "Slimit" << QRect(144, 340, 69, 25);
    QTest::newRow("Label18") << "Label18" << QRect(8, 568, 145, 17);
    QTest::newRow("Go") << "Go" << QRect(104, 648, 117, 33);
    QTest::newRow("Line2") << "Line2" << QRect(8, 480, 320, 1);
}

void TestWindowLoad::layoutInTwips()
{
    QFETCH(QString, name);
    QFETCH(QRect, pixels);
    WindowOnBoard f;
    auto* control = f.W().findChild<QWidget*>(name);
    QVERIFY2(control, qPrintable(name));
    QCOMPARE(control->geometry(), pixels);
}

void TestWindowLoad::loadFillsDetailsAndSettings()
{
    WindowOnBoard f;
    frmMain& w = f.W();
    w.Form_Load();

    QCOMPARE(w.Link.BoardOpen, FlagTrue);
    QCOMPARE(w.lblManuf->text(), QStringLiteral(" KX Motion"));
    QCOMPARE(w.lblProduct->text(), QStringLiteral(" KX5170 Wheel Controller"));
    QCOMPARE(w.lblSerialNumber->text(), QStringLiteral(" KX5170-000123"));
    QCOMPARE(w.lblVersion->text(), QStringLiteral(" 3.7"));
    QCOMPARE(w.Link.DeviceType, std::optional<int>(3));
    QCOMPARE(f.Platform.Paused, std::chrono::milliseconds(300));

    // The board's factory bytes, decoded.
    const QStringList expected = {"5000", "-100", "200", "50", "20", "75", "90", "10", "5", "4", "1000", "64"};
    const auto boxes = f.Boxes();
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        QCOMPARE(boxes[i]->text(), expected[static_cast<qsizetype>(i)]);
        QVERIFY(boxes[i]->isEnabled());
    }
    QVERIFY(w.Frame1->isEnabled());
    QVERIFY(w.Go->isEnabled());
    QCOMPARE(QApplication::focusWidget(), w.Homing);
    QVERIFY(w.Timer->isActive());
    // Loading reads the settings and sends nothing.
    QVERIFY(f.SetRequests().empty());
}

void TestWindowLoad::versionCaption_data()
{
    QTest::addColumn<int>("versionNumber");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("deviceType");
    QTest::newRow("0x0307") << 0x0307 << " 3.7" << 3;
    QTest::newRow("0x0110") << 0x0110 << " 1.10" << 1;
    QTest::newRow("0x0A05") << 0x0A05 << " 10.5" << 10;
    QTest::newRow("0x02AB") << 0x02AB << " 2.AB" << 2;
    QTest::newRow("0x0000") << 0x0000 << " 0.0" << 0;
    QTest::newRow("0xFF01 signed type") << 0xFF01 << " -1.1" << -1;
}

void TestWindowLoad::versionCaption()
{
    QFETCH(int, versionNumber);
    QFETCH(QString, caption);
    QFETCH(int, deviceType);
    WindowOnBoard f(static_cast<std::uint16_t>(versionNumber));
    f.W().Form_Load();
    QCOMPARE(f.W().lblVersion->text(), caption);
    QCOMPARE(f.W().Link.DeviceType, std::optional<int>(deviceType));
}

void TestWindowLoad::tabOrderFollowsTheBoardNotTheScreen()
{
    WindowOnBoard f;
    frmMain& w = f.W();
    w.Form_Load();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QCOMPARE(QApplication::focusWidget(), w.Homing);

    const QList<QWidget*> order = {w.TDamp,    w.Slimit,    w.Stiff,       w.Damp,        w.Go,
                                   w.DampingScale, w.OverallScale, w.TInertia, w.TFriction, w.MotorFilter,
                                   w.InputFilter, w.Spring, w.Homing};
    for (QWidget* next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }

    // Disabled controls are passed over.
    w.Slimit->setEnabled(false);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), w.Stiff);
}

void TestWindowLoad::enterAndEscapeDoNotWrite()
{
    WindowOnBoard f;
    frmMain& w = f.W();
    w.Form_Load();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    for (QLineEdit* box : {w.Homing, w.Spring, w.InputFilter}) {
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClick(box, Qt::Key_Enter);
        QTest::keyClick(box, Qt::Key_Escape);
    }
    QVERIFY(f.SetRequests().empty());
    QVERIFY(w.isVisible());
}

void TestWindowLoad::failedManufacturerReadKeepsVersion()
{
    // At the first load: no version, no type, but the other strings are shown.
    {
        WindowOnBoard f;
        f.Board->FailStringRequests = 1;
        f.W().Form_Load();
        QCOMPARE(f.W().lblManuf->text(), QString());
        QCOMPARE(f.W().lblVersion->text(), QString());
        QCOMPARE(f.W().Link.DeviceType, std::nullopt);
        QCOMPARE(f.W().lblProduct->text(), QStringLiteral(" KX5170 Wheel Controller"));
    }
    // On a later load the old version stays, even though the release number changed.
    {
        WindowOnBoard f;
        f.W().Form_Load();
        f.Board->FailStringRequests = 1;
        f.W().Link.Attributes.VersionNumber = 0x0205;
        f.W().LoadDeviceSettings();
        QCOMPARE(f.W().lblVersion->text(), QStringLiteral(" 3.7"));
        QCOMPARE(f.W().Link.DeviceType, std::optional<int>(3));
        QCOMPARE(f.W().lblManuf->text(), QStringLiteral(" KX Motion"));
    }
}

void TestWindowLoad::failedSettingsReadStillEnables()
{
    WindowOnBoard f;
    f.Board->FailFeatureRequests = 1;
    frmMain& w = f.W();
    w.Form_Load();
    QCOMPARE(w.Homing->text(), QStringLiteral("Centre"));
    QCOMPARE(w.MotorFilter->text(), QString());
    for (QLineEdit* box : f.Boxes())
        QVERIFY(box->isEnabled());
    QVERIFY(w.Go->isEnabled());
    QCOMPARE(QApplication::focusWidget(), w.Homing);

    // A later failed read keeps what the boxes hold, edits included.
    w.Stiff->setText(QStringLiteral("123"));
    f.Board->FailFeatureRequests = 1;
    w.LoadDeviceSettings();
    QCOMPARE(w.Stiff->text(), QStringLiteral("123"));
}

void TestWindowLoad::springAbove127ShowsZero()
{
    for (std::uint8_t b : {std::uint8_t{128}, std::uint8_t{200}, std::uint8_t{255}}) {
        WindowOnBoard f;
        f.Board->Board->Settings[28] = b;
        f.W().Form_Load();
        QCOMPARE(f.W().Spring->text(), QStringLiteral("0"));
    }
    WindowOnBoard f;
    f.Board->Board->Settings[28] = 127;
    f.W().Form_Load();
    QCOMPARE(f.W().Spring->text(), QStringLiteral("127"));
}

void TestWindowLoad::deviceStringsShowAsSent()
{
    WindowOnBoard f;
    f.Board->Manufacturer = u"Ōsaka Ĉontrols";  // U+0100 and above do not end the text
    f.Board->Product = u"Руль KX5170 ハンドル";
    f.Board->SerialNumber = u"<b>SN</b>&amp;";  // shown as text, never as markup
    frmMain& w = f.W();
    w.Form_Load();
    QCOMPARE(w.lblManuf->text(), QString::fromUtf8(" Ōsaka Ĉontrols"));
    QCOMPARE(w.lblProduct->text(), QString::fromUtf8(" Руль KX5170 ハンドル"));
    QCOMPARE(w.lblSerialNumber->text(), QStringLiteral(" <b>SN</b>&amp;"));
    QCOMPARE(w.lblSerialNumber->textFormat(), Qt::PlainText);

    // Longer than 50 characters: the whole string, up to what USB can carry.
    WindowOnBoard g;
    g.Board->Product = std::u16string(126, u'x');
    g.W().Form_Load();
    QCOMPARE(g.W().lblProduct->text().size(), 127);

    // An empty string is a successful answer: the caption is one space.
    WindowOnBoard e;
    e.Board->SerialNumber = u"";
    e.W().Form_Load();
    QCOMPARE(e.W().lblSerialNumber->text(), QStringLiteral(" "));
}

void TestWindowLoad::noBoardEmptiesTheDetails()
{
    WindowOnBoard f(0x0307, false);
    frmMain& w = f.W();
    w.lblManuf->setText(QStringLiteral(" stale"));
    w.lblVersion->setText(QStringLiteral(" 9.9"));
    w.Form_Load();
    QCOMPARE(w.Link.BoardOpen, FlagFalse);
    for (QLabel* l : {w.lblManuf, w.lblProduct, w.lblVersion, w.lblSerialNumber})
        QVERIFY(l->text().isEmpty());
    QCOMPARE(w.Homing->text(), QStringLiteral("Centre"));
    QVERIFY(!w.Homing->isEnabled());
    QVERIFY(!w.Frame1->isEnabled());
    QVERIFY(!w.Go->isEnabled());
    QVERIFY(w.lblStatus->text().isEmpty());
    QVERIFY(w.Timer->isActive());
    QCOMPARE(f.Platform.Paused, std::chrono::milliseconds(0));
    QCOMPARE(f.Platform.OpenHandles(), 0);
}

void TestWindowLoad::refusedBoardIsToldApart()
{
    WindowOnBoard f;
    f.Board->RefuseOpen = HidFailure::AccessDenied;
    frmMain& w = f.W();
    w.Form_Load();
    QCOMPARE(w.Link.BoardOpen, FlagFalse);
    QVERIFY(!w.Go->isEnabled());
    QVERIFY2(w.lblStatus->text().contains(QStringLiteral("access was denied")), qPrintable(w.lblStatus->text()));
    QVERIFY(w.lblStatus->text().contains(QStringLiteral("README")));
    QCOMPARE(f.Platform.OpenHandles(), 0);

    // The rule installed and the board plugged in again: loaded, message gone.
    f.Board->RefuseOpen = HidFailure::None;
    f.Platform.Unplug(*f.Board);
    f.Platform.PlugIn(*f.Board);
    w.Timer_Timer();
    QCOMPARE(w.Link.BoardOpen, FlagTrue);
    QVERIFY(w.lblStatus->text().isEmpty());

    // Some other refusal is told too, in other words.
    WindowOnBoard g;
    g.Board->RefuseOpen = HidFailure::Other;
    g.W().Form_Load();
    QVERIFY(g.W().lblStatus->text().contains(QStringLiteral("could not be opened")));
}

void TestWindowLoad::boxesAreNamedByTheirCaptions()
{
    WindowOnBoard f;
    frmMain& w = f.W();
    const std::pair<QLabel*, QLineEdit*> pairs[] = {
        {w.Label6, w.Homing},     {w.Label16, w.TDamp},       {w.Label20, w.TInertia},    {w.Label21, w.TFriction},
        {w.Label1, w.Slimit},     {w.Label13, w.Stiff},       {w.Label15, w.Damp},        {w.Label24, w.Spring},
        {w.Label22, w.MotorFilter}, {w.Label23, w.InputFilter}, {w.Label18, w.OverallScale}, {w.Label7, w.DampingScale},
    };
    for (const auto& [caption, box] : pairs) {
        QCOMPARE(caption->buddy(), box);
        QCOMPARE(box->accessibleName(), caption->text());
    }
    QCOMPARE(w.Homing->accessibleName(), QStringLiteral("Centre offset"));
}

void TestWindowLoad::loadedTextsAreNotClipped()
{
    WindowOnBoard f;
    frmMain& w = f.W();
    w.Form_Load();
    for (QLabel* l : {w.lblManuf, w.lblProduct, w.lblVersion, w.lblSerialNumber}) {
        const int needed = QFontMetrics(l->font()).horizontalAdvance(l->text());
        QVERIFY2(needed <= l->width(), qPrintable(l->objectName()));
    }
    for (QLineEdit* box : f.Boxes()) {
        const int needed = QFontMetrics(box->font()).horizontalAdvance(box->text());
        QVERIFY2(needed < box->width() - 8, qPrintable(box->objectName()));
    }
}

QTEST_MAIN(TestWindowLoad)
#include "test_window_load.moc"
