#include "settings_transfer.h"

#include "board_identity.h"

#include <algorithm>

namespace kx {

namespace {

// Larger than any report the board has; the buffer grows to the request's length when
// the board declares a longer report 32.
constexpr std::size_t ResetRequestBufferLength = 101;

std::size_t OwnLengthOr(std::uint16_t declared, const DeviceLink& link)
{
    return declared > 0 ? declared : link.Capabilities.FeatureReportByteLength;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> ReadSettingsReport(DeviceLink& link)
{
    const std::size_t length = OwnLengthOr(link.ReportLayout.SettingsReportByteLength, link);
    if (!link.FeatureHandle || length < MinimumReadImage) {
        link.LastResult = 0;
        return std::nullopt;
    }
    std::vector<std::uint8_t> image(length, 0);
    image[0] = SettingsReportID;
    const int received = link.FeatureHandle->GetFeatureReport(image);
    const bool usable = received >= static_cast<int>(MinimumReadImage) && image[0] == SettingsReportID;
    link.LastResult = usable ? received : 0;
    if (!usable)
        return std::nullopt;
    image.resize(std::min(static_cast<std::size_t>(received), length));
    return image;
}

bool SendSettingsSequence(DeviceLink& link, const WheelSettings& settings)
{
    const std::size_t length = OwnLengthOr(link.ReportLayout.SettingsReportByteLength, link);
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

    const std::size_t resetLength = OwnLengthOr(link.ReportLayout.ResetReportByteLength, link);
    std::vector<std::uint8_t> answer(std::max(ResetRequestBufferLength, resetLength), 0);
    answer[0] = ResetReportID;
    const int received = link.FeatureHandle->GetFeatureReport(std::span(answer).first(resetLength));
    link.LastResult = received > 0 ? received : 0;
    return settingsTaken;
}

}  // namespace kx
