#include "frm_main.h"

#include "access_help.h"
#include "display_text.h"
#include "input_report.h"
#include "number_text.h"
#include "settings_transfer.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTimer>

#include <cmath>

using namespace kx;

namespace {

// The layout is drawn in twips, 15 to a logical pixel; Qt scales logical pixels for
// high-DPI screens itself.
int Px(int twips)
{
    return static_cast<int>(std::lround(twips / 15.0));
}

void Place(QWidget* w, int left, int top, int width, int height)
{
    w->setGeometry(Px(left), Px(top), Px(width), Px(height));
}

constexpr int TickMilliseconds = 100;
// After the platform reports a change, a few events usually follow (udev granting
// access after the kernel made the node): one search after they have settled.
constexpr int ChangeSettleMilliseconds = 20;
// At 1000 reports a second the kernel's 63-report queue is full after 63 ms; draining
// three times as often leaves room to spare when the window's thread is late.
constexpr int DrainMilliseconds = 20;
// Larger than any input report the position needs: only bytes 0 to 2 are kept.
constexpr std::size_t InputReadBuffer = 64;
// udev gives the user at the computer access to a new node a few milliseconds after
// the kernel made it; a refusal that lasts longer than this is told.
constexpr int AccessGraceMilliseconds = 1000;
// The kernel holds 63 reports per handle; a board flooding faster than we read is
// left for the next drain rather than holding the thread.
constexpr int MostReportsPerDrain = 256;

}  // namespace

frmMain::frmMain(HidPlatform& platform, QWidget* parent) : QWidget(parent), Platform(platform)
{
    BuildLayout();
    Timer = new QTimer(this);
    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setInterval(TickMilliseconds);
    connect(Timer, &QTimer::timeout, this, &frmMain::Timer_Timer);
    InputDrain = new QTimer(this);
    InputDrain->setObjectName(QStringLiteral("InputDrain"));
    InputDrain->setInterval(DrainMilliseconds);
    connect(InputDrain, &QTimer::timeout, this, &frmMain::DrainInput);
    connect(Go, &QPushButton::clicked, this, &frmMain::Go_Click);
    AccessGrace = new QTimer(this);
    AccessGrace->setObjectName(QStringLiteral("AccessGrace"));
    AccessGrace->setSingleShot(true);
    AccessGrace->setInterval(AccessGraceMilliseconds);
    connect(AccessGrace, &QTimer::timeout, this, &frmMain::AccessGrace_Timer);
    FixCommand = DefaultRuleInstallCommand();
    connect(lblStatus, &QLabel::linkActivated, this, &frmMain::lblStatus_LinkActivated);
}

frmMain::~frmMain()
{
    Form_Unload();
}

