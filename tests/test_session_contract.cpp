// The window and the board session together, on random sequences of what users and
// boards do: plugs, unplugs, stalled requests, resets that fail or never come back,
// keys, clicks, questions answered either way, news that arrives late, and closing.
// After every step five promises are checked; a failure prints the seed and the
// shortest sequence RapidCheck could shrink it to.
//
//   RC_PARAMS="seed=1 max_success=2000" ./test_session_contract   (scripts/contract-long)
#include "window_fixture.h"

#include "settings_table.h"

#include <QAction>
#include <QApplication>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <rapidcheck.h>
#include <rapidcheck/state.h>

#include <array>
#include <iostream>
#include <map>
#include <set>
#include <sstream>

using namespace kx;
using namespace std::chrono_literals;

namespace {

// Where a write's untyped values came from, told by the last three settings, which the
// sequences never type into: each board and the file carry their own.
enum class Origin { A, B, File, Unknown };

struct Fingerprint {
    int MotorFilter, InputFilter, Spring;
};
constexpr Fingerprint PrintA{4, 1000, 64};  // the factory settings
constexpr Fingerprint PrintB{6, 2000, 33};
constexpr Fingerprint PrintFile{7, 3000, 99};

// Offsets in report 8's write image (report ID and command first).
Origin OriginOf(const Bytes& write)
{
    const Fingerprint f{write[26], write[27] | write[28] << 8, write[29]};
    auto is = [&](const Fingerprint& p) {
        return f.MotorFilter == p.MotorFilter && f.InputFilter == p.InputFilter && f.Spring == p.Spring;
    };
    return is(PrintA) ? Origin::A : is(PrintB) ? Origin::B : is(PrintFile) ? Origin::File : Origin::Unknown;
}

// The board holds what command 1 sent: the read image is the write image without its
// command byte.
bool Holds(const BoardModel& board, const Bytes& write)
{
    for (std::size_t i = 15; i <= 29; ++i)
        if (board.Settings.at(i - 1) != write.at(i))
            return false;
    return true;
}

struct Model {
    bool AIn = true, BIn = false;
    bool Closed = false;
};

struct Rig {
    SimulatedHidPlatform Platform;
    SimulatedDevice* A = nullptr;
    SimulatedDevice* B = nullptr;
    std::unique_ptr<frmMain> Window;
    std::unique_ptr<WindowControls> V;
    std::unique_ptr<QSignalSpy> WriteAnswers, ReloadAnswers;
    QTemporaryDir Dir;
    QString FilePath;

    // The answers the next questions get, and what was asked.
    bool ConfirmAnswer = true;
    int ChooseAnswer = 1;
    QStringList Questions;
    // The user said yes to writing another board's values.
    bool ForeignConsent = false;
    // The boards that change a setting by themselves after a reset.
    std::set<const SimulatedDevice*> Fickle;
    // The boards a file was opened onto while it was the one loaded.
    std::set<const SimulatedDevice*> FileOnto;
    // What the user typed into each box and has not let go of with a yes.
    std::array<std::optional<QString>, SettingsCount> Typed{};
    // Set requests already checked, per board.
    std::map<const SimulatedDevice*, std::size_t> Checked;
    qsizetype AnswersSeen = 0;
    // The boxes as the last write sent them.
    QStringList Sent;
    bool ClosedByUs = false;

    Rig()
    {
        QStandardPaths::setTestModeEnabled(true);
        A = &Platform.AddBoard(0x5E11, 0x0107);
        A->Resets = SimulatedDevice::ResetTiming{};
        B = &Platform.AddBoard(0x5E11, 0x0107);
        B->Resets = SimulatedDevice::ResetTiming{};
        SetSettings(*B, PrintB);
        Platform.Unplug(*B);
        SetSerial(*B, u"B-0002");

        FilePath = Dir.filePath(QStringLiteral("profile.kx5170"));
        QFile file(FilePath);
        file.open(QIODevice::WriteOnly);
        file.write("stops = 7000\ncentre_offset = 0\nstops_stiffness = 100\nstops_damping = 40\n"
                   "overall_damping = 30\ndamper_effect_scale = 50\nall_effects_scale = 80\n"
                   "overall_inertia = 20\noverall_friction = 15\nmotor_filter = 7\ninput_filter = 3000\n"
                   "centering_spring = 99\n");
        file.close();

        Window = std::make_unique<frmMain>(std::make_unique<SessionWorker>(Platform));
        Window->SetAvailableScreenArea([] { return QRect(0, 0, 1920, 1050); });
        Window->SetDialogs({[this](QWidget*, const QString&) { return FilePath; },
                            [](QWidget*, const QString&) { return QString(); },
                            [this](QWidget*, const QString& question) {
                                Questions << question;
                                if (ConfirmAnswer && question.contains(QLatin1String("came from another board")))
                                    ForeignConsent = true;
                                return ConfirmAnswer;
                            },
                            [this](QWidget*, const QString& question, const QStringList&) {
                                Questions << question;
                                return ChooseAnswer;
                            },
                            [](QWidget*, const QString&) {}});
        Window->QueueSessionTraffic();
        V = std::make_unique<WindowControls>(*Window);
        WriteAnswers = std::make_unique<QSignalSpy>(&Window->Session(), &SessionWorker::WriteAnswered);
        ReloadAnswers = std::make_unique<QSignalSpy>(&Window->Session(), &SessionWorker::ReloadAnswered);
        Window->Form_Load();
        Deliver();
    }

