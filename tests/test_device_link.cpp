#include "board_model.h"
#include "device_link.h"
#include "simulated_hid.h"

#include <QtTest>

#include <algorithm>
#include <string>
#include <vector>

using namespace kx;

namespace {

// The board's descriptor with its vendor reports (feature 8 and 32) declared `count`
// data bytes long instead of 63.
std::vector<std::uint8_t> BoardDescriptorWithFeatureCount(std::uint8_t count)
{
    const auto standard = BoardModel::StandardReportDescriptor();
    std::vector<std::uint8_t> descriptor(standard.begin(), standard.end());
    const std::uint8_t reportCount63[] = {0x95, 0x3F};
    auto at = std::search(descriptor.begin(), descriptor.end(), std::begin(reportCount63), std::end(reportCount63));
    Q_ASSERT(at != descriptor.end());
    at[1] = count;
    return descriptor;
}

std::vector<std::string> Paths(std::initializer_list<const SimulatedDevice*> devices)
{
    std::vector<std::string> paths;
    for (const SimulatedDevice* device : devices)
        paths.push_back(device->Info.Path);
    return paths;
}

}  // namespace

Q_DECLARE_METATYPE(kx::HidFailure)

class TestDeviceLink : public QObject {
    Q_OBJECT

private slots:
    void MatchesOnlyTheBoardsIdentity_data();
    void MatchesOnlyTheBoardsIdentity();
    void TakesTheFirstBoardListed();
    void NoBoardLeavesTheLinkAsItWas();
    void SearchAfterLostLinkOpensAfresh();
    void RefusedOpen_data();
    void RefusedOpen();
    void RefusedBoardIsPassedForTheNext();
    void UnreadableDescriptorKeepsCapabilities_data();
    void UnreadableDescriptorKeepsCapabilities();
    void InterfaceListedTwiceOpensOnce();
    void CloseLinkHandleClosesOnce();
};

void TestDeviceLink::MatchesOnlyTheBoardsIdentity_data()
{
    QTest::addColumn<int>("vendor");
    QTest::addColumn<int>("product");
    QTest::addColumn<bool>("taken");

    QTest::newRow("5E11") << 0x6C1B << 0x5E11 << true;
    QTest::newRow("5E12") << 0x6C1B << 0x5E12 << true;
    QTest::newRow("5E13") << 0x6C1B << 0x5E13 << true;
    QTest::newRow("unknown product 5E10") << 0x6C1B << 0x5E10 << false;
    QTest::newRow("unknown product 5E14") << 0x6C1B << 0x5E14 << false;
    QTest::newRow("other vendor, board's product") << 0x6C1C << 0x5E11 << false;
    QTest::newRow("vendor and product swapped") << 0x5E11 << 0x6C1B << false;
}

void TestDeviceLink::MatchesOnlyTheBoardsIdentity()
{
    QFETCH(int, vendor);
    QFETCH(int, product);
    QFETCH(bool, taken);

    // A working board in every row: only the identity in the enumeration decides.
    SimulatedHidPlatform platform;
    SimulatedDevice& device = platform.AddBoard();
    device.Info.VendorID = static_cast<std::uint16_t>(vendor);
    device.Info.ProductID = static_cast<std::uint16_t>(product);

    DeviceLink link;
    QCOMPARE(FindTheHid(link, platform), taken ? FlagTrue : FlagFalse);
    QCOMPARE(link.BoardOpen, taken ? FlagTrue : FlagFalse);
    QCOMPARE(device.OpensTotal, taken ? 2 : 0);
    QCOMPARE(platform.OpenedPaths.size(), taken ? std::size_t{2} : std::size_t{0});
    if (taken)
        QCOMPARE(link.Attributes.ProductID, product);
}