void frmMain::BuildLayout()
{
    // The icons live in this static library: their registration must be asked for.
    Q_INIT_RESOURCE(resources);
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Wheel configuration"));
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/kx5170-config-16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/icons/kx5170-config-32.png"), QSize(32, 32));
    setWindowIcon(icon);
    setFont(QFont(QStringLiteral("Arial"), 10));
    setFixedSize(Px(5070), Px(10490));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    auto label = [](QWidget* parent, const char* name, const QString& text, int l, int t, int w, int h) {
        auto* lbl = new QLabel(text, parent);
        lbl->setObjectName(QLatin1String(name));
        lbl->setTextFormat(Qt::PlainText);
        lbl->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        Place(lbl, l, t, w, h);
        return lbl;
    };
    auto box = [this](const char* name, const QString& text, int l, int t, int w, int h) {
        auto* edit = new QLineEdit(text, this);
        edit->setObjectName(QLatin1String(name));
        edit->setEnabled(false);
        Place(edit, l, t, w, h);
        return edit;
    };
    auto line = [this](const char* name, int top) {
        auto* l = new QFrame(this);
        l->setObjectName(QLatin1String(name));
        l->setFrameShape(QFrame::HLine);
        l->setFrameShadow(QFrame::Plain);
        l->setLineWidth(1);
        l->setGeometry(Px(120), Px(top), Px(4800), 1);
        return l;
    };

    Frame1 = new QGroupBox(QStringLiteral("Device details"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Place(Frame1, 60, 60, 4935, 1755);
    Frame1->setEnabled(false);

    // Inside the frame, positions are given in the window's coordinates: the frame's
    // own origin lies 60 twips in.
    auto inFrame = [&](const char* name, const QString& text, int l, int t, int w, int h) {
        return label(Frame1, name, text, l - 60, t - 60, w, h);
    };
    auto valueLabel = [&](const char* name, int l, int t, int w, int h) {
        QLabel* v = inFrame(name, QString(), l, t, w, h);
        QPalette p = v->palette();
        for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            p.setColor(g, QPalette::WindowText, p.color(g, QPalette::Text));
            p.setColor(g, QPalette::Window, p.color(g, QPalette::Base));
        }
        v->setPalette(p);
        v->setAutoFillBackground(true);
        return v;
    };
    Label4 = inFrame("Label4", QStringLiteral("Manufacturer"), 240, 360, 1215, 285);
    lblManuf = valueLabel("lblManuf", 1680, 360, 3300, 330);
    Label5 = inFrame("Label5", QStringLiteral("Product"), 240, 720, 1215, 285);
    lblProduct = valueLabel("lblProduct", 1620, 720, 3300, 270);
    Label2 = inFrame("Label2", QStringLiteral("Version"), 240, 1080, 1455, 285);
    lblVersion = valueLabel("lblVersion", 1680, 1080, 3300, 330);
    Label3 = inFrame("Label3", QStringLiteral("Serial Number"), 240, 1440, 1815, 285);
    lblSerialNumber = valueLabel("lblSerialNumber", 1680, 1440, 3300, 330);
    // The caption labels reach under the value labels; the values must stay on top.
    for (QLabel* v : {lblManuf, lblProduct, lblVersion, lblSerialNumber})
        v->raise();

    QFont bold = font();
    bold.setBold(true);
    Position = label(this, "Position", QString(), 2160, 2040, 1035, 255);
    Position->setFont(bold);
    Label9 = label(this, "Label9", QStringLiteral("counts"), 3240, 2040, 675, 255);
    Label8 = label(this, "Label8", QStringLiteral("Current position"), 120, 2280, 1515, 255);
    Degrees = label(this, "Degrees", QString(), 2160, 2520, 1035, 255);
    Degrees->setFont(bold);
    Label17 = label(this, "Label17", QStringLiteral("degrees"), 3240, 2520, 1160, 260);

    Homing = box("Homing", QStringLiteral("Centre"), 2160, 2940, 1035, 360);
    Label6 = label(this, "Label6", QStringLiteral("Centre offset"), 120, 3000, 1635, 255);
    Label11 = label(this, "Label11", QStringLiteral("counts"), 3240, 3000, 1275, 255);
    Line1 = line("Line1", 3420);
    TDamp = box("TDamp", QStringLiteral("Damping"), 2160, 3540, 1035, 360);
    Label16 = label(this, "Label16", QStringLiteral("Overall damping"), 120, 3600, 1635, 255);
    TInertia = box("TInertia", QStringLiteral("Inertia"), 2160, 4080, 1035, 360);
    Label20 = label(this, "Label20", QStringLiteral("Overall inertia"), 120, 4140, 1640, 260);
    TFriction = box("TFriction", QStringLiteral("Friction"), 2160, 4560, 1035, 330);
    Label21 = label(this, "Label21", QStringLiteral("Overall friction"), 120, 4620, 1640, 260);
    Slimit = box("Slimit", QStringLiteral("Stops"), 2160, 5100, 1035, 375);
    Label1 = label(this, "Label1", QStringLiteral("Stops (each side)"), 120, 5160, 1640, 260);
    Label12 = label(this, "Label12", QStringLiteral("counts"), 3240, 5160, 1280, 260);
    Stiff = box("Stiff", QStringLiteral("Stiffness"), 2160, 5580, 1035, 360);
    Label13 = label(this, "Label13", QStringLiteral("Stops stiffness"), 120, 5640, 1640, 260);
    Damp = box("Damp", QStringLiteral("Damping"), 2160, 6060, 1035, 360);
    Label15 = label(this, "Label15", QStringLiteral("Stops damping"), 120, 6120, 1640, 260);
    Spring = box("Spring", QStringLiteral("Spring"), 2160, 6600, 1035, 360);
    Label24 = label(this, "Label24", QStringLiteral("Centering spring"), 120, 6660, 1640, 260);
    Line2 = line("Line2", 7200);
    MotorFilter = box("MotorFilter", QString(), 2160, 7320, 1035, 330);
    Label22 = label(this, "Label22", QStringLiteral("Motor filter"), 120, 7380, 1640, 260);
    InputFilter = box("InputFilter", QString(), 2160, 7800, 1035, 360);
    Label23 = label(this, "Label23", QStringLiteral("Input filter"), 120, 7860, 1640, 260);
    Line3 = line("Line3", 8280);
    OverallScale = box("OverallScale", QStringLiteral("Scale"), 2160, 8460, 1035, 360);
    Label18 = label(this, "Label18", QStringLiteral("All Effects scale"), 120, 8520, 2180, 260);
    Label19 = label(this, "Label19", QStringLiteral("%"), 3240, 8520, 1280, 260);
    DampingScale = box("DampingScale", QStringLiteral("Damping"), 2160, 8940, 1035, 360);
    Label7 = label(this, "Label7", QStringLiteral("Damper Effect scale"), 120, 9000, 2180, 260);
    Label14 = label(this, "Label14", QStringLiteral("%"), 3240, 9000, 1280, 260);

    Go = new QPushButton(QStringLiteral("Write and reset"), this);
    Go->setObjectName(QStringLiteral("Go"));
    Place(Go, 1560, 9720, 1755, 495);
    Go->setEnabled(false);
    Go->setAutoDefault(false);
    Go->setDefault(false);

    // Below the button, in what is left of the fixed client area.
    lblStatus = label(this, "lblStatus", QString(), 120, 10230, 4800, 255);
    lblStatus->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    // Label18 and Label7 reach under their boxes: the boxes stay on top.
    for (QLineEdit* b : {Homing, TDamp, TInertia, TFriction, Slimit, Stiff, Damp, Spring, MotorFilter, InputFilter,
                         OverallScale, DampingScale})
        b->raise();

    // Screen readers name each box after its caption.
    Label6->setBuddy(Homing);
    Label16->setBuddy(TDamp);
    Label20->setBuddy(TInertia);
    Label21->setBuddy(TFriction);
    Label1->setBuddy(Slimit);
    Label13->setBuddy(Stiff);
    Label15->setBuddy(Damp);
    Label24->setBuddy(Spring);
    Label22->setBuddy(MotorFilter);
    Label23->setBuddy(InputFilter);
    Label18->setBuddy(OverallScale);
    Label7->setBuddy(DampingScale);
    for (QLabel* caption : {Label6, Label16, Label20, Label21, Label1, Label13, Label15, Label24, Label22, Label23,
                            Label18, Label7})
        caption->buddy()->setAccessibleName(caption->text());

    // The Tab order is the board's logic, not the screen's.
    QWidget* const tabOrder[] = {Homing,       TDamp,        Slimit,   Stiff,     Damp,        Go,         DampingScale,
                                 OverallScale, TInertia,     TFriction, MotorFilter, InputFilter, Spring};
    for (std::size_t i = 0; i + 1 < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i], tabOrder[i + 1]);
}

