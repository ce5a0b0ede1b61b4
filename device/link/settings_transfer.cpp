#include "settings_transfer.h"

#include "board_identity.h"

#include <algorithm>

namespace kx {

namespace {

// Larger than any report the board has; the request passes the feature length, so
// the buffer grows to that when the board reports more.
constexpr std::size_t ResetRequestBufferLength = 101;

}  // namespace

std::optional<std::vector<std::uint8_t>> ReadSettingsReport(DeviceLink& link)
{
    const std::size_t length = link.Capabilities.FeatureReportByteLength;
    if (!link.FeatureHandle || length < MinimumReadImage) {
        link.LastResult = 0;
        return std::nullopt;
    }
    std::vector<std::uint8_t> image(length, 0);
    image[0] = SettingsReportID;
    const int received = link.FeatureHandle->GetFeatureReport(image);
    const bool whole = received == static_cast<int>(length) && image[0] == SettingsReportID;
    link.LastResult = whole ? received : 0;
    if (!whole)
        return std::nullopt;
    return image;
}

bool SendSettingsSequence(DeviceLink& link, const WheelSettings& settings)
{
    const std::size_t length = link.Capabilities.FeatureReportByteLength;
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

    std::vector<std::uint8_t> answer(std::max(ResetRequestBufferLength, length), 0);
    answer[0] = ResetReportID;
    const int received = link.FeatureHandle->GetFeatureReport(std::span(answer).first(length));
    link.LastResult = received > 0 ? received : 0;
    return settingsTaken;
}

}  // namespace kx
