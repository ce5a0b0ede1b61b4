#include "frm_main.h"

#include "access_help.h"
#include "display_text.h"
#include "input_report.h"
#include "number_text.h"
#include "rotation_field.h"
#include "session_worker.h"
#include "setting_texts.h"
#include "wheel_picture.h"
#include "wide_text.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextLayout>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <utility>

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

// udev gives the user at the computer access to a new node a few milliseconds after
// the kernel made it; a refusal that lasts longer than this is told.
constexpr int AccessGraceMilliseconds = 1000;

// Before the window is first shown its frame is unknown: room for a usual title bar.
constexpr int TypicalDecoration = 40;
// The wheel picture beside the layout, in logical pixels, with the rotation field and
// "Write and keep open" under it.
constexpr int PictureWidth = 300;
constexpr int PictureMargin = 8;
constexpr int RotationHeight = 28;
// The status line runs under both columns and wraps: room for this many lines.
constexpr int StatusLines = 3;

// The text as it fits `lines` lines of `width` wrapped at spaces; the last line that
// fits ends in "..." when more would follow. A word too long for a line (a long path)
// is broken with a line end where the label, which wraps at spaces only, would cut it.
QString FitToLines(const QString& text, const QFont& font, int width, int lines)
{
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    QList<QTextLine> laid;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        laid << line;
    }
    layout.endLayout();
    QString fitted;
    for (qsizetype i = 0; i < laid.size() && i < lines; ++i) {
        const QTextLine& line = laid[i];
        QString part = text.mid(line.textStart(), line.textLength());
        if (i + 1 == lines && i + 1 < laid.size())
            part = QFontMetrics(font).elidedText(text.mid(line.textStart()), Qt::ElideRight, width);
        else if (i + 1 < laid.size() && !part.endsWith(u' '))
            part += u'\n';
        fitted += part;
    }
    return fitted;
}

struct Twips {
    int Left, Top, Width, Height;
};

int MenuBarHeight(QMenuBar* bar, int width)
{
    const int h = bar->heightForWidth(width);
    return h > 0 ? h : bar->sizeHint().height();
}

}  // namespace

frmMain::frmMain(std::unique_ptr<SessionWorker> session, QWidget* parent)
    : QWidget(parent), Worker(std::move(session))
{
    LastDirectory = QDir::homePath();
    BuildLayout();
    connect(Go, &QPushButton::clicked, this, &frmMain::Go_Click);
    AccessGrace = new QTimer(this);
    AccessGrace->setObjectName(QStringLiteral("AccessGrace"));
    AccessGrace->setSingleShot(true);
    AccessGrace->setInterval(AccessGraceMilliseconds);
    connect(AccessGrace, &QTimer::timeout, this, &frmMain::AccessGrace_Timer);
    FixCommand = DefaultRuleInstallCommand();
    connect(lblStatus, &QLabel::linkActivated, this, &frmMain::lblStatus_LinkActivated);

    ConnectSession();
}

void frmMain::ConnectSession()
{
    // Queued when the session runs on its own thread, direct when it runs on this one
    // (unless the tests queue it all the same).
    SessionWorker* w = Worker.get();
    disconnect(w, nullptr, this, nullptr);
    const Qt::ConnectionType type = SessionTraffic;
    connect(w, &SessionWorker::Searched, this, &frmMain::OnSearched, type);
    connect(w, &SessionWorker::Loading, this, &frmMain::OnLoading, type);
    connect(w, &SessionWorker::Loaded, this, &frmMain::LoadDeviceSettings, type);
    connect(w, &SessionWorker::PositionRead, this, &frmMain::ShowPosition, type);
    connect(w, &SessionWorker::LinkLost, this, &frmMain::HandleLostLink, type);
    connect(w, &SessionWorker::ReloadAnswered, this, &frmMain::OnReloadAnswered, type);
    connect(w, &SessionWorker::Writing, this, &frmMain::OnWriteStarted, type);
    connect(w, &SessionWorker::AwaitingReturn, this, &frmMain::OnAwaitingReturn, type);
    connect(w, &SessionWorker::WriteAnswered, this, &frmMain::OnWriteAnswered, type);
    connect(w, &SessionWorker::RestoreAnswered, this, &frmMain::OnRestoreAnswered, type);
}

void frmMain::QueueSessionTraffic()
{
    SessionTraffic = Qt::QueuedConnection;
    ConnectSession();
}

frmMain::~frmMain()
{
    if (SessionThread && !FinishSession(std::chrono::milliseconds(1000))) {
        // A QThread destroyed while it runs aborts the program; one stuck in the kernel
        // is left, with its session, to the end of the process instead. The thread is
        // no child of the window for that reason.
        (void)Worker.release();
        return;
    }
    if (!SessionThread)
        Worker->Stop();
    delete SessionThread;
}

void frmMain::SetRuleFinder(std::function<BoardRuleState()> finder)
{
    Worker->SetRuleFinder(std::move(finder));
}

