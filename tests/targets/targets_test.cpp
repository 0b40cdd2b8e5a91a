// Target keys: numbering, finding, deleting, and the sweep of targets whose
// printer is gone.
#include "settings/printeropen.h"
#include "settings/targets.h"
#include "tests/support/spooler.h"
#include "tests/targets/targetfixture.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

TEST_F(TargetKeys, NewTargetTakesTheLowestFreeNumber)
{
    struct {
        std::vector<int> existing;
        int nExpected;
    } const cases[] = {{{}, 0}, {{0, 2}, 1}, {{0, 1, 2}, 3}, {{1}, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nExpected);
        RemoveBases();
        for (int n : c.existing)
            PutTarget(n, "Other");
        char szPath[MAX_PATH] = {0};
        ASSERT_EQ(0, CreateTarget("Printer One", 0, szPath, MAX_PATH));
        std::string path = TargetPath(c.nExpected);
        EXPECT_EQ(path, szPath);
        EXPECT_EQ("Printer One", String(path, "Name"));
        EXPECT_EQ(0u, Dword(path, "Setting"));
        EXPECT_EQ(10u, Dword(path, "Timer"));
    }
}

TEST_F(TargetKeys, NetworkTargetsLiveUnderTheirOwnBase)
{
    char szPath[MAX_PATH] = {0};
    ASSERT_EQ(0, CreateTarget("USB001", 1, szPath, MAX_PATH));
    EXPECT_EQ(TargetPath(0, true), szPath);
    EXPECT_EQ("USB001", String(szPath, "Name"));
    EXPECT_FALSE(Exists(LOCAL_TARGET_BASE));
    EXPECT_EQ(0, FindTarget("usb001", 1, szPath, MAX_PATH));
    EXPECT_EQ(4, FindTarget("USB001", 0, szPath, MAX_PATH));
}

TEST_F(TargetKeys, TargetThatDoesNotFitTheBufferStays)
{
    char szPath[20] = {0};
    EXPECT_EQ(5, CreateTarget("Printer One", 0, szPath, sizeof(szPath)));
    EXPECT_EQ("Printer One", String(TargetPath(0), "Name"));
    EXPECT_EQ(0xBADu, Dword(TargetPath(0), "Setting"));
}

TEST_F(TargetKeys, FindTargetResults)
{
    char szPath[MAX_PATH] = {0};
    EXPECT_EQ(4, FindTarget("Printer One", 0, szPath, MAX_PATH));
    CreateBases();
    EXPECT_EQ(1, FindTarget("Printer One", 0, szPath, MAX_PATH));

    PutTarget(0, NULL);
    PutTarget(1, "Printer Two");
    PutTarget(2, "PRINTER ONE");
    EXPECT_EQ(0, FindTarget("printer one", 0, szPath, MAX_PATH));
    EXPECT_EQ(TargetPath(2), szPath);
    EXPECT_EQ(1, FindTarget("Printer Three", 0, szPath, MAX_PATH));
    EXPECT_EQ(1, FindTarget("Printer One", 0, szPath, 20));
}

TEST_F(TargetKeys, DeleteKeyTreeRemovesEverythingBelow)
{
    std::string path = PutTarget(0, "Printer One");
    testsupport::RegSetDword(HKEY_CURRENT_USER, path + "\\A\\A1", "v", 1);
    testsupport::RegSetDword(HKEY_CURRENT_USER, path + "\\A\\A2", "v", 2);
    testsupport::RegSetString(HKEY_CURRENT_USER, path + "\\B", "", "default");
    PutTarget(1, "Printer Two");
    EXPECT_EQ(0, DeleteKeyTree(path.c_str()));
    EXPECT_FALSE(Exists(path));
    EXPECT_TRUE(Exists(TargetPath(1)));
    EXPECT_EQ(-1, DeleteKeyTree(path.c_str()));
    EXPECT_EQ(-1, DeleteKeyTree(NULL));
}

TEST_F(TargetKeys, DeleteKeyTreeStopsAtAPathTooLong)
{
    std::string path = PutTarget(0, "Printer One");
    ASSERT_TRUE(PinTarget(path));
    EXPECT_EQ(-1, DeleteKeyTree(path.c_str()));
    EXPECT_TRUE(Exists(path));
}

TEST_F(TargetKeys, MarkTargetRemovedWritesTheMarkThenDeletes)
{
    std::string path = PutTarget(0, "Printer One");
    EXPECT_EQ(0, MarkTargetRemoved(path.c_str()));
    EXPECT_FALSE(Exists(path));
    EXPECT_EQ(-1, MarkTargetRemoved(path.c_str()));

    PutTarget(0, "Printer One");
    ASSERT_TRUE(PinTarget(path));
    EXPECT_EQ(0, MarkTargetRemoved(path.c_str()));
    EXPECT_EQ(255u, Dword(path, "Setting"));
}

