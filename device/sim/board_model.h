// The KX5170 board's firmware behaviour, as bytes: what it answers to feature
// requests, what it does with the settings it is sent, and the input reports it makes.
//
// One model, two transports: the in-process simulated board and the virtual board on
// /dev/uhid both put this model behind their own plumbing. Like a board on USB, it
// answers a get request with the bytes of that report only, and refuses a set request
// whose length is not the report's own.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kx {

// The lengths of feature reports 8 (the settings) and 32, report-ID byte included; 0
// for a report the interface does not have (the board's joystick interface has
// neither). The settings need at least 30 bytes to be written.
struct BoardFeatureLengths {
    std::size_t Settings = 64;
    std::size_t Reset = 64;
};

class BoardModel {
public:
    using FeatureLengths = BoardFeatureLengths;

    static constexpr std::size_t StandardFeatureReportLength = 64;
    static constexpr std::size_t InputReportLength = 4;
    static constexpr std::uint8_t InputReportID = 1;
    static constexpr std::size_t StateReportLength = 3;
    static constexpr std::uint8_t StateReportID = 2;

    // Numbered reports in one application collection: input 1 (16-bit wheel position,
    // 8 buttons), input 2 (the force-feedback state, 2 bytes), feature 8 and feature 32
    // at the given lengths, each left out when its length is 0.
    static std::vector<std::uint8_t> ReportDescriptor(FeatureLengths lengths);
    // Feature reports 8 and 32 of 64 bytes each.
    static std::vector<std::uint8_t> StandardReportDescriptor() { return ReportDescriptor({}); }

    // The settings report as the board leaves the factory (the read image), at the
    // standard length.
    static std::array<std::uint8_t, StandardFeatureReportLength> FactorySettings();

    struct FeatureRequest {
        enum class Kind { Get, Set } Kind;
        std::vector<std::uint8_t> Bytes;  // Set: the report as sent. Get: the report ID alone.
        std::size_t Length;               // bytes sent, or bytes asked for
    };

    enum class Outcome { Stored, Reset, Ignored, Rejected };

    explicit BoardModel(FeatureLengths lengths = {});

    // Answers a get request. buffer[0] holds the report ID. Fills the buffer with the
    // report, cut to the buffer's size, and returns the number of bytes: the report's
    // length when the buffer is longer. -1 for a report the board does not have. Logged.
    int AnswerGetFeature(std::span<std::uint8_t> buffer);

    // Takes a set request, report-ID byte first. Report 8 must be sent at exactly its
    // length: command 1 stores the settings, commands 2 and 3 ask for a reset. Logged,
    // whatever the outcome.
    Outcome TakeSetFeature(std::span<const std::uint8_t> report);

    // An input report carrying the wheel position, report-ID byte first.
    std::array<std::uint8_t, InputReportLength> MakeInputReport(std::int16_t position) const;
    // The force-feedback state report a game's effects make the board send.
    std::array<std::uint8_t, StateReportLength> MakeStateReport(std::uint8_t effect, std::uint8_t flags) const;

    const FeatureLengths Lengths;
    std::vector<std::uint8_t> Settings;  // the read image, Lengths.Settings bytes
    std::vector<FeatureRequest> Log;     // every feature request received
    int ResetRequests = 0;
};

}  // namespace kx
