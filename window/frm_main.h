// The program's one window: the board's details, the live wheel position, the twelve
// settings, the "Write and reset" button, and the status line under it, which offers
// to install the device access rule when the board may not be opened; above them a
// menu bar for settings files, reloading, writing and About. The layout sits in a
// fixed-size client area that scrolls when the screen is too small for it.
//
// The window only shows and asks: everything it knows of the board comes from the
// board session (session_worker.h), which runs on a thread of its own once
// RunSessionOnThread has been called, so that nothing the board does can keep the
// window from repainting or closing.
#pragma once

#include "access_fix_dialog.h"
#include "access_help.h"
#include "session_types.h"
#include "settings_file.h"
#include "settings_table.h"
#include "status_line.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QCloseEvent;
class QDragEnterEvent;
class QDropEvent;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QScrollArea;
class QThread;
class QTimer;

namespace kx {
class RotationField;
class SessionWorker;
struct WriteAnswer;
class WheelPicture;
}

// What the window asks of the user in dialogs. Tests put their own answers here, so
// that nothing modal runs under them.
struct WindowDialogs {
    // The file to open, or to save to (suggested: a name to start from); empty when
    // the user cancels.
    std::function<QString(QWidget* parent, const QString& directory)> OpenFileName;
    std::function<QString(QWidget* parent, const QString& suggested)> SaveFileName;
    // A yes-or-no question; true for yes.
    std::function<bool(QWidget* parent, const QString& question)> Confirm;
    // A question with the answers given, the first the default; the index of the one
    // chosen, or -1 when the user closes the question.
    std::function<int(QWidget* parent, const QString& question, const QStringList& answers)> Choose;
    std::function<void(QWidget* parent, const QString& message)> Warn;
};

// The desktop's file dialogs and message boxes.
WindowDialogs DesktopDialogs();

class frmMain : public QWidget {
    Q_OBJECT

public:
    // The window is handed its board session; it reaches the board through nothing else.
    explicit frmMain(std::unique_ptr<kx::SessionWorker> session, QWidget* parent = nullptr);
    ~frmMain() override;

    // Before Form_Load: the session runs on a thread of its own. Without it, it runs on
    // the window's thread (the tests, which then drive its ticks themselves).
    void RunSessionOnThread();
    // After the window has closed: stops the session and waits up to `wait` for its
    // thread. False when a request the kernel holds keeps it busy: the caller then ends
    // the program without waiting for it, as nothing is left to save.
    bool FinishSession(std::chrono::milliseconds wait);
    // The session, for tests that drive its ticks.
    kx::SessionWorker& Session() const { return *Worker; }
    // For tests, before Form_Load, with the session on the window's thread: its news
    // and the window's requests are queued all the same, as across two threads, so
    // that a test decides when each arrives (and a click can come before the news).
    void QueueSessionTraffic();

    // Shows the window, then has the session search, load and supervise the board.
    void Form_Load();
    // "Write and reset": the twelve boxes checked, brought into range and written; a
    // complete write ends the program.
    void Go_Click();
    // "Write and keep open": the same, then the board read back once it is back from
    // its reset.
    void WriteKeepOpen_Click();
    // A board refused at a search a second ago is still refused: now it is said.
    void AccessGrace_Timer();
    // "Fix..." in the status line: opens the dialog that installs the access rule.
    void lblStatus_LinkActivated();
    // Opens the file now when a board is loaded, or else at the next load; a file that
    // cannot be read or is not a settings file is said at once.
    void OpenWhenLoaded(const QString& path);

    void SetDialogs(WindowDialogs dialogs) { Dialogs = std::move(dialogs); }
    // Shown in the status line when a board is loaded and there is nothing else to say.
    void SetIdleStatus(const QString& text);
    // The HID library the program runs on, for About: "hidapi 0.13.1".
    void SetAboutPlatform(const QString& text) { AboutPlatform = text; }
    // The screen area the window may take; the window's screen when not set.
    void SetAvailableScreenArea(std::function<QRect()> area) { AvailableScreenArea = std::move(area); }
    void SetRuleInstallCommand(RuleInstallCommand command) { FixCommand = std::move(command); }
    // Where the board's udev rule is looked for; udev's own folders when not set. The
    // session looks, on its own thread: the rules folders grow with the system.
    void SetRuleFinder(std::function<kx::BoardRuleState()> finder);
    QString AboutText() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Asked: a write was requested and the session has not said it started.
    enum class Busy { Idle, Loading, Asked, Writing };