void frmMain::RunSessionOnThread()
{
    if (SessionThread)
        return;
    SessionThread = new QThread;
    SessionThread->setObjectName(QStringLiteral("BoardSession"));
    Worker->moveToThread(SessionThread);
    SessionThread->start();
}

bool frmMain::FinishSession(std::chrono::milliseconds wait)
{
    if (!SessionThread) {
        Worker->Stop();
        return true;
    }
    if (!SessionThread->isRunning())
        return true;
    QMetaObject::invokeMethod(Worker.get(), &SessionWorker::Stop);
    SessionThread->quit();
    return SessionThread->wait(QDeadlineTimer(wait));
}

void frmMain::BuildLayout()
{
    // The icons live in this static library: their registration must be asked for.
    Q_INIT_RESOURCE(resources);
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(tr("Wheel configuration"));
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/kx5170-config-16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/icons/kx5170-config-32.png"), QSize(32, 32));
    setWindowIcon(icon);
    setFont(QFont(QStringLiteral("Arial"), 10));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    // The menu bar above, the client area below it in a scroll area that only ever
    // scrolls on a screen too short for the window.
    auto* frame = new QVBoxLayout(this);
    frame->setContentsMargins(0, 0, 0, 0);
    frame->setSpacing(0);
    MenuBar = new QMenuBar(this);
    MenuBar->setObjectName(QStringLiteral("MenuBar"));
    frame->setMenuBar(MenuBar);
    Client = new QWidget;
    Client->setObjectName(QStringLiteral("Client"));
    // The layout's own area, and to its right the wheel as a picture; under both, room
    // for the status line to wrap.
    const int statusHeight = StatusLines * QFontMetrics(QFont(QStringLiteral("Arial"), 10)).lineSpacing();
    Client->setFixedSize(Px(5070) + PictureWidth + PictureMargin, Px(10230) + statusHeight + PictureMargin);
    ClientScroll = new QScrollArea(this);
    ClientScroll->setObjectName(QStringLiteral("ClientScroll"));
    ClientScroll->setFrameShape(QFrame::NoFrame);
    ClientScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ClientScroll->setFocusPolicy(Qt::NoFocus);  // the Tab order holds the boxes and the button only
    ClientScroll->setWidget(Client);
    frame->addWidget(ClientScroll);

    auto label = [](QWidget* parent, const char* name, const QString& text, int l, int t, int w, int h) {
        auto* lbl = new QLabel(text, parent);
        lbl->setObjectName(QLatin1String(name));
        lbl->setTextFormat(Qt::PlainText);
        lbl->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        Place(lbl, l, t, w, h);
        return lbl;
    };
    auto line = [this](const char* name, int top) {
        auto* l = new QFrame(Client);
        l->setObjectName(QLatin1String(name));
        l->setFrameShape(QFrame::HLine);
        l->setFrameShadow(QFrame::Plain);
        l->setLineWidth(1);
        l->setGeometry(Px(120), Px(top), Px(4800), 1);
        return l;
    };

    Frame1 = new QGroupBox(tr("Device details"), Client);
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
        // A serial number is for pasting into a support request. Selecting by keyboard
        // works once a label is clicked; Tab still passes the labels by.
        v->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        v->setFocusPolicy(Qt::ClickFocus);
        return v;
    };
    Label4 = inFrame("Label4", tr("Manufacturer"), 240, 360, 1215, 285);
    lblManuf = valueLabel("lblManuf", 1680, 360, 3300, 330);
    Label5 = inFrame("Label5", tr("Product"), 240, 720, 1215, 285);
    lblProduct = valueLabel("lblProduct", 1620, 720, 3300, 270);
    Label2 = inFrame("Label2", tr("Version"), 240, 1080, 1455, 285);
    lblVersion = valueLabel("lblVersion", 1680, 1080, 3300, 330);
    Label3 = inFrame("Label3", tr("Serial Number"), 240, 1440, 1815, 285);
    lblSerialNumber = valueLabel("lblSerialNumber", 1680, 1440, 3300, 330);
    // The caption labels reach under the value labels; the values must stay on top.
    for (QLabel* v : {lblManuf, lblProduct, lblVersion, lblSerialNumber})
        v->raise();

    QFont bold = font();
    bold.setBold(true);
    Position = label(Client, "Position", QString(), 2160, 2040, 1035, 255);
    Position->setFont(bold);
    Label9 = label(Client, "Label9", tr("counts"), 3240, 2040, 675, 255);
    Label8 = label(Client, "Label8", tr("Current position"), 120, 2280, 1515, 255);
    Degrees = label(Client, "Degrees", QString(), 2160, 2520, 1035, 255);
    Degrees->setFont(bold);
    Label17 = label(Client, "Label17", tr("degrees"), 3240, 2520, 1160, 260);

    // One settings row of the layout: where its box, caption and (if it has one) unit stand.
    struct SettingRow {
        const char* Name;  // the box, as the settings table names it
        QLineEdit* frmMain::*Box;
        Twips BoxPlace;
        const char* Placeholder;  // until the board's value takes its place
        const char* CaptionName;
        QLabel* frmMain::*Caption;
        Twips CaptionPlace;
        const char* UnitName = nullptr;
        QLabel* frmMain::*Unit = nullptr;
        Twips UnitPlace{};
    };

    // From the top of the window down.
    // clang-format off
    static const SettingRow SettingRows[] = {
        {"Homing", &frmMain::Homing, {2160, 2940, 1035, 360}, QT_TR_NOOP("Centre"),
         "Label6", &frmMain::Label6, {120, 3000, 1635, 255}, "Label11", &frmMain::Label11, {3240, 3000, 1275, 255}},
        {"TDamp", &frmMain::TDamp, {2160, 3540, 1035, 360}, QT_TR_NOOP("Damping"),
         "Label16", &frmMain::Label16, {120, 3600, 1635, 255}},
        {"TInertia", &frmMain::TInertia, {2160, 4080, 1035, 360}, QT_TR_NOOP("Inertia"),
         "Label20", &frmMain::Label20, {120, 4140, 1640, 260}},
        {"TFriction", &frmMain::TFriction, {2160, 4560, 1035, 330}, QT_TR_NOOP("Friction"),
         "Label21", &frmMain::Label21, {120, 4620, 1640, 260}},
        {"Slimit", &frmMain::Slimit, {2160, 5100, 1035, 375}, QT_TR_NOOP("Stops"),
         "Label1", &frmMain::Label1, {120, 5160, 1640, 260}, "Label12", &frmMain::Label12, {3240, 5160, 1280, 260}},
        {"Stiff", &frmMain::Stiff, {2160, 5580, 1035, 360}, QT_TR_NOOP("Stiffness"),
         "Label13", &frmMain::Label13, {120, 5640, 1640, 260}},
        {"Damp", &frmMain::Damp, {2160, 6060, 1035, 360}, QT_TR_NOOP("Damping"),
         "Label15", &frmMain::Label15, {120, 6120, 1640, 260}},
        {"Spring", &frmMain::Spring, {2160, 6600, 1035, 360}, QT_TR_NOOP("Spring"),
         "Label24", &frmMain::Label24, {120, 6660, 1640, 260}},
        {"MotorFilter", &frmMain::MotorFilter, {2160, 7320, 1035, 330}, "",
         "Label22", &frmMain::Label22, {120, 7380, 1640, 260}},
        {"InputFilter", &frmMain::InputFilter, {2160, 7800, 1035, 360}, "",
         "Label23", &frmMain::Label23, {120, 7860, 1640, 260}},
        {"OverallScale", &frmMain::OverallScale, {2160, 8460, 1035, 360}, QT_TR_NOOP("Scale"),
         "Label18", &frmMain::Label18, {120, 8520, 2180, 260}, "Label19", &frmMain::Label19, {3240, 8520, 1280, 260}},
        {"DampingScale", &frmMain::DampingScale, {2160, 8940, 1035, 360}, QT_TR_NOOP("Damping"),
         "Label7", &frmMain::Label7, {120, 9000, 2180, 260}, "Label14", &frmMain::Label14, {3240, 9000, 1280, 260}},
    };
    // clang-format on

    // The settings rows: where each stands is the layout's; what each says (caption,
    // unit) is the settings table's.
    for (const SettingRow& row : SettingRows) {
        const SettingsField* field = FindSettingByName(row.Name);
        Q_ASSERT(field && (row.UnitName != nullptr) == (*field->Unit != '\0'));
        const auto index = static_cast<std::size_t>(field - SettingsFields.data());
        auto* edit = new QLineEdit(*row.Placeholder ? tr(row.Placeholder) : QString(), Client);
        edit->setObjectName(QLatin1String(field->Name));
        edit->setEnabled(false);
        // A file dropped on a box is for the window to open, not text to type in.
        edit->setAcceptDrops(false);
        // What the user types is kept until written or replaced on the user's word.
        connect(edit, &QLineEdit::textEdited, this, &frmMain::BoxEdited);
        Place(edit, row.BoxPlace.Left, row.BoxPlace.Top, row.BoxPlace.Width, row.BoxPlace.Height);
        this->*row.Box = Boxes[index] = edit;
        // The tooltip of a setting in counts gives the angle of the value in the box.
        if (row.UnitName && QLatin1String(field->Unit) == QLatin1String("counts"))
            connect(edit, &QLineEdit::textChanged, this, &frmMain::UpdateAngleTips);
        const Twips& c = row.CaptionPlace;
        this->*row.Caption = Captions[index] =
            label(Client, row.CaptionName, SettingCaption(*field), c.Left, c.Top, c.Width, c.Height);
        if (row.UnitName) {
            const Twips& u = row.UnitPlace;
            this->*row.Unit =
                label(Client, row.UnitName, SettingUnit(*field), u.Left, u.Top, u.Width, u.Height);
        }
    }
    Line1 = line("Line1", 3420);
    Line2 = line("Line2", 7200);
    Line3 = line("Line3", 8280);

    Go = new QPushButton(tr("Write and reset"), Client);
    Go->setObjectName(QStringLiteral("Go"));
    Place(Go, 1560, 9720, 1755, 495);
    Go->setEnabled(false);
    Go->setAutoDefault(false);
    Go->setDefault(false);
    // Enter on the focused button presses it, as Space does; the button stays no
    // default, so Enter in a box presses nothing.
    Go->installEventFilter(this);

    // Below the buttons, across the whole window: a message wraps rather than lose its
    // start and end.
    lblStatus = label(Client, "lblStatus", QString(), 120, 10230, 4800, 255);
    lblStatus->setGeometry(Px(120), Px(10230), Client->width() - Px(120) - PictureMargin, statusHeight);
    lblStatus->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblStatus->setWordWrap(true);

    // The picture, the rotation in degrees under it, and the tuning loop's button on
    // the row of "Write and reset".
    const int goTop = Px(9720);
    Picture = new WheelPicture(Client);
    Picture->setGeometry(Px(5070), Px(60), PictureWidth, goTop - Px(60) - RotationHeight - 2 * PictureMargin);
    Rotation = new RotationField(Client);
    Rotation->setGeometry(Px(5070), goTop - PictureMargin - RotationHeight, PictureWidth, RotationHeight);
    connect(Rotation, &RotationField::StopsTyped, this, [this](std::int32_t stops) {
        Slimit->setText(QString::number(stops));
        BoxEdited();
    });
    WriteKeepOpen = new QPushButton(tr("Write and keep open"), Client);
    WriteKeepOpen->setObjectName(QStringLiteral("WriteKeepOpen"));
    WriteKeepOpen->setGeometry(Px(5070) + (PictureWidth - Px(2100)) / 2, goTop, Px(2100), Px(495));
    WriteKeepOpen->setEnabled(false);
    WriteKeepOpen->setAutoDefault(false);
    WriteKeepOpen->installEventFilter(this);
    connect(WriteKeepOpen, &QPushButton::clicked, this, &frmMain::WriteKeepOpen_Click);
    // It follows the boxes as the user types: what the numbers will do before they are written.
    connect(Slimit, &QLineEdit::textChanged, this, [this](const QString& text) {
        Picture->SetStops(BoxNumberValue(text, QLocale()));
        Rotation->ShowStops(BoxNumberValue(text, QLocale()));
    });
    connect(Homing, &QLineEdit::textChanged, this, [this](const QString& text) {
        Picture->SetCentre(BoxNumberValue(text, QLocale()));
    });

    // Label18 and Label7 reach under their boxes: the boxes stay on top.
    for (std::size_t i = 0; i < SettingsCount; ++i) {
        Boxes[i]->raise();
        // Screen readers name each box after its caption.
        Captions[i]->setBuddy(Boxes[i]);
        Boxes[i]->setAccessibleName(Captions[i]->text());
    }
    UpdateAngleTips();

    // The Tab order is the board's logic, not the screen's.
    QWidget* const rotation = Rotation->findChild<QLineEdit*>(QStringLiteral("Rotation"));
    QWidget* const tabOrder[] = {Homing,   TDamp,     Slimit,      rotation,    Stiff,  Damp,
                                 Go,       WriteKeepOpen, DampingScale, OverallScale, TInertia,
                                 TFriction, MotorFilter, InputFilter, Spring};
    for (std::size_t i = 0; i + 1 < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i], tabOrder[i + 1]);

    GiveTextsRoom();
    BuildMenus();
    setAcceptDrops(true);
    setFixedSize(Client->width(), Client->height() + MenuBarHeight(MenuBar, Client->width()));
}