    static void SetSerial(SimulatedDevice& board, const std::u16string& serial)
    {
        board.SerialNumber = serial;
        board.Info.SerialNumber = QString::fromStdU16String(serial).toStdString();
    }

    static void SetSettings(SimulatedDevice& board, const Fingerprint& print)
    {
        board.Board->Settings[25] = static_cast<std::uint8_t>(print.MotorFilter);
        board.Board->Settings[26] = static_cast<std::uint8_t>(print.InputFilter & 0xFF);
        board.Board->Settings[27] = static_cast<std::uint8_t>(print.InputFilter >> 8);
        board.Board->Settings[28] = static_cast<std::uint8_t>(print.Spring);
    }

    // Everything the session and the window have sent each other arrives; no timer
    // fires, so that a sequence runs the same every time.
    void Deliver()
    {
        for (int round = 0; round < 8; ++round)
            QCoreApplication::sendPostedEvents();
    }

    // The board the session holds open.
    const SimulatedDevice* Loaded() const
    {
        for (const SimulatedDevice* board : {A, B})
            if (board->Plugged() && board->OpenHandles() == 2)
                return board;
        return nullptr;
    }

    QString Status() const { return V->lblStatus->text(); }
    QStringList Texts() const
    {
        QStringList texts;
        for (const QLineEdit* box : V->Boxes)
            texts << box->text();
        return texts;
    }
};

// ---- The promises ------------------------------------------------------------------

void CheckPromises(Rig& rig, const Model& model, bool delivered)
{
    // 1. A board gets only its own values, typed ones, a file opened onto it, or
    //    another board's after a yes.
    for (const SimulatedDevice* board : {rig.A, rig.B}) {
        const std::vector<Bytes> sets = SetRequests(*board->Board);
        for (std::size_t i = rig.Checked[board]; i < sets.size(); ++i) {
            if (sets[i][1] != 1)
                continue;
            const Origin origin = OriginOf(sets[i]);
            const Origin own = board == rig.A ? Origin::A : Origin::B;
            const bool fromFile = origin == Origin::File && rig.FileOnto.contains(board);
            RC_ASSERT(origin == own || fromFile || rig.ForeignConsent);
        }
        rig.Checked[board] = sets.size();
    }

    const QString status = rig.Status();
    RC_LOG() << "line: " << status.toStdString() << "\n";
    // 2. Closing ends the program.
    if (model.Closed) {
        RC_ASSERT(!rig.Window->isVisible());
        return;
    }
    // A write that ended the program stored what it sent, on the board it sent it to.
    if (!rig.Window->isVisible()) {
        RC_ASSERT(!rig.ClosedByUs);
        bool stored = false;
        for (const SimulatedDevice* board : {rig.A, rig.B}) {
            const std::vector<Bytes> sets = SetRequests(*board->Board);
            for (auto it = sets.rbegin(); it != sets.rend(); ++it)
                if ((*it)[1] == 1) {
                    // A board that changes its settings by itself is its own fault.
                    stored = stored || Holds(*board->Board, *it) || rig.Fickle.contains(board);
                    break;
                }
        }
        RC_ASSERT(stored);
        return;
    }

    // 3. No typed value leaves its box without a yes.
    for (std::size_t i = 0; i < SettingsCount; ++i)
        if (rig.Typed[i] && rig.V->Boxes[i]->isEnabled()) {
            RC_LOG() << SettingsFields[i].Name << " holds \"" << rig.V->Boxes[i]->text().toStdString()
                     << "\", typed \"" << rig.Typed[i]->toStdString() << "\"\n";
            RC_ASSERT(rig.V->Boxes[i]->text() == *rig.Typed[i]);
        }

    // 4. "Written and read back" only when the board holds what was sent; never "not
    //    reset" for a board that left after its reset request.
    const bool newAnswer = rig.WriteAnswers->size() != rig.AnswersSeen;
    rig.AnswersSeen = rig.WriteAnswers->size();
    if (status.contains(QLatin1String("Written and read back")) && newAnswer) {
        const SimulatedDevice* board = rig.Loaded();
        RC_ASSERT(board != nullptr);
        const std::vector<Bytes> sets = SetRequests(*board->Board);
        Bytes last;
        for (const Bytes& set : sets)
            if (set[1] == 1)
                last = set;
        RC_ASSERT(!last.empty());
        RC_ASSERT(Holds(*board->Board, last));
        // What was written is the board's now; what was typed after the write was sent
        // is still the user's.
        for (std::size_t i = 0; i < SettingsCount; ++i)
            if (rig.Typed[i] == rig.Sent.value(static_cast<qsizetype>(i)))
                rig.Typed[i].reset();
    }
    if (status.contains(QLatin1String("was not reset")))
        for (const SimulatedDevice* board : {rig.A, rig.B})
            RC_ASSERT(!(board->Board->ResetRequests > 0 && board->ResetRequestEndsInError && board->Resets));

    // 5. Nothing is under way between two steps: "Writing" is not said, every request
    //    was answered once, and whatever a loaded board allows can be done.
    RC_ASSERT(!status.contains(QLatin1String("Writing the settings")));
    std::set<quint64> answered;
    for (const QList<QVariant>& answer : *rig.WriteAnswers)
        RC_ASSERT(answered.insert(answer.at(0).value<WriteAnswer>().Id).second);
    for (const QList<QVariant>& answer : *rig.ReloadAnswers)
        RC_ASSERT(answered.insert(answer.at(0).toULongLong()).second);
    if (delivered && rig.V->Slimit->isEnabled())
        RC_ASSERT(rig.V->Go->isEnabled());
}

using Command = rc::state::Command<Model, Rig>;

// Every step run, shrinking included, for the line the test ends with.
std::uint64_t StepsRun = 0;

struct Step : Command {
    void run(const Model& model, Rig& rig) const override
    {
        ++StepsRun;
        Model after = model;
        apply(after);
        std::ostringstream shown;
        show(shown);
        RC_LOG() << "> " << shown.str() << "\n";
        act(rig);
        CheckPromises(rig, after, Delivers());
    }
    // Whether every request has had its answer by the end of the step.
    virtual bool Delivers() const { return false; }
    void checkPreconditions(const Model& model) const override { RC_PRE(!model.Closed); }
    virtual void act(Rig& rig) const = 0;
};

struct Deliver : Step {
    void act(Rig& rig) const override { rig.Deliver(); }
    bool Delivers() const override { return true; }
    void show(std::ostream& os) const override { os << "deliver the news"; }
};

struct Tick : Step {
    void act(Rig& rig) const override
    {
        rig.Window->Session().DrainInput();
        rig.Window->Session().Tick();
    }
    void show(std::ostream& os) const override { os << "tick"; }
};

struct Plug : Step {
    bool Second = *rc::gen::arbitrary<bool>();
    bool SameSerial = *rc::gen::arbitrary<bool>();
    void checkPreconditions(const Model& model) const override
    {
        Step::checkPreconditions(model);
        const bool out = Second ? !model.BIn : !model.AIn;
        RC_PRE(out);
    }
    void apply(Model& model) const override { (Second ? model.BIn : model.AIn) = true; }
    void act(Rig& rig) const override
    {
        if (Second)
            Rig::SetSerial(*rig.B, SameSerial ? u"KX5170-000123" : u"B-0002");
        rig.Platform.PlugIn(Second ? *rig.B : *rig.A);
    }
    void show(std::ostream& os) const override
    {
        os << "plug " << (Second ? SameSerial ? "B (A's serial, another port)" : "B" : "A");
    }
};

struct Unplug : Step {
    bool Second = *rc::gen::arbitrary<bool>();
    void checkPreconditions(const Model& model) const override
    {
        Step::checkPreconditions(model);
        const bool in = Second ? model.BIn : model.AIn;
        RC_PRE(in);
    }
    void apply(Model& model) const override { (Second ? model.BIn : model.AIn) = false; }
    void act(Rig& rig) const override { rig.Platform.Unplug(Second ? *rig.B : *rig.A); }
    void show(std::ostream& os) const override { os << "unplug " << (Second ? "B" : "A"); }
};

// What a board does wrong from now on.
struct Misbehave : Step {
    bool Second = *rc::gen::arbitrary<bool>();
    int How = *rc::gen::element(0, 1, 2, 3, 4);
    void act(Rig& rig) const override
    {
        SimulatedDevice& board = Second ? *rig.B : *rig.A;
        switch (How) {
        case 0:  // the next request is held until the kernel gives up
            board.RequestDelay = 5000ms;
            board.DelayedRequestsTimeOut = true;
            board.BeforeOperation = [&board](SimulatedOperation) {
                board.RequestDelay = 0ms;
                board.DelayedRequestsTimeOut = false;
                board.BeforeOperation = nullptr;
            };
            break;
        case 1:  // never resets
            board.Resets.reset();
            break;
        case 2:  // resets, and never comes back
            board.Resets = SimulatedDevice::ResetTiming{200ms, 24h};
            break;
        case 3:  // resets on its reset request, which ends in an error
            board.ResetRequestEndsInError = true;
            break;
        case 4:  // once reset, holds another stops value than it was sent
            rig.Fickle.insert(&board);
            board.BeforeOperation = [&board](SimulatedOperation op) {
                if (op != SimulatedOperation::GetFeature || board.Board->ResetRequests == 0)
                    return;
                board.Board->Settings[15] ^= 0x01;
                board.BeforeOperation = nullptr;
            };
            break;
        }
    }
    void show(std::ostream& os) const override
    {
        static const char* const what[] = {"stalls its next request", "never resets", "never comes back",
                                           "fails its reset request and resets",
                                           "holds another stops value once reset"};
        os << (Second ? "B " : "A ") << what[How];
    }
};

struct Type : Step {
    std::size_t Box = *rc::gen::element<std::size_t>(0, 1, 2, 3, 4, 5, 6, 7, 8);
    int Kind = *rc::gen::element(0, 1, 2, 3);
    int Value = *rc::gen::inRange(0, 1000);
    QString Text() const
    {
        const SettingsField& field = SettingsFields[Box];
        if (Kind == 0)
            return QStringLiteral("abc");
        return QString::number(field.Lowest + static_cast<std::int64_t>(Value) * (field.Highest - field.Lowest) / 999);
    }
    void act(Rig& rig) const override
    {
        QLineEdit* box = rig.V->Boxes[Box];
        if (!box->isEnabled())
            return;
        box->selectAll();
        QTest::keyClicks(box, Text());
        rig.Typed[Box] = box->text();
    }
    void show(std::ostream& os) const override
    {
        os << "type \"" << Text().toStdString() << "\" into " << SettingsFields[Box].Name;
    }
};

struct Press : Step {
    int What = *rc::gen::element(0, 1, 2, 3);  // Write and reset, Write and keep open, F5, Open
    bool Yes = *rc::gen::arbitrary<bool>();
    void act(Rig& rig) const override
    {
        rig.ConfirmAnswer = Yes;
        rig.ChooseAnswer = Yes ? 1 : 2;  // Discard, or Cancel
        const qsizetype asked = rig.Questions.size();
        const SimulatedDevice* loaded = rig.Loaded();
        switch (What) {
        case 0:
            rig.V->Go->click();
            rig.Sent = rig.Texts();
            break;
        case 1:
            rig.Window->WriteKeepOpen_Click();
            rig.Sent = rig.Texts();
            break;
        case 2:
            rig.V->actReload->trigger();
            if (rig.Questions.size() > asked && Yes)
                rig.Typed = {};
            break;
        case 3: {
            const QString before = rig.V->Slimit->text();
            rig.V->actOpen->trigger();
            if (rig.V->Slimit->text() == QLatin1String("7000") && before != QLatin1String("7000")) {
                rig.Typed = {};
                // With no board, a profile: for whichever board is loaded next.
                if (loaded)
                    rig.FileOnto.insert(loaded);
                else
                    rig.FileOnto.insert({rig.A, rig.B});
            }
            break;
        }
        }
    }
    void show(std::ostream& os) const override
    {
        static const char* const what[] = {"press Write and reset", "press Write and keep open", "press F5",
                                           "open a file"};
        os << what[What] << (Yes ? ", answering yes" : ", answering no");
    }
};

struct Close : Step {
    void apply(Model& model) const override { model.Closed = true; }
    void act(Rig& rig) const override
    {
        rig.ClosedByUs = true;
        rig.ChooseAnswer = 1;  // unwritten values: "Discard"
        rig.Window->close();
        rig.Deliver();
    }
    void show(std::ostream& os) const override { os << "close the window"; }
};

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    qRegisterMetaType<WriteAnswer>();
    const bool held = rc::check("the window and the session keep their promises", [] {
        Model model;
        Rig rig;
        rc::state::check(model, rig,
                         rc::state::gen::execOneOfWithArgs<Deliver, Deliver, Tick, Tick, Plug, Unplug, Misbehave,
                                                           Type, Type, Type, Press, Press, Press, Close>());
    });
    std::cout << "contract steps: " << StepsRun << '\n';
    return held ? 0 : 1;
}
