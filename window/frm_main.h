// The program's one window: the board's details, the live wheel position, the twelve
// settings, the "Write and reset" button, and the status line under it, which offers
// to install the device access rule when the board may not be opened.
#pragma once

#include "access_fix_dialog.h"
#include "device_link.h"
#include "hid_platform.h"
#include "status_line.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <optional>
#include <span>

class QCloseEvent;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSocketNotifier;
class QTimer;

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

    kx::DeviceLink Link;

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

private:
    void BuildLayout();
    void Form_Unload();
    void SearchForBoard();
    void ShowPosition(std::span<const std::uint8_t> report);
    void HandleLostLink();
    void SetSettingsControlsEnabled(bool enabled);
    void SetBoardStatus(StatusLine::Board board);
    void RenderStatus();
    // Asks the platform for its change news and follows its notification descriptor.
    bool TakeChangeNews();
    void FollowChangeNotification();
    bool RefuseBox(QLineEdit* box, const QString& message);

    kx::HidPlatform& Platform;
    // The newest input report drained since the last tick, and whether a read failed.
    std::array<std::uint8_t, 3> NewestReport{};
    bool NewReport = false;
    bool ReadFailed = false;
    int TicksSinceSearch = 0;
    // Where a board refused by the search stands in its second of grace.
    enum class Denial { None, Waiting, Told } AccessDenial = Denial::None;
};

// Ticks between full searches while no board is open and the platform reports no
// change in the HID interfaces present.
inline constexpr int SafetyNetSearchTicks = 30;