    void ConnectSession();
    void BuildLayout();
    // Moves the columns apart and widens the window where a language's words need it.
    void GiveTextsRoom();
    void BuildMenus();
    // Sizes the window to its client area and menu bar, or to the screen's available
    // area when that is less, the client area then scrolling.
    void FitToScreen();

    // What the session tells.
    void OnSearched(const kx::SearchOutcome& outcome, const kx::BoardRuleState& rule);
    void OnLoading();
    void LoadDeviceSettings(const kx::BoardDetails& details, const kx::ValuesToken& token);
    void ShowPosition(std::int16_t position);
    void HandleLostLink();
    void OnReloadAnswered(quint64 id, bool refused);
    void OnRestoreAnswered(quint64 id, const QString& failure);
    // File > Restore the board's own settings: a run that did not finish left a file on it.
    void RestoreLeftover();
    void OnWriteStarted(quint64 id);
    void OnAwaitingReturn(quint64 id);
    void OnWriteAnswered(const kx::WriteAnswer& answer);
    void OnWritten(const kx::WriteReport& report);
    void OnReadBack(const kx::Outcome<kx::SettingsRead>& back, const kx::ValuesToken& token);
    void OnHeldBy(const std::vector<kx::DeviceHolder>& holders);

    void StartWrite(bool keepOpen, bool evenIfHeld = false);
    // The values in the boxes came from another board than the one loaded: the user
    // says whether they go to this one. True when they may.
    bool ValuesMayGoToThisBoard();
    // "serial 0042 at usb:1-2": how the line names a board.
    static QString BoardName(const kx::BoardIdentity& board);
    void RuleInstalled();
    void BlankDetails();
    void SetSettingsControlsEnabled(bool enabled);
    void SetBusy(Busy busy);
    void ShowStatus(const QString& text, StatusLine::Keep keep = StatusLine::Keep::UntilBoardChanges);
    void SetBoardStatus(StatusLine::Board board);
    void RenderStatus();
    // The boxes' values brought into range as the board will take them, corrections
    // written back into the boxes when `correct`; nullopt, with the first bad box
    // refused, when a box cannot be sent.
    std::optional<kx::WheelSettings> CheckedBoxes(bool correct = true);
    void RefuseBox(QLineEdit* box, const QString& message);
    void FillBoxes(const kx::WheelSettings& settings);
    QStringList BoxTexts() const;
    void UpdateAngleTips();
    // The user typed into a box (or the rotation): the values are the user's now.
    void BoxEdited();

    // The File menu.
    void OpenSettings();
    void SaveSettings();
    void ReloadFromBoard();
    bool OpenSettingsFile(const QString& path);
    bool SaveSettingsFile(const QString& path);
    // Reads and checks a file without touching the boxes; nullopt, told through
    // Dialogs.Warn, when it cannot be used.
    std::optional<kx::SettingsFile> ReadSettingsFile(const QString& path);
    bool PutFileInBoxes(const kx::SettingsFile& file, const QString& path);
    // With no board: the type of board a profile is for, from the file or asked.
    std::optional<int> AskProfileType(const kx::SettingsFile& file, const QString& name);
    // Values counted for another type of board than the one loaded: converted, kept as
    // they are, or (false) not taken, as the user answers.
    bool ConvertForThisBoard(kx::SettingsFile& settings, const QString& name);
    // The type the boxes' counts are for: the board's, or the open profile's.
    std::optional<int> BoxesType() const { return BoardLoaded ? DeviceType : ProfileType; }
    // A board was loaded while a profile for `type` was open: offers to convert its
    // counts where the board counts otherwise.
    void TakeProfileOnto(std::optional<int> type);
    // The dial and the rotation field in the boxes' type.
    void ShowBoxesType();
    // The File menu's and the buttons' states, from the window's.
    void UpdateActions();
    // Where unwritten, unsaved values would be replaced: asks Save, Discard or Cancel
    // ("before `what`"). True when the boxes may be replaced.
    bool KeepOrDiscardEdits(const QString& what);
    void ShowAbout();
    // File > Open recent: the last files opened or saved, newest first.
    void RememberFile(const QString& path);
    void FillRecentMenu();