void frmMain::GiveTextsRoom()
{
    // The layout above has room for the English words. A language with longer ones
    // moves the columns right and widens the window, never changing their order: the
    // boxes (with the board's details beside their captions) first, then the units,
    // then the picture. Each caption and unit then reaches up to what stands to its
    // right, and no further: English keeps the layout as drawn.
    constexpr int Gap = 8;
    auto needs = [](const QLabel* l) {
        return QFontMetrics(l->font()).size(Qt::TextShowMnemonic, l->text()).width();
    };
    auto moveRight = [](QWidget* w, int by) {
        if (by > 0)
            w->move(w->x() + by, w->y());
    };
    auto reachTo = [](QLabel* l, int right) { l->resize(right - l->x(), l->height()); };

    // The captions' column, and in the frame the details' captions.
    const std::initializer_list<QLabel*> details{Label4, Label5, Label2, Label3};
    const std::initializer_list<QLabel*> units{Label9, Label17, Label11, Label12, Label19, Label14};
    int captionsNeed = needs(Label8);
    for (QLabel* caption : Captions)
        captionsNeed = std::max(captionsNeed, needs(caption));
    int detailsNeed = 0;
    for (QLabel* caption : details)
        detailsNeed = std::max(detailsNeed, needs(caption));
    const int columnShift = std::max({0, captionsNeed + Gap - (Px(2160) - Px(120)),
                                      detailsNeed + Gap - (Px(1620) - Px(240))});
    for (QWidget* w : std::initializer_list<QWidget*>{lblManuf, lblProduct, lblVersion, lblSerialNumber, Position, Degrees})
        moveRight(w, columnShift);
    for (QLabel* unit : units)
        moveRight(unit, columnShift);
    for (QLineEdit* box : Boxes)
        moveRight(box, columnShift);
    for (QLabel* caption : Captions)
        reachTo(caption, Slimit->x() - Gap);
    reachTo(Label8, Position->x() - Gap);
    for (QLabel* caption : details)
        reachTo(caption, lblProduct->x() - Gap);

    // The units' column, up to the picture.
    int unitsRight = 0;
    for (QLabel* unit : units)
        unitsRight = std::max(unitsRight, unit->x() + needs(unit));
    const int pictureShift = std::max(columnShift, unitsRight + PictureMargin - Px(5070));
    const int pictureLeft = Px(5070) + pictureShift;
    for (QLabel* unit : units)
        reachTo(unit, pictureLeft - PictureMargin);

    // The picture's column: as wide as its button and the rotation's words need.
    const int keepOpenWidth = std::max(Px(2100), WriteKeepOpen->sizeHint().width());
    const int pictureWidth = std::max(PictureWidth, keepOpenWidth);
    const int goTop = Px(9720);
    // The rotation's row grows by the lines its caption wraps onto.
    // Even, so that the picture's edges fall on whole pixels at 150 % too.
    int rotationHeight =
        RotationHeight + std::max(0, Rotation->heightForWidth(pictureWidth) - Rotation->heightForWidth(QWIDGETSIZE_MAX / 2));
    rotationHeight += rotationHeight % 2;
    Picture->setGeometry(pictureLeft, Px(60), pictureWidth, goTop - Px(60) - rotationHeight - 2 * PictureMargin);
    Rotation->setGeometry(pictureLeft, goTop - PictureMargin - rotationHeight, pictureWidth, rotationHeight);
    WriteKeepOpen->setGeometry(pictureLeft + (pictureWidth - keepOpenWidth) / 2, goTop, keepOpenWidth, Px(495));
    // "Write and reset" keeps its middle where it stands.
    if (const int goWidth = Go->sizeHint().width(); goWidth > Go->width())
        Go->setGeometry(std::max(Px(120), Go->geometry().center().x() - goWidth / 2), Go->y(), goWidth, Go->height());

    if (pictureShift == 0 && pictureWidth == PictureWidth)
        return;
    Frame1->resize(Frame1->width() + pictureShift, Frame1->height());
    for (QFrame* l : {Line1, Line2, Line3})
        l->resize(l->width() + pictureShift, l->height());
    Client->setFixedSize(pictureLeft + pictureWidth + PictureMargin, Client->height());
    lblStatus->resize(Client->width() - Px(120) - PictureMargin, lblStatus->height());
}

