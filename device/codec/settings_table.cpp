#include "settings_table.h"

namespace kx {

// clang-format off
const std::array<SettingsField, SettingsCount> SettingsFields = {{
    {"Slimit", &WheelSettings::Slimit, "stops", "Stops (each side)", "counts",
     "How far the wheel turns each side of the centre before the end stops push back.",
     0, 65535, false, 15, FieldCoding::Unsigned16, 0, 65535},
    // The board stores a signed offset: 32768 and above would read back negative.
    {"Homing", &WheelSettings::Homing, "centre_offset", "Centre offset", "counts",
     "Where the wheel's centre lies, counted from the encoder's zero.",
     -32768, 32767, false, 17, FieldCoding::Signed16, -32768, 32767},
    {"Stiff", &WheelSettings::Stiff, "stops_stiffness", "Stops stiffness", "",
     "How hard the end stops push the wheel back.",
     0, 255, true, 19, FieldCoding::Byte, 0, 255},
    {"Damp", &WheelSettings::Damp, "stops_damping", "Stops damping", "",
     "How much the end stops slow the wheel as it runs into them.",
     0, 255, true, 20, FieldCoding::Byte, 0, 255},
    {"TDamp", &WheelSettings::TDamp, "overall_damping", "Overall damping", "",
     "Resistance that grows with the wheel's speed, over the whole turn.",
     0, 250, true, 21, FieldCoding::Byte, 0, 255},
    {"DampingScale", &WheelSettings::DampingScale, "damper_effect_scale", "Damper Effect scale", "%",
     "Strength of the damper effects a game sends.",
     1, 100, true, 14, FieldCoding::Percent, 0, 100},
    {"OverallScale", &WheelSettings::OverallScale, "all_effects_scale", "All Effects scale", "%",
     "Strength of every force effect a game sends.",
     1, 100, true, 22, FieldCoding::Percent, 0, 100},
    {"TInertia", &WheelSettings::TInertia, "overall_inertia", "Overall inertia", "",
     "Resistance to changes of the wheel's speed, as if the rim were heavier.",
     0, 250, true, 23, FieldCoding::Byte, 0, 255},
    {"TFriction", &WheelSettings::TFriction, "overall_friction", "Overall friction", "",
     "Constant resistance to turning the wheel.",
     0, 250, true, 24, FieldCoding::Byte, 0, 255},
    {"MotorFilter", &WheelSettings::MotorFilter, "motor_filter", "Motor filter", "",
     "Smoothing of the motor's force: higher is smoother but slower.",
     1, 255, true, 25, FieldCoding::Byte, 0, 255},
    {"InputFilter", &WheelSettings::InputFilter, "input_filter", "Input filter", "",
     "Smoothing of the wheel's position reading: higher is smoother but slower.",
     1, 10000, true, 26, FieldCoding::Unsigned16, 0, 65535},
    {"Spring", &WheelSettings::Spring, "centering_spring", "Centering spring", "",
     "Strength of the spring that pulls the wheel back to the centre.",
     0, 127, true, 28, FieldCoding::Spring, 0, 255},
}};
// clang-format on

// Slimit, Homing, Stiff, Damp, TDamp, TInertia, TFriction, Spring, DampingScale,
// OverallScale, MotorFilter, InputFilter.
const std::array<std::size_t, SettingsCount> CheckOrder = {0, 1, 2, 3, 4, 7, 8, 11, 5, 6, 9, 10};

// Homing, TDamp, TInertia, TFriction, Slimit, Stiff, Damp, Spring, MotorFilter,
// InputFilter, OverallScale, DampingScale.
const std::array<std::size_t, SettingsCount> ScreenOrder = {1, 4, 7, 8, 0, 2, 3, 11, 9, 10, 6, 5};

const SettingsField* FindSettingByKey(std::string_view key)
{
    for (const SettingsField& field : SettingsFields)
        if (key == field.Key)
            return &field;
    return nullptr;
}

const SettingsField* FindSettingByName(std::string_view name)
{
    for (const SettingsField& field : SettingsFields)
        if (name == field.Name)
            return &field;
    return nullptr;
}

}  // namespace kx
