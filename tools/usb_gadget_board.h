// A KX5170 board as a USB device, plugged in from user space: a configfs gadget whose
// one function is FunctionFS, so this program answers the host's control requests
// itself, as the board's firmware does. With dummy_hcd (a device-side controller looped
// back to a host controller in the same kernel) the host side is a real USB device on
// a real port: usbhid binds it, udev sees its USB attributes, the kernel's control
// requests time out after 5 s, and its reset is a disconnect and re-enumeration on
// the same port.
//
// Needs root, configfs at /sys/kernel/config and the modules libcomposite, usb_f_fs
// and a UDC (dummy_hcd). The board's behaviour is BoardTransport's; this class is only
// the gadget plumbing.
#pragma once

#include "board_transport.h"

#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kx {

class UsbGadgetBoard final : public BoardTransport {
public:
    // `udc` names the device-side controller to plug into ("dummy_udc.1"); empty for
    // the first one no other gadget uses.
    UsbGadgetBoard(BoardModel& model, VirtualBoardIdentity identity, std::string udc = {});
    ~UsbGadgetBoard() override;

    // Makes the gadget, mounts its FunctionFS and writes the descriptors.
    std::optional<std::string> Open() override;
    // Readable when ep0 has an event or an input report has gone out.
    int Fd() const override { return PollFd; }

    // Binds the gadget to the UDC, and unbinds it: on the host, a plug and an unplug.
    std::optional<std::string> Create() override;
    std::optional<std::string> Destroy() override;
    bool Created() const override { return IsBound; }
    bool Running() const override { return IsEnabled; }

    bool HandleEvent() override;

    // Found on the host side of a dummy_hcd UDC only.
    std::optional<std::string> FindHidrawNode() const override;

    std::optional<std::string> SetSerial(const std::string& serial) override;

    const std::string& Udc() const { return UdcName; }

private:
    bool SendInput(std::span<const std::uint8_t> report) override;
    bool HandleSetup(const std::uint8_t* setup);
    void LeaveUnanswered(bool in);
    void DropUnanswered();
    void SubmitNextInput();
    void ReapInput();

    std::string UdcName;
    std::string Name;  // the gadget's and the function's instance name
    std::filesystem::path GadgetDir, MountDir;
    std::vector<std::function<void()>> Undo;  // in the order made; undone from the back
    int Ep0 = -1, Ep1 = -1, PollFd = -1, InputDone = -1, GiveUpTimer = -1;
    // A request left unanswered, and its direction: ep0 reads as readable until it is
    // answered, so it is left out of the poll until the host has given up.
    std::optional<bool> UnansweredIn;
    unsigned long AioContext = 0;
    bool IsBound = false;
    bool IsEnabled = false;
    bool InputInFlight = false;
    std::vector<std::uint8_t> InFlight;
    std::deque<std::vector<std::uint8_t>> PendingInput;
};

}  // namespace kx
