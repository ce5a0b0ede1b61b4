// kx5170ctl watch: the wheel's position as it changes, at most a line a tick, until the
// caller asks to stop. A board that goes away is reported and searched for until it
// is back. The session supervises the link; this prints what it hears.
#include "ctl_internal.h"

#include "board_identity.h"
#include "input_report.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <ostream>

namespace kx::ctl {

namespace {

class Watch {
public:
    Watch(const Options& options, HidPlatform& platform, CtlEnvironment& env)
        : Json(options.Json), Choice(options.Choice), Env(env), Session(platform, env.Timings), Supervisor(Session)
    {
        Supervisor.Choice = Choice;
    }

    int Run()
    {
        if (auto failure = OpenBoard(Session, Choice))
            return Report(Env, *failure);
        Env.WatchStarting();
        Found();
        Supervisor.Follow([this](const LinkSupervisor::News& news) { Hear(news); }, Env.StopRequested);
        Session.Close();
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
        DeniedSaid = false;
        PerTurn = CountsPerTurn(Session.DeviceType());
        const std::string node = Session.Identity().Node;
        Say({{"event", "found"}, {"node", QString::fromStdString(node)}},
            kx5170ctl::tr("board at %1 (Ctrl+C ends)").arg(Q(node)).toStdString());
    }

    void Hear(const LinkSupervisor::News& news)
    {
        if (news.Lost)
            Say({{"event", "unplugged"}}, kx5170ctl::tr("board unplugged: waiting for it to come back").toStdString());
        if (news.Search) {
            if (news.Search->Found) {
                Found();
            } else if (news.Search->Failure->Cause == FailureCause::AccessDenied && !DeniedSaid) {
                // Said once: udev may grant access a moment later, and the search goes on.
                DeniedSaid = true;
                const std::string node = news.Search->Failure->Node;
                Say({{"event", "access_denied"}, {"node", QString::fromStdString(node)}},
                    kx5170ctl::tr("board at %1, but this user may not open it: run kx5170ctl list for the fix")
                        .arg(Q(node))
                        .toStdString());
            }
        }
        // The board's other reports (its force-feedback state) carry no position.
        if (news.Position && news.Position != Shown) {
            Shown = news.Position;
            QJsonObject json{{"counts", *Shown}};
            std::string plain = kx5170ctl::tr("%1 counts").arg(*Shown).toStdString();
            if (PerTurn) {
                const double degrees = PositionDegrees(*Shown, *PerTurn);
                json.insert("degrees", degrees);
                plain += "  " + kx5170ctl::tr("%1 degrees").arg(Q(DegreesText(degrees))).toStdString();
            }
            Say(json, plain);
        }
    }

    const bool Json;
    const BoardChoice Choice;
    CtlEnvironment& Env;
    BoardSession Session;
    LinkSupervisor Supervisor;
    std::optional<std::int16_t> Shown;
    std::optional<int> PerTurn;
    bool DeniedSaid = false;
};

}  // namespace

int RunWatch(const Options& options, HidPlatform& platform, CtlEnvironment& environment)
{
    return Watch(options, platform, environment).Run();
}

}  // namespace kx::ctl