    std::unique_ptr<kx::SessionWorker> Worker;
    Qt::ConnectionType SessionTraffic = Qt::AutoConnection;
    QThread* SessionThread = nullptr;
    WindowDialogs Dialogs = DesktopDialogs();
    QString IdleStatus;
    QString AboutPlatform;
    std::function<QRect()> AvailableScreenArea;
    RuleInstallCommand FixCommand;
    QPointer<AccessFixDialog> FixDialog;
    StatusLine Status;

    // What the board last loaded said of itself; empty while no board is loaded.
    std::optional<kx::BoardDetails> Details;
    std::optional<int> DeviceType;  // the loaded board's, as the session knows it
    // A profile opened with no board: the boxes are the user's, for this type of board,
    // until a board is loaded.
    bool ProfileOpen = false;
    std::optional<int> ProfileType;
    bool SavedSinceEdit = false;  // the boxes' values are in a file
    bool BoardLoaded = false;
    bool SettingsShown = false;  // the boxes hold the loaded board's settings (or the user's)
    Busy Work = Busy::Idle;
    bool CloseWhenWritten = false;
    bool ClosingAfterWrite = false;  // the settings are on the board: nothing to ask
    bool KeepOpenAfterWrite = false;
    // Requests to the session awaiting their answer; each is answered exactly once.
    quint64 LastRequest = 0;
    std::optional<quint64> PendingWrite, PendingReload, PendingRestore;
    // While a write is under way: what was sent, and the boxes' texts then, so that
    // a value typed meanwhile is told from one the read-back may replace.
    std::optional<kx::WheelSettings> SentSettings;
    QStringList SentTexts;
    QStringList TypedTexts;  // as typed, before any was brought into range
    // The load the boxes' values belong to, and the board loaded now.
    kx::ValuesToken BoxesToken, BoardToken;
    // Values the user typed or opened and has not written. While the boxes cannot show
    // them (a board whose settings could not be read), they are held here.
    bool Edited = false;
    QStringList HeldTexts;
    // A file to open at the next load, already checked.
    QString PendingPath;
    std::optional<kx::SettingsFile> PendingFile;
    QString LastDirectory;
    // Where a board refused by the search stands in its second of grace.
    enum class Denial { None, Waiting, Told } AccessDenial = Denial::None;

    QMenuBar* MenuBar;
    QAction* actOpen;
    QAction* actSave;
    QAction* actReload;
    QAction* actWriteKeepOpen;
    QAction* actRestore;  // shown while the board holds a file a run left on it
    QMenu* RecentMenu;
    QAction* actQuit;
    QAction* actAbout;
    QScrollArea* ClientScroll;
    QWidget* Client;  // every control of the layout, at its fixed coordinates
    // By index into kx::SettingsFields: the twelve boxes and their caption labels.
    std::array<QLineEdit*, kx::SettingsCount> Boxes{};
    std::array<QLabel*, kx::SettingsCount> Captions{};
    QGroupBox* Frame1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label7;
    QLabel* Label8;
    QLabel* Label9;
    QLabel* Label11;
    QLabel* Label12;
    QLabel* Label13;
    QLabel* Label14;
    QLabel* Label15;
    QLabel* Label16;
    QLabel* Label17;
    QLabel* Label18;
    QLabel* Label19;
    QLabel* Label20;
    QLabel* Label21;
    QLabel* Label22;
    QLabel* Label23;
    QLabel* Label24;
    QLabel* lblManuf;
    QLabel* lblProduct;
    QLabel* lblVersion;
    QLabel* lblSerialNumber;
    QLabel* Position;
    QLabel* Degrees;
    QLineEdit* Homing;
    QLineEdit* TDamp;
    QLineEdit* TInertia;
    QLineEdit* TFriction;
    QLineEdit* Slimit;
    QLineEdit* Stiff;
    QLineEdit* Damp;
    QLineEdit* Spring;
    QLineEdit* MotorFilter;
    QLineEdit* InputFilter;
    QLineEdit* OverallScale;
    QLineEdit* DampingScale;
    QFrame* Line1;
    QFrame* Line2;
    QFrame* Line3;
    QPushButton* Go;
    QPushButton* WriteKeepOpen;  // under the picture: write, then read back and stay
    kx::RotationField* Rotation;  // the stops as degrees lock to lock
    QLabel* lblStatus;
    kx::WheelPicture* Picture;  // beside the layout: the wheel, its stops and the last ten seconds
    QTimer* AccessGrace;  // a refused board's second to be given access, as udev does after a plug
};
