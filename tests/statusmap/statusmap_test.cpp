// The shared map's records: the duplicate check, registration, clearing and
// reuse, a full map, maps spoiled by other programs, and a second process.
#include "statusmap/statusmap.h"
#include "tests/statusmap/mapfixture.h"
#include "tests/support/files.h"
#include "tests/support/logcapture.h"
#include "tests/support/process.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const DWORD kPlaceholder = MAP_WINDOW_PLACEHOLDER;

TEST(SharedMap, FreshMapHoldsOnlyTheEndMarker)
{
    CTestMap map;
    ASSERT_TRUE(map.IsOpen());
    EXPECT_EQ(MAP_KEY_END, map.Record(0)[0]);
    std::vector<BYTE> zeros(MAP_FILE_SIZE - 1, 0);
    EXPECT_EQ(0, memcmp(map.Record(0) + 1, zeros.data(), zeros.size()));
}

TEST(SharedMap, OpeningAnExistingMapLeavesItsContent)
{
    CTestMap first;
    ASSERT_TRUE(first.IsOpen());
    first.PutRecord(0, "P", 0x1234);
    first.Record(1)[0] = MAP_KEY_END;
    CTestMap second(first.Name());
    ASSERT_TRUE(second.IsOpen());
    EXPECT_EQ("P", second.Key(0));
    EXPECT_EQ(0x1234u, second.Slot(0, MAP_OFFSET_APPSEL3));
}

TEST(SharedMap, FirstCheckAddsTheKeyWithThePlaceholder)
{
    testsupport::CLogCapture log;
    CTestMap map;
    DWORD dwWindow = 99;
    EXPECT_EQ(MAP_CHECK_REGISTERED, map.Check("P", 3, kPlaceholder, &dwWindow));
    EXPECT_EQ(0u, dwWindow);
    EXPECT_EQ("P", map.Key(0));
    EXPECT_EQ(kPlaceholder, map.Slot(0, MAP_OFFSET_APPSEL3));
    EXPECT_EQ(0u, map.Slot(0, MAP_OFFSET_APPSEL0));
    EXPECT_EQ(0u, map.Slot(0, MAP_OFFSET_APPSEL12));
    EXPECT_EQ(MAP_KEY_END, map.Record(1)[0]);
    EXPECT_TRUE(log.HasLine("enter : CheckMapPrinter"));
    EXPECT_TRUE(log.HasLine("exit : CheckMapPrinter(0)[3]"));
}

TEST(SharedMap, LiveWindowHoldsTheSlotUntilItIsDestroyed)
{
    testsupport::CLogCapture log;
    CTestMap map;
    CTestWindow window;
    DWORD dwWindow = 0;
    ASSERT_EQ(MAP_CHECK_REGISTERED, map.Check("PRINTER A", 3, kPlaceholder, &dwWindow));
    ASSERT_EQ(0, SethWindowSub("PRINTER A", "", window.Value(), 3, map.Name()));

    // Keys compare without regard to case.
    EXPECT_EQ(MAP_CHECK_RUNNING, map.Check("printer a", 3, kPlaceholder, &dwWindow));
    EXPECT_EQ(window.Value(), dwWindow);
    EXPECT_EQ(window.Value(), map.Slot(0, MAP_OFFSET_APPSEL3));
    EXPECT_EQ(MAP_KEY_END, map.Record(1)[0]);
    EXPECT_TRUE(log.HasLine("exit : CheckMapPrinter(1)"));

    window.Destroy();
    EXPECT_EQ(MAP_CHECK_REGISTERED, map.Check("printer a", 3, 77, &dwWindow));
    EXPECT_EQ(0u, dwWindow);
    EXPECT_EQ(77u, map.Slot(0, MAP_OFFSET_APPSEL3));
    EXPECT_EQ("PRINTER A", map.Key(0));
    EXPECT_TRUE(log.HasLine("exit : CheckMapPrinter(0)[2]"));
}

TEST(SharedMap, PlaceholderDoesNotBlockASecondCheck)
{
    CTestMap map;
    DWORD dwWindow = 0;
    ASSERT_EQ(MAP_CHECK_REGISTERED, map.Check("P", 3, kPlaceholder, &dwWindow));
    EXPECT_EQ(MAP_CHECK_REGISTERED, map.Check("P", 3, kPlaceholder, &dwWindow));
    EXPECT_EQ(MAP_KEY_END, map.Record(1)[0]);
}