void TestDeviceLink::TakesTheFirstBoardListed()
{
    SimulatedHidPlatform platform;
    SimulatedDevice& keyboard = platform.AddOtherInterface(0x046D, 0xC31C);
    SimulatedDevice& foreign = platform.AddOtherInterface(0x6C1B, 0x5E14);
    SimulatedDevice& first = platform.AddBoard(0x5E12, 0x0410);
    SimulatedDevice& second = platform.AddBoard(0x5E11);

    DeviceLink link;
    QCOMPARE(FindTheHid(link, platform), FlagTrue);
    QCOMPARE(link.BoardOpen, FlagTrue);
    QCOMPARE(link.EndOfList, FlagFalse);
    QCOMPARE(link.BoardOpenFailure, HidFailure::None);

    QCOMPARE(platform.OpenedPaths, Paths({&first, &first}));
    QCOMPARE(keyboard.OpensTotal, 0);
    QCOMPARE(foreign.OpensTotal, 0);
    QCOMPARE(second.OpensTotal, 0);
    QCOMPARE(first.OpenHandles(), 2);

    QVERIFY(link.FeatureHandle);
    QVERIFY(link.InputHandle);
    QCOMPARE(link.Capabilities.InputReportByteLength, 4);
    QCOMPARE(link.Capabilities.FeatureReportByteLength, 64);
    QCOMPARE(link.Attributes.VendorID, 0x6C1B);
    QCOMPARE(link.Attributes.ProductID, 0x5E12);
    QCOMPARE(link.Attributes.VersionNumber, 0x0410);
    QCOMPARE(link.DevicePath, first.Info.Path);

    // Both handles lead to the first board.
    std::uint8_t report[64] = {8};
    QCOMPARE(link.FeatureHandle->GetFeatureReport(report), 64);
    QCOMPARE(first.Board->Log.size(), std::size_t{1});
    QVERIFY(second.Board->Log.empty());
    first.SendPosition(-2);
    std::uint8_t input[4] = {};
    QCOMPARE(link.InputHandle->ReadInputReport(input), 4);
    QCOMPARE(input[1], 0xFE);
    QCOMPARE(input[2], 0xFF);
}

void TestDeviceLink::NoBoardLeavesTheLinkAsItWas()
{
    {
        SimulatedHidPlatform empty;
        DeviceLink link;
        QCOMPARE(FindTheHid(link, empty), FlagFalse);
        QCOMPARE(link.BoardOpen, FlagFalse);
        QCOMPARE(link.EndOfList, FlagTrue);
        QVERIFY(empty.OpenedPaths.empty());
    }

    // The board was found once, then went away; the keyboard stays.
    SimulatedHidPlatform platform;
    SimulatedDevice& keyboard = platform.AddOtherInterface(0x046D, 0xC31C);
    SimulatedDevice& board = platform.AddBoard();
    DeviceLink link;
    QCOMPARE(FindTheHid(link, platform), FlagTrue);
    platform.Unplug(board);
    CloseLinkHandle(link, link.FeatureHandle);
    CloseLinkHandle(link, link.InputHandle);
    platform.OpenedPaths.clear();

    QCOMPARE(FindTheHid(link, platform), FlagFalse);
    QCOMPARE(link.BoardOpen, FlagFalse);
    QCOMPARE(link.EndOfList, FlagTrue);
    QCOMPARE(link.BoardOpenFailure, HidFailure::None);
    QVERIFY(platform.OpenedPaths.empty());
    QCOMPARE(platform.OpenHandles(), 0);
    QCOMPARE(keyboard.OpensTotal, 0);
    QVERIFY(!link.FeatureHandle);
    QVERIFY(!link.InputHandle);
    QCOMPARE(link.Capabilities.InputReportByteLength, 4);
    QCOMPARE(link.Capabilities.FeatureReportByteLength, 64);
}

void TestDeviceLink::SearchAfterLostLinkOpensAfresh()
{
    SimulatedHidPlatform platform;
    SimulatedDevice& board = platform.AddBoard();
    DeviceLink link;
    QCOMPARE(FindTheHid(link, platform), FlagTrue);
    const std::string oldPath = link.DevicePath;

    platform.Unplug(board);
    CloseLinkHandle(link, link.FeatureHandle);
    CloseLinkHandle(link, link.InputHandle);
    QCOMPARE(board.ClosesTotal, 2);
    // Comes back with other firmware: 128-byte feature reports.
    board.Descriptor = BoardDescriptorWithFeatureCount(127);
    platform.PlugIn(board);

    QCOMPARE(FindTheHid(link, platform), FlagTrue);
    QCOMPARE(link.BoardOpen, FlagTrue);
    QVERIFY(link.DevicePath != oldPath);
    QCOMPARE(link.DevicePath, board.Info.Path);
    QCOMPARE(board.OpensTotal, 4);
    QCOMPARE(board.OpenHandles(), 2);
    QVERIFY(link.FeatureHandle);
    QVERIFY(link.InputHandle);
    QCOMPARE(link.Capabilities.FeatureReportByteLength, 128);

    std::uint8_t report[128] = {8};
    QVERIFY(link.FeatureHandle->GetFeatureReport(report) > 0);  // the new handle works
}

void TestDeviceLink::RefusedOpen_data()
{
    QTest::addColumn<HidFailure>("refusal");
    QTest::addColumn<int>("opensAllowed");  // -1: every open is refused

    QTest::newRow("access denied") << HidFailure::AccessDenied << -1;
    QTest::newRow("gone while opening") << HidFailure::Gone << -1;
    QTest::newRow("second open denied") << HidFailure::AccessDenied << 1;
    QTest::newRow("second open fails") << HidFailure::Other << 1;
}

