// The KX5170 board's firmware behaviour, as bytes: what it answers to feature
// requests, what it does with the settings it is sent, and the input reports it makes.
//
// One model, two transports: the in-process simulated board and the virtual board on
// /dev/uhid both put this model behind their own plumbing.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kx {

class BoardModel {
public:
    // Report lengths of StandardReportDescriptor(), report-ID byte included.
    static constexpr std::size_t FeatureReportLength = 64;
    static constexpr std::size_t InputReportLength = 4;
    static constexpr std::uint8_t InputReportID = 1;

    // Numbered reports: input 1 (16-bit wheel position, 8 buttons), feature 8 (the
    // settings, 63 bytes) and feature 32 (63 bytes), in one application collection.
    static std::span<const std::uint8_t> StandardReportDescriptor();

    // The settings report as the board leaves the factory (the read image).
    static std::array<std::uint8_t, FeatureReportLength> FactorySettings();

    struct FeatureRequest {
        enum class Kind { Get, Set } Kind;
        std::vector<std::uint8_t> Bytes;  // Set: the report as sent. Get: the report ID alone.
        std::size_t Length;               // bytes sent, or bytes asked for
    };

    enum class Outcome { Stored, Reset, Ignored, Rejected };

    BoardModel();

    // Answers a get request. buffer[0] holds the report ID. Fills the buffer with the
    // report (cut to the buffer's size) and returns the number of bytes, or -1 for a
    // report the board does not have. Logged.
    int AnswerGetFeature(std::span<std::uint8_t> buffer);

    // Takes a set request, report-ID byte first. Report 8 must be sent at its full
    // length: command 1 stores the settings, commands 2 and 3 ask for a reset. Logged,
    // whatever the outcome.
    Outcome TakeSetFeature(std::span<const std::uint8_t> report);

    // An input report carrying the wheel position, report-ID byte first.
    std::array<std::uint8_t, InputReportLength> MakeInputReport(std::int16_t position) const;

    std::array<std::uint8_t, FeatureReportLength> Settings;  // the read image
    std::vector<FeatureRequest> Log;                         // every feature request received
    int ResetRequests = 0;
};

}  // namespace kx