void frmMain::FitToScreen()
{
    const int menu = MenuBarHeight(MenuBar, Client->width());
    QSize size(Client->width(), Client->height() + menu);
    const QRect available = AvailableScreenArea ? AvailableScreenArea()
                            : screen()          ? screen()->availableGeometry()
                                                : QRect();
    const QMargins margins = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    const int decoration = margins.top() + margins.bottom() > 0 ? margins.top() + margins.bottom() : TypicalDecoration;
    const int sides = margins.left() + margins.right();
    const int room = available.height() - decoration;
    const int roomAcross = available.width() - sides;
    const bool scrollsDown = !available.isEmpty() && size.height() > room;
    const bool scrollsAcross = !available.isEmpty() && size.width() > roomAcross;
    // Each scroll bar takes room from the other direction.
    if (scrollsDown) {
        size.setHeight(std::max(room, menu + Px(1500)));
        size.rwidth() += ClientScroll->verticalScrollBar()->sizeHint().width();
    }
    if (scrollsAcross) {
        size.setWidth(std::max(roomAcross, Px(2000)));
        if (!scrollsDown)
            size.rheight() += ClientScroll->horizontalScrollBar()->sizeHint().height();
    }
    setFixedSize(size);
    layout()->activate();
    // Centred on the screen, where the window manager lets the program choose; at its
    // top when the window takes the screen's whole height.
    if (!isVisible() && !available.isEmpty()) {
        const int left = available.left() + std::max(0, (available.width() - size.width() - sides) / 2);
        const int top = scrollsDown ? available.top()
                                    : available.top() + std::max(0, (available.height() - size.height() - decoration) / 2);
        move(left, top);
    }
}

