#include "settings_report.h"

#include "board_identity.h"
#include "byte_order.h"

#include <algorithm>
#include <cmath>

namespace kx {

const std::array<SettingsField, 12> SettingsFields = {{
    {"Slimit", &WheelSettings::Slimit, 15, FieldCoding::Unsigned16, 0, 65535},
    // The board stores a signed offset: 32768 and above would read back negative.
    {"Homing", &WheelSettings::Homing, 17, FieldCoding::Signed16, -32768, 32767},
    {"Stiff", &WheelSettings::Stiff, 19, FieldCoding::Byte, 0, 255},
    {"Damp", &WheelSettings::Damp, 20, FieldCoding::Byte, 0, 255},
    {"TDamp", &WheelSettings::TDamp, 21, FieldCoding::Byte, 0, 255},
    {"DampingScale", &WheelSettings::DampingScale, 14, FieldCoding::Percent, 0, 100},
    {"OverallScale", &WheelSettings::OverallScale, 22, FieldCoding::Percent, 0, 100},
    {"TInertia", &WheelSettings::TInertia, 23, FieldCoding::Byte, 0, 255},
    {"TFriction", &WheelSettings::TFriction, 24, FieldCoding::Byte, 0, 255},
    {"MotorFilter", &WheelSettings::MotorFilter, 25, FieldCoding::Byte, 0, 255},
    {"InputFilter", &WheelSettings::InputFilter, 26, FieldCoding::Unsigned16, 0, 65535},
    {"Spring", &WheelSettings::Spring, 28, FieldCoding::Spring, 0, 255},
}};

namespace {

// Larger than any report the board has; the request passes the feature length, so
// the buffer grows to that when the board reports more.
constexpr std::size_t ResetRequestBufferLength = 101;

std::int32_t DecodeField(const SettingsField& field, std::span<const std::uint8_t> image)
{
    const std::uint8_t b = image[field.ReadOffset];
    switch (field.Coding) {
    case FieldCoding::Byte:
        return b;
    case FieldCoding::Spring:
        return b > 127 ? 0 : b;
    case FieldCoding::Percent:
        return DecodePercent(b);
    case FieldCoding::Unsigned16:
        return ReadLE16(image, field.ReadOffset);
    case FieldCoding::Signed16:
        return static_cast<std::int16_t>(ReadLE16(image, field.ReadOffset));
    }
    return 0;
}

void EncodeField(const SettingsField& field, std::int32_t v, std::span<std::uint8_t> image)
{
    const std::size_t at = field.ReadOffset + 1;
    switch (field.Coding) {
    case FieldCoding::Byte:
    case FieldCoding::Spring:
        image[at] = static_cast<std::uint8_t>(v);
        break;
    case FieldCoding::Percent:
        image[at] = EncodePercent(v);
        break;
    case FieldCoding::Unsigned16:
    case FieldCoding::Signed16:
        WriteLE16(image, at, static_cast<std::uint16_t>(v));
        break;
    }
}

}  // namespace

std::int32_t DecodePercent(std::uint8_t b)
{
    return static_cast<std::int32_t>(std::floor(b / 255.0 * 100.0 + 0.5));
}

std::uint8_t EncodePercent(std::int32_t percent)
{
    // nearbyint under the default rounding mode takes halves to the even neighbour.
    return static_cast<std::uint8_t>(std::nearbyint(percent / 100.0 * 255.0));
}

bool IsEncodable(const SettingsField& field, std::int32_t value)
{
    return value >= field.EncodableMin && value <= field.EncodableMax;
}

std::optional<WheelSettings> DecodeSettingsReport(std::span<const std::uint8_t> readImage)
{
    if (readImage.size() < MinimumReadImage)
        return std::nullopt;
    WheelSettings settings;
    for (const SettingsField& field : SettingsFields)
        settings.*field.Value = DecodeField(field, readImage);
    return settings;
}

std::optional<std::vector<std::uint8_t>> EncodeSettingsReport(const WheelSettings& settings, std::uint8_t command,
                                                              std::size_t length)
{
    if (length < MinimumWriteImage)
        return std::nullopt;
    for (const SettingsField& field : SettingsFields)
        if (!IsEncodable(field, settings.*field.Value))
            return std::nullopt;

    std::vector<std::uint8_t> image(length, 0);
    image[0] = SettingsReportID;
    image[1] = command;
    for (const SettingsField& field : SettingsFields)
        EncodeField(field, settings.*field.Value, image);
    return image;
}

std::optional<std::vector<std::uint8_t>> ReadSettingsReport(DeviceLink& link)
{
    const std::size_t length = link.Capabilities.FeatureReportByteLength;
    if (!link.FeatureHandle || length < MinimumReadImage) {
        link.LastResult = 0;
        return std::nullopt;
    }
    std::vector<std::uint8_t> image(length, 0);
    image[0] = SettingsReportID;
    const int received = link.FeatureHandle->GetFeatureReport(image);
    const bool whole = received == static_cast<int>(length) && image[0] == SettingsReportID;
    link.LastResult = whole ? received : 0;
    if (!whole)
        return std::nullopt;
    return image;
}

bool SendSettingsSequence(DeviceLink& link, const WheelSettings& settings)
{
    const std::size_t length = link.Capabilities.FeatureReportByteLength;
    std::optional<std::vector<std::uint8_t>> image = EncodeSettingsReport(settings, 1, length);
    if (!link.FeatureHandle || !image) {
        link.LastResult = 0;
        return false;
    }

    auto send = [&] {
        const int sent = link.FeatureHandle->SetFeatureReport(*image);
        link.LastResult = sent > 0 ? sent : 0;
        return sent == static_cast<int>(length);
    };
    const bool settingsTaken = send();
    for (std::uint8_t command : {std::uint8_t{2}, std::uint8_t{3}}) {
        (*image)[0] = SettingsReportID;
        (*image)[1] = command;
        send();
    }

    std::vector<std::uint8_t> answer(std::max(ResetRequestBufferLength, length), 0);
    answer[0] = ResetReportID;
    const int received = link.FeatureHandle->GetFeatureReport(std::span(answer).first(length));
    link.LastResult = received > 0 ? received : 0;
    return settingsTaken;
}

}  // namespace kx
