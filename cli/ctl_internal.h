// What the commands of kx5170ctl share: opening the board, reading its strings,
// reporting a failure.
#pragma once

#include "ctl.h"
#include "board_identity.h"
#include "device_link.h"
#include "settings_table.h"

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace kx::ctl {

struct Options {
    bool Json = false;
    bool Clamp = false;
    bool Force = false;
    bool NoVerify = false;
};

struct Failure {
    int Status;
    std::string Message;  // one line: what went wrong, then what to do
};

// Prints "kx5170ctl: MESSAGE" on standard error and gives the status back.
int Report(CtlEnvironment& environment, const Failure& failure);

// Searches for the board and opens the first one, or says why not.
std::optional<Failure> OpenFirstBoard(DeviceLink& link, HidPlatform& platform);

// The board's type, the high byte of its version: it sets the counts a turn.
// "3.7": the type in decimal, the revision in upper-case hex, as the window shows it.
std::string VersionText(std::uint16_t version);
// "0x5E11"
std::string HexId(std::uint16_t id);

// A device string fit for a terminal, a file comment or a JSON value: UTF-8 with
// control characters (which could move a terminal's cursor or start a new line in a
// file) replaced by U+FFFD. Empty when the request failed.
std::string PrintableText(const std::optional<std::u16string>& text);

// Reads the given strings in order with the pause the board needs between two
// requests, and the same pause after the last when more requests follow.
std::vector<std::optional<std::u16string>> ReadStrings(DeviceLink& link, HidPlatform& platform,
                                                       const std::vector<DeviceString>& which, bool moreFollow);

// The board's settings, or a failure with status 4.
std::variant<WheelSettings, Failure> ReadBoardSettings(DeviceLink& link);

// The gap the window leaves between the board's string requests and before its
// settings read. The firmware has only ever been driven that way, so two requests that
// follow each other keep it; a lone request needs none.
inline constexpr std::chrono::milliseconds RequestGap{100};

int RunWrite(const QStringList& positional, const Options& options, HidPlatform& platform,
             CtlEnvironment& environment);
int RunWatch(const Options& options, HidPlatform& platform, CtlEnvironment& environment);

}  // namespace kx::ctl
