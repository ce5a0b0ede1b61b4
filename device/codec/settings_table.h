// The twelve wheel settings, described once.
//
// Everything that handles a setting reads this table: the report-8 codec (its bytes),
// the window (its box, caption, unit, bounds and tooltip), the settings files (its key)
// and kx5170ctl. Plain C++: nothing here knows of Qt or of a board.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace kx {

struct WheelSettings {
    std::int32_t Slimit = 0;
    std::int32_t Homing = 0;
    std::int32_t Stiff = 0;
    std::int32_t Damp = 0;
    std::int32_t TDamp = 0;
    std::int32_t DampingScale = 0;
    std::int32_t OverallScale = 0;
    std::int32_t TInertia = 0;
    std::int32_t TFriction = 0;
    std::int32_t MotorFilter = 0;
    std::int32_t InputFilter = 0;
    std::int32_t Spring = 0;

    friend bool operator==(const WheelSettings&, const WheelSettings&) = default;
};

enum class FieldCoding {
    Byte,        // b = v
    Spring,      // b = v; a byte above 127 reads as 0
    Percent,     // percent of 255
    Unsigned16,  // little-endian
    Signed16,    // little-endian two's complement
};

struct SettingsField {
    const char* Name;     // the WheelSettings member and the window's box: "Slimit"
    std::int32_t WheelSettings::*Value;
    const char* Key;      // in a settings file: "stops"
    const char* Caption;  // the window's caption: "Stops (each side)"
    const char* Unit;     // "counts", "%", or "" for a plain number
    const char* Meaning;  // one sentence for a tooltip or a man page

    // What the window lets through to the board. A clamped setting outside these is
    // brought to the nearer bound; any other is refused, since a bound written in its
    // place would move the wheel somewhere the user did not ask for.
    std::int32_t Lowest;
    std::int32_t Highest;
    bool Clamped;

    // Report 8: where the setting is in the read image (the write image has it one
    // byte higher) and how it is stored. Values outside the encodable range are never
    // encoded.
    std::size_t ReadOffset;
    FieldCoding Coding;
    std::int32_t EncodableMin;
    std::int32_t EncodableMax;
};

inline constexpr std::size_t SettingsCount = 12;

// In the order the board's settings are read into the window.
extern const std::array<SettingsField, SettingsCount> SettingsFields;

// Indices into SettingsFields in the order the write handler checks the boxes (and
// enables them): a refusal names the first bad box in this order.
extern const std::array<std::size_t, SettingsCount> CheckOrder;

// Indices into SettingsFields from the top of the window to the bottom: the order a
// person reads them in, so also the order of a saved settings file and of kx5170ctl.
extern const std::array<std::size_t, SettingsCount> ScreenOrder;

// The field with this file key or this name; nullptr when there is none.
const SettingsField* FindSettingByKey(std::string_view key);
const SettingsField* FindSettingByName(std::string_view name);

// Whether the window lets the value through as it stands.
inline bool InRange(const SettingsField& field, std::int32_t value)
{
    return value >= field.Lowest && value <= field.Highest;
}

// The value the window sends for a clamped setting; a refused one is returned as it is.
inline std::int32_t BringIntoRange(const SettingsField& field, std::int32_t value)
{
    if (!field.Clamped)
        return value;
    return value > field.Highest ? field.Highest : value < field.Lowest ? field.Lowest : value;
}

}  // namespace kx
