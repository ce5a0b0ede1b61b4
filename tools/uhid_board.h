// A KX5170 board hosted from user space through Linux's /dev/uhid.
//
// The kernel turns it into a real HID device with a /dev/hidrawN node, which the
// program finds and talks to as it would a board on USB. The board's behaviour is
// BoardModel's; this class is only the uhid plumbing around it.
#pragma once

#include "board_model.h"

#include <cstdint>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kx {

struct UhidIdentity {
    std::uint16_t VendorID = 0;
    std::uint16_t ProductID = 0;
    std::uint16_t VersionNumber = 0;
    std::string Name;    // the product string hidapi reports (at most 127 bytes)
    std::string Serial;  // the serial number hidapi reports (at most 63 bytes)
    std::string Phys;    // identifies this device in sysfs (at most 63 bytes)
    // The report descriptor; empty for the one that declares the model's reports. At
    // most 4096 bytes.
    std::vector<std::uint8_t> ReportDescriptor;
};

// The descriptor followed by a second top-level collection, vendor-defined, with a
// one-byte feature report 64: hidapi lists such a device once per collection.
std::vector<std::uint8_t> WithSecondCollection(std::vector<std::uint8_t> descriptor);

// One line of the request log: "get 08", "set 08 01 00 ...", every byte in hex.
std::string FormatFeatureRequest(const BoardModel::FeatureRequest& request);

class UhidBoard {
public:
    // Takes the model by reference: the settings it holds survive unplugs and resets.
    UhidBoard(BoardModel& model, UhidIdentity identity);
    ~UhidBoard();
    UhidBoard(const UhidBoard&) = delete;
    UhidBoard& operator=(const UhidBoard&) = delete;

    // Opens /dev/uhid (or another path, for tests). Returns an error text on failure.
    std::optional<std::string> Open(const std::string& uhidPath = "/dev/uhid");
    int Fd() const { return UhidFd; }

    // Plug in / unplug. Both return an error text on failure.
    std::optional<std::string> Create();
    std::optional<std::string> Destroy();
    bool Created() const { return IsCreated; }
    // The kernel has started the device: input reports are taken from now on.
    bool Running() const { return IsRunning; }

    // Reads and answers one event from the kernel; call when Fd() is readable. Returns
    // false when /dev/uhid fails.
    bool HandleEvent();

    // Sends an input report carrying the wheel position. False when the device is not
    // running or the kernel refuses it.
    bool SendPosition(std::int16_t position);
    // Sends a force-feedback state report, as the board does while a game drives it.
    bool SendState(std::uint8_t effect, std::uint8_t flags);

    // The /dev/hidrawN node the kernel made of this device, once it exists.
    std::optional<std::string> FindHidrawNode() const;

    // Called with each feature request (and output report) the board receives, before
    // it is answered.
    std::function<void(const std::string& line)> OnRequest;
    // Called when the host asked for a reset (command 2 or 3).
    std::function<void()> OnResetRequest;
    // How long the board takes to answer a feature request, as a busy board does: the
    // kernel holds the host's request meanwhile (it gives up after 5 s).
    std::chrono::milliseconds AnswerDelay{0};
    // Called for the kernel's other events, for a verbose trace.
    std::function<void(const std::string& what)> OnTrace;

private:
    bool Write(const void* event, std::size_t size);
    bool SendInput(std::span<const std::uint8_t> report);
    void LogNewRequests();

    BoardModel& Model;
    UhidIdentity Identity;
    int UhidFd = -1;
    bool IsCreated = false;
    bool IsRunning = false;
    std::size_t LoggedRequests = 0;
    std::int16_t Position = 0;  // the latest position sent
};

}  // namespace kx
