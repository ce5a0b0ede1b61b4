// The settings report on any bytes: every decoded value lies in its field's range, and
// encoding then decoding gives back every value the board can hold.
#include "board_identity.h"
#include "fuzz_check.h"
#include "settings_report.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

using namespace kx;

namespace {

// The values a field's coding can give back when read.
std::int32_t ReadableMax(const SettingsField& field)
{
    switch (field.Coding) {
    case FieldCoding::Spring: return 127;
    case FieldCoding::Percent: return 100;
    default: return field.EncodableMax;
    }
}

void CheckRoundTrip(const WheelSettings& settings, std::uint8_t command, std::size_t length)
{
    bool encodable = true;
    for (const SettingsField& field : SettingsFields)
        encodable = encodable && IsEncodable(field, settings.*field.Value);

    const std::optional<std::vector<std::uint8_t>> image = EncodeSettingsReport(settings, command, length);
    if (!encodable || length < MinimumWriteImage) {
        FUZZ_REQUIRE(!image);
        return;
    }
    FUZZ_REQUIRE(image && image->size() == length);
    FUZZ_REQUIRE((*image)[0] == SettingsReportID && (*image)[1] == command);

    // The write image is the read image one byte higher.
    const std::optional<WheelSettings> back = DecodeSettingsReport(std::span(*image).subspan(1));
    FUZZ_REQUIRE(back);
    for (const SettingsField& field : SettingsFields) {
        const std::int32_t sent = settings.*field.Value;
        const std::int32_t read = (*back).*field.Value;
        if (field.Coding == FieldCoding::Spring && sent > 127)
            FUZZ_REQUIRE(read == 0);
        else
            FUZZ_REQUIRE(read == sent);
    }
}

// Twelve values from the bytes, spread over each field's domain and a little beyond
// both ends, so that both the encodable values and the refused ones come up often.
WheelSettings SettingsFromBytes(std::span<const std::uint8_t> bytes)
{
    WheelSettings settings;
    std::size_t at = 0;
    for (const SettingsField& field : SettingsFields) {
        std::uint32_t raw = 0;
        for (int i = 0; i < 4; ++i)
            raw = raw << 8 | (at < bytes.size() ? bytes[at++] : 0);
        const std::int64_t span = std::int64_t{field.EncodableMax} - field.EncodableMin + 5;
        settings.*field.Value = static_cast<std::int32_t>(field.EncodableMin - 2 + static_cast<std::int64_t>(raw % span));
    }
    return settings;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);

    const std::optional<WheelSettings> decoded = DecodeSettingsReport(bytes);
    FUZZ_REQUIRE(decoded.has_value() == (size >= MinimumReadImage));
    if (decoded) {
        for (const SettingsField& field : SettingsFields) {
            const std::int32_t v = (*decoded).*field.Value;
            FUZZ_REQUIRE(v >= field.EncodableMin && v <= ReadableMax(field));
        }
        // What the board reported can always be sent back unchanged.
        CheckRoundTrip(*decoded, size > 1 ? data[1] : 1, MinimumWriteImage);
        CheckRoundTrip(*decoded, 1, size + 1);
    }

    const std::uint8_t command = size > 0 ? data[0] : 0;
    const std::size_t length = size > 0 ? MinimumWriteImage - 2 + data[size - 1] % 40 : MinimumWriteImage;
    CheckRoundTrip(SettingsFromBytes(bytes), command, length);
    return 0;
}
