// An agent's registration in the shared map by printer or port name: the
// map its driver names, the duplicate check, storing and clearing its window.
#include "statusmap/statusmap.h"
#include "tests/statusmap/mapfixture.h"
#include "tests/support/driverfixture.h"
#include "tests/support/logcapture.h"
#include <gtest/gtest.h>
#include <memory>
#include <string>

using namespace testsupport;

namespace {

TEST(MapRegistration, PortOnlyAgentUsesTheDefaultMapAndItsPort)
{
    testsupport::CLogCapture log;
    ASSERT_FALSE(CTestMap(DEFAULT_MAP_FILE_NAME, false).IsOpen()) << "another program holds the default map";
    EXPECT_EQ(-1, SethWindow("", "USB001", 0x42, 3));

    DWORD dwWindow = 1;
    HANDLE hMap = NULL;
    ASSERT_EQ(MAP_CHECK_REGISTERED, MultiExecuteCheck("", "USB001", 3, MAP_WINDOW_PLACEHOLDER, &dwWindow, &hMap));
    ASSERT_TRUE(hMap != NULL);
    EXPECT_EQ(0u, dwWindow);
    EXPECT_TRUE(log.HasLine("enter : MultiExecuteCheck"));
    EXPECT_TRUE(log.HasLine("exit  : MultiExecuteCheck"));
    CTestMap map(DEFAULT_MAP_FILE_NAME, false);
    ASSERT_TRUE(map.IsOpen());
    EXPECT_EQ("USB001", map.Key(0));
    EXPECT_EQ(MAP_WINDOW_PLACEHOLDER, map.Slot(0, MAP_OFFSET_APPSEL3));

    CTestWindow window;
    EXPECT_EQ(0, SethWindow(NULL, "USB001", window.Value(), 3));
    EXPECT_EQ(window.Value(), map.Slot(0, MAP_OFFSET_APPSEL3));
    EXPECT_EQ(-2, SethWindow("", "USB002", window.Value(), 3));

    // A second agent for the port finds the first one's window.
    HANDLE hSecond = NULL;
    EXPECT_EQ(MAP_CHECK_RUNNING, MultiExecuteCheck(NULL, "usb001", 3, MAP_WINDOW_PLACEHOLDER, &dwWindow, &hSecond));
    EXPECT_EQ(window.Value(), dwWindow);
    ASSERT_TRUE(hSecond != NULL);
    CloseHandle(hSecond);

    ClearWindow(hMap, "", "USB001", 3);
    EXPECT_EQ(MAP_KEY_FREE, map.Record(0)[0]);
    EXPECT_EQ(0u, map.Slot(0, MAP_OFFSET_APPSEL3));
    CloseHandle(hMap);
}

TEST(MapRegistration, MissingOutArgumentsGiveTwo)
{
    DWORD dwWindow = 0;
    HANDLE hMap = reinterpret_cast<HANDLE>(1);
    EXPECT_EQ(MAP_CHECK_ERROR, MultiExecuteCheck("P", "", 3, 0, NULL, &hMap));
    EXPECT_EQ(MAP_CHECK_ERROR, MultiExecuteCheck("P", "", 3, 0, &dwWindow, NULL));
    EXPECT_EQ(reinterpret_cast<HANDLE>(1), hMap);
}

TEST(MapRegistration, DefaultNameNeedsRoomForItsTerminator)
{
    char szName[64];
    EXPECT_EQ(0, GetMapFileName("USB001", NULL, 64));
    EXPECT_EQ(0, GetMapFileName("USB001", szName, 0));
    EXPECT_EQ(0, GetMapFileName("USB001", szName, 16));
    EXPECT_EQ(16, GetMapFileName("USB001", szName, 17));
    EXPECT_STREQ(DEFAULT_MAP_FILE_NAME, szName);
    EXPECT_EQ(0, GetMapFileNameFromDriver("TA No Such Printer", szName, 64));
    EXPECT_EQ(0, GetMapFileNameFromDriver("", szName, 64));
}

const char kDriver[] = "TA Map Driver";
const char kPrinter[] = "TA Map Printer";

std::string MapNameForThisProcess()
{
    char szName[64];
    wsprintfA(szName, "TA_Driver_Map_%08lX", GetCurrentProcessId());
    return szName;
}

// A printer whose driver names a map of its own (or, with an empty name, none).
class DriverMap : public ::testing::Test {
protected:
    void Install(const std::string& mapName)
    {
        InstDataValues values = {{"ModelID", Quoted("MAPMODEL")}};
        if (!mapName.empty())
            values.push_back({"MapFileName", Quoted(mapName)});
        m_driver.reset(new CScopedDriver(DriverWithInstallData(kDriver, "tamapdrv", InstallDataText(kDriver, values))));
        ASSERT_TRUE(m_driver->Installed());
        ASSERT_TRUE(m_driver->InstallPrinter(kPrinter));
    }
    // Always longer than the default name, so that a buffer sized to it holds the default.
    std::string m_mapName = MapNameForThisProcess();
    std::unique_ptr<CScopedDriver> m_driver;
};

TEST_F(DriverMap, DriversMapNameIsUsed)
{
    Install(m_mapName);
    char szName[MAX_PATH];
    EXPECT_EQ(1, GetMapFileNameFromDriver(kPrinter, szName, MAX_PATH));
    EXPECT_EQ(m_mapName, szName);
    EXPECT_EQ(static_cast<int>(m_mapName.size()), GetMapFileName(kPrinter, szName, MAX_PATH));
    // A name that does not fit counts as none: the default is taken.
    EXPECT_EQ(0, GetMapFileNameFromDriver(kPrinter, szName, static_cast<int>(m_mapName.size())));
    EXPECT_EQ(16, GetMapFileName(kPrinter, szName, static_cast<int>(m_mapName.size())));
    EXPECT_STREQ(DEFAULT_MAP_FILE_NAME, szName);

    DWORD dwWindow = 0;
    HANDLE hMap = NULL;
    ASSERT_EQ(MAP_CHECK_REGISTERED, MultiExecuteCheck(kPrinter, "FILE:", 3, MAP_WINDOW_PLACEHOLDER, &dwWindow, &hMap));
    CTestMap map(m_mapName.c_str(), false);
    ASSERT_TRUE(map.IsOpen());
    EXPECT_EQ(kPrinter, map.Key(0));
    EXPECT_FALSE(CTestMap(DEFAULT_MAP_FILE_NAME, false).IsOpen());
    EXPECT_EQ(0, SethWindow(kPrinter, "FILE:", 0x42, 3));
    EXPECT_EQ(0x42u, map.Slot(0, MAP_OFFSET_APPSEL3));
    ClearWindow(hMap, kPrinter, "FILE:", 3);
    EXPECT_EQ(MAP_KEY_FREE, map.Record(0)[0]);
    CloseHandle(hMap);
}

TEST_F(DriverMap, DriverWithoutAMapNameUsesTheDefault)
{
    Install("");
    char szName[MAX_PATH];
    EXPECT_EQ(0, GetMapFileNameFromDriver(kPrinter, szName, MAX_PATH));
    EXPECT_EQ(16, GetMapFileName(kPrinter, szName, MAX_PATH));
    EXPECT_STREQ(DEFAULT_MAP_FILE_NAME, szName);
}

TEST_F(DriverMap, MapThatCannotBeCreatedLeavesTheAgentUnregistered)
{
    // Another kind of object already has the map's name.
    Install(m_mapName);
    HANDLE hEvent = CreateEventA(NULL, TRUE, FALSE, m_mapName.c_str());
    ASSERT_TRUE(hEvent != NULL);
    DWORD dwWindow = 1;
    HANDLE hMap = reinterpret_cast<HANDLE>(1);
    EXPECT_EQ(MAP_CHECK_REGISTERED, MultiExecuteCheck(kPrinter, "", 3, MAP_WINDOW_PLACEHOLDER, &dwWindow, &hMap));
    EXPECT_TRUE(hMap == NULL);
    EXPECT_EQ(0u, dwWindow);
    EXPECT_EQ(-1, SethWindow(kPrinter, "", 0x42, 3));
    ClearWindow(hMap, kPrinter, "", 3);
    CloseHandle(hEvent);
}

TEST(MapRegistration, DefaultMapTooSmallGivesTwo)
{
    // Another program created the default map with the size of one record.
    HANDLE hSmall = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, MAP_RECORD_SIZE,
                                       DEFAULT_MAP_FILE_NAME);
    ASSERT_TRUE(hSmall != NULL);
    ASSERT_NE(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());
    DWORD dwWindow = 1;
    HANDLE hMap = NULL;
    EXPECT_EQ(MAP_CHECK_ERROR, MultiExecuteCheck("", "USB001", 3, MAP_WINDOW_PLACEHOLDER, &dwWindow, &hMap));
    EXPECT_TRUE(hMap != NULL);
    EXPECT_EQ(-1, SethWindow("", "USB001", 0x42, 3));
    ClearWindow(hMap, "", "USB001", 3);
    CloseHandle(hMap);
    CloseHandle(hSmall);
}

} // namespace
