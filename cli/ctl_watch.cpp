// kx5170ctl watch: the wheel's position as it changes, at most ten lines a second,
// until the caller asks to stop. A board that goes away is reported and searched for
// until it is back.
#include "ctl_internal.h"

#include "input_report.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <array>
#include <charconv>
#include <ostream>

namespace kx::ctl {

namespace {

using std::chrono::milliseconds;

// Short enough that hidraw's queue of 63 reports never fills at 1000 reports a second.
constexpr milliseconds Tick{20};
constexpr milliseconds LineInterval{100};
// The search runs when the platform reports a change; this often in any case, for a
// platform that cannot watch.
constexpr milliseconds SearchInterval{1000};

// One decimal, always with a point: the locale must not change what a script reads.
std::string DegreesText(double degrees)
{
    std::array<char, 32> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size(), degrees, std::chars_format::fixed, 1);
    return std::string(text.data(), result.ptr);
}

class Watch {
public:
    Watch(const Options& options, HidPlatform& platform, CtlEnvironment& env)
        : Json(options.Json), Platform(platform), Env(env)
    {
    }

    int Run()
    {
        if (auto failure = OpenFirstBoard(Link, Platform))
            return Report(Env, *failure);
        Env.WatchStarting();
        Found();
        while (!Env.StopRequested()) {
            if (Link.BoardOpen == FlagTrue)
                Follow();
            else if (Platform.InterfacesMayHaveChanged() || Now - LastSearch >= SearchInterval)
                Search();
            Platform.Pause(Tick);
            Now += Tick;
        }
        CloseLinkHandle(Link, Link.FeatureHandle);
        CloseLinkHandle(Link, Link.InputHandle);
        return ExitDone;
    }

private:
    void Say(const QJsonObject& json, const std::string& plain)
    {
        if (Json)
            Env.Out << QJsonDocument(json).toJson(QJsonDocument::Compact).toStdString() << '\n';
        else
            Env.Out << plain << '\n';
        Env.Out << std::flush;
    }

    void Found()
    {
        Shown.reset();
        Latest.reset();
        DeniedSaid = false;
        PerTurn = CountsPerTurn(BoardType(Link.Attributes.VersionNumber));
        Say({{"event", "found"}, {"node", QString::fromStdString(Link.DevicePath)}},
            "board at " + Link.DevicePath + " (Ctrl+C ends)");
    }

    void Search()
    {
        LastSearch = Now;
        if (FindTheHid(Link, Platform) == FlagTrue) {
            Found();
        } else if (Link.BoardOpenFailure == HidFailure::AccessDenied && !DeniedSaid) {
            // Said once: udev may grant access a moment later, and the search goes on.
            DeniedSaid = true;
            Say({{"event", "access_denied"}, {"node", QString::fromStdString(Link.DevicePath)}},
                "board at " + Link.DevicePath + ", but this user may not open it: run kx5170ctl list for the fix");
        }
    }

    void Follow()
    {
        // The board's other reports (its force-feedback state) carry no position.
        const DrainedInput drained = DrainInputReports(Link);
        if (drained.NewestPosition)
            Latest = drained.NewestPosition;
        if (drained.Lost) {
            Lost();
            return;
        }
        if (Latest && Latest != Shown && (!Shown || Now - LastLine >= LineInterval)) {
            Shown = Latest;
            LastLine = Now;
            QJsonObject json{{"counts", *Latest}};
            std::string plain = std::to_string(*Latest) + " counts";
            if (PerTurn) {
                const double degrees = PositionDegrees(*Latest, *PerTurn);
                json.insert("degrees", degrees);
                plain += "  " + DegreesText(degrees) + " degrees";
            }
            Say(json, plain);
        }
    }

    void Lost()
    {
        CloseLinkHandle(Link, Link.FeatureHandle);
        CloseLinkHandle(Link, Link.InputHandle);
        Link.BoardOpen = FlagFalse;
        LastSearch = Now;
        Say({{"event", "unplugged"}}, "board unplugged: waiting for it to come back");
    }

    const bool Json;
    HidPlatform& Platform;
    CtlEnvironment& Env;
    DeviceLink Link;
    milliseconds Now{0};
    milliseconds LastSearch{0};
    milliseconds LastLine{0};
    std::optional<std::int16_t> Latest, Shown;
    std::optional<int> PerTurn;
    bool DeniedSaid = false;
};

}  // namespace

int RunWatch(const Options& options, HidPlatform& platform, CtlEnvironment& environment)
{
    return Watch(options, platform, environment).Run();
}

}  // namespace kx::ctl
