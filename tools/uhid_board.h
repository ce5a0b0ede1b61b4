// A KX5170 board hosted from user space through Linux's /dev/uhid.
//
// The kernel turns it into a real HID device with a /dev/hidrawN node, which the
// program finds and talks to as it would a board on USB, though with no USB device
// above it. The board's behaviour is BoardTransport's; this class is only the uhid
// plumbing around it.
#pragma once

#include "board_transport.h"

#include <optional>
#include <string>

namespace kx {

using UhidIdentity = VirtualBoardIdentity;

class UhidBoard final : public BoardTransport {
public:
    using BoardTransport::BoardTransport;
    ~UhidBoard() override;

    std::optional<std::string> Open() override { return Open("/dev/uhid"); }
    // Opens /dev/uhid, or another path for tests.
    std::optional<std::string> Open(const std::string& uhidPath);
    int Fd() const override { return UhidFd; }

    std::optional<std::string> Create() override;
    std::optional<std::string> Destroy() override;
    bool Created() const override { return IsCreated; }
    bool Running() const override { return IsRunning; }

    bool HandleEvent() override;

    std::optional<std::string> FindHidrawNode() const override;

private:
    bool SendInput(std::span<const std::uint8_t> report) override;
    bool Write(const void* event, std::size_t size);

    int UhidFd = -1;
    bool IsCreated = false;
    bool IsRunning = false;
};

}  // namespace kx