TEST(SharedMap, EachAppSelHasItsSlot)
{
    struct {
        int nAppSel;
        int nOffset;
    } const cases[] = {{0, MAP_OFFSET_APPSEL0}, {1, MAP_OFFSET_APPSEL12}, {2, MAP_OFFSET_APPSEL12},
                       {3, MAP_OFFSET_APPSEL3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nAppSel);
        testsupport::CLogCapture log;
        CTestMap map;
        DWORD dwWindow = 0;
        // Added with this AppSel, then found by another one whose slot is empty.
        ASSERT_EQ(MAP_CHECK_REGISTERED, map.Check("P", c.nAppSel, 0x111, &dwWindow));
        EXPECT_EQ(0x111u, map.Slot(0, c.nOffset));
        int nOther = c.nAppSel == 3 ? 0 : 3;
        EXPECT_EQ(MAP_CHECK_REGISTERED, map.Check("P", nOther, 0x222, &dwWindow));
        EXPECT_EQ(0x111u, map.Slot(0, c.nOffset));
        EXPECT_TRUE(log.HasLine("exit : CheckMapPrinter(0)[1]"));
    }
}

TEST(SharedMap, UnknownAppSelStoresNothing)
{
    CTestMap map;
    DWORD dwWindow = 5;
    ASSERT_EQ(MAP_CHECK_REGISTERED, map.Check("P", 7, 0x111, &dwWindow));
    EXPECT_EQ("P", map.Key(0));
    std::vector<BYTE> zeros(MAP_RECORD_SIZE - MAP_KEY_SIZE, 0);
    EXPECT_EQ(0, memcmp(map.Record(0) + MAP_KEY_SIZE, zeros.data(), zeros.size()));

    map.SetSlot(0, MAP_OFFSET_APPSEL3, 0x333);
    EXPECT_EQ(MAP_CHECK_RUNNING, map.Check("P", 7, 0x111, &dwWindow));
    EXPECT_EQ(0u, dwWindow);
    EXPECT_EQ(0, SethWindowSub("P", "", 0x444, 7, map.Name()));
    EXPECT_EQ(0x333u, map.Slot(0, MAP_OFFSET_APPSEL3));
}

TEST(SharedMap, ClearedRecordIsReusedBeforeTheEndMarkerMoves)
{
    CTestMap map;
    DWORD dwWindow = 0;
    ASSERT_EQ(MAP_CHECK_REGISTERED, map.Check("P", 3, kPlaceholder, &dwWindow));
    ASSERT_EQ(MAP_CHECK_REGISTERED, map.Check("Q", 3, kPlaceholder, &dwWindow));
    ClearWindowSub(map.Handle(), "p", 3);
    EXPECT_EQ(MAP_KEY_FREE, map.Record(0)[0]);
    EXPECT_EQ(0u, map.Slot(0, MAP_OFFSET_APPSEL3));

    ASSERT_EQ(MAP_CHECK_REGISTERED, map.Check("R", 3, 0x55, &dwWindow));
    EXPECT_EQ("R", map.Key(0));
    EXPECT_EQ(0x55u, map.Slot(0, MAP_OFFSET_APPSEL3));
    EXPECT_EQ("Q", map.Key(1));
    EXPECT_EQ(MAP_KEY_END, map.Record(2)[0]);
}

TEST(SharedMap, ClearingKeepsARecordThatAnotherSlotStillHolds)
{
    struct {
        int nClear;
        int nClearedOffset;
        int nOtherOffset;
    } const cases[] = {{3, MAP_OFFSET_APPSEL3, MAP_OFFSET_APPSEL0},
                       {0, MAP_OFFSET_APPSEL0, MAP_OFFSET_APPSEL12},
                       {1, MAP_OFFSET_APPSEL12, MAP_OFFSET_APPSEL3},
                       {2, MAP_OFFSET_APPSEL12, MAP_OFFSET_APPSEL0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nClear);
        CTestMap map;
        map.PutRecord(0, "P", 0);
        map.Record(1)[0] = MAP_KEY_END;
        map.SetSlot(0, c.nClearedOffset, 0x10);
        map.SetSlot(0, c.nOtherOffset, 0x20);
        ClearWindowSub(map.Handle(), "P", c.nClear);
        EXPECT_EQ("P", map.Key(0));
        EXPECT_EQ(0u, map.Slot(0, c.nClearedOffset));
        EXPECT_EQ(0x20u, map.Slot(0, c.nOtherOffset));
    }
}