void TestDeviceLink::RefusedOpen()
{
    QFETCH(HidFailure, refusal);
    QFETCH(int, opensAllowed);

    SimulatedHidPlatform platform;
    SimulatedDevice& board = platform.AddBoard();
    board.RefuseOpen = refusal;
    board.RefuseOpensAfter = opensAllowed;

    DeviceLink link;
    QCOMPARE(FindTheHid(link, platform), FlagFalse);
    QCOMPARE(link.BoardOpen, FlagFalse);
    QCOMPARE(link.BoardOpenFailure, refusal);
    QVERIFY(!link.FeatureHandle);
    QVERIFY(!link.InputHandle);
    QCOMPARE(platform.OpenHandles(), 0);
    QCOMPARE(board.OpensTotal, std::max(opensAllowed, 0));
    QCOMPARE(board.ClosesTotal, board.OpensTotal);

    // Access granted, the next search takes the board and forgets the refusal.
    board.RefuseOpen = HidFailure::None;
    QCOMPARE(FindTheHid(link, platform), FlagTrue);
    QCOMPARE(link.BoardOpenFailure, HidFailure::None);
    QCOMPARE(board.OpenHandles(), 2);
}

void TestDeviceLink::RefusedBoardIsPassedForTheNext()
{
    SimulatedHidPlatform platform;
    SimulatedDevice& refused = platform.AddBoard(0x5E11);
    refused.RefuseOpen = HidFailure::AccessDenied;
    SimulatedDevice& good = platform.AddBoard(0x5E13);

    DeviceLink link;
    QCOMPARE(FindTheHid(link, platform), FlagTrue);
    QCOMPARE(link.BoardOpen, FlagTrue);
    QCOMPARE(link.DevicePath, good.Info.Path);
    QCOMPARE(link.Attributes.ProductID, 0x5E13);
    QCOMPARE(good.OpenHandles(), 2);
    QCOMPARE(refused.OpenHandles(), 0);
    QCOMPARE(platform.OpenHandles(), 2);
}

void TestDeviceLink::UnreadableDescriptorKeepsCapabilities_data()
{
    QTest::addColumn<bool>("unavailable");
    QTest::addColumn<QByteArray>("descriptor");

    QTest::newRow("unavailable") << true << QByteArray();
    QTest::newRow("truncated item") << false << QByteArray("\x05\x01\x09\x04\xA1\x01\x26\xFF", 8);
    QTest::newRow("collection left open") << false << QByteArray("\x05\x01\x09\x04\xA1\x01", 6);
}

void TestDeviceLink::UnreadableDescriptorKeepsCapabilities()
{
    QFETCH(bool, unavailable);
    QFETCH(QByteArray, descriptor);

    SimulatedHidPlatform platform;
    SimulatedDevice& board = platform.AddBoard();
    board.DescriptorUnavailable = unavailable;
    if (!unavailable)
        board.Descriptor.assign(descriptor.begin(), descriptor.end());

    DeviceLink link;
    link.Capabilities = {5, 70};
    QCOMPARE(FindTheHid(link, platform), FlagTrue);
    QCOMPARE(link.BoardOpen, FlagTrue);
    QCOMPARE(board.OpenHandles(), 2);
    QCOMPARE(link.Capabilities.InputReportByteLength, 5);
    QCOMPARE(link.Capabilities.FeatureReportByteLength, 70);
}

void TestDeviceLink::InterfaceListedTwiceOpensOnce()
{
    SimulatedHidPlatform platform;
    platform.ListEveryInterfaceTwice = true;
    platform.AddOtherInterface(0x046D, 0xC31C);
    SimulatedDevice& board = platform.AddBoard();

    DeviceLink link;
    QCOMPARE(FindTheHid(link, platform), FlagTrue);
    QCOMPARE(platform.OpenedPaths, Paths({&board, &board}));
    QCOMPARE(board.OpenHandles(), 2);
}

void TestDeviceLink::CloseLinkHandleClosesOnce()
{
    SimulatedHidPlatform platform;
    SimulatedDevice& board = platform.AddBoard();
    DeviceLink link;
    QCOMPARE(FindTheHid(link, platform), FlagTrue);

    CloseLinkHandle(link, link.FeatureHandle);
    QVERIFY(!link.FeatureHandle);
    QCOMPARE(link.LastResult, 1);
    QCOMPARE(board.ClosesTotal, 1);
    QCOMPARE(board.OpenHandles(), 1);  // the input handle is untouched

    link.LastResult = 77;
    CloseLinkHandle(link, link.FeatureHandle);
    QCOMPARE(board.ClosesTotal, 1);
    QCOMPARE(link.LastResult, 77);

    CloseLinkHandle(link, link.InputHandle);
    QCOMPARE(board.ClosesTotal, 2);
    QCOMPARE(board.OpenHandles(), 0);
}

QTEST_APPLESS_MAIN(TestDeviceLink)
#include "test_device_link.moc"