void frmMain::Form_Load()
{
    FitToScreen();
    show();
    SetBoardStatus(StatusLine::Board::Unknown);
    // The window paints first; the session's search and load run on its own thread.
    QMetaObject::invokeMethod(Worker.get(), &SessionWorker::Start, SessionTraffic);
}

void frmMain::closeEvent(QCloseEvent* event)
{
    // Values the user typed and neither wrote nor saved are asked about, unless the
    // program ends because they were written.
    if (!ClosingAfterWrite && !CloseWhenWritten && !KeepOrDiscardEdits(
            //: completes "Save them before %1?"
            tr("quitting"))) {
        event->ignore();
        return;
    }
    // From now on the session starts no write. One under way is let finish (it is
    // bounded): a board left between the settings and its reset may not store them.
    // Its answer comes, and closes the window.
    if (Worker->RequestClose()) {
        CloseWhenWritten = true;
        Status.SetWork(tr("Closing once the write has finished..."));
        RenderStatus();
        event->ignore();
        return;
    }
    AccessGrace->stop();
    if (!SessionThread)
        Worker->Stop();
    else
        QMetaObject::invokeMethod(Worker.get(), &SessionWorker::Stop);
    QWidget::closeEvent(event);
}

void frmMain::OnSearched(const SearchOutcome& outcome, const BoardRuleState& rule)
{
    const bool refused = !outcome.Found && outcome.Failure && outcome.Failure->Cause == FailureCause::AccessDenied;
    if (outcome.Found || !refused) {
        AccessDenial = Denial::None;
        AccessGrace->stop();
    }
    if (outcome.Found)
        return;  // its load follows

    BoardLoaded = false;
    BoardToken = {};
    Details.reset();
    DeviceType.reset();
    BlankDetails();
    Picture->SetAbsentText(tr("No board"));
    Picture->SetBoardPresent(false);
    if (ProfileOpen) {
        // The profile stays open for editing and saving; there is only nothing to write to.
        ShowBoxesType();
        UpdateActions();
    } else {
        Picture->SetCountsPerTurn(std::nullopt);
        Rotation->SetCountsPerTurn(std::nullopt);
        SetSettingsControlsEnabled(false);
    }
    if (refused) {
        // A node is refused for a moment after it appears, until udev has given the user
        // access: the first refusal gets a second, and a search, before it is told.
        if (AccessDenial == Denial::None) {
            AccessDenial = Denial::Waiting;
            AccessGrace->start();
        } else if (AccessDenial == Denial::Told) {
            // "Fix..." installs the rule; where one is installed already, it cannot help.
            const QString where = ShownText(QString::fromStdString(rule.Where));
            Status.SetFixPossible(!rule.Installed);
            Status.SetBoard(StatusLine::Board::AccessDenied,
                            !rule.Installed ? QString()
                            : rule.Masked
                                ? tr("The administrator turned the board's rule off (%1).").arg(where)
                                : tr("Its rule (%1) gives it to the person at the computer only: "
                                                 "kx5170ctl doctor tells what stands in the way.")
                                      .arg(where));
            RenderStatus();
        }
    } else if (outcome.Failure && outcome.Failure->Cause != FailureCause::NoBoard) {
        // The failure is told as part of a sentence ("the board ..."): here it starts one.
        QString failure = QString::fromStdString(DescribeFailure(*outcome.Failure));
        if (!failure.isEmpty())
            failure[0] = failure[0].toUpper();
        Status.SetBoard(StatusLine::Board::OpenFailed, tr("%1: unplug it and plug it in again.").arg(failure));
        RenderStatus();
    } else {
        SetBoardStatus(StatusLine::Board::Absent);
    }
}