TEST(SharedMap, ClearingTouchesOnlyTheFirstMatchingRecord)
{
    CTestMap map;
    map.PutRecord(0, "A", 0x10);
    map.PutRecord(1, "P", 0x20);
    map.PutRecord(2, "P", 0x30);
    map.Record(3)[0] = MAP_KEY_END;
    ClearWindowSub(map.Handle(), "P", 3);
    ClearWindowSub(map.Handle(), "A", 9);
    EXPECT_EQ(0x10u, map.Slot(0, MAP_OFFSET_APPSEL3));
    EXPECT_EQ(MAP_KEY_FREE, map.Record(1)[0]);
    EXPECT_EQ("P", map.Key(2));
    EXPECT_EQ(0x30u, map.Slot(2, MAP_OFFSET_APPSEL3));
}

TEST(SharedMap, FullMapAndOverlongKeyGiveTwoAndChangeNothing)
{
    testsupport::CLogCapture log;
    CTestMap map;
    for (int i = 0; i < MAP_RECORD_COUNT - 1; ++i)
        map.PutRecord(i, "K" + std::to_string(i), 0);
    map.Record(MAP_RECORD_COUNT - 1)[0] = MAP_KEY_END;
    std::vector<BYTE> before(map.Record(0), map.Record(0) + MAP_FILE_SIZE);

    DWORD dwWindow = 0;
    EXPECT_EQ(MAP_CHECK_ERROR, map.Check("NEW", 3, kPlaceholder, &dwWindow));
    EXPECT_EQ(0, memcmp(before.data(), map.Record(0), MAP_FILE_SIZE));
    // The 499th record is still found.
    EXPECT_EQ(MAP_CHECK_REGISTERED, map.Check("k498", 3, 0x99, &dwWindow));
    EXPECT_EQ(0x99u, map.Slot(MAP_RECORD_COUNT - 2, MAP_OFFSET_APPSEL3));

    CTestMap fresh;
    std::string tooLong(MAP_KEY_SIZE, 'L');
    EXPECT_EQ(MAP_CHECK_ERROR, fresh.Check(tooLong.c_str(), 3, kPlaceholder, &dwWindow));
    EXPECT_EQ(MAP_KEY_END, fresh.Record(0)[0]);
    EXPECT_EQ(0, fresh.Record(1)[0]);
    std::string longest(MAP_KEY_SIZE - 1, 'L');
    EXPECT_EQ(MAP_CHECK_REGISTERED, fresh.Check(longest.c_str(), 3, kPlaceholder, &dwWindow));
    EXPECT_EQ(longest, fresh.Key(0));
}

TEST(SharedMap, SethWindowSubResults)
{
    testsupport::CLogCapture log;
    CTestMap map;
    DWORD dwWindow = 0;
    ASSERT_EQ(MAP_CHECK_REGISTERED, map.Check("USB001", 3, kPlaceholder, &dwWindow));

    // No printer name: the port name is the key.
    EXPECT_EQ(0, SethWindowSub("", "usb001", 0x4242, 3, map.Name()));
    EXPECT_EQ(0x4242u, map.Slot(0, MAP_OFFSET_APPSEL3));
    EXPECT_EQ(-2, SethWindowSub("OTHER", "USB001", 0x4242, 3, map.Name()));
    EXPECT_EQ(-1, SethWindowSub("USB001", "", 0x4242, 3, (std::string(map.Name()) + "_none").c_str()));
    EXPECT_TRUE(log.HasLine("enter : SethWindowSub"));
    EXPECT_TRUE(log.HasLine("MapName : " + std::string(map.Name())));
    EXPECT_TRUE(log.HasLine("PrnName : "));
    EXPECT_TRUE(log.HasLine("PortName : usb001"));
    EXPECT_TRUE(log.HasLine("hWnd : 16962"));
    EXPECT_TRUE(log.HasLine("AppSel : 3"));
}

