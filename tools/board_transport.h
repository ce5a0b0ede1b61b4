// What a virtual board does whichever way it reaches the kernel: it answers the host's
// feature requests from BoardModel (late, or never, when told to stall), logs each one,
// asks for its reset when the model says so, and sends the wheel's input reports. A
// transport (uhid, or a USB gadget) adds only the plumbing: how a request arrives and
// how the answer goes back.
#pragma once

#include "board_model.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kx {

struct VirtualBoardIdentity {
    std::uint16_t VendorID = 0;
    std::uint16_t ProductID = 0;
    std::uint16_t VersionNumber = 0;
    std::string Name;          // the product string hidapi reports (at most 127 bytes)
    std::string Serial;        // the serial number hidapi reports (at most 63 bytes)
    std::string Manufacturer;  // a USB string; uhid has no place for it
    std::string Phys;          // uhid only: identifies this device in sysfs (at most 63 bytes)
    // The report descriptor; empty for the one that declares the model's reports. At
    // most 4096 bytes.
    std::vector<std::uint8_t> ReportDescriptor;
};

// The descriptor followed by a second top-level collection, vendor-defined, with a
// one-byte feature report 64: hidapi lists such a device once per collection.
std::vector<std::uint8_t> WithSecondCollection(std::vector<std::uint8_t> descriptor);

// One line of the request log: "get 08", "set 08 01 00 ...", every byte in hex.
std::string FormatFeatureRequest(const BoardModel::FeatureRequest& request);

// Both kernels give up on a request after this long: uhid answers EIO, USB ETIMEDOUT.
inline constexpr std::chrono::milliseconds HostRequestTimeout{5000};

class BoardTransport {
public:
    // Takes the model by reference: the settings it holds survive unplugs and resets.
    BoardTransport(BoardModel& model, VirtualBoardIdentity identity);
    virtual ~BoardTransport() = default;
    BoardTransport(const BoardTransport&) = delete;
    BoardTransport& operator=(const BoardTransport&) = delete;

    // Makes what the board needs before it can be plugged in. Returns an error text on failure.
    virtual std::optional<std::string> Open() = 0;
    // Readable when the kernel has an event for HandleEvent.
    virtual int Fd() const = 0;

    // Plug in / unplug. Both return an error text on failure.
    virtual std::optional<std::string> Create() = 0;
    virtual std::optional<std::string> Destroy() = 0;
    virtual bool Created() const = 0;
    // The host has started the device: input reports are taken from now on.
    virtual bool Running() const = 0;

    // Reads and answers one event from the kernel; call when Fd() is readable. Returns
    // false when the transport fails for good.
    virtual bool HandleEvent() = 0;

    // Sends an input report carrying the wheel position. False when the device is not
    // running or the kernel refuses it.
    bool SendPosition(std::int16_t position);
    // Sends a force-feedback state report, as the board does while a game drives it.
    bool SendState(std::uint8_t effect, std::uint8_t flags);

    // The /dev/hidrawN node the kernel made of this device, once it exists.
    virtual std::optional<std::string> FindHidrawNode() const = 0;

    // The serial number the board gives from its next plug on.
    virtual std::optional<std::string> SetSerial(const std::string& serial);

    // Called with each feature request (and output report) the board receives, before
    // it is answered.
    std::function<void(const std::string& line)> OnRequest;
    // Called when the host asked for a reset (command 2 or 3).
    std::function<void()> OnResetRequest;
    // How long the board takes to answer a feature request, as a busy board does: the
    // kernel holds the host's request meanwhile. From HostRequestTimeout on the board
    // leaves it unanswered, and the host's own time-out ends it.
    std::chrono::milliseconds AnswerDelay{0};
    // Called for the kernel's other events, for a verbose trace.
    std::function<void(const std::string& what)> OnTrace;

protected:
    virtual bool SendInput(std::span<const std::uint8_t> report) = 0;

    // buffer[0] holds the report ID; the buffer is as long as the host asked for, or
    // the longest answer where the transport does not say. The answer's length, or -1
    // when the board refuses the request.
    int AnswerGetFeature(std::span<std::uint8_t> buffer);
    int AnswerGetInput(std::uint8_t reportId, std::span<std::uint8_t> buffer) const;
    // The report as sent, ID byte first. False when the board refuses it. Call
    // FinishSetFeature once the host has its answer: the firmware acknowledges a reset
    // request before it resets.
    bool TakeSetFeature(std::span<const std::uint8_t> report);
    void FinishSetFeature();
    // Waits as a busy board would before it answers; false when the request is to be
    // left unanswered.
    bool WaitToAnswer() const;
    void Trace(const std::string& what) const;
    void LogOther(const char* what, std::span<const std::uint8_t> bytes) const;

    BoardModel& Model;
    VirtualBoardIdentity Identity;

private:
    void LogNewRequests();

    std::size_t LoggedRequests = 0;
    bool ResetPending = false;
    std::int16_t Position = 0;  // the latest position sent
};

}  // namespace kx
