#include "board_model.h"

#include "board_identity.h"

#include <algorithm>

namespace kx {

namespace {

constexpr std::uint8_t Inputs[] = {
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
    0x85, 0x02,        //   Report ID (2): force-feedback state
    0x09, 0x03,        //   Usage (3)
    0x95, 0x02,        //   Report Count (2): effect, flags
    0x81, 0x02,        //   Input (Data, Variable, Absolute)
};

// Report ID, usage and the report's data bytes as a two-byte Report Count.
void AppendFeature(std::vector<std::uint8_t>& descriptor, std::uint8_t id, std::uint8_t usage, std::size_t length)
{
    if (length < 2)
        return;
    const std::size_t count = length - 1;
    descriptor.insert(descriptor.end(), {
        0x85, id,                                                                       // Report ID
        0x09, usage,                                                                    // Usage
        0x96, static_cast<std::uint8_t>(count & 0xFF), static_cast<std::uint8_t>(count >> 8),  // Report Count
        0xB1, 0x02,                                                                     // Feature (Data, Variable, Absolute)
    });
}

// Offsets of the settings in the read image; a write image has each one byte higher.
constexpr std::size_t FirstSettingsByte = 14;
constexpr std::size_t LastSettingsByte = 28;
constexpr std::size_t MinimumWriteImage = 30;

}  // namespace

std::vector<std::uint8_t> BoardModel::ReportDescriptor(FeatureLengths lengths)
{
    std::vector<std::uint8_t> descriptor(std::begin(Inputs), std::end(Inputs));
    AppendFeature(descriptor, SettingsReportID, 0x01, lengths.Settings);
    AppendFeature(descriptor, ResetReportID, 0x02, lengths.Reset);
    descriptor.push_back(0xC0);  // End Collection
    return descriptor;
}

std::array<std::uint8_t, BoardModel::StandardFeatureReportLength> BoardModel::FactorySettings()
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

BoardModel::BoardModel(FeatureLengths lengths) : Lengths(lengths)
{
    // Past the standard length, the firmware's bytes go on as they began.
    const auto factory = FactorySettings();
    Settings.assign(factory.begin(), factory.end());
    Settings.resize(Lengths.Settings, 0x5A);
}

int BoardModel::AnswerGetFeature(std::span<std::uint8_t> buffer)
{
    if (buffer.empty())
        return -1;
    const std::uint8_t id = buffer[0];
    Log.push_back({FeatureRequest::Kind::Get, {id}, buffer.size()});

    std::vector<std::uint8_t> answer;
    if (id == SettingsReportID && Lengths.Settings > 0) {
        answer = Settings;
    } else if (id == ResetReportID && Lengths.Reset > 0) {
        answer.assign(Lengths.Reset, 0);
        answer[0] = ResetReportID;
        const std::uint8_t firmware[] = {0x01, 0x01};  // major, minor
        std::copy_n(firmware, std::min(std::size(firmware), answer.size() - 1), answer.begin() + 1);
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
    // A USB device stalls a set request whose length is not its report's.
    if (report.empty() || report[0] != SettingsReportID || report.size() != Lengths.Settings ||
        Lengths.Settings < MinimumWriteImage)
        return Outcome::Rejected;

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

std::array<std::uint8_t, BoardModel::StateReportLength> BoardModel::MakeStateReport(std::uint8_t effect,
                                                                                    std::uint8_t flags) const
{
    return {StateReportID, effect, flags};
}

}  // namespace kx
