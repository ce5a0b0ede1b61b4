// What the board session and its faces say to each other: failures with their reason,
// the board's identity, what a load read, what a write did, the tokens that bind
// values to the board they belong to, and every wait. Values only: a face that holds
// these knows nothing of the platform below the session.
#pragma once

#include "device_holder.h"
#include "settings_report.h"
#include "settings_table.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace kx {

struct HidInterfaceInfo;

// The steps of the conversation, as a failure names them.
enum class SessionStep {
    Search,        // finding and opening the board
    ReadSettings,  // the get request for report 8
    SendSettings,  // report 8 with command 1: the settings themselves
    SendCommand2,  // report 8 with command 2
    SendCommand3,  // report 8 with command 3
    ResetRequest,  // the get request for report 32, after which the board resets
    AwaitReset,    // waiting for the board to go away into its reset
    AwaitReturn,   // waiting for the same board to come back
    ReadBack,      // reading the settings once it is back
};

enum class FailureCause {
    NoBoard,       // no board present (or none that matches the one asked for)
    AccessDenied,  // the platform's reasons, as HidFailure gives them
    Gone,
    Refused,
    TimedOut,
    Other,
    TooShort,      // an answer or a report shorter than the settings need
    WrongReport,   // an answer that carries another report's ID
    ShortWrite,    // fewer bytes sent than the report's length
    NotEncodable,  // a value the board cannot store
    NotReset,      // the board stayed present through the whole wait for its reset
    NotBack,       // the board did not come back within the wait
};

struct SessionFailure {
    SessionStep Step = SessionStep::Search;
    FailureCause Cause = FailureCause::Other;
    std::string Node;    // the board's node, when one was found
    std::string Detail;  // figures, such as "12 of 64 bytes"; may be empty

    friend bool operator==(const SessionFailure&, const SessionFailure&) = default;
};

// One line for a person: what happened at which step and why ("the board at
// /dev/hidraw3 refused the settings (report 8, command 1)"), without advice: each face
// adds what its user can do.
std::string DescribeFailure(const SessionFailure& failure);

template <class T>
using Outcome = std::variant<T, SessionFailure>;

// What identifies one board, also across its reset: it comes back under a new node,
// with the same serial number and in the same port. Firmware chooses its serial number
// (cheap boards often give every unit the same one); the port is where the user
// plugged it, so it takes both to tell two boards apart.
struct BoardIdentity {
    std::string Node;
    std::uint16_t ProductID = 0;
    std::uint16_t VersionNumber = 0;
    std::string SerialNumber;  // as the enumeration gives it; may be empty
    std::string PhysicalPort;  // "usb:1-2.3" on a USB bus; may be empty

    // The same physical board: the serial number where it has one and the port where
    // both know it must match. False when neither is known, as nothing then tells two
    // boards apart.
    bool SameBoard(const HidInterfaceInfo& info) const;
    friend bool operator==(const BoardIdentity&, const BoardIdentity&) = default;
};

// Two identities of one physical board: the same product, the same serial number, and
// the same port where both know one. False when neither tells the board apart.
bool SamePhysicalBoard(const BoardIdentity& a, const BoardIdentity& b);

// What a face's values belong to: the board they were read from (or typed over, or
// opened onto) and which load of it. A write carries it, and the session refuses one
// whose load is not the open board's current one, so that values read from one board
// never reach another without the user's word.
struct ValuesToken {
    BoardIdentity Board;
    std::uint64_t Load = 0;  // 0: no load; each load and read-back numbers the next

    bool Valid() const { return Load != 0; }
    friend bool operator==(const ValuesToken&, const ValuesToken&) = default;
};

// Which board to take, where more than one may be present. Empty: the first.
struct BoardChoice {
    std::string SerialNumber;
    std::string Node;
    std::string Port;  // as HidInterfaceInfo::PhysicalPort gives it: "usb:1-2.3"

    bool Any() const { return SerialNumber.empty() && Node.empty() && Port.empty(); }
    bool Accepts(const HidInterfaceInfo& info) const;
    // What a user types to name a board: a node ("/dev/hidraw3"), a port ("usb:1-2.3")
    // or else a serial number.
    static BoardChoice Parse(const std::string& text);
};

// What a search found. Found: the board is open. Otherwise Failure says why: NoBoard,
// AccessDenied (naming the refused node) or another reason the board could not be
// opened.
struct SearchOutcome {
    bool Found = false;
    BoardIdentity Identity;          // when found
    std::optional<SessionFailure> Failure;  // when not
};

// The board's settings as read: the values, and the read image they came from, whose
// bytes a partial write sends back unchanged.
struct SettingsRead {
    WheelSettings Values;
    std::vector<std::uint8_t> Image;
};

// Everything a load reads.
struct BoardDetails {
    BoardIdentity Identity;
    // nullopt where the request failed.
    std::optional<std::u16string> Manufacturer, Product, SerialNumber;
    // The board's type, known once the manufacturer's string has been read: the board
    // is only taken to be what its version says when it answers as a board.
    std::optional<int> DeviceType;
    Outcome<SettingsRead> Settings = SessionFailure{};
    // A run that did not finish left a file's settings on the board: what to tell the
    // user ("The board still holds rally.kx5170 ..."); empty when none did.
    std::string Leftover;

    std::optional<int> CountsPerTurn() const;
    // "3.7", or empty while the type is unknown.
    std::string VersionText() const;
};

// The result of each step of a write sequence, in order.
struct WriteReport {
    std::vector<std::pair<SessionStep, std::optional<SessionFailure>>> Steps;
    BoardIdentity Board;
    // The reset request failed, but the board went away after it: it reset. A board
    // that resets on the request may end it with an error (the transfer is cut by
    // the reset itself), so its departure, not the request's result, is the proof.
    bool ResetByDeparture = false;

    // The settings were taken (command 1).
    bool SettingsTaken() const;
    // The settings and both commands were taken and the board reset: it stores them.
    bool Complete() const;
    // The first step that failed, if any; a reset request whose failure the board's
    // departure answered is none.
    std::optional<SessionFailure> FirstFailure() const;
};

// Every wait and every cadence of the program, once.
struct SessionTimings {
    // Between two string requests, and between the last and the settings read: the
    // firmware has only ever been driven that way.
    std::chrono::milliseconds RequestGap{100};
    // Emptying the input queue: at 1000 reports a second hidraw's 63-report queue is
    // full after 63 ms, so three times as often.
    std::chrono::milliseconds Drain{20};
    // Showing the newest position, and searching while no board is open.
    std::chrono::milliseconds Tick{100};
    // A full search while no change is reported, for a platform whose news is lost.
    std::chrono::milliseconds SafetyNetSearch{3000};
    // After the platform reports a change, a few events usually follow (udev granting
    // access after the kernel made the node): one search once they have settled.
    std::chrono::milliseconds ChangeSettle{20};
    // After the reset request: the board must be gone within ResetGone, and back
    // within ResetBack of going. Each wait ends on the platform's clock at its bound;
    // a request under way then is let finish (the kernel ends a request within 5 s).
    std::chrono::milliseconds ResetGone{3000};
    std::chrono::milliseconds ResetBack{10000};
    std::chrono::milliseconds ResetPoll{50};
};
inline constexpr SessionTimings DefaultTimings{};

}  // namespace kx
