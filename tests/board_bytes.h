// The bytes a simulated board receives, for the window's tests and kx5170ctl's alike:
// Qt Core only, so that the tool's tests can use it too.
#pragma once

#include "board_model.h"

#include <cstdint>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// The factory settings as the board receives them with `command`, at report 8's length.
inline Bytes FactoryWriteImage(std::size_t length = 64, std::uint8_t command = 1)
{
    Bytes image = {
        0x08, command,                                                                 // report 8
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // 2 to 14
        0xBF, 0x88, 0x13, 0x9C, 0xFF,  // DampingScale 75 %, Slimit 5000, Homing -100
        0xC8, 0x32, 0x14, 0xE6,        // Stiff 200, Damp 50, TDamp 20, OverallScale 90 %
        0x0A, 0x05, 0x04,              // TInertia 10, TFriction 5, MotorFilter 4
        0xE8, 0x03, 0x40,              // InputFilter 1000, Spring 64
    };
    image.resize(length, 0x00);
    return image;
}

// Every set request the board received, in order.
inline std::vector<Bytes> SetRequests(const kx::BoardModel& board)
{
    std::vector<Bytes> sets;
    for (const auto& request : board.Log)
        if (request.Kind == kx::BoardModel::FeatureRequest::Kind::Set)
            sets.push_back(request.Bytes);
    return sets;
}
