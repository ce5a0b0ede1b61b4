#include "session_worker.h"

#include <QSocketNotifier>
#include <QTimer>

#include <utility>

namespace kx {

SessionWorker::SessionWorker(HidPlatform& platform, SessionTimings timings)
    : Platform(platform), Times(timings), Session(platform, timings), Supervisor(Session)
{
    qRegisterMetaType<kx::SearchOutcome>();
    qRegisterMetaType<kx::BoardDetails>();
    qRegisterMetaType<kx::WriteReport>();
    qRegisterMetaType<kx::Outcome<kx::SettingsRead>>();
    qRegisterMetaType<kx::WheelSettings>();
    qRegisterMetaType<std::vector<kx::DeviceHolder>>();
}

SessionWorker::~SessionWorker() = default;

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
            if (!Session.IsOpen()) {
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
    const SearchOutcome found = Session.Search(Supervisor.Choice);
    emit Searched(found);
    if (found.Found)
        LoadNow();
    StartTimers();
    FollowChangeNotification();
}

void SessionWorker::Stop()
{
    Running = false;
    StopTimers();
    if (ChangeSettle)
        ChangeSettle->stop();
    if (ChangeNotifier)
        ChangeNotifier->setEnabled(false);
    Session.Close();
}

void SessionWorker::StartTimers()
{
    Supervisor.Restart();
    if (TickTimer) {
        TickTimer->start();
        DrainTimer->start();
    }
}

void SessionWorker::StopTimers()
{
    if (TickTimer) {
        TickTimer->stop();
        DrainTimer->stop();
    }
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
    if (fd < 0)
        return;
    ChangeNotifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(ChangeNotifier, &QSocketNotifier::activated, this, [this] {
        // The descriptor stays readable until the news is taken: no spinning meanwhile.
        ChangeNotifier->setEnabled(false);
        ChangeSettle->start();
    });
}

void SessionWorker::Tick()
{
    if (!Running)
        return;
    const LinkSupervisor::News news = Supervisor.Tick(std::exchange(SearchAsked, false));
    // The platform may have stopped watching while it was asked for its news.
    FollowChangeNotification();
    if (news.Position)
        emit PositionRead(*news.Position);
    if (news.Lost)
        emit LinkLost();
    if (news.Search) {
        emit Searched(*news.Search);
        if (news.Search->Found)
            LoadNow();
    }
}

void SessionWorker::DrainInput()
{
    if (Running)
        Supervisor.Drain();
}

void SessionWorker::SearchNow()
{
    if (!Running || Session.IsOpen())
        return;
    SearchAsked = true;
    Tick();
}

void SessionWorker::Reload()
{
    if (Running && Session.IsOpen())
        LoadNow();
}

void SessionWorker::LoadNow()
{
    emit Loading();
    const BoardDetails details = Session.Load();
    // What queued up during the load is older than the load.
    Supervisor.Restart();
    emit Loaded(details);
}

void SessionWorker::Write(const WheelSettings& settings, bool keepOpen, bool evenIfHeld)
{
    if (!Running || !Session.IsOpen())
        return;
    if (!evenIfHeld) {
        const std::vector<DeviceHolder> holders = Session.OtherHolders();
        if (!holders.empty()) {
            emit HeldBy(holders);
            return;
        }
    }
    StopTimers();
    emit Writing();
    const WriteReport report = Session.Write(settings);
    emit Written(report);
    if (!report.Complete()) {
        // The supervision finds out what became of the board.
        StartTimers();
        return;
    }
    if (!keepOpen) {
        Stop();
        return;
    }
    emit AwaitingReturn();
    const Outcome<SettingsRead> back = Session.AwaitReturn();
    emit ReadBack(back);
    StartTimers();
}

}  // namespace kx
