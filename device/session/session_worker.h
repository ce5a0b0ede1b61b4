// A board session run by Qt's event loop, for the window: it lives on a thread of its
// own (or, in tests, on the caller's), keeps the supervision's timers there, and tells
// what happens through signals. Nothing it does can keep the window from repainting:
// a request that the kernel holds blocks this thread only.
//
// Call its slots through QMetaObject::invokeMethod (Qt::AutoConnection): queued when it
// lives on another thread, direct when on the caller's. Every signal carries values,
// never references into the session.
//
// Requests and answers. Reload and Write are requests: each carries an id and ends in
// exactly one answer with that id (ReloadAnswered, WriteAnswered), also when no board
// is open, when the values belong to another board or load, or when the session is
// closing; Writing and AwaitingReturn are news on the way. A write carries the token
// of the load its values belong to and is refused unless that is the open board's
// current load. The session's own news (a search, a load after it, a lost link, a
// position) comes unasked.
#pragma once

#include "access_help.h"
#include "session_types.h"

#include <QObject>

#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>

class QSocketNotifier;
class QTimer;

namespace kx {

class BoardSession;
class HidPlatform;
class LinkSupervisor;

// Why a write request was answered without sending anything.
enum class WriteRefusal {
    NoBoard,      // no board is open
    OtherValues,  // the values belong to another board, or to an earlier load of this one
    Closing,      // the program is closing
    InUse,        // other programs hold the board (WriteAnswer::Holders)
};

struct WriteRequest {
    std::uint64_t Id = 0;
    WheelSettings Settings;
    ValuesToken Token;  // the load the values belong to
    // After the write, wait for the same board to come back and read it back.
    bool KeepOpen = false;
    // Write even while another program holds the board.
    bool EvenIfHeld = false;
};

// The one answer to a write request.
struct WriteAnswer {
    std::uint64_t Id = 0;
    std::optional<WriteRefusal> Refused;  // nothing was sent
    std::vector<DeviceHolder> Holders;    // with InUse: who holds the board
    std::optional<WriteReport> Report;    // the sequence, once sent
    // With KeepOpen, after a complete sequence: the board read back, and the token of
    // that read, the values' new load.
    std::optional<Outcome<SettingsRead>> ReadBack;
    ValuesToken Token;
};

class SessionWorker : public QObject {
    Q_OBJECT

public:
    explicit SessionWorker(HidPlatform& platform, SessionTimings timings = DefaultTimings);
    ~SessionWorker() override;

    const SessionTimings& Timings() const { return Times; }
    // Where the board's access rule is looked for when a board is refused; udev's own
    // folders when not set. Set before Start.
    void SetRuleFinder(std::function<BoardRuleState()> finder) { RuleFinder = std::move(finder); }

    // Where run's restore journal is kept; DefaultJournalFolder() when not set. Set
    // before Start.
    void SetJournalFolder(std::filesystem::path folder) { JournalFolder = std::move(folder); }

    // From any thread: from now on every write request is refused as Closing. True
    // when a write sequence is under way: its answer is still to come, and the write
    // is let finish (it is bounded). A keep-open write then answers without waiting
    // for the board to come back.
    bool RequestClose();

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
    // Reads the open board's details and settings again: Loaded, then ReloadAnswered.
    void Reload(quint64 id);
    // The write sequence; then, with KeepOpen, waits for the same board to come back
    // from its reset and reads it back; without, closes the board when the sequence
    // was complete, as the program is about to end. Unless EvenIfHeld, nothing is
    // written while another program holds the board. Always answered by WriteAnswered.
    void Write(const kx::WriteRequest& request);
    // Puts back the board's own settings that a run which did not finish saved in the
    // journal (BoardDetails::Leftover), byte for byte, then loads the board again.
    // Always answered by RestoreAnswered: empty, or why not.
    void RestoreLeftover(quint64 id);

signals:
    // A search was made. Found: a load follows at once. A refused board comes with
    // what stands in the way: the state of its access rule.
    void Searched(const kx::SearchOutcome& outcome, const kx::BoardRuleState& rule);
    void Loading();
    // A load: what the board said, and the token its values carry.
    void Loaded(const kx::BoardDetails& details, const kx::ValuesToken& token);
    void PositionRead(qint16 position);
    // The link broke: the handles are closed; a search follows in the same tick.
    void LinkLost();
    // The answer to Reload: refused (nothing was read) when no board is open.
    void ReloadAnswered(quint64 id, bool refused);
    // News of a write under way: the sequence started; the board is resetting.
    void Writing(quint64 id);
    void AwaitingReturn(quint64 id);
    void WriteAnswered(const kx::WriteAnswer& answer);
    void RestoreAnswered(quint64 id, const QString& failure);

private:
    void StartTimers();
    void StopTimers();
    // The supervision's pace: every tick and drain while a board is open; while none
    // is, where the platform wakes us on a change, only the safety net's search.
    void PaceTimers();
    void LoadNow();
    bool TakeChangeNews();
    void FollowChangeNotification();
    ValuesToken CurrentToken() const;

    HidPlatform& Platform;
    const SessionTimings Times;
    // Behind pointers, so that a face sees the session's values and not the platform.
    std::unique_ptr<BoardSession> Session;
    std::unique_ptr<LinkSupervisor> Supervisor;
    std::function<BoardRuleState()> RuleFinder;
    std::optional<BoardRuleState> RuleSeen;  // until the platform reports a change
    QTimer* TickTimer = nullptr;
    QTimer* DrainTimer = nullptr;
    QTimer* ChangeSettle = nullptr;
    QSocketNotifier* ChangeNotifier = nullptr;
    bool SearchAsked = false;
    bool Running = false;
    std::uint64_t Loads = 0;  // the current load's number; 0 before the first
    std::filesystem::path JournalFolder;

    std::mutex CloseLock;  // Closing and WriteUnderWay, between the threads
    bool Closing = false;
    bool WriteUnderWay = false;
};

}  // namespace kx
