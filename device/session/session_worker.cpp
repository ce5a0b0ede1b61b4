#include "session_worker.h"

#include "board_session.h"
#include "other_holders.h"
#include "restore_journal.h"

#include <QSocketNotifier>
#include <QTimer>

#include <utility>

namespace kx {

SessionWorker::SessionWorker(HidPlatform& platform, SessionTimings timings)
    : Platform(platform),
      Times(timings),
      Session(std::make_unique<BoardSession>(platform, timings)),
      Supervisor(std::make_unique<LinkSupervisor>(*Session)),
      JournalFolder(DefaultJournalFolder())
{
    qRegisterMetaType<kx::SearchOutcome>();
    qRegisterMetaType<kx::BoardRuleState>();
    qRegisterMetaType<kx::BoardDetails>();
    qRegisterMetaType<kx::ValuesToken>();
    qRegisterMetaType<kx::WriteRequest>();
    qRegisterMetaType<kx::WriteAnswer>();
}

SessionWorker::~SessionWorker() = default;

bool SessionWorker::RequestClose()
{
    const std::lock_guard lock(CloseLock);
    Closing = true;
    return WriteUnderWay;
}

void SessionWorker::Start()
{
    // Made here, on the thread the worker lives on, so that they fire there.
    if (!TickTimer) {
        TickTimer = new QTimer(this);
        TickTimer->setInterval(Times.Tick);
        connect(TickTimer, &QTimer::timeout, this, &SessionWorker::Tick);
        DrainTimer = new QTimer(this);
        DrainTimer->setInterval(Times.Drain);
        connect(DrainTimer, &QTimer::timeout, this, &SessionWorker::DrainInput);
        ChangeSettle = new QTimer(this);
        ChangeSettle->setSingleShot(true);
        ChangeSettle->setInterval(Times.ChangeSettle);
        connect(ChangeSettle, &QTimer::timeout, this, [this] {
            if (!Running)
                return;
            if (!Session->IsOpen()) {
                // A node changed: the rule may have been installed meanwhile.
                RuleSeen.reset();
                SearchAsked = true;
                Tick();
            } else {
                TakeChangeNews();  // a board is open: the news is not needed
            }
            // The descriptor stayed readable while the news waited: watched again now.
            if (ChangeNotifier)
                ChangeNotifier->setEnabled(true);
        });
    }
    Running = true;
    const SearchOutcome found = Session->Search(Supervisor->Choice);
    emit Searched(found, {});
    if (found.Found)
        LoadNow();
    FollowChangeNotification();
    StartTimers();
}

void SessionWorker::Stop()
{
    Running = false;
    StopTimers();
    if (ChangeSettle)
        ChangeSettle->stop();
    if (ChangeNotifier)
        ChangeNotifier->setEnabled(false);
    Session->Close();
}

void SessionWorker::StartTimers()
{
    Supervisor->Restart();
    PaceTimers();
}

void SessionWorker::StopTimers()
{
    if (TickTimer) {
        TickTimer->stop();
        DrainTimer->stop();
    }
}

void SessionWorker::PaceTimers()
{
    if (!TickTimer || !Running)
        return;
    const bool open = Session->IsOpen();
    // Without a board there is nothing to drain, and a platform that wakes us on a
    // change needs no tick to ask it: the program then sleeps but for the safety net.
    const bool woken = ChangeNotifier != nullptr;
    const auto interval = open || !woken ? Times.Tick : Times.SafetyNetSearch;
    if (!TickTimer->isActive() || TickTimer->intervalAsDuration() != interval)
        TickTimer->start(interval);
    if (open && !DrainTimer->isActive())
        DrainTimer->start();
    else if (!open)
        DrainTimer->stop();
}

bool SessionWorker::TakeChangeNews()
{
    const bool changed = Platform.InterfacesMayHaveChanged();
    FollowChangeNotification();
    return changed;
}

void SessionWorker::FollowChangeNotification()
{
    // The platform may stop watching during any call for its news; the descriptor is
    // then no longer its news, and is left before the platform can close it.
    const int fd = Platform.ChangeNotificationFd();
    if (ChangeNotifier && ChangeNotifier->socket() == fd)
        return;
    delete ChangeNotifier;
    ChangeNotifier = nullptr;
    if (fd >= 0) {
        ChangeNotifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connect(ChangeNotifier, &QSocketNotifier::activated, this, [this] {
            // The descriptor stays readable until the news is taken: no spinning meanwhile.
            ChangeNotifier->setEnabled(false);
            ChangeSettle->start();
        });
    }
    PaceTimers();
}

void SessionWorker::Tick()
{
    if (!Running)
        return;
    // A tick at the safety net's pace is the safety net: it searches.
    const bool slow = TickTimer && TickTimer->intervalAsDuration() == Times.SafetyNetSearch;
    const LinkSupervisor::News news = Supervisor->Tick(std::exchange(SearchAsked, false) || slow);
    // The platform may have stopped watching while it was asked for its news.
    FollowChangeNotification();
    if (news.Position)
        emit PositionRead(*news.Position);
    if (news.Lost)
        emit LinkLost();
    if (news.Search) {
        BoardRuleState rule;
        if (!news.Search->Found && news.Search->Failure && news.Search->Failure->Cause == FailureCause::AccessDenied) {
            // Reading the rules folders grows with the system: once, until a change.
            if (!RuleSeen)
                RuleSeen = RuleFinder ? RuleFinder() : FindBoardRule(UdevRuleFolders);
            rule = *RuleSeen;
        }
        emit Searched(*news.Search, rule);
        if (news.Search->Found)
            LoadNow();
    }
    PaceTimers();
}

void SessionWorker::DrainInput()
{
    if (Running)
        Supervisor->Drain();
}

void SessionWorker::SearchNow()
{
    if (!Running || Session->IsOpen())
        return;
    RuleSeen.reset();
    SearchAsked = true;
    Tick();
}

void SessionWorker::Reload(quint64 id)
{
    if (!Running || !Session->IsOpen()) {
        emit ReloadAnswered(id, true);
        return;
    }
    LoadNow();
    emit ReloadAnswered(id, false);
}

ValuesToken SessionWorker::CurrentToken() const
{
    return {Session->Identity(), Loads};
}

void SessionWorker::LoadNow()
{
    emit Loading();
    BoardDetails details = Session->Load();
    if (const std::optional<Leftover> left = FindLeftover(JournalFolder, details.Identity))
        details.Leftover = left->Sentence;
    ++Loads;
    // What queued up during the load is older than the load.
    Supervisor->Restart();
    emit Loaded(details, CurrentToken());
}

void SessionWorker::Write(const WriteRequest& request)
{
    WriteAnswer answer;
    answer.Id = request.Id;
    {
        const std::lock_guard lock(CloseLock);
        if (Closing)
            answer.Refused = WriteRefusal::Closing;
        else if (!Running || !Session->IsOpen())
            answer.Refused = WriteRefusal::NoBoard;
        else if (!request.Token.Valid() || request.Token.Load != Loads ||
                 !SamePhysicalBoard(request.Token.Board, Session->Identity()))
            answer.Refused = WriteRefusal::OtherValues;
        else
            WriteUnderWay = true;
    }
    if (answer.Refused) {
        emit WriteAnswered(answer);
        return;
    }
    if (!request.EvenIfHeld) {
        answer.Holders = Session->OtherHolders();
        if (!answer.Holders.empty()) {
            answer.Refused = WriteRefusal::InUse;
            {
                const std::lock_guard lock(CloseLock);
                WriteUnderWay = false;
            }
            emit WriteAnswered(answer);
            return;
        }
    }
    StopTimers();
    emit Writing(request.Id);
    answer.Report = Session->Write(request.Settings);
    const bool complete = answer.Report->Complete();
    bool closing = false;
    {
        const std::lock_guard lock(CloseLock);
        WriteUnderWay = false;
        closing = Closing;
    }
    if (complete && (!request.KeepOpen || closing)) {
        // The board stores the settings and resets; the program is about to end.
        Stop();
        emit WriteAnswered(answer);
        return;
    }
    if (complete) {
        emit AwaitingReturn(request.Id);
        answer.ReadBack = Session->AwaitReturn();
        if (std::holds_alternative<SettingsRead>(*answer.ReadBack)) {
            ++Loads;
            answer.Token = CurrentToken();
        }
    }
    // The supervision finds out what became of the board: at once where the write or
    // the wait for its return closed it, not at the safety net's next search.
    StartTimers();
    emit WriteAnswered(answer);
    if (Running && !Session->IsOpen())
        SearchNow();
}

void SessionWorker::RestoreLeftover(quint64 id)
{
    auto refuse = [&](const QString& why) { emit RestoreAnswered(id, why); };
    if (!Running || !Session->IsOpen())
        return refuse(QStringLiteral("no board is open"));
    const std::optional<Leftover> left = FindLeftover(JournalFolder, Session->Identity());
    if (!left)
        return refuse(QString());  // nothing left to put back
    const HidPlatform::HolderSearch held = CheckOtherHolders(*Session);
    if (!held.Holders.empty())
        return refuse(QStringLiteral("another program holds the board (%1)")
                          .arg(QString::fromStdString(held.Holders.front().Program)));
    StopTimers();
    const std::optional<RestoreFailure> failure = RestoreFromJournal(*Session, JournalFolder, left->Entry);
    StartTimers();
    if (Session->IsOpen())
        LoadNow();
    emit RestoreAnswered(id, failure ? QString::fromStdString(failure->Reason) : QString());
}

}  // namespace kx
