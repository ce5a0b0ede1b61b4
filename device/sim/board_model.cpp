#include "board_model.h"

#include "board_identity.h"

#include <algorithm>

namespace kx {

namespace {

constexpr std::uint8_t Descriptor[] = {
    0x05, 0x01,        // Usage Page (Generic Desktop)
    0x09, 0x04,        // Usage (Joystick)
    0xA1, 0x01,        // Collection (Application)
    0x85, 0x01,        //   Report ID (1)
    0x09, 0x30,        //   Usage (X): the wheel
    0x16, 0x00, 0x80,  //   Logical Minimum (-32768)
    0x26, 0xFF, 0x7F,  //   Logical Maximum (32767)
    0x75, 0x10,        //   Report Size (16)
    0x95, 0x01,        //   Report Count (1)
    0x81, 0x02,        //   Input (Data, Variable, Absolute)
    0x05, 0x09,        //   Usage Page (Button)
    0x19, 0x01,        //   Usage Minimum (1)
    0x29, 0x08,        //   Usage Maximum (8)
    0x15, 0x00,        //   Logical Minimum (0)
    0x25, 0x01,        //   Logical Maximum (1)
    0x75, 0x01,        //   Report Size (1)
    0x95, 0x08,        //   Report Count (8)
    0x81, 0x02,        //   Input (Data, Variable, Absolute)
    0x06, 0x00, 0xFF,  //   Usage Page (Vendor 0xFF00)
    0x15, 0x00,        //   Logical Minimum (0)
    0x26, 0xFF, 0x00,  //   Logical Maximum (255)
    0x75, 0x08,        //   Report Size (8)
    0x95, 0x3F,        //   Report Count (63)
    0x85, 0x08,        //   Report ID (8): settings
    0x09, 0x01,        //   Usage (1)
    0xB1, 0x02,        //   Feature (Data, Variable, Absolute)
    0x85, 0x20,        //   Report ID (32)
    0x09, 0x02,        //   Usage (2)
    0xB1, 0x02,        //   Feature (Data, Variable, Absolute)
    0xC0,              // End Collection
};

// Offsets of the settings in the read image; a write image has each one byte higher.
constexpr std::size_t FirstSettingsByte = 14;
constexpr std::size_t LastSettingsByte = 28;
constexpr std::size_t MinimumWriteImage = 30;

}  // namespace

std::span<const std::uint8_t> BoardModel::StandardReportDescriptor()
{
    return Descriptor;
}

std::array<std::uint8_t, BoardModel::FeatureReportLength> BoardModel::FactorySettings()
{
    return {
        0x08,                                // report ID
        0x01, 0x07, 0x03, 0x11, 0x22, 0x33,  // 1 to 13: firmware's own bytes,
        0x44, 0x55, 0x66, 0x77, 0x88, 0x99,  //   never carried into a write
        0xAA,
        0xC0,        // 14: DampingScale 192 = 75 %
        0x88, 0x13,  // 15, 16: Slimit 5000
        0x9C, 0xFF,  // 17, 18: Homing -100
        0xC8,        // 19: Stiff 200
        0x32,        // 20: Damp 50
        0x14,        // 21: TDamp 20
        0xE6,        // 22: OverallScale 230 = 90 %
        0x0A,        // 23: TInertia 10
        0x05,        // 24: TFriction 5
        0x04,        // 25: MotorFilter 4
        0xE8, 0x03,  // 26, 27: InputFilter 1000
        0x40,        // 28: Spring 64
        // 29 to 63: not interpreted; non-zero so that a write that copies them shows.
        0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A,
        0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A,
        0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A,
    };
}

BoardModel::BoardModel() : Settings(FactorySettings()) {}

int BoardModel::AnswerGetFeature(std::span<std::uint8_t> buffer)
{
    if (buffer.empty())
        return -1;
    const std::uint8_t id = buffer[0];
    Log.push_back({FeatureRequest::Kind::Get, {id}, buffer.size()});

    std::array<std::uint8_t, FeatureReportLength> answer{};
    if (id == SettingsReportID) {
        answer = Settings;
    } else if (id == ResetReportID) {
        answer[0] = ResetReportID;
        answer[1] = 0x01;  // firmware major
        answer[2] = 0x01;  // firmware minor
    } else {
        return -1;
    }
    const std::size_t n = std::min(buffer.size(), answer.size());
    std::copy_n(answer.begin(), n, buffer.begin());
    return static_cast<int>(n);
}

BoardModel::Outcome BoardModel::TakeSetFeature(std::span<const std::uint8_t> report)
{
    Log.push_back({FeatureRequest::Kind::Set, {report.begin(), report.end()}, report.size()});
    if (report.size() != FeatureReportLength || report[0] != SettingsReportID)
        return Outcome::Rejected;
    static_assert(FeatureReportLength >= MinimumWriteImage);

    switch (report[1]) {
    case 1:
        std::copy(report.begin() + FirstSettingsByte + 1, report.begin() + LastSettingsByte + 2,
                  Settings.begin() + FirstSettingsByte);
        return Outcome::Stored;
    case 2:
    case 3:
        ++ResetRequests;
        return Outcome::Reset;
    default:
        return Outcome::Ignored;
    }
}

std::array<std::uint8_t, BoardModel::InputReportLength> BoardModel::MakeInputReport(std::int16_t position) const
{
    const auto u = static_cast<std::uint16_t>(position);
    return {InputReportID, static_cast<std::uint8_t>(u & 0xFF), static_cast<std::uint8_t>(u >> 8), 0x00};
}

}  // namespace kx
