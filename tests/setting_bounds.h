// Every bound of the twelve settings, for the tests of each way in (a box, a settings file).
// A value on the bound is taken as it is; the one beyond it is refused or, where the setting
// is clamped, brought back onto the bound.
#pragma once

#include <cstdint>
#include <vector>

struct SettingBound {
    const char* Box;  // the window's box
    const char* Key;  // the settings file's key
    int On;
    int Beyond;
    bool Clamped;
    std::vector<std::uint8_t> Bytes;  // `On` as it lies in the write image
};

inline const std::vector<SettingBound> SettingBounds = {
    {"Slimit", "stops", 0, -1, false, {0x00, 0x00}},
    {"Slimit", "stops", 65535, 65536, false, {0xFF, 0xFF}},
    {"Homing", "centre_offset", -32768, -32769, false, {0x00, 0x80}},
    {"Homing", "centre_offset", 32767, 32768, false, {0xFF, 0x7F}},
    {"Stiff", "stops_stiffness", 0, -1, true, {0x00}},
    {"Stiff", "stops_stiffness", 255, 256, true, {0xFF}},
    {"Damp", "stops_damping", 0, -1, true, {0x00}},
    {"Damp", "stops_damping", 255, 256, true, {0xFF}},
    {"TDamp", "overall_damping", 0, -1, true, {0x00}},
    {"TDamp", "overall_damping", 250, 251, true, {0xFA}},
    {"TInertia", "overall_inertia", 0, -1, true, {0x00}},
    {"TInertia", "overall_inertia", 250, 251, true, {0xFA}},
    {"TFriction", "overall_friction", 0, -1, true, {0x00}},
    {"TFriction", "overall_friction", 250, 251, true, {0xFA}},
    {"DampingScale", "damper_effect_scale", 1, 0, true, {0x03}},  // 1 % of 255, rounded
    {"DampingScale", "damper_effect_scale", 100, 101, true, {0xFF}},
    {"OverallScale", "all_effects_scale", 1, 0, true, {0x03}},
    {"OverallScale", "all_effects_scale", 100, 101, true, {0xFF}},
    {"MotorFilter", "motor_filter", 1, 0, true, {0x01}},
    {"MotorFilter", "motor_filter", 255, 256, true, {0xFF}},
    {"InputFilter", "input_filter", 1, 0, true, {0x01, 0x00}},
    {"InputFilter", "input_filter", 10000, 10001, true, {0x10, 0x27}},
    {"Spring", "centering_spring", 0, -1, true, {0x00}},
    {"Spring", "centering_spring", 127, 128, true, {0x7F}},
};