// A second agent process registers its own window in the same map.
class CMapHolder {
public:
    CMapHolder(const char* pszMapName, const std::string& key)
    {
        std::string tag = std::to_string(GetCurrentProcessId()) + "_" + key;
        std::string ready = "maphold_ready_" + tag;
        std::string quit = "maphold_quit_" + tag;
        m_hReady = CreateEventA(NULL, TRUE, FALSE, ready.c_str());
        m_hQuit = CreateEventA(NULL, TRUE, FALSE, quit.c_str());
        m_hProcess = testsupport::StartProcess("\"" + testsupport::BinFile("maphold.exe") + "\" " + pszMapName +
                                               " " + key + " " + ready + " " + quit);
    }
    ~CMapHolder()
    {
        Release();
        for (HANDLE h : {m_hReady, m_hQuit, m_hProcess}) {
            if (h != NULL)
                CloseHandle(h);
        }
    }
    CMapHolder(const CMapHolder&) = delete;
    CMapHolder& operator=(const CMapHolder&) = delete;

    // Waits until the holder has registered, or has ended; true when it holds.
    bool WaitHolding()
    {
        HANDLE handles[] = {m_hReady, m_hProcess};
        return m_hProcess != NULL && WaitForMultipleObjects(2, handles, FALSE, 30000) == WAIT_OBJECT_0;
    }
    // Lets the holder end; its exit code.
    DWORD Release()
    {
        DWORD dwCode = 999;
        if (m_hProcess == NULL)
            return dwCode;
        SetEvent(m_hQuit);
        WaitForSingleObject(m_hProcess, 30000);
        GetExitCodeProcess(m_hProcess, &dwCode);
        return dwCode;
    }

private:
    HANDLE m_hReady = NULL;
    HANDLE m_hQuit = NULL;
    HANDLE m_hProcess = NULL;
};

TEST(SharedMap, TwoProcessesShareTheMap)
{
    CTestMap map;
    CTestWindow window;
    DWORD dwWindow = 0;
    ASSERT_EQ(MAP_CHECK_REGISTERED, map.Check("MINE", 3, window.Value(), &dwWindow));

    CMapHolder duplicate(map.Name(), "mine");
    EXPECT_FALSE(duplicate.WaitHolding());
    EXPECT_EQ(static_cast<DWORD>(MAP_CHECK_RUNNING), duplicate.Release());

    CMapHolder other(map.Name(), "THEIRS");
    ASSERT_TRUE(other.WaitHolding());
    EXPECT_EQ("THEIRS", map.Key(1));
    DWORD dwTheirs = map.Slot(1, MAP_OFFSET_APPSEL3);
    EXPECT_EQ(MAP_CHECK_RUNNING, map.Check("theirs", 3, kPlaceholder, &dwWindow));
    EXPECT_EQ(dwTheirs, dwWindow);

    // The holder ends without clearing: its window is stale now.
    EXPECT_EQ(0u, other.Release());
    EXPECT_EQ(MAP_CHECK_REGISTERED, map.Check("theirs", 3, kPlaceholder, &dwWindow));
    EXPECT_EQ(kPlaceholder, map.Slot(1, MAP_OFFSET_APPSEL3));
}

TEST(SharedMap, MapFilledWithGarbageIsReadSafely)
{
    testsupport::CLogCapture log;
    CTestMap map;
    DWORD dwExit = 99;
    ASSERT_TRUE(testsupport::RunProcess("\"" + testsupport::BinFile("mapgarbage.exe") + "\" fill " + map.Name(),
                                        &dwExit));
    ASSERT_EQ(0u, dwExit);
    std::vector<BYTE> garbage(map.Record(0), map.Record(0) + MAP_FILE_SIZE);

    // Keys of 520 letters without a terminator and no end marker anywhere:
    // nothing matches, nothing is added, nothing is written.
    std::string longest(MAP_KEY_SIZE - 1, 'A');
    DWORD dwWindow = 1;
    EXPECT_EQ(MAP_CHECK_REGISTERED, map.Check(longest.c_str(), 3, kPlaceholder, &dwWindow));
    EXPECT_EQ(0u, dwWindow);
    EXPECT_TRUE(log.HasLine("exit : CheckMapPrinter(0)[3]"));
    EXPECT_EQ(1, SethWindowSub(longest.c_str(), "", 0x42, 3, map.Name()));
    EXPECT_TRUE(log.HasLine("exit : SethWindowSub"));
    ClearWindowSub(map.Handle(), longest.c_str(), 3);
    EXPECT_EQ(0, memcmp(garbage.data(), map.Record(0), MAP_FILE_SIZE));
}

