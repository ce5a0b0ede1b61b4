// kx5170ctl doctor: what stands between this user and the board, a line each, from the
// bus up to the board's settings, with the fix for each problem. Nothing is written.
#include "ctl_internal.h"

#include "access_help.h"
#include "board_identity.h"
#include "input_report.h"
#include "other_holders.h"
#include "plain_text.h"
#include "restore_journal.h"
#include "wide_text.h"

#ifdef KX_DOCTOR_PROBES
#include "board_doctor.h"
#endif

#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <system_error>

namespace kx::ctl {

namespace {

class Doctor {
public:
    explicit Doctor(CtlEnvironment& env) : Env(env) {}

    // The markers stay English in every language, in their columns: scripts and bug
    // reports look for PROBLEM; the lines after them are the user's language.
    void Good(const std::string& line) { Env.Out << "ok       " << line << '\n'; }
    void Note(const std::string& line) { Env.Out << "note     " << line << '\n'; }
    void Good(const QString& line) { Good(line.toStdString()); }
    void Note(const QString& line) { Note(line.toStdString()); }
    void Problem(int status, const QString& line) { Problem(status, line.toStdString()); }
    void Problem(int status, const std::string& line)
    {
        Env.Out << "PROBLEM  " << line << '\n';
        if (First == ExitDone)
            First = status;
    }
    int Status() const { return First; }

private:
    CtlEnvironment& Env;
    int First = ExitDone;
};

}  // namespace

int RunDoctor(const Options& options, HidPlatform& platform, CtlEnvironment& env)
{
    const DoctorRoots& roots = env.Doctor;
    Doctor doctor(env);
    bool anyDenied = false;
    bool anyNode = false;
    bool noBoardSaid = false;
    bool fixShown = false;
    // The commands that install the rule, once, under the first problem they fix.
    auto showFix = [&] {
        if (fixShown)
            return;
        fixShown = true;
        env.Out << "         "
                << kx5170ctl::tr(
                       "these commands install the board's udev rule, reload udev and apply it to the board\n"
                       "(or click \"Fix...\" in kx5170-config):")
                       .replace(u'\n', QStringLiteral("\n         "))
                       .toStdString()
                << '\n';
        const std::string commands = AccessFixCommands();
        for (std::size_t at = 0; at < commands.size();) {
            const std::size_t end = commands.find('\n', at);
            env.Out << "             " << commands.substr(at, end - at) << '\n';
            at = end == std::string::npos ? commands.size() : end + 1;
        }
        env.Out
            << "         "
            << kx5170ctl::tr("if the board still cannot be opened then, unplug it and plug it in again").toStdString()
            << '\n';
    };
#ifdef KX_DOCTOR_PROBES
    if (roots.Probe) {
        auto checkNode = [&](const QString& where, const std::string& node) {
            anyNode = true;
            switch (CheckNodeAccess(node)) {
                case NodeAccess::ReadWrite:
                    doctor.Good(where + kx5170ctl::tr("%1, which you may read and write").arg(Q(node)));
                    break;
                case NodeAccess::Denied:
                    anyDenied = true;
                    doctor.Problem(ExitNoAccess, where + kx5170ctl::tr("%1, which you may not open").arg(Q(node)));
                    break;
                case NodeAccess::Missing:
                    doctor.Problem(ExitNoBoard,
                                   where + kx5170ctl::tr("%1 is missing from /dev: unplug the board and plug "
                                                         "it in again")
                                               .arg(Q(node)));
                    break;
            }
        };
        // From what the program opens, the hidraw nodes, up to the USB device when there
        // is one; then the USB bus, for a board the kernel made no node for.
        const std::vector<HidrawBoard> hidraw = FindHidrawBoards(roots.Sysfs);
        const std::vector<UsbBoard> usb = FindUsbBoards(roots.Sysfs);
        if (hidraw.empty() && usb.empty()) {
            doctor.Problem(ExitNoBoard,
                           kx5170ctl::tr("no KX5170 board found: plug it in, or try another cable or port"));
            noBoardSaid = true;
        }
        for (const HidrawBoard& board : hidraw)
            if (board.UsbPort.empty())
                checkNode(kx5170ctl::tr("board on no USB bus (a virtual board): "), board.Node);
        for (const UsbBoard& board : usb) {
            char product[8];
            std::snprintf(product, sizeof product, "0x%04X", board.ProductID);
            doctor.Good(board.SerialNumber.empty()
                            ? kx5170ctl::tr("board on the USB bus at port %1, product %2")
                                  .arg(Q(board.Port), QLatin1String(product))
                            : kx5170ctl::tr("board on the USB bus at port %1, product %2, serial %3")
                                  .arg(Q(board.Port), QLatin1String(product), Q(PlainText(board.SerialNumber))));
            if (board.Interfaces.empty())
                doctor.Problem(ExitNoBoard, kx5170ctl::tr("the board at %1 shows no HID interface: unplug it and plug "
                                                          "it in again")
                                                .arg(Q(board.Port)));
            for (const UsbHidInterface& interface : board.Interfaces) {
                if (interface.HidrawNodes.empty()) {
                    doctor.Problem(
                        ExitNoBoard,
                        (interface.Driver.empty()
                             ? kx5170ctl::tr("interface %1 has no hidraw node (no driver took it): the kernel "
                                             "needs hidraw and usbhid; unplug the board and plug it in again")
                                   .arg(Q(interface.Name))
                             : kx5170ctl::tr("interface %1 has no hidraw node (driver %2): the kernel needs "
                                             "hidraw and usbhid; unplug the board and plug it in again")
                                   .arg(Q(interface.Name), Q(PlainText(interface.Driver)))));
                    continue;
                }
                std::string inputs;
                for (const std::string& node : interface.InputNodes)
                    inputs += (inputs.empty() ? "" : ", ") + node;
                if (!inputs.empty())
                    doctor.Good(
                        kx5170ctl::tr("interface %1: the kernel made input %2").arg(Q(interface.Name), Q(inputs)));
                for (const std::string& node : interface.HidrawNodes)
                    checkNode(kx5170ctl::tr("interface %1: ").arg(Q(interface.Name)), node);
            }
        }

        const std::vector<std::string> folders(roots.RuleDirectories.begin(), roots.RuleDirectories.end());
        const std::vector<std::string_view> folderViews(folders.begin(), folders.end());
        const BoardRuleState rule = FindBoardRule(folderViews);
        const int ruleStatus = anyDenied ? ExitNoAccess : ExitDone;
        auto ruleProblem = [&](const QString& line) {
            if (anyDenied)
                doctor.Problem(ruleStatus, line);
            else
                doctor.Note(line);
        };
        if (rule.Masked) {
            ruleProblem(kx5170ctl::tr("the board's udev rule is masked by %1 (the administrator turned it off): "
                                      "remove it, as root, to turn it on:")
                            .arg(Q(PlainText(rule.Where))));
            env.Out << "             sudo rm " << PlainText(rule.Where) << "\n             sudo udevadm control --reload\n"
                    << "             sudo udevadm trigger --subsystem-match=hidraw --action=change\n";
        } else if (rule.Installed) {
            doctor.Good(kx5170ctl::tr("a udev rule for the board is installed: %1").arg(Q(PlainText(rule.Where))));
        } else {
            ruleProblem(kx5170ctl::tr("the board's udev rule is not installed"));
            showFix();
        }

        const char* id = std::getenv("XDG_SESSION_ID");
        const LoginSession login = ReadLoginSession(roots.Run, id ? id : "");
        switch (login.Kind) {
        case SessionKind::LocalActive:
            doctor.Good(
                kx5170ctl::tr("a local session in front at %1: the udev rule gives it the board").arg(Q(login.Seat)));
            break;
        case SessionKind::LocalInactive:
            ruleProblem(kx5170ctl::tr("this session at %1 is not the one in front: switch to it").arg(Q(login.Seat)));
            break;
        case SessionKind::Remote:
            ruleProblem(
                kx5170ctl::tr("a remote login: the udev rule gives the board only to the person at the "
                              "computer; run kx5170ctl there"));
            break;
        case SessionKind::NoSeat:
            ruleProblem(
                kx5170ctl::tr("a session at no seat: the udev rule gives the board only to a local login at a seat"));
            break;
        case SessionKind::Unknown:
            doctor.Note(kx5170ctl::tr("the login session could not be told (no XDG_SESSION_ID, or no record of it)"));
            break;
        }
    }
#else
    (void)roots;
#endif

    BoardSession session(platform, env.Timings);
    const SearchOutcome found = session.Search(options.Choice);
    if (!found.Found) {
        const Failure failure = FromSession(*found.Failure);
        // Each problem once: what the look at the system said is not said again.
        if (found.Failure->Cause == FailureCause::NoBoard && noBoardSaid) {
        } else if (found.Failure->Cause == FailureCause::AccessDenied) {
            if (!anyDenied)
                doctor.Problem(ExitNoAccess, DescribeFailure(*found.Failure));
            showFix();
        } else if (found.Failure->Cause == FailureCause::NoBoard && anyNode && options.Choice.Any()) {
            // The search only takes an interface that declares the settings report.
            doctor.Problem(ExitNoBoard, kx5170ctl::tr("no node of the board declares its settings (report 8): unplug "
                                                      "the board, plug it in again, and if this stays, its firmware "
                                                      "is not one this program knows"));
        } else {
            doctor.Problem(failure.Status, failure.Message);
        }
    } else {
        const HidPlatform::HolderSearch holders = CheckOtherHolders(session);
        if (!holders.Holders.empty())
            doctor.Problem(ExitInUse, kx5170ctl::tr("the board is in use by %1: a write would take it from them; "
                                                    "close them before apply, set or run")
                                          .arg(Q(HoldersText(holders.Holders))));
        else if (holders.Unchecked != 0)
            doctor.Note(kx5170ctl::tr("no other program this user can see holds the board, but %1")
                            .arg(Q(UncheckedText(holders.Unchecked))));
        else
            doctor.Good(kx5170ctl::tr("no other program holds the board"));
        const Outcome<SettingsRead> settings = session.ReadSettings();
        if (const auto* failure = std::get_if<SessionFailure>(&settings))
            doctor.Problem(
                FromSession(*failure).Status,
                kx5170ctl::tr("the settings (report 8) could not be read: %1").arg(Q(FromSession(*failure).Message)));
        else
            doctor.Good(kx5170ctl::tr("the board at %1 declares its settings (report 8) and they read")
                            .arg(Q(session.Identity().Node)));
        const std::optional<int> type = session.DeviceType();
        const std::optional<int> perTurn = CountsPerTurn(type);
        if (type)
            doctor.Good(perTurn
                            ? kx5170ctl::tr("board version %1, type %2, %3 counts a turn")
                                  .arg(Q(BoardVersionText(session.Identity().VersionNumber)), QString::number(*type),
                                       QString::number(*perTurn))
                            : kx5170ctl::tr("board version %1, type %2")
                                  .arg(Q(BoardVersionText(session.Identity().VersionNumber)), QString::number(*type)));
        else
            doctor.Note(
                kx5170ctl::tr("the board's type could not be told: it did not answer the request for its "
                              "manufacturer as a board does"));
        if (const auto leftover = FindLeftover(env.JournalFolder, session.Identity()))
            doctor.Note(leftover->Sentence);
        session.Close();
    }
    env.Out << std::flush;
    return doctor.Status();
}

}  // namespace kx::ctl
