// What `kx5170ctl run` puts on a board, kept where nothing can lose it: before its
// first byte goes to the board, run saves the board's own settings report, exactly as
// read, to a file of its own for that board. The file outlives the tool (SIGKILL, a
// crash, the session logged out, the power cut) and is removed only once the board has
// those bytes back and they read back. Both faces read it: kx5170ctl's show, list,
// doctor, run and restore, and the window's status line and its restore action.
//
// One file a board under the journal folder ($XDG_STATE_HOME/kx5170, by default
// ~/.local/state/kx5170), named after the board's serial number and port; its text is a
// JSON object. Written to a scratch file, synced, renamed over the old one and the
// folder synced, so that it is either wholly there or not at all.
#pragma once

#include "board_session.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace kx {

// The folder the journal lives in: $XDG_STATE_HOME/kx5170, or $HOME/.local/state/kx5170
// when XDG_STATE_HOME is unset or not an absolute path (as the XDG base directory
// rules say). Empty when neither gives an absolute path.
std::filesystem::path DefaultJournalFolder();

struct RestoreEntry {
    // The board: serial number and port as the enumeration gave them (either may be
    // empty), its node then, product and version.
    std::string SerialNumber;
    std::string Port;
    std::string Node;
    std::uint16_t ProductID = 0;
    std::uint16_t VersionNumber = 0;
    // The settings file put on the board, as an absolute path; "-" for standard input.
    std::string FileApplied;
    // When, in seconds since the epoch, and by which process: its ID, its start time as
    // the kernel counts it and the boot it ran in, so that a process ID used again by
    // another program (or after a restart) is not taken for the run.
    std::int64_t Time = 0;
    std::int64_t ProcessID = 0;
    std::string ProcessStart;
    std::string BootID;
    // The board's settings report as it was read, report-ID byte first.
    std::vector<std::uint8_t> Image;

    friend bool operator==(const RestoreEntry&, const RestoreEntry&) = default;
};

// An entry for the open board of `session`, made by this process now, holding `held`.
RestoreEntry EntryForRun(const BoardIdentity& board, const SettingsRead& held, const std::string& fileApplied);

// The file an entry for this board is kept in, inside `folder`.
std::filesystem::path JournalFileFor(const std::filesystem::path& folder, const RestoreEntry& entry);

// The entry's text, and back. ParseRestoreEntry gives the reason when the text is not
// an entry (not JSON, a field missing or of the wrong kind, no settings bytes).
std::string FormatRestoreEntry(const RestoreEntry& entry);
std::variant<RestoreEntry, std::string> ParseRestoreEntry(const std::string& text);

// Saves the entry for its board, replacing an older one, and syncs it to the disk
// before returning. nullopt when done, else why not ("Permission denied").
std::optional<std::string> SaveRestoreEntry(const std::filesystem::path& folder, const RestoreEntry& entry);
// Removes the entry's file; nullopt when done or already gone, else why not.
std::optional<std::string> RemoveRestoreEntry(const std::filesystem::path& folder, const RestoreEntry& entry);

struct JournalItem {
    std::filesystem::path File;
    std::variant<RestoreEntry, std::string> Entry;  // or why it cannot be read
};
// Every entry in the folder, in file-name order; none when the folder is missing.
std::vector<JournalItem> ReadJournal(const std::filesystem::path& folder);

// Whether the process that made the entry still runs: then the entry is that run's own
// and not a leftover.
bool RunStillAlive(const RestoreEntry& entry);

// Whether the entry is for this interface's board: its serial number and port as
// BoardIdentity::SameBoard tells them, or, for a board with neither, its node.
// A new entry for the same board is kept in the same file (JournalFileFor).
bool EntryIsFor(const RestoreEntry& entry, const HidInterfaceInfo& info);
bool EntryIsFor(const RestoreEntry& entry, const BoardIdentity& board);
// The choice that finds the entry's board: its serial number and port, or its node
// for a board with neither.
BoardChoice ChoiceFor(const RestoreEntry& entry);
// What a user gives --board to name the entry's board: its port ("usb:1-2"), else its
// serial number, else its node.
std::string BoardArgument(const RestoreEntry& entry);

// A board that still holds the settings of a run that did not finish.
struct Leftover {
    RestoreEntry Entry;
    std::filesystem::path File;
    // For a person: "The board still holds rally.kx5170 (put on by run at 18:02, which
    // did not finish); kx5170ctl restore puts its own settings back."
    std::string Sentence;
};
// The leftover for the board `board` (an open or listed board), if there is one; an
// entry whose run still runs is none.
std::optional<Leftover> FindLeftover(const std::filesystem::path& folder, const HidInterfaceInfo& board);
std::optional<Leftover> FindLeftover(const std::filesystem::path& folder, const BoardIdentity& board);
// With `nameTheBoard`, the command names it: "kx5170ctl restore --board usb:1-2 puts ...".
// `inEnglish`: the English sentence whatever the user's language, for what scripts read.
std::string LeftoverSentence(const RestoreEntry& entry, bool nameTheBoard = false, bool inEnglish = false);
// The settings file's name as the sentence gives it: its file name, or "the settings
// from standard input".
std::string AppliedFileName(const RestoreEntry& entry);

// Why a restore did not end with the board's own settings back and the entry removed.
struct RestoreFailure {
    std::optional<SessionFailure> Session;  // the step of the write or the read back that failed
    std::string Reason;                     // one line without advice; for a person
    bool BoardChanged = false;              // bytes reached the board: the entry is kept
    bool SettingsBack = false;              // they are back and checked, but the entry could not be removed
};

// Writes the entry's settings report back to the open board of `session` (which must be
// the entry's board) as it was read, every byte of it taken from the entry and none
// decoded and encoded again; waits for the board to come back from its reset, checks it
// holds them, and then removes the entry from `folder`. nullopt when all of that was
// done. The entry stays whenever the board may not hold its own settings.
std::optional<RestoreFailure> RestoreFromJournal(BoardSession& session, const std::filesystem::path& folder,
                                                 const RestoreEntry& entry);

}  // namespace kx