// A printer of its own on a driver of its own, for the sweep.
class SweepTargets : public TargetKeys {
protected:
    void SetUp() override
    {
        TargetKeys::SetUp();
        CreateBases();
        testsupport::DriverFiles files;
        files.name = "TA Targets Driver";
        files.driverFile = "tatgtdrv.dll";
        files.dataFile = "tatgtdrv.ini";
        files.configFile = "tatgtcfg.dll";
        m_driver.reset(new testsupport::CScopedDriver(files));
        ASSERT_TRUE(m_driver->Installed());
        ASSERT_TRUE(m_driver->InstallPrinter(kLivePrinter));
    }
    void TearDown() override
    {
        g_pfnOpenPrinterA = OpenPrinterA;
        g_pfnOpenPrinterW = OpenPrinterW;
        m_driver.reset();
        TargetKeys::TearDown();
    }
    static constexpr const char* kLivePrinter = "TA Targets Live Printer";
    static constexpr const char* kGonePrinter = "TA Targets Gone Printer";
    std::unique_ptr<testsupport::CScopedDriver> m_driver;
};

TEST_F(SweepTargets, LocalTargetsOfGonePrintersAreRemoved)
{
    std::string live = PutTarget(0, kLivePrinter);
    PutTarget(1, kGonePrinter);
    PutTarget(2, "");
    PutTarget(3, NULL);
    std::string pinned = PutTarget(4, "TA Targets Another Gone Printer");
    ASSERT_TRUE(PinTarget(pinned));
    std::string network = PutTarget(0, "USB001", true);

    EXPECT_EQ(0, SweepStaleTargets());
    // Stale targets one after the other all go in one sweep.
    EXPECT_TRUE(Exists(live));
    EXPECT_EQ(0u, Dword(live, "Setting"));
    for (int n : {1, 2, 3})
        EXPECT_FALSE(Exists(TargetPath(n))) << n;
    EXPECT_EQ(255u, Dword(pinned, "Setting"));
    EXPECT_TRUE(Exists(network));
}

TEST_F(SweepTargets, NetworkTargetsGoOnlyWithoutAName)
{
    PutTarget(0, kLivePrinter);
    std::string named = PutTarget(0, "NoSuchPort", true);
    PutTarget(1, "", true);
    PutTarget(2, NULL, true);
    std::string pinned = PutTarget(3, "", true);
    ASSERT_TRUE(PinTarget(pinned));

    EXPECT_EQ(0, SweepStaleTargets());
    EXPECT_TRUE(Exists(named));
    EXPECT_FALSE(Exists(TargetPath(1, true)));
    EXPECT_FALSE(Exists(TargetPath(2, true)));
    // Deleted without the removal mark.
    EXPECT_EQ(0u, Dword(pinned, "Setting"));
}

TEST_F(SweepTargets, WithoutLocalBaseNothingIsSwept)
{
    RemoveBases();
    std::string unnamed = PutTarget(0, "", true);
    EXPECT_EQ(-1, SweepStaleTargets());
    EXPECT_TRUE(Exists(unnamed));

    RemoveBases();
    std::string gone = PutTarget(0, kGonePrinter);
    EXPECT_EQ(-1, SweepStaleTargets());
    EXPECT_FALSE(Exists(gone));
}

BOOL WINAPI OpenPrinterUnavailableA(LPSTR, LPHANDLE, LPPRINTER_DEFAULTSA)
{
    SetLastError(RPC_S_SERVER_UNAVAILABLE);
    return FALSE;
}

BOOL WINAPI OpenPrinterUnavailableW(LPWSTR, LPHANDLE, LPPRINTER_DEFAULTSW)
{
    SetLastError(RPC_S_SERVER_UNAVAILABLE);
    return FALSE;
}

TEST_F(SweepTargets, SpoolerThatCannotAnswerRemovesNoNamedTarget)
{
    std::string live = PutTarget(0, kLivePrinter);
    std::string gone = PutTarget(1, kGonePrinter);
    PutTarget(2, "");
    g_pfnOpenPrinterA = OpenPrinterUnavailableA;
    g_pfnOpenPrinterW = OpenPrinterUnavailableW;

    EXPECT_EQ(0, SweepStaleTargets());
    EXPECT_TRUE(Exists(live));
    EXPECT_TRUE(Exists(gone));
    EXPECT_EQ(0u, Dword(gone, "Setting"));
    EXPECT_FALSE(Exists(TargetPath(2)));
}

TEST_F(SweepTargets, DeletedPrinterIsSweptWithTheMarkFirst)
{
    std::string printer = "TA Targets Deleted Printer";
    ASSERT_TRUE(m_driver->InstallPrinter(printer));
    std::string path = PutTarget(0, printer.c_str());
    ASSERT_TRUE(PinTarget(path));
    EXPECT_EQ(0, SweepStaleTargets());
    EXPECT_EQ(0u, Dword(path, "Setting"));

    ASSERT_TRUE(testsupport::RemovePrinter(printer));
    EXPECT_EQ(0, SweepStaleTargets());
    EXPECT_EQ(255u, Dword(path, "Setting"));
}

} // namespace