void frmMain::Form_Load()
{
    show();
    // Let the window paint before the search and the load hold the thread.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    SearchForBoard();
    Timer->start();

    // A board plugged in is searched for as soon as its interface has settled, rather
    // than at the next tick.
    if (!ChangeSettle) {
        ChangeSettle = new QTimer(this);
        ChangeSettle->setSingleShot(true);
        ChangeSettle->setInterval(ChangeSettleMilliseconds);
        connect(ChangeSettle, &QTimer::timeout, this, [this] {
            if (!Timer->isActive())
                return;  // closed
            if (Link.BoardOpen != FlagTrue)
                Timer_Timer();
            else
                TakeChangeNews();  // a board is open: the news is not needed
            if (ChangeNotifier)
                ChangeNotifier->setEnabled(true);
        });
    }
    FollowChangeNotification();
}

bool frmMain::TakeChangeNews()
{
    const bool changed = Platform.InterfacesMayHaveChanged();
    FollowChangeNotification();
    return changed;
}

void frmMain::FollowChangeNotification()
{
    // The platform may stop watching during any call for its news; the descriptor is
    // then no longer its news, and is left before the platform can close it.
    const int fd = Platform.ChangeNotificationFd();
    if (ChangeNotifier && ChangeNotifier->socket() == fd)
        return;
    if (ChangeNotifier) {
        ChangeNotifier->setEnabled(false);
        delete ChangeNotifier;
        ChangeNotifier = nullptr;
    }
    if (fd < 0)
        return;
    ChangeNotifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(ChangeNotifier, &QSocketNotifier::activated, this, [this] {
        // The descriptor stays readable until the news is taken: no spinning meanwhile.
        ChangeNotifier->setEnabled(false);
        ChangeSettle->start();
    });
}

void frmMain::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    QWidget::closeEvent(event);
}