void frmMain::AccessGrace_Timer()
{
    AccessGrace->stop();
    if (AccessDenial != Denial::Waiting)
        return;
    AccessDenial = Denial::Told;
    if (!BoardLoaded)
        QMetaObject::invokeMethod(Worker.get(), &SessionWorker::SearchNow, SessionTraffic);
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
    if (BoardLoaded)
        return;
    // udev may still be applying the rule: a refusal now gets its second again, and
    // the line keeps its word until then.
    AccessDenial = Denial::None;
    AccessGrace->stop();
    QMetaObject::invokeMethod(Worker.get(), &SessionWorker::SearchNow, SessionTraffic);
}

void frmMain::SetIdleStatus(const QString& text)
{
    Status.SetLoadedText(text.isEmpty() ? tr("Board ready.") : text);
    RenderStatus();
}

void frmMain::ShowStatus(const QString& text, StatusLine::Keep keep)
{
    Status.Tell(text, keep);
    RenderStatus();
    // On a screen too short for the window, a message is scrolled into view.
    if (!text.isEmpty())
        ClientScroll->ensureWidgetVisible(lblStatus, 0, 0);
}

void frmMain::SetBoardStatus(StatusLine::Board board)
{
    Status.SetBoard(board);
    RenderStatus();
}

void frmMain::RenderStatus()
{
    Status.SetWaitingFile(PendingFile ? ShownText(QFileInfo(PendingPath).fileName()) : QString());
    const QString text = Status.Text();
    const Qt::TextFormat format = Status.OffersFix() ? Qt::RichText : Qt::PlainText;
    const QString shown = Status.OffersFix()
                              ? text.toHtmlEscaped() + QStringLiteral(" <a href=\"fix\">%1</a>").arg(tr("Fix...").toHtmlEscaped())
                              : FitToLines(text, lblStatus->font(), lblStatus->width(), StatusLines);
    // Setting a label's text repaints it even when unchanged, and this runs at every search.
    if (lblStatus->text() == shown && lblStatus->textFormat() == format)
        return;
    lblStatus->setTextFormat(format);
    // Its texts are plain; only the "Fix..." link is rich text, and while it is shown
    // Tab reaches it too.
    lblStatus->setTextInteractionFlags(Status.OffersFix() ? Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard
                                                          : Qt::NoTextInteraction);
    lblStatus->setText(shown);
    // Where the board is not there or not opened, the tool that tells why.
    const bool notThere = Status.CurrentBoard() == StatusLine::Board::Absent ||
                          Status.CurrentBoard() == StatusLine::Board::OpenFailed;
    lblStatus->setToolTip(notThere && Work == Busy::Idle
                              ? text + tr("\nkx5170ctl doctor tells what stands between you and the board.")
                              : text);
    // A line cut short is whole for a screen reader, as in the tooltip.
    lblStatus->setAccessibleDescription(text);
}

