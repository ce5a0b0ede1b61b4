#include "board_model.h"
#include "device_link.h"
#include "simulated_hid.h"

#include <QtTest>

using namespace kx;

Q_DECLARE_METATYPE(kx::HidFailure)

class TestDeviceLink : public QObject {
    Q_OBJECT

private slots:
    // Only vendor 6C1B with products 5E11 to 5E13 is a board, whatever else it answers; a
    // refused board is passed over, and of two boards the first is taken.
    void TakesTheFirstBoardListed()
    {
        SimulatedHidPlatform platform;
        platform.AddOtherInterface(0x046D, 0xC31C);
        for (auto [vendor, product] : {std::pair{0x6C1B, 0x5E10}, {0x6C1B, 0x5E14}, {0x6C1C, 0x5E11}}) {
            SimulatedDevice& lookalike = platform.AddBoard();
            lookalike.Info.VendorID = static_cast<std::uint16_t>(vendor);
            lookalike.Info.ProductID = static_cast<std::uint16_t>(product);
        }
        SimulatedDevice& refused = platform.AddBoard(0x5E13);
        refused.RefuseOpen = HidFailure::AccessDenied;
        SimulatedDevice& first = platform.AddBoard(0x5E11, 0x0410);
        platform.AddBoard(0x5E12);

        DeviceLink link;
        QCOMPARE(FindTheHid(link, platform), FlagTrue);
        QCOMPARE(platform.OpenedPaths,
                 (std::vector<std::string>{refused.Info.Path, first.Info.Path, first.Info.Path}));
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
        SimulatedDevice* joystick = joystickFirst ? &platform.AddOtherInterface(0x6C1B, 0x5E12) : nullptr;
        SimulatedDevice& settings = platform.AddBoard(0x5E12, 0x0307, {37, 2});
        if (!joystick)
            joystick = &platform.AddOtherInterface(0x6C1B, 0x5E12);
        joystick->Descriptor = BoardModel::ReportDescriptor({0, 0});
        settings.RefuseOpen = settingsRefused;
        joystick->DescriptorUnavailable = settings.DescriptorUnavailable = !descriptorsReadable;
        const std::vector<HidInterfaceInfo> listed = platform.EnumerateInterfaces();

        DeviceLink link;
        QCOMPARE(FindTheHid(link, platform), taken >= 0 ? FlagTrue : FlagFalse);
        QCOMPARE(link.BoardOpenFailure, settingsRefused);
        // Opened for the settings, and once more for input when taken.
        const std::string path = taken >= 0 ? listed[taken].Path : settings.Info.Path;
        QCOMPARE(platform.OpenedPaths, std::vector<std::string>(taken >= 0 ? 2 : 1, path));
    }

    void RefusedOpen_data()
    {
        QTest::addColumn<HidFailure>("refusal");
        QTest::addColumn<int>("opensAllowed");        // -1: every open is refused
        QTest::addColumn<HidFailure>("secondBoard");  // a second board refused this way; None: no second board
        QTest::addColumn<HidFailure>("reported");
        using enum HidFailure;
        QTest::newRow("access denied") << AccessDenied << -1 << None << AccessDenied;
        QTest::newRow("gone while opening") << Gone << -1 << None << Gone;
        QTest::newRow("second open denied") << AccessDenied << 1 << None << AccessDenied;
        QTest::newRow("second open fails") << Other << 1 << None << Other;
        // "Access denied" names the fix: a later board's other failure does not hide it.
        QTest::newRow("denied, then another fails") << AccessDenied << -1 << Other << AccessDenied;
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
        QCOMPARE(platform.OpenHandles(), 0);

        // Access granted, the next search takes the board and forgets the refusal.
        board.RefuseOpen = HidFailure::None;
        QCOMPARE(FindTheHid(link, platform), FlagTrue);
        QCOMPARE(link.BoardOpenFailure, HidFailure::None);
        QCOMPARE(board.OpenHandles(), 2);
    }
};

QTEST_APPLESS_MAIN(TestDeviceLink)
#include "test_device_link.moc"