TEST(SharedMap, UnterminatedKeyDoesNotMatchTheBytesAfterIt)
{
    CTestMap map;
    // 520 key bytes "P" and 519 'x', then the slot bytes: read on past the
    // key, the record would look like a longer key.
    memset(map.Record(0), 'x', MAP_KEY_SIZE);
    map.Record(0)[0] = 'P';
    map.Record(1)[0] = MAP_KEY_END;
    std::string asIfTerminated = "P" + std::string(MAP_KEY_SIZE - 1, 'x');
    DWORD dwWindow = 0;
    EXPECT_EQ(MAP_CHECK_ERROR, map.Check(asIfTerminated.c_str(), 3, kPlaceholder, &dwWindow));
    EXPECT_EQ(MAP_KEY_END, map.Record(1)[0]);
    EXPECT_EQ(-2, SethWindowSub(asIfTerminated.c_str(), "", 0x42, 3, map.Name()));
}

// Another program created the map's name with too few bytes.
class CSmallMap {
public:
    CSmallMap(const std::string& name, DWORD cbSize)
    {
        std::string tag = std::to_string(GetCurrentProcessId()) + "_" + std::to_string(cbSize);
        std::string ready = "mapgarbage_ready_" + tag;
        std::string quit = "mapgarbage_quit_" + tag;
        m_hReady = CreateEventA(NULL, TRUE, FALSE, ready.c_str());
        m_hQuit = CreateEventA(NULL, TRUE, FALSE, quit.c_str());
        m_hProcess = testsupport::StartProcess("\"" + testsupport::BinFile("mapgarbage.exe") + "\" small " + name +
                                               " " + std::to_string(cbSize) + " " + ready + " " + quit);
        HANDLE handles[] = {m_hReady, m_hProcess};
        m_fHeld = m_hProcess != NULL && WaitForMultipleObjects(2, handles, FALSE, 30000) == WAIT_OBJECT_0;
    }
    ~CSmallMap()
    {
        SetEvent(m_hQuit);
        if (m_hProcess != NULL)
            WaitForSingleObject(m_hProcess, 30000);
        for (HANDLE h : {m_hReady, m_hQuit, m_hProcess}) {
            if (h != NULL)
                CloseHandle(h);
        }
    }
    CSmallMap(const CSmallMap&) = delete;
    CSmallMap& operator=(const CSmallMap&) = delete;
    bool Held() const { return m_fHeld; }

private:
    HANDLE m_hReady = NULL;
    HANDLE m_hQuit = NULL;
    HANDLE m_hProcess = NULL;
    bool m_fHeld = false;
};

TEST(SharedMap, MapTooSmallCannotBeViewed)
{
    // Wine rounds a section up to whole pages, so only sizes below the map's
    // last page can be told from a whole map there.
    for (DWORD cbSize : {100, 8192, 65 * 4096 - 1}) {
        SCOPED_TRACE(cbSize);
        std::string name = CTestMap::UniqueName();
        CSmallMap small(name, cbSize);
        ASSERT_TRUE(small.Held());
        HANDLE hMap = CreateMapFile(name.c_str());
        ASSERT_TRUE(hMap != NULL);
        DWORD dwWindow = 1;
        EXPECT_EQ(MAP_CHECK_ERROR, CheckMapPrinter(hMap, "P", 3, kPlaceholder, &dwWindow));
        EXPECT_EQ(0u, dwWindow);
        EXPECT_EQ(-1, SethWindowSub("P", "", 0x42, 3, name.c_str()));
        ClearWindowSub(hMap, "P", 3);
        CloseHandle(hMap);
    }
}

} // namespace
