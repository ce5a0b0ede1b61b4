// The settings-file reader on any bytes: a file comes from the user, or from anyone
// who sent them one. Whatever it takes must stay within the table's ranges, and a
// file the program writes from what it took must read back the same.
#include "fuzz_check.h"
#include "settings_file.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

// A board whose every setting stands at its lowest allowed value.
kx::WheelSettings LowestSettings()
{
    kx::WheelSettings settings;
    for (const kx::SettingsField& field : kx::SettingsFields)
        settings.*field.Value = field.Lowest;
    return settings;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const kx::WheelSettings board = LowestSettings();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (kx::OutOfRange mode : {kx::OutOfRange::Refuse, kx::OutOfRange::Clamp}) {
        const auto result = kx::ParseSettingsFile(bytes, mode);
        if (const auto* error = std::get_if<kx::SettingsFileError>(&result)) {
            FUZZ_REQUIRE(!error->Reason.empty());
            FUZZ_REQUIRE(error->Line >= 0);
            continue;
        }
        const auto& file = std::get<kx::SettingsFile>(result);
        for (std::size_t i = 0; i < kx::SettingsCount; ++i)
            if (file.Values[i])
                FUZZ_REQUIRE(kx::InRange(kx::SettingsFields[i], *file.Values[i]));

        // A rotation becomes stops within their range on every known board, or is
        // refused with a reason; never both it and stops.
        if (file.RotationTenths) {
            FUZZ_REQUIRE(!file.Values[0]);
            for (int perTurn : {8192, 10000}) {
                const auto resolved = kx::ResolveRotation(file, perTurn);
                if (const auto* reason = std::get_if<kx::SettingsFileError>(&resolved)) {
                    FUZZ_REQUIRE(!reason->Reason.empty());
                    continue;
                }
                const auto& stops = std::get<kx::SettingsFile>(resolved).Values[0];
                FUZZ_REQUIRE(stops && kx::InRange(kx::SettingsFields[0], *stops));
            }
        }

        const kx::WheelSettings taken = kx::ApplySettingsFile(board, file);
        const std::string saved = kx::FormatSettingsFile(taken, {std::string(bytes.substr(0, 40)), "", "", "", {}});
        const auto again = kx::ParseSettingsFile(saved);
        FUZZ_REQUIRE(std::holds_alternative<kx::SettingsFile>(again));
        FUZZ_REQUIRE(kx::ApplySettingsFile(board, std::get<kx::SettingsFile>(again)) == taken);
    }
    return 0;
}
