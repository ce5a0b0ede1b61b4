// A board session run by Qt's event loop, for the window: it lives on a thread of its
// own (or, in tests, on the caller's), keeps the supervision's timers there, and tells
// what happens through signals. Nothing it does can keep the window from repainting:
// a request that the kernel holds blocks this thread only.
//
// Call its slots through QMetaObject::invokeMethod (Qt::AutoConnection): queued when it
// lives on another thread, direct when on the caller's. Every signal carries values,
// never references into the session.
#pragma once

#include "board_session.h"

#include <QObject>

#include <memory>

class QSocketNotifier;
class QTimer;

namespace kx {

class SessionWorker : public QObject {
    Q_OBJECT

public:
    explicit SessionWorker(HidPlatform& platform, SessionTimings timings = DefaultTimings);
    ~SessionWorker() override;

    const SessionTimings& Timings() const { return Times; }

public slots:
    // Searches, loads what it finds, and from then on supervises the link.
    void Start();
    // Stops supervising and closes the board. Nothing more is sent.
    void Stop();
    // One tick of the supervision: the newest position, a lost link, and while no
    // board is open a search (on change news or as the safety net). Called by the
    // worker's timer; tests call it directly.
    void Tick();
    // Empties the input queue between ticks.
    void DrainInput();
    // Searches at the next opportunity, as on change news (the access rule was just
    // installed, say).
    void SearchNow();
    // Reads the open board's details and settings again.
    void Reload();
    // The write sequence. Then, with keepOpen, waits for the same board to come back
    // from its reset and reads it back (ReadBack); without, closes the board when the
    // sequence was complete, as the program is about to end. Unless `evenIfHeld`,
    // nothing is written while another program holds the board: HeldBy tells who.
    void Write(const kx::WheelSettings& settings, bool keepOpen, bool evenIfHeld = false);

signals:
    // A search was made. Found: a load follows at once.
    void Searched(const kx::SearchOutcome& outcome);
    void Loading();
    void Loaded(const kx::BoardDetails& details);
    void PositionRead(qint16 position);
    // The link broke: the handles are closed; a search follows in the same tick.
    void LinkLost();
    // A write was not started: these programs hold the board, and its reset would take
    // it away from them.
    void HeldBy(const std::vector<kx::DeviceHolder>& holders);
    void Writing();
    void Written(const kx::WriteReport& report);
    void AwaitingReturn();
    void ReadBack(const kx::Outcome<kx::SettingsRead>& back);

private:
    void StartTimers();
    void StopTimers();
    void LoadNow();
    bool TakeChangeNews();
    void FollowChangeNotification();

    HidPlatform& Platform;
    const SessionTimings Times;
    BoardSession Session;
    LinkSupervisor Supervisor;
    QTimer* TickTimer = nullptr;
    QTimer* DrainTimer = nullptr;
    QTimer* ChangeSettle = nullptr;
    QSocketNotifier* ChangeNotifier = nullptr;
    bool SearchAsked = false;
    bool Running = false;
};

}  // namespace kx
