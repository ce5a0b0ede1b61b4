#include "board_transport.h"

#include <algorithm>
#include <cstdio>
#include <thread>

namespace kx {

namespace {

std::string Hex(std::uint8_t b)
{
    char text[3];
    std::snprintf(text, sizeof text, "%02x", b);
    return text;
}

}  // namespace

std::vector<std::uint8_t> WithSecondCollection(std::vector<std::uint8_t> descriptor)
{
    const std::uint8_t second[] = {
        0x06, 0x00, 0xFF,  // Usage Page (Vendor 0xFF00)
        0x09, 0x10,        // Usage (0x10)
        0xA1, 0x01,        // Collection (Application)
        0x85, 0x40,        //   Report ID (64)
        0x09, 0x11,        //   Usage (0x11)
        0x15, 0x00,        //   Logical Minimum (0)
        0x26, 0xFF, 0x00,  //   Logical Maximum (255)
        0x75, 0x08,        //   Report Size (8)
        0x95, 0x01,        //   Report Count (1)
        0xB1, 0x02,        //   Feature (Data, Variable, Absolute)
        0xC0,              // End Collection
    };
    descriptor.insert(descriptor.end(), std::begin(second), std::end(second));
    return descriptor;
}

std::string FormatFeatureRequest(const BoardModel::FeatureRequest& request)
{
    std::string line = request.Kind == BoardModel::FeatureRequest::Kind::Get ? "get" : "set";
    for (std::uint8_t b : request.Bytes)
        line += ' ' + Hex(b);
    return line;
}

BoardTransport::BoardTransport(BoardModel& model, VirtualBoardIdentity identity)
    : Model(model), Identity(std::move(identity))
{
}

bool BoardTransport::SendPosition(std::int16_t position)
{
    Position = position;
    return SendInput(Model.MakeInputReport(position));
}

bool BoardTransport::SendState(std::uint8_t effect, std::uint8_t flags)
{
    return SendInput(Model.MakeStateReport(effect, flags));
}

std::optional<std::string> BoardTransport::SetSerial(const std::string& serial)
{
    Identity.Serial = serial;
    return std::nullopt;
}

int BoardTransport::AnswerGetFeature(std::span<std::uint8_t> buffer)
{
    const int length = Model.AnswerGetFeature(buffer);
    LogNewRequests();
    return length;
}

int BoardTransport::AnswerGetInput(std::uint8_t reportId, std::span<std::uint8_t> buffer) const
{
    if (reportId != BoardModel::InputReportID)
        return -1;
    const auto report = Model.MakeInputReport(Position);
    const std::size_t n = std::min(buffer.size(), report.size());
    std::copy_n(report.begin(), n, buffer.begin());
    return static_cast<int>(n);
}

bool BoardTransport::TakeSetFeature(std::span<const std::uint8_t> report)
{
    const auto outcome = Model.TakeSetFeature(report);
    LogNewRequests();
    ResetPending = outcome == BoardModel::Outcome::Reset;
    return outcome != BoardModel::Outcome::Rejected;
}

void BoardTransport::FinishSetFeature()
{
    if (ResetPending && OnResetRequest)
        OnResetRequest();
    ResetPending = false;
}

bool BoardTransport::WaitToAnswer() const
{
    if (AnswerDelay >= HostRequestTimeout)
        return false;
    if (AnswerDelay.count() > 0)
        std::this_thread::sleep_for(AnswerDelay);
    return true;
}

void BoardTransport::Trace(const std::string& what) const
{
    if (OnTrace)
        OnTrace(what);
}

void BoardTransport::LogOther(const char* what, std::span<const std::uint8_t> bytes) const
{
    if (!OnRequest)
        return;
    std::string line = what;
    for (std::uint8_t b : bytes)
        line += ' ' + Hex(b);
    OnRequest(line);
}

void BoardTransport::LogNewRequests()
{
    for (; LoggedRequests < Model.Log.size(); ++LoggedRequests)
        if (OnRequest)
            OnRequest(FormatFeatureRequest(Model.Log[LoggedRequests]));
}

}  // namespace kx