void frmMain::SetBusy(Busy busy)
{
    // A write asked for and not yet answered keeps the buttons still, whatever else
    // the session tells meanwhile.
    if (busy == Busy::Idle && PendingWrite)
        busy = Busy::Asked;
    Work = busy;
    Status.SetWork(busy == Busy::Loading   ? tr("Reading the board...")
                   : busy == Busy::Writing ? tr("Writing the settings to the board...")
                                           : QString());
    UpdateActions();
    RenderStatus();
}

void frmMain::UpdateActions()
{
    // Nothing is pressed twice, and nothing is read from the boxes meanwhile.
    const bool idle = Work == Busy::Idle;
    const bool editable = Slimit->isEnabled();
    Go->setEnabled(idle && BoardLoaded && SettingsShown && editable);
    actWriteKeepOpen->setEnabled(Go->isEnabled());
    WriteKeepOpen->setEnabled(Go->isEnabled());
    // With no board, Open makes a profile of a file and Save keeps it.
    actOpen->setEnabled(idle && (BoardLoaded ? SettingsShown && editable : true));
    actSave->setEnabled(idle && SettingsShown && editable && (BoardLoaded || ProfileOpen));
    actReload->setEnabled(idle && BoardLoaded);
    const bool leftover = BoardLoaded && Details && !Details->Leftover.empty();
    actRestore->setVisible(leftover);
    actRestore->setEnabled(idle && leftover);
}

void frmMain::ShowBoxesType()
{
    Picture->SetCountsPerTurn(CountsPerTurn(BoxesType()));
    Rotation->SetCountsPerTurn(CountsPerTurn(BoxesType()));
}

void frmMain::BlankDetails()
{
    // Clearing repaints even an empty label, and this runs at every search.
    for (QLabel* l : {lblManuf, lblProduct, lblSerialNumber, lblVersion})
        if (!l->text().isEmpty())
            l->clear();
}

void frmMain::OnLoading()
{
    SetBusy(Busy::Loading);
}

