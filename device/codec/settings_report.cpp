#include "settings_report.h"

#include "board_identity.h"
#include "byte_order.h"

#include <cmath>

namespace kx {

namespace {

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

std::size_t FieldWidth(const SettingsField& field)
{
    return field.Coding == FieldCoding::Unsigned16 || field.Coding == FieldCoding::Signed16 ? 2 : 1;
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

std::optional<std::vector<std::uint8_t>> EncodeSettingsOver(
    std::span<const std::uint8_t> readImage, const std::array<std::optional<std::int32_t>, SettingsCount>& values,
    std::uint8_t command, std::size_t length)
{
    if (length < MinimumWriteImage || readImage.size() < MinimumReadImage)
        return std::nullopt;
    for (std::size_t i = 0; i < SettingsCount; ++i)
        if (values[i] && !IsEncodable(SettingsFields[i], *values[i]))
            return std::nullopt;

    std::vector<std::uint8_t> image(length, 0);
    image[0] = SettingsReportID;
    image[1] = command;
    for (std::size_t i = 0; i < SettingsCount; ++i) {
        const SettingsField& field = SettingsFields[i];
        if (values[i])
            EncodeField(field, *values[i], image);
        else
            for (std::size_t k = 0; k < FieldWidth(field); ++k)
                image[field.ReadOffset + 1 + k] = readImage[field.ReadOffset + k];
    }
    return image;
}

}  // namespace kx
