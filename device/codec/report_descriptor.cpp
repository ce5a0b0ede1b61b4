#include "report_descriptor.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace kx {

namespace {

// Deep enough for any real device; the parser keeps its stacks in fixed storage, so a
// hostile descriptor cannot make it grow.
constexpr std::size_t MaxPushDepth = 16;
constexpr std::size_t MaxCollectionDepth = 64;

// A report may be at most 65535 bytes with its ID byte, so its data at most 65534.
constexpr std::uint64_t MaxReportBits = 65534ull * 8;

enum ItemType : std::uint8_t { Main = 0, Global = 1, Local = 2 };

enum MainTag : std::uint8_t {
    InputTag = 0x8,
    OutputTag = 0x9,
    CollectionTag = 0xA,
    FeatureTag = 0xB,
    EndCollectionTag = 0xC,
};

enum GlobalTag : std::uint8_t {
    ReportSizeTag = 0x7,
    ReportIDTag = 0x8,
    ReportCountTag = 0x9,
    PushTag = 0xA,
    PopTag = 0xB,
};

constexpr std::uint8_t LongItemPrefix = 0xFE;

struct GlobalState {
    std::uint32_t ReportSize = 0;
    std::uint32_t ReportCount = 0;
    std::uint8_t ReportID = 0;  // 0 until a Report ID item is seen
};

// Bits declared so far for each report ID of one kind; index 0 holds the reports of a
// device that numbers none.
using BitTotals = std::array<std::uint64_t, 256>;

// Bytes with the ID byte; 0 for a report with no data.
std::uint16_t ReportBytes(std::uint64_t bits)
{
    return bits > 0 ? static_cast<std::uint16_t>((bits + 7) / 8 + 1) : 0;  // bounded by MaxReportBits
}

std::uint16_t LongestReport(const BitTotals& totals)
{
    std::uint16_t longest = 0;
    for (std::uint64_t bits : totals)
        longest = std::max(longest, ReportBytes(bits));
    return longest;
}

}  // namespace

std::optional<ReportLengths> ParseReportDescriptor(std::span<const std::uint8_t> descriptor)
{
    BitTotals input{}, output{}, feature{};
    GlobalState state;
    std::array<GlobalState, MaxPushDepth> pushed{};
    std::size_t pushDepth = 0;
    std::size_t collectionDepth = 0;
    bool numbered = false;
    bool unnumberedData = false;  // a main item declared data before any Report ID
    // Input report IDs in the order their data is first declared.
    std::array<std::uint8_t, 256> inputOrder{};
    std::size_t inputIDs = 0;

    std::size_t pos = 0;
    while (pos < descriptor.size()) {
        const std::uint8_t prefix = descriptor[pos++];
        if (prefix == LongItemPrefix)
            return std::nullopt;

        const std::size_t size = (prefix & 0x3) == 3 ? 4 : (prefix & 0x3);
        if (descriptor.size() - pos < size)
            return std::nullopt;
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < size; ++i)
            value |= static_cast<std::uint32_t>(descriptor[pos + i]) << (8 * i);
        pos += size;

        const auto type = static_cast<std::uint8_t>((prefix >> 2) & 0x3);
        const auto tag = static_cast<std::uint8_t>(prefix >> 4);

        if (type == Main) {
            BitTotals* totals = nullptr;
            switch (tag) {
            case InputTag: totals = &input; break;
            case OutputTag: totals = &output; break;
            case FeatureTag: totals = &feature; break;
            case CollectionTag:
                if (collectionDepth == MaxCollectionDepth)
                    return std::nullopt;
                ++collectionDepth;
                break;
            case EndCollectionTag:
                if (collectionDepth == 0)
                    return std::nullopt;
                --collectionDepth;
                break;
            default: break;
            }
            if (totals) {
                // Both factors are below 2^32 and the total stays below MaxReportBits,
                // so the sum cannot wrap in 64 bits.
                const std::uint64_t bits =
                    static_cast<std::uint64_t>(state.ReportSize) * state.ReportCount;
                std::uint64_t& total = (*totals)[state.ReportID];
                if (totals == &input && total == 0 && bits > 0)
                    inputOrder[inputIDs++] = state.ReportID;
                total += bits;
                if (total > MaxReportBits)
                    return std::nullopt;
                if (state.ReportID == 0 && bits > 0)
                    unnumberedData = true;
            }
        } else if (type == Global) {
            switch (tag) {
            case ReportSizeTag: state.ReportSize = value; break;
            case ReportCountTag: state.ReportCount = value; break;
            case ReportIDTag:
                if (value == 0 || value > 0xFF)
                    return std::nullopt;
                state.ReportID = static_cast<std::uint8_t>(value);
                numbered = true;
                break;
            case PushTag:
                if (pushDepth == MaxPushDepth)
                    return std::nullopt;
                pushed[pushDepth++] = state;
                break;
            case PopTag:
                if (pushDepth == 0)
                    return std::nullopt;
                state = pushed[--pushDepth];
                break;
            default: break;
            }
        }
        // Local items and reserved types carry nothing that changes a report's length.
    }

    if (collectionDepth != 0)
        return std::nullopt;
    // Once a device numbers its reports, every report starts with its ID, so data
    // declared before the first Report ID belongs to no report that can be addressed.
    if (numbered && unnumberedData)
        return std::nullopt;

    ReportLengths lengths;
    lengths.Input = LongestReport(input);
    lengths.Output = LongestReport(output);
    lengths.Feature = LongestReport(feature);
    lengths.NumberedReports = numbered;
    for (std::size_t id = 0; id < feature.size(); ++id)
        lengths.FeatureByID[id] = ReportBytes(feature[id]);
    for (std::size_t i = 0; i < inputIDs; ++i) {
        if (ReportBytes(input[inputOrder[i]]) == lengths.Input) {
            lengths.LongestInputID = inputOrder[i];
            break;
        }
    }
    return lengths;
}

}  // namespace kx