void frmMain::Form_Unload()
{
    Timer->stop();
    InputDrain->stop();
    AccessGrace->stop();
    if (ChangeNotifier)
        ChangeNotifier->setEnabled(false);
    if (ChangeSettle)
        ChangeSettle->stop();
    CloseLinkHandle(Link, Link.FeatureHandle);
    CloseLinkHandle(Link, Link.InputHandle);
}

void frmMain::SearchForBoard()
{
    TicksSinceSearch = 0;
    Link.BoardOpen = FindTheHid(Link, Platform);
    NewReport = false;
    ReadFailed = false;
    if (Link.BoardOpen == FlagTrue || Link.BoardOpenFailure != HidFailure::AccessDenied) {
        AccessDenial = Denial::None;
        AccessGrace->stop();
    }
    if (Link.BoardOpen == FlagTrue) {
        InputDrain->start();
    } else if (Link.BoardOpenFailure == HidFailure::AccessDenied) {
        // A node is refused for a moment after it appears, until udev has given the user
        // access: the first refusal gets a second, and a search, before it is told.
        if (AccessDenial == Denial::None) {
            AccessDenial = Denial::Waiting;
            AccessGrace->start();
        } else if (AccessDenial == Denial::Told) {
            SetBoardStatus(StatusLine::Board::AccessDenied);
        }
    } else if (Link.BoardOpenFailure != HidFailure::None) {
        SetBoardStatus(StatusLine::Board::OpenFailed);
    } else {
        SetBoardStatus(StatusLine::Board::Absent);
    }
    LoadDeviceSettings();
}

void frmMain::AccessGrace_Timer()
{
    AccessGrace->stop();
    if (AccessDenial != Denial::Waiting)
        return;
    AccessDenial = Denial::Told;
    if (Link.BoardOpen != FlagTrue && Timer->isActive())
        SearchForBoard();
}

void frmMain::lblStatus_LinkActivated()
{
    if (!FixDialog) {
        FixDialog = new AccessFixDialog(FixCommand, this);
        FixDialog->setFont(font());
        FixDialog->setAttribute(Qt::WA_DeleteOnClose);
        FixDialog->setWindowModality(Qt::WindowModal);
        connect(FixDialog, &AccessFixDialog::RuleInstalled, this, &frmMain::RuleInstalled);
    }
    FixDialog->show();
    FixDialog->raise();
    FixDialog->activateWindow();
}

void frmMain::RuleInstalled()
{
    if (Link.BoardOpen == FlagTrue || !Timer->isActive())
        return;
    // udev may still be applying the rule: a refusal now gets its second again, and
    // the line keeps its word until then.
    AccessDenial = Denial::None;
    AccessGrace->stop();
    SearchForBoard();
}

void frmMain::ShowStatus(const QString& text, StatusLine::Keep keep)
{
    Status.Tell(text, keep);
    RenderStatus();
}

void frmMain::SetBoardStatus(StatusLine::Board board)
{
    Status.SetBoard(board);
    RenderStatus();
}

void frmMain::RenderStatus()
{
    const QString text = Status.Text();
    const Qt::TextFormat format = Status.OffersFix() ? Qt::RichText : Qt::PlainText;
    const QString shown = Status.OffersFix()
                              ? text.toHtmlEscaped() + QStringLiteral(" <a href=\"fix\">Fix...</a>")
                              : text;
    // Setting a label's text repaints it even when unchanged, and this runs at every search.
    if (lblStatus->text() == shown && lblStatus->textFormat() == format)
        return;
    lblStatus->setTextFormat(format);
    // Its texts are plain; only the "Fix..." link is rich text, and while it is shown
    // Tab reaches it too.
    lblStatus->setTextInteractionFlags(Status.OffersFix() ? Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard
                                                          : Qt::NoTextInteraction);
    lblStatus->setText(shown);
    lblStatus->setToolTip(text);
}

