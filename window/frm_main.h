// The program's one window: the board's details, the live wheel position, the twelve
// settings, the "Write and reset" button, and the status line under it, which offers
// to install the device access rule when the board may not be opened; above them a
// menu bar for settings files, reloading and About. The layout sits in a fixed-size
// client area that scrolls when the screen is too short for it.
#pragma once

#include "access_fix_dialog.h"
#include "device_link.h"
#include "hid_platform.h"
#include "settings_table.h"
#include "status_line.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

class QAction;
class QCloseEvent;
class QDragEnterEvent;
class QDropEvent;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPushButton;
class QScrollArea;
class QSocketNotifier;
class QTimer;

// What the window asks of the user in dialogs. Tests put their own answers here, so
// that nothing modal runs under them.
struct WindowDialogs {
    // The file to open, or to save to (suggested: a name to start from); empty when
    // the user cancels.
    std::function<QString(QWidget* parent, const QString& directory)> OpenFileName;
    std::function<QString(QWidget* parent, const QString& suggested)> SaveFileName;
    // A yes-or-no question; true for yes.
    std::function<bool(QWidget* parent, const QString& question)> Confirm;
    std::function<void(QWidget* parent, const QString& message)> Warn;
};

// The desktop's file dialogs and message boxes.
WindowDialogs DesktopDialogs();

class frmMain : public QWidget {
    Q_OBJECT

public:
    explicit frmMain(kx::HidPlatform& platform, QWidget* parent = nullptr);
    ~frmMain() override;

    // Shows the window, searches for the board, loads it and starts the Timer.
    void Form_Load();
    // One Timer tick: shows the newest position while a board is open, searches for
    // one while none is.
    void Timer_Timer();
    // Brings the twelve values into range, writes them and closes the window.
    void Go_Click();
    // Between ticks: empties the board's input queue, keeping only the newest report of
    // the wheel, so the kernel never has to drop the newest one for want of room.
    void DrainInput();
    // Fills the window from the open board, or blanks the device details.
    void LoadDeviceSettings();
    // A board refused at a search a second ago is still refused: now it is said.
    void AccessGrace_Timer();
    // "Fix..." in the status line: opens the dialog that installs the access rule.
    void lblStatus_LinkActivated();
    // The rule was installed: search again at once, the board needs no replug.
    void RuleInstalled();
    // Puts a message about what the user did on the status line (an empty text takes
    // it away); the search's news does not replace it until it changes, or with
    // UntilLoaded, until a board is loaded.
    void ShowStatus(const QString& text, StatusLine::Keep keep = StatusLine::Keep::UntilBoardChanges);

    // File menu, each doing nothing while no board is open. Opening fills the boxes
    // the file names and sends nothing; saving writes what the boxes hold, checked as
    // "Write and reset" checks them. The menu's actions ask for a name through Dialogs.
    void OpenSettings();
    void SaveSettings();
    void ReloadFromBoard();
    // True when done. A refused file (told through Dialogs.Warn) or a refused box
    // (told as "Write and reset" tells it) changes nothing; a file from a board that
    // counts other steps a turn is opened only when Dialogs.Confirm says so.
    bool OpenSettingsFile(const QString& path);
    bool SaveSettingsFile(const QString& path);
    // Opens the file now when a board is loaded, or else at the next load.
    void OpenWhenLoaded(const QString& path);
    QString AboutText() const;
    void ShowAbout();
    // Sizes the window to its client area and menu bar, or to the screen's available
    // height when that is less, the client area then scrolling.
    void FitToScreen();

    kx::DeviceLink Link;
    WindowDialogs Dialogs = DesktopDialogs();
    // Shown in the status line whenever there is nothing else to say there.
    QString IdleStatus;
    // The HID library the program runs on, for About: "hidapi 0.13.1".
    QString AboutPlatform;
    // The screen area the window may take; the window's screen when not set.
    std::function<QRect()> AvailableScreenArea;

    QMenuBar* MenuBar;
    QAction* actOpen;
    QAction* actSave;
    QAction* actReload;
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
    QLabel* lblStatus;
    QTimer* Timer;
    QTimer* InputDrain;  // empties the input queue between ticks
    QTimer* ChangeSettle = nullptr;              // a search shortly after the platform's change news
    QSocketNotifier* ChangeNotifier = nullptr;   // the platform's change news, when it has any
    QTimer* AccessGrace;  // a refused board's second to be given access, as udev does after a plug
    RuleInstallCommand FixCommand;               // how "Fix..." runs the rule installer
    QPointer<AccessFixDialog> FixDialog;         // while open
    StatusLine Status;

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildLayout();
    void BuildMenus();
    void Form_Unload();
    void SearchForBoard();
    void ShowPosition(std::int16_t position);
    void HandleLostLink();
    void SetSettingsControlsEnabled(bool enabled);
    void SetBoardStatus(StatusLine::Board board);
    void RenderStatus();
    // Asks the platform for its change news and follows its notification descriptor.
    bool TakeChangeNews();
    void FollowChangeNotification();
    // The boxes' values brought into range as the board will take them, corrections
    // written back into the boxes; nullopt, with the first bad box refused, when a box
    // cannot be sent.
    std::optional<kx::WheelSettings> CheckedBoxes();
    void RefuseBox(QLineEdit* box, const QString& message);
    void UpdateAngleTips();

    kx::HidPlatform& Platform;
    // The newest input report drained since the last tick, and whether a read failed.
    std::int16_t NewestPosition = 0;
    bool NewReport = false;
    bool ReadFailed = false;
    int TicksSinceSearch = 0;
    QString PendingFile;  // to open at the next load
    QString LastDirectory;  // where the last settings file was opened or saved
    // Where a board refused by the search stands in its second of grace.
    enum class Denial { None, Waiting, Told } AccessDenial = Denial::None;
};

// Ticks between full searches while no board is open and the platform reports no
// change in the HID interfaces present.
inline constexpr int SafetyNetSearchTicks = 30;
