// The board session's contract on the simulated board: which board a write waits for
// across its reset, how long any wait may take, and what each failure says of itself.
#include "board_bytes.h"
#include "board_session.h"
#include "simulated_hid.h"

#include <QtTest>

using namespace kx;
using namespace std::chrono_literals;

namespace {

SessionFailure FailureOf(const Outcome<SettingsRead>& outcome)
{
    const auto* failure = std::get_if<SessionFailure>(&outcome);
    return failure ? *failure : SessionFailure{};
}

std::chrono::milliseconds Since(const SimulatedHidPlatform& platform, std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(platform.Now() - start);
}

}  // namespace

class TestBoardSession : public QObject {
    Q_OBJECT

private slots:
    // Every wait ends at its bound on the platform's clock, a board that answers each
    // request only after the kernel has given up on it included.
    void everyWaitIsBounded_data()
    {
        QTest::addColumn<QString>("board");
        QTest::addColumn<int>("cause");
        QTest::addColumn<int>("step");
        QTest::newRow("never resets") << "stays" << int(FailureCause::NotReset) << int(SessionStep::AwaitReset);
        QTest::newRow("never comes back") << "gone" << int(FailureCause::NotBack) << int(SessionStep::AwaitReturn);
        QTest::newRow("back, but every request times out")
            << "stalls" << int(FailureCause::NotBack) << int(SessionStep::AwaitReturn);
    }

    void everyWaitIsBounded()
    {
        QFETCH(QString, board);
        QFETCH(int, cause);
        QFETCH(int, step);
        SimulatedHidPlatform platform;
        SimulatedDevice& device = platform.AddBoard();
        if (board != QLatin1String("stays"))
            device.Resets = SimulatedDevice::ResetTiming{200ms, board == QLatin1String("gone") ? 3600s : 500ms};
        BoardSession session(platform);
        QVERIFY(session.Search().Found);
        QVERIFY(session.Write(std::get<SettingsRead>(session.ReadSettings()).Values).Complete());
        if (board == QLatin1String("stalls")) {
            device.RequestDelay = 5000ms;
            device.DelayedRequestsTimeOut = true;
        }
        const auto start = platform.Now();
        const Outcome<SettingsRead> back = session.AwaitReturn();
        const SessionFailure failure = FailureOf(back);
        QCOMPARE(int(failure.Cause), cause);
        QCOMPARE(int(failure.Step), step);
        const SessionTimings& bound = session.Timings();
        // The wait for the board to go, then for it to come back, and at most one request
        // under way when the time ran out.
        QVERIFY2(Since(platform, start) <= bound.ResetGone + bound.ResetBack + 5000ms,
                 qPrintable(QString::number(Since(platform, start).count())));
        if (board == QLatin1String("stays"))
            QVERIFY2(DescribeFailure(failure).find("did not reset: the settings may not be stored") != std::string::npos,
                     DescribeFailure(failure).c_str());
        QCOMPARE(platform.OpenHandles(), 0);
    }

    // Each step of the sequence says what became of it, and the failure keeps the
    // platform's reason.
    void eachStepKeepsItsResult_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<int>("step");   // of the first failure
        QTest::addColumn<int>("cause");
        QTest::newRow("unplugged between commands 1 and 2")
            << "unplug" << true << int(SessionStep::SendCommand2) << int(FailureCause::Gone);
        QTest::newRow("command 1 cut short") << "short" << false << int(SessionStep::SendSettings)
                                             << int(FailureCause::ShortWrite);
        QTest::newRow("command 1 refused") << "refused" << false << int(SessionStep::SendSettings)
                                           << int(FailureCause::Refused);
        // A failed reset request is no reset unless the board goes: one that stays is
        // "not reset", whatever the request said.
        QTest::newRow("report 32 timed out, the board stayed") << "timeout" << true << int(SessionStep::ResetRequest)
                                                               << int(FailureCause::NotReset);
    }

    // A board that resets on the reset request may end the request with an error; its
    // departure is the proof of the reset.
    void aFailedResetRequestFollowedByDepartureIsAReset()
    {
        SimulatedHidPlatform platform;
        SimulatedDevice& device = platform.AddBoard();
        device.Resets = SimulatedDevice::ResetTiming{};
        BoardSession session(platform);
        QVERIFY(session.Search().Found);
        device.ResetRequestEndsInError = true;
        const WriteReport report = session.Write(WheelSettings{5000, -100, 200, 50, 20, 75, 90, 10, 5, 4, 1000, 64});
        QVERIFY(report.ResetByDeparture);
        QVERIFY(report.Complete());
        QVERIFY(!report.FirstFailure());
        QVERIFY(std::holds_alternative<SettingsRead>(session.AwaitReturn()));
    }

    void eachStepKeepsItsResult()
    {
        QFETCH(QString, fault);
        QFETCH(bool, taken);
        QFETCH(int, step);
        QFETCH(int, cause);
        SimulatedHidPlatform platform;
        SimulatedDevice& device = platform.AddBoard();
        BoardSession session(platform);
        QVERIFY(session.Search().Found);
        int sets = 0;
        device.BeforeOperation = [&](SimulatedOperation op) {
            if (op == SimulatedOperation::SetFeature && ++sets == 1 && fault == QLatin1String("refused"))
                device.FailFeatureRequests = 1;
            if (op == SimulatedOperation::SetFeature && sets == 2 && fault == QLatin1String("unplug"))
                platform.Unplug(device);
            if (op == SimulatedOperation::SetFeature && sets == 3 && fault == QLatin1String("timeout")) {
                device.RequestDelay = 5000ms;
                device.DelayedRequestsTimeOut = true;
            }
        };
        if (fault == QLatin1String("short"))
            device.SetFeatureSendsOnly = 63;
        const WriteReport report = session.Write(WheelSettings{5000, -100, 200, 50, 20, 75, 90, 10, 5, 4, 1000, 64});
        QCOMPARE(report.SettingsTaken(), taken);
        QVERIFY(!report.Complete());
        QCOMPARE(report.Steps.size(), std::size_t{4});  // every step sent, as the board has always been driven
        const SessionFailure failure = *report.FirstFailure();
        QCOMPARE(int(failure.Step), step);
        QCOMPARE(int(failure.Cause), cause);
        QCOMPARE(failure.Node, device.Info.Path);
    }

    // A partial write sends every setting it does not name as the board gave it: no
    // percentage re-rounded, no spring above 127 read as 0 and written back so.
    void aPartialWriteChangesNothingItDoesNotName()
    {
        SimulatedHidPlatform platform;
        SimulatedDevice& device = platform.AddBoard();
        device.Board->Settings[22] = 0xC0;  // all effects scale: 192 reads as 75 %, which writes as 191
        device.Board->Settings[28] = 0xC8;  // spring 200 reads as 0
        BoardSession session(platform);
        QVERIFY(session.Search().Found);
        const SettingsRead held = std::get<SettingsRead>(session.ReadSettings());
        std::array<std::optional<std::int32_t>, SettingsCount> values{};
        values[0] = 4000;  // stops alone
        QVERIFY(session.WriteNamed(held, values).Complete());
        Bytes expected = FactoryWriteImage(64, 1);
        expected[15] = 0xC0;  // damper effect scale as read, 192
        expected[16] = 0xA0;  // stops 4000
        expected[17] = 0x0F;
        expected[23] = 0xC0;  // all effects scale as read
        expected[29] = 0xC8;  // spring as read
        QCOMPARE(SetRequests(*device.Board).at(0), expected);
    }
};

QTEST_APPLESS_MAIN(TestBoardSession)
#include "test_board_session.moc"
