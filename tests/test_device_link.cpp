#include "board_model.h"
#include "device_link.h"
#include "simulated_hid.h"

#include <QtTest>

#include <string>
#include <vector>

using namespace kx;

Q_DECLARE_METATYPE(kx::HidFailure)

class TestDeviceLink : public QObject {
    Q_OBJECT

private slots:
    void MatchesOnlyTheBoardsIdentity_data()
    {
        QTest::addColumn<int>("vendor");
        QTest::addColumn<int>("product");
        QTest::addColumn<bool>("taken");
        QTest::newRow("product 5E10") << 0x6C1B << 0x5E10 << false;
        QTest::newRow("product 5E11") << 0x6C1B << 0x5E11 << true;
        QTest::newRow("product 5E13") << 0x6C1B << 0x5E13 << true;
        QTest::newRow("product 5E14") << 0x6C1B << 0x5E14 << false;
        QTest::newRow("other vendor, board's product") << 0x6C1C << 0x5E11 << false;
    }

    // A working board in every row: only the identity in the enumeration decides.
    void MatchesOnlyTheBoardsIdentity()
    {
        QFETCH(int, vendor);
        QFETCH(int, product);
        QFETCH(bool, taken);
        SimulatedHidPlatform platform;
        SimulatedDevice& device = platform.AddBoard();
        device.Info.VendorID = static_cast<std::uint16_t>(vendor);
        device.Info.ProductID = static_cast<std::uint16_t>(product);
        DeviceLink link;
        QCOMPARE(FindTheHid(link, platform), taken ? FlagTrue : FlagFalse);
        QCOMPARE(device.OpensTotal, taken ? 2 : 0);
    }

    // Other interfaces and a refused board are passed over; of two boards, the first is taken.
    void TakesTheFirstBoardListed()
    {
        SimulatedHidPlatform platform;
        platform.AddOtherInterface(0x046D, 0xC31C);
        platform.AddOtherInterface(0x6C1B, 0x5E14);
        SimulatedDevice& refused = platform.AddBoard(0x5E11);
        refused.RefuseOpen = HidFailure::AccessDenied;
        SimulatedDevice& first = platform.AddBoard(0x5E12, 0x0410);
        platform.AddBoard(0x5E11);

        DeviceLink link;
        QCOMPARE(FindTheHid(link, platform), FlagTrue);
        QCOMPARE(platform.OpenedPaths,
                 (std::vector<std::string>{refused.Info.Path, first.Info.Path, first.Info.Path}));
        QCOMPARE(link.DevicePath, first.Info.Path);
        QCOMPARE(link.Attributes.ProductID, 0x5E12);
        QCOMPARE(link.Attributes.VersionNumber, 0x0410);
    }

    void TakesTheInterfaceThatCarriesTheSettings_data()
    {
        QTest::addColumn<bool>("joystickFirst");
        QTest::addColumn<bool>("descriptorsReadable");
        QTest::addColumn<HidFailure>("settingsRefused");
        QTest::addColumn<int>("taken");  // index in the enumeration, -1 for none
        QTest::newRow("joystick interface first") << true << true << HidFailure::None << 1;
        QTest::newRow("joystick interface second") << false << true << HidFailure::None << 0;
        QTest::newRow("no descriptor to tell: the first") << true << false << HidFailure::None << 0;
        // The joystick interface does not stand in: the user is told of the refusal.
        QTest::newRow("settings interface refused") << true << true << HidFailure::AccessDenied << -1;
    }

    // One board, two interfaces with its identity: a joystick interface with the input
    // reports only, and the one with feature reports 8 and 32.
    void TakesTheInterfaceThatCarriesTheSettings()
    {
        QFETCH(bool, joystickFirst);
        QFETCH(bool, descriptorsReadable);
        QFETCH(HidFailure, settingsRefused);
        QFETCH(int, taken);

        SimulatedHidPlatform platform;
        auto addJoystick = [&]() -> SimulatedDevice& {
            SimulatedDevice& joystick = platform.AddOtherInterface(0x6C1B, 0x5E12);
            joystick.Descriptor = BoardModel::ReportDescriptor({0, 0});
            return joystick;
        };
        SimulatedDevice* joystick = joystickFirst ? &addJoystick() : nullptr;
        SimulatedDevice& settings = platform.AddBoard(0x5E12, 0x0307, {37, 2});
        if (!joystick)
            joystick = &addJoystick();
        settings.RefuseOpen = settingsRefused;
        joystick->DescriptorUnavailable = settings.DescriptorUnavailable = !descriptorsReadable;
        const std::vector<HidInterfaceInfo> listed = platform.EnumerateInterfaces();

        DeviceLink link;
        QCOMPARE(FindTheHid(link, platform), taken >= 0 ? FlagTrue : FlagFalse);
        QCOMPARE(link.BoardOpenFailure, settingsRefused);
        if (taken < 0) {
            QCOMPARE(platform.OpenedPaths, std::vector<std::string>{settings.Info.Path});
            return;
        }
        QCOMPARE(link.DevicePath, listed[taken].Path);
        QCOMPARE(platform.OpenedPaths, (std::vector<std::string>{link.DevicePath, link.DevicePath}));
        if (link.DevicePath == settings.Info.Path) {
            QCOMPARE(link.Capabilities.FeatureReportByteLength, 37);
            QCOMPARE(link.ReportLayout.SettingsReportByteLength, 37);
            QCOMPARE(link.ReportLayout.ResetReportByteLength, 2);
            QCOMPARE(link.ReportLayout.PositionReportID, std::optional<std::uint8_t>(1));
        }
    }

