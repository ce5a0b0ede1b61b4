// The conversation with the board, once, for the window and kx5170ctl alike: the
// search, the board's identity, its strings with their pauses, the settings read, the
// write sequence, the wait for the same board to come back from its reset, the input
// drain and the supervision of the link.
//
// Synchronous: every call returns when the board has answered, the platform has given
// up, or a stated bound has run out on the platform's clock. The window runs a session
// on a thread of its own (session_worker.h); kx5170ctl runs it on its only thread.
// Failures are values that keep their step and the platform's reason up to the message
// the user reads.
#pragma once

#include "device_link.h"
#include "hid_platform.h"
#include "session_types.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace kx {

class BoardSession {
public:
    explicit BoardSession(HidPlatform& platform, SessionTimings timings = DefaultTimings);
    ~BoardSession();
    BoardSession(const BoardSession&) = delete;
    BoardSession& operator=(const BoardSession&) = delete;

    HidPlatform& Platform() const { return Hid; }
    const SessionTimings& Timings() const { return Times; }

    // Searches for the board and opens the first that `choice` accepts: of the
    // interfaces with the board's identity, those that declare report 8, in the
    // platform's order, one that cannot be opened passed over. Closes whatever was
    // open before.
    SearchOutcome Search(const BoardChoice& choice = {});
    bool IsOpen() const;
    // The open board, or the one last open.
    const BoardIdentity& Identity() const { return Board; }
    // Closes the board's handles; nothing is sent.
    void Close();
    // The open board's type: its version's high byte, taken only once the board has
    // answered the manufacturer's string request as a board does (asked here when no
    // load has asked it yet). nullopt while it has not. The one rule for both faces
    // and for saved files.
    std::optional<int> DeviceType();

    // The manufacturer, product and serial strings, each followed by the request gap,
    // then the settings.
    BoardDetails Load();
    Outcome<SettingsRead> ReadSettings();

    // The write sequence: report 8 with command 1, 2 and 3, then the get request for
    // report 32. Every step is sent whatever the one before did, as the board has
    // always been driven; each step's result is kept. Nothing is sent when a value
    // cannot be encoded or report 8 is too short to hold the settings.
    WriteReport Write(const WheelSettings& settings);
    // The same with only the named settings encoded; every other setting's bytes go
    // back as `held` gave them, so a partial write changes nothing it does not name.
    WriteReport WriteNamed(const SettingsRead& held,
                           const std::array<std::optional<std::int32_t>, SettingsCount>& values);

    // After a complete write: waits for the board to go away into its reset, then for
    // the same board to come back (never another board present meanwhile), opens it
    // and reads its settings. Fails at the bounds of SessionTimings.
    Outcome<SettingsRead> AwaitReturn();

    // Takes the queued input reports, never waiting.
    DrainedInput Drain();

    // The other programs that hold one of the open board's nodes: a write resets the
    // board, and would take it away from them (a game would lose its wheel).
    std::vector<DeviceHolder> OtherHolders() const;
    // Waits up to `bound` on the platform's clock for every other program to let go of
    // the open board; what still holds it then.
    std::vector<DeviceHolder> AwaitNoHolders(std::chrono::milliseconds bound);

    // Every board present, one entry a board with all its interfaces, each opened once
    // (and closed again) to learn whether this user may open it; nothing is sent.
    struct Listing {
        std::uint16_t ProductID = 0;
        std::uint16_t VersionNumber = 0;
        std::string SerialNumber;
        std::vector<std::pair<std::string, HidFailure>> Nodes;  // None: it opens
        std::string Port;
    };
    std::vector<Listing> List();

private:
    WriteReport SendSequence(std::optional<std::vector<std::uint8_t>> image, std::size_t length);
    // Waits up to ResetGone for the board to go away; true when it went.
    bool AwaitDeparture();
    SessionFailure FailureAt(SessionStep step, FailureCause cause, std::string detail = {}) const;
    bool Present();

    HidPlatform& Hid;
    const SessionTimings Times;
    DeviceLink Link;
    BoardIdentity Board;
    std::optional<int> KnownType;  // of Board, once it answered as a board
};

// The supervision of the link, for a caller that calls Drain every Timings().Drain
// and Tick every Timings().Tick: the newest position, the link lost, and while no
// board is open a search on the platform's change news or, failing news, every
// SafetyNetSearch.
class LinkSupervisor {
public:
    explicit LinkSupervisor(BoardSession& session) : Session(session) {}

    struct News {
        std::optional<std::int16_t> Position;  // the newest since the last tick
        bool Lost = false;                     // the link was lost: the handles are closed
        std::optional<SearchOutcome> Search;   // a search was made
    };

    void Drain();
    // While no board is open, asks the platform for its change news and searches when
    // there is some, when `searchNow`, or when the safety net is due.
    News Tick(bool searchNow = false);
    // Supervises until `stop` answers true, draining every Timings().Drain and ticking
    // every Timings().Tick on the platform's clock; `onNews` hears each tick's news.
    // The first search is the caller's.
    void Follow(const std::function<void(const News&)>& onNews, const std::function<bool()>& stop);
    // Forget what was drained: after a load or a write, the queue starts afresh.
    void Restart();
    BoardChoice Choice;

private:
    BoardSession& Session;
    std::optional<std::int16_t> Newest;
    bool ReadFailed = false;
    std::chrono::milliseconds SinceSearch{0};
};

}  // namespace kx