void frmMain::LoadDeviceSettings(const BoardDetails& details, const ValuesToken& token)
{
    BoardLoaded = true;
    BoardToken = token;
    Details = details;
    auto show = [](const std::optional<std::u16string>& text, QLabel* target) {
        if (!text)
            return;
        target->setText(Caption(QString::fromStdString(PrintableDeviceText(*text))));
        target->setToolTip(target->text().mid(1));
    };
    show(details.Manufacturer, lblManuf);
    // The session's word on the board's type: known once it answered as a board.
    DeviceType = details.DeviceType;
    if (details.DeviceType)
        lblVersion->setText(Caption(QString::fromStdString(details.VersionText())));
    show(details.Product, lblProduct);
    show(details.SerialNumber, lblSerialNumber);
    Frame1->setEnabled(true);
    Status.SetBoard(StatusLine::Board::Loaded);
    const std::optional<int> profileType = std::exchange(ProfileType, std::nullopt);
    const bool fromProfile = std::exchange(ProfileOpen, false);
    ShowBoxesType();
    Picture->SetBoardPresent(true);

    const auto* read = std::get_if<SettingsRead>(&details.Settings);
    if (!read) {
        // Never another board's values, nor the placeholders, as this board's: the
        // boxes stay empty until a read succeeds. The user's own values are held.
        if (Edited && HeldTexts.isEmpty())
            HeldTexts = BoxTexts();
        for (QLineEdit* box : Boxes)
            box->clear();
        SettingsShown = false;
        SetSettingsControlsEnabled(false);
        SetBusy(Busy::Idle);
        ShowStatus(tr("The settings could not be read: %1. Press F5 to try again.")
                       .arg(QString::fromStdString(DescribeFailure(std::get<SessionFailure>(details.Settings)))));
        return;
    }

    SettingsShown = true;
    if (Edited) {
        // The user's values stay; the board's are a reload away.
        if (!HeldTexts.isEmpty()) {
            for (std::size_t i = 0; i < SettingsCount; ++i)
                Boxes[i]->setText(HeldTexts.value(static_cast<qsizetype>(i)));
            HeldTexts.clear();
        }
        if (fromProfile) {
            // The profile was made for this board: its counts in this board's, if the
            // user wants them so.
            BoxesToken = token;
            TakeProfileOnto(profileType);
        } else if (!BoxesToken.Valid() || SamePhysicalBoard(BoxesToken.Board, token.Board)) {
            BoxesToken = token;
            if (!Status.KeepsMessage())  // "Settings not written" says more
                ShowStatus(tr("The board is back; your values are kept. F5 takes the board's values."),
                           StatusLine::Keep::UntilWritten);
        } else {
            // Never "the board is back" for another board: the values stay bound to the
            // one they came from until the user says they go to this one.
            ShowStatus(tr("Another board is plugged in (%1); your values came from the board %2. "
                                      "F5 takes this board's values.")
                           .arg(BoardName(token.Board), BoardName(BoxesToken.Board)),
                       StatusLine::Keep::UntilWritten);
        }
    } else {
        FillBoxes(read->Values);
        BoxesToken = token;
    }
    SetSettingsControlsEnabled(true);
    SetBusy(Busy::Idle);
    if (!details.Leftover.empty() && !Status.KeepsMessage())
        ShowStatus(QString::fromStdString(details.Leftover) +
                       tr(" File > Restore the board's own settings does it here."));
    Homing->setFocus();
    UpdateAngleTips();  // the board's type may be new, its values not

    if (PendingFile) {
        const SettingsFile file = *std::exchange(PendingFile, std::nullopt);
        PutFileInBoxes(file, std::exchange(PendingPath, QString()));
    }
    RenderStatus();
}

void frmMain::TakeProfileOnto(std::optional<int> type)
{
    SettingsFile profile;
    profile.BoardType = type;
    for (std::size_t i = 0; i < SettingsCount; ++i)
        profile.Values[i] = BoxNumberValue(Boxes[i]->text(), QLocale());
    if (ConvertForThisBoard(profile, tr("The profile in the boxes")))
        for (std::size_t i = 0; i < SettingsCount; ++i)
            if (profile.Values[i])
                Boxes[i]->setText(QString::number(*profile.Values[i]));
    ShowStatus(tr("The board is here, with your profile in the boxes: press \"Write and reset\" to send it."),
               StatusLine::Keep::UntilWritten);
}

void frmMain::BoxEdited()
{
    Edited = true;
    SavedSinceEdit = false;
    Status.BoxesEdited();
    RenderStatus();
}

void frmMain::FillBoxes(const WheelSettings& settings)
{
    for (std::size_t i = 0; i < SettingsFields.size(); ++i)
        Boxes[i]->setText(QString::number(settings.*SettingsFields[i].Value));
}

QStringList frmMain::BoxTexts() const
{
    QStringList texts;
    for (const QLineEdit* box : Boxes)
        texts << box->text();
    return texts;
}

void frmMain::ShowPosition(std::int16_t position)
{
    if (!BoardLoaded)
        return;
    Picture->SetPosition(position, std::chrono::steady_clock::now());
    const QString counts = Caption(QString::number(position));
    if (Position->text() != counts)
        Position->setText(counts);
    if (const std::optional<int> perTurn = CountsPerTurn(DeviceType)) {
        const QString degrees = Caption(kx::DegreesText(PositionDegrees(position, *perTurn), QLocale()));
        if (Degrees->text() != degrees)
            Degrees->setText(degrees);
    }
}

void frmMain::HandleLostLink()
{
    // A broken link shows no reading: an empty label, not a stale or zero one.
    Position->clear();
    Degrees->clear();
    Picture->ClearPosition();
    Picture->SetAbsentText(tr("Board lost"));
    Picture->SetBoardPresent(false);
    BoardLoaded = false;
    SetSettingsControlsEnabled(false);
    SetBusy(Work == Busy::Loading ? Busy::Idle : Work);
}

void frmMain::SetSettingsControlsEnabled(bool enabled)
{
    // In the board's order, which is neither the screen's nor the Tab order; the
    // button comes after the boxes the board keeps in its first group.
    constexpr std::size_t BoxesBeforeGo = 8;
    for (std::size_t n = 0; n < CheckOrder.size(); ++n) {
        Boxes[CheckOrder[n]]->setEnabled(enabled);
        if (n + 1 == BoxesBeforeGo)
            Go->setEnabled(enabled && BoardLoaded && SettingsShown && Work == Busy::Idle);
    }
    Rotation->setEnabled(enabled);
    UpdateActions();
}