    // No board, a board, the board pulled and plugged in again with other firmware,
    // then gone for good: each search opens afresh, and one that finds nothing opens
    // nothing and leaves the capabilities as they were.
    void SearchesAfresh()
    {
        SimulatedHidPlatform platform;
        DeviceLink link;
        QCOMPARE(FindTheHid(link, platform), FlagFalse);
        QCOMPARE(link.EndOfList, FlagTrue);

        platform.AddOtherInterface(0x046D, 0xC31C);
        SimulatedDevice& board = platform.AddBoard();
        QCOMPARE(FindTheHid(link, platform), FlagTrue);
        QCOMPARE(link.EndOfList, FlagFalse);
        const std::string oldPath = link.DevicePath;

        platform.Unplug(board);
        CloseLinkHandle(link, link.FeatureHandle);
        CloseLinkHandle(link, link.InputHandle);
        CloseLinkHandle(link, link.InputHandle);  // already closed: nothing happens
        QCOMPARE(board.ClosesTotal, 2);
        board.Descriptor = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x08,
                            0x75, 0x08, 0x95, 0x7F, 0xB1, 0x02, 0xC0};  // 128-byte feature reports
        platform.PlugIn(board);
        QCOMPARE(FindTheHid(link, platform), FlagTrue);
        QVERIFY(link.DevicePath != oldPath);
        QCOMPARE(link.DevicePath, board.Info.Path);
        QCOMPARE(board.OpenHandles(), 2);
        QCOMPARE(link.Capabilities.FeatureReportByteLength, 128);
        std::uint8_t report[128] = {8};
        QVERIFY(link.FeatureHandle->GetFeatureReport(report) > 0);  // the new handle works

        platform.Unplug(board);
        CloseLinkHandle(link, link.FeatureHandle);
        CloseLinkHandle(link, link.InputHandle);
        platform.OpenedPaths.clear();
        QCOMPARE(FindTheHid(link, platform), FlagFalse);
        QCOMPARE(link.BoardOpen, FlagFalse);
        QCOMPARE(link.EndOfList, FlagTrue);
        QCOMPARE(link.BoardOpenFailure, HidFailure::None);
        QVERIFY(platform.OpenedPaths.empty());
        QCOMPARE(link.Capabilities.FeatureReportByteLength, 128);
    }

    void RefusedOpen_data()
    {
        QTest::addColumn<HidFailure>("refusal");
        QTest::addColumn<int>("opensAllowed");  // -1: every open is refused
        QTest::addColumn<HidFailure>("secondBoard");  // a second board refused this way; None: no second board
        QTest::addColumn<HidFailure>("reported");
        QTest::newRow("access denied") << HidFailure::AccessDenied << -1 << HidFailure::None << HidFailure::AccessDenied;
        QTest::newRow("gone while opening") << HidFailure::Gone << -1 << HidFailure::None << HidFailure::Gone;
        QTest::newRow("second open denied") << HidFailure::AccessDenied << 1 << HidFailure::None << HidFailure::AccessDenied;
        QTest::newRow("second open fails") << HidFailure::Other << 1 << HidFailure::None << HidFailure::Other;
        // "Access denied" names the fix: a later board's other failure does not hide it.
        QTest::newRow("denied, then another fails") << HidFailure::AccessDenied << -1 << HidFailure::Other
                                                    << HidFailure::AccessDenied;
    }

    // Reported as a refusal, with no half-open board left behind.
    void RefusedOpen()
    {
        QFETCH(HidFailure, refusal);
        QFETCH(int, opensAllowed);
        QFETCH(HidFailure, secondBoard);
        QFETCH(HidFailure, reported);

        SimulatedHidPlatform platform;
        SimulatedDevice& board = platform.AddBoard();
        board.RefuseOpen = refusal;
        board.RefuseOpensAfter = opensAllowed;
        if (secondBoard != HidFailure::None)
            platform.AddBoard().RefuseOpen = secondBoard;

        DeviceLink link;
        QCOMPARE(FindTheHid(link, platform), FlagFalse);
        QCOMPARE(link.BoardOpen, FlagFalse);
        QCOMPARE(link.BoardOpenFailure, reported);
        QVERIFY(!link.FeatureHandle && !link.InputHandle);
        QCOMPARE(platform.OpenHandles(), 0);

        // Access granted, the next search takes the board and forgets the refusal.
        board.RefuseOpen = HidFailure::None;
        QCOMPARE(FindTheHid(link, platform), FlagTrue);
        QCOMPARE(link.BoardOpenFailure, HidFailure::None);
        QCOMPARE(board.OpenHandles(), 2);
    }

    // The board is still taken; the capabilities keep what they held, and what an
    // earlier descriptor said of its reports is not taken for this board's.
    void UnreadableDescriptorKeepsCapabilities()
    {
        SimulatedHidPlatform platform;
        platform.AddBoard().Descriptor = {0x05, 0x01, 0x09, 0x04, 0xA1, 0x01, 0x26, 0xFF};  // truncated item
        DeviceLink link;
        link.Capabilities = {5, 70};
        link.ReportLayout = {70, 70, 1};
        QCOMPARE(FindTheHid(link, platform), FlagTrue);
        QCOMPARE(link.Capabilities.InputReportByteLength, 5);
        QCOMPARE(link.Capabilities.FeatureReportByteLength, 70);
        QCOMPARE(link.ReportLayout.SettingsReportByteLength, 0);
        QVERIFY(!link.ReportLayout.PositionReportID);
    }
};

QTEST_APPLESS_MAIN(TestDeviceLink)
#include "test_device_link.moc"