void frmMain::LoadDeviceSettings()
{
    if (Link.BoardOpen != FlagTrue) {
        // Clearing repaints even an empty label, and this runs at every search.
        for (QLabel* l : {lblManuf, lblProduct, lblSerialNumber, lblVersion})
            if (!l->text().isEmpty())
                l->clear();
        return;
    }
    SetBoardStatus(StatusLine::Board::Loaded);

    auto readString = [this](DeviceString which, QLabel* target) {
        const std::optional<std::u16string> text = Link.InputHandle->GetString(which);
        Link.LastResult = text ? 1 : 0;
        if (text) {
            target->setText(Caption(DeviceStringText(*text)));
            target->setToolTip(target->text().mid(1));
        }
        return text.has_value();
    };

    if (readString(DeviceString::Manufacturer, lblManuf)) {
        const auto version = static_cast<std::int16_t>(Link.Attributes.VersionNumber);
        const int type = static_cast<int>(std::floor(version / 256.0));
        Link.DeviceType = type;
        Link.DeviceRevision = static_cast<std::int16_t>(version - 256 * type);
        lblVersion->setText(Caption(VersionText(type, Link.DeviceRevision)));
    }
    Platform.Pause(std::chrono::milliseconds(100));
    readString(DeviceString::Product, lblProduct);
    Platform.Pause(std::chrono::milliseconds(100));
    readString(DeviceString::SerialNumber, lblSerialNumber);
    Platform.Pause(std::chrono::milliseconds(100));

    if (const auto image = ReadSettingsReport(Link)) {
        if (const std::optional<WheelSettings> settings = DecodeSettingsReport(*image)) {
            QLineEdit* const boxes[] = {Slimit,       Homing,       Stiff,    Damp,      TDamp,       DampingScale,
                                        OverallScale, TInertia,     TFriction, MotorFilter, InputFilter, Spring};
            for (std::size_t i = 0; i < SettingsFields.size(); ++i)
                boxes[i]->setText(QString::number(settings.value().*SettingsFields[i].Value));
        }
    }

    Frame1->setEnabled(true);
    SetSettingsControlsEnabled(true);
    Homing->setFocus();
}

void frmMain::DrainInput()
{
    if (Link.BoardOpen != FlagTrue || ReadFailed || !Link.InputHandle)
        return;
    std::array<std::uint8_t, InputReadBuffer> buffer;
    for (int i = 0; i < MostReportsPerDrain; ++i) {
        buffer.fill(0);
        const int n = Link.InputHandle->ReadInputReport(buffer);
        Link.LastResult = n > 0 ? n : (n == 0 ? 1 : 0);
        if (n < 0) {
            ReadFailed = true;
            InputDrain->stop();
            return;
        }
        if (n == 0)
            return;
        if (WheelPosition(Link, std::span(buffer).first(static_cast<std::size_t>(n)))) {
            std::copy_n(buffer.begin(), NewestReport.size(), NewestReport.begin());
            NewReport = true;
        }
    }
}

void frmMain::Timer_Timer()
{
    bool linkJustLost = false;
    if (Link.BoardOpen == FlagTrue) {
        DrainInput();
        if (ReadFailed) {
            HandleLostLink();
            linkJustLost = true;
        } else if (NewReport) {
            NewReport = false;
            ShowPosition(NewestReport);
        }
    }
    if (Link.BoardOpen != FlagTrue) {
        // While nothing is plugged in or out, a search would find what the last one
        // found; the slow full search stands in for change news that never came.
        ++TicksSinceSearch;
        const bool changed = TakeChangeNews();
        if (!linkJustLost && !changed && TicksSinceSearch < SafetyNetSearchTicks)
            return;
        SearchForBoard();
    }
}

void frmMain::ShowPosition(std::span<const std::uint8_t> report)
{
    const std::optional<std::int16_t> position = DecodeInputPosition(report);
    if (!position)
        return;
    const QString counts = Caption(QString::number(*position));
    if (Position->text() != counts)
        Position->setText(counts);
    if (const std::optional<int> perTurn = CountsPerTurn(Link.DeviceType)) {
        const QString degrees = Caption(DegreesText(PositionDegrees(*position, *perTurn), QLocale()));
        if (Degrees->text() != degrees)
            Degrees->setText(degrees);
    }
}

void frmMain::HandleLostLink()
{
    // A broken link shows no reading: an empty label, not a stale or zero one.
    Position->clear();
    Degrees->clear();
    Link.BoardOpen = FlagFalse;
    InputDrain->stop();
    CloseLinkHandle(Link, Link.FeatureHandle);
    CloseLinkHandle(Link, Link.InputHandle);
    SetSettingsControlsEnabled(false);
    ReadFailed = false;
    NewReport = false;
}

void frmMain::SetSettingsControlsEnabled(bool enabled)
{
    // In the board's order, which is neither the screen's nor the Tab order.
    for (QWidget* w : std::initializer_list<QWidget*>{Slimit, Homing, Stiff, Damp, TDamp, TInertia, TFriction, Spring,
                                                      Go, DampingScale, OverallScale, MotorFilter, InputFilter})
        w->setEnabled(enabled);
}
