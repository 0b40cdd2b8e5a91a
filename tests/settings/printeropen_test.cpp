// Opening printers by name (with the wide fallback), what a failed open says
// about the printer, and the printer-side monitoring switch "KIVSetting".
#include "settings/driversettings.h"
#include "settings/printeropen.h"
#include "tests/support/process.h"
#include "tests/support/spooler.h"
#include <gtest/gtest.h>
#include <string>

using namespace testsupport;

namespace {

// What the fake open calls were asked, and how they answer.
struct OpenCalls {
    DWORD dwErrorA = ERROR_INVALID_PRINTER_NAME;
    bool fRealWide = false;  // the wide call goes to the spooler; else it fails with dwErrorW
    DWORD dwErrorW = ERROR_INVALID_PRINTER_NAME;
    int nCallsA = 0;
    int nCallsW = 0;
    std::wstring wideName;
    bool fWideDefaults = false;
    PRINTER_DEFAULTSW wideDefaults = {};
};
OpenCalls g_calls;

BOOL WINAPI FailingOpenPrinterA(LPSTR, LPHANDLE phPrinter, LPPRINTER_DEFAULTSA)
{
    ++g_calls.nCallsA;
    if (phPrinter != NULL)
        *phPrinter = NULL;
    SetLastError(g_calls.dwErrorA);
    return FALSE;
}

BOOL WINAPI RecordingOpenPrinterW(LPWSTR pszName, LPHANDLE phPrinter, LPPRINTER_DEFAULTSW pDefaults)
{
    ++g_calls.nCallsW;
    g_calls.wideName = pszName != NULL ? pszName : L"";
    g_calls.fWideDefaults = pDefaults != NULL;
    if (pDefaults != NULL)
        g_calls.wideDefaults = *pDefaults;
    if (g_calls.fRealWide)
        return OpenPrinterW(pszName, phPrinter, pDefaults);
    SetLastError(g_calls.dwErrorW);
    return FALSE;
}

// The spooler's open calls replaced by the fakes while it lives.
class CFakeOpen {
public:
    explicit CFakeOpen(const OpenCalls& calls)
    {
        g_calls = calls;
        g_pfnOpenPrinterA = FailingOpenPrinterA;
        g_pfnOpenPrinterW = RecordingOpenPrinterW;
    }
    ~CFakeOpen()
    {
        g_pfnOpenPrinterA = OpenPrinterA;
        g_pfnOpenPrinterW = OpenPrinterW;
    }
};

DriverFiles PlainDriver(const std::string& name)
{
    DriverFiles driver;
    driver.name = name;
    driver.dataFile = "taopen.ini";
    driver.dataContent = "[none]\r\n";
    return driver;
}

TEST(KivSetting, AnswersFromPrinterDataAndPresence)
{
    CScopedDriver driver(PlainDriver("TA Settings Kiv Driver"));
    ASSERT_TRUE(driver.Installed());
    ASSERT_TRUE(driver.InstallPrinter("TA Kiv Printer"));
    const struct {
        const char* pszCase;
        bool fSetValue;
        DWORD dwValue;
        int nExpected;
    } cases[] = {
        {"value missing", false, 0, 0},
        {"value 1", true, 1, 1},
        {"value 2", true, 2, 0},
        {"value 0", true, 0, 0},
    };
    for (const auto& c : cases) {
        if (c.fSetValue) {
            ASSERT_TRUE(SetPrinterDword("TA Kiv Printer", "KIVSetting", c.dwValue));
        }
        EXPECT_EQ(c.nExpected, IsKivSettingOn("TA Kiv Printer")) << c.pszCase;
    }
    EXPECT_EQ(PRINTER_PRESENT, QueryPrinterPresence("TA Kiv Printer"));

    ASSERT_TRUE(RemovePrinter("TA Kiv Printer"));
    EXPECT_EQ(1, IsKivSettingOn("TA Kiv Printer")) << "a deleted printer";
    EXPECT_EQ(PRINTER_GONE, QueryPrinterPresence("TA Kiv Printer"));
    EXPECT_EQ(0, IsKivSettingOn("")) << "no printer name";
    EXPECT_EQ(0, IsKivSettingOn(NULL));
}

TEST(KivSetting, OnlyAMissingPrinterCountsAsGone)
{
    const struct {
        DWORD dwError;
        int nKiv;
        PrinterPresence presence;
    } cases[] = {
        {ERROR_INVALID_PRINTER_NAME, 1, PRINTER_GONE},
        {RPC_S_SERVER_UNAVAILABLE, 0, PRINTER_UNKNOWN},  // spooler not started or restarting
        {RPC_S_CALL_FAILED, 0, PRINTER_UNKNOWN},
        {ERROR_ACCESS_DENIED, 0, PRINTER_UNKNOWN},
        {ERROR_NOT_ENOUGH_MEMORY, 0, PRINTER_UNKNOWN},
    };
    for (const auto& c : cases) {
        OpenCalls calls;
        calls.dwErrorA = c.dwError;
        calls.dwErrorW = c.dwError;
        CFakeOpen fake(calls);
        EXPECT_EQ(c.nKiv, IsKivSettingOn("TA Any Printer")) << c.dwError;
        EXPECT_EQ(c.presence, QueryPrinterPresence("TA Any Printer")) << c.dwError;
    }
}

TEST(KivSetting, WideCallDecidesWhenBothOpensFail)
{
    // The 8-bit call says "no such printer", the wide retry cannot reach the spooler:
    // nothing can be told, so nothing may be removed.
    OpenCalls calls;
    calls.dwErrorA = ERROR_INVALID_PRINTER_NAME;
    calls.dwErrorW = RPC_S_SERVER_UNAVAILABLE;
    CFakeOpen fake(calls);
    EXPECT_EQ(0, IsKivSettingOn("TA Any Printer"));
    HANDLE hPrinter = NULL;
    EXPECT_FALSE(QZ_OpenPrinter("TA Any Printer", &hPrinter, NULL));
    EXPECT_EQ(static_cast<DWORD>(RPC_S_SERVER_UNAVAILABLE), GetLastError());
}

TEST(PrinterOpen, RetriesWithWideNameOnNtFamily)
{
    const std::string name = "TA Dr\xfc" "cker Wide";  // u-umlaut in code page 1252
    CScopedDriver driver(PlainDriver("TA Settings Wide Driver"));
    ASSERT_TRUE(driver.Installed());
    ASSERT_TRUE(driver.InstallPrinter(name));
    OpenCalls calls;
    calls.fRealWide = true;
    CFakeOpen fake(calls);

    HANDLE hPrinter = NULL;
    ASSERT_TRUE(QZ_OpenPrinter(name.c_str(), &hPrinter, NULL));
    ASSERT_NE(static_cast<HANDLE>(NULL), hPrinter);
    ClosePrinter(hPrinter);
    EXPECT_EQ(L"TA Dr\u00fc" L"cker Wide", g_calls.wideName);
    EXPECT_FALSE(g_calls.fWideDefaults);

    char szType[] = "RAW";
    PRINTER_DEFAULTSA defaults = {szType, NULL, PRINTER_ACCESS_USE};
    hPrinter = NULL;
    ASSERT_TRUE(QZ_OpenPrinter(name.c_str(), &hPrinter, &defaults));
    ClosePrinter(hPrinter);
    ASSERT_TRUE(g_calls.fWideDefaults);
    EXPECT_EQ(NULL, g_calls.wideDefaults.pDatatype);
    EXPECT_EQ(NULL, g_calls.wideDefaults.pDevMode);
    EXPECT_EQ(static_cast<ACCESS_MASK>(PRINTER_ACCESS_USE), g_calls.wideDefaults.DesiredAccess);
}

TEST(PrinterOpen, KeepsFirstAnswerWhenNoWideRetryIsMade)
{
    OpenCalls calls;
    calls.dwErrorA = RPC_S_SERVER_UNAVAILABLE;
    CFakeOpen fake(calls);
    HANDLE hPrinter = NULL;
    EXPECT_FALSE(QZ_OpenPrinter("", &hPrinter, NULL)) << "an empty name converts to nothing";
    EXPECT_EQ(static_cast<DWORD>(RPC_S_SERVER_UNAVAILABLE), GetLastError());
    EXPECT_EQ(0, g_calls.nCallsW);
    EXPECT_EQ(PRINTER_GONE, QueryPrinterPresence("")) << "an empty name names no printer";
    EXPECT_EQ(PRINTER_GONE, QueryPrinterPresence(NULL));
    EXPECT_EQ(1, g_calls.nCallsA) << "the spooler is not asked about an empty name";
}

TEST(PrinterOpen, NoWideRetryOnWindows9x)
{
    AS_WINDOWS_VERSION("win98");
    OpenCalls calls;
    calls.dwErrorA = RPC_S_SERVER_UNAVAILABLE;
    calls.fRealWide = true;
    CFakeOpen fake(calls);
    HANDLE hPrinter = NULL;
    EXPECT_FALSE(QZ_OpenPrinter("TA Any Printer", &hPrinter, NULL));
    EXPECT_EQ(static_cast<DWORD>(RPC_S_SERVER_UNAVAILABLE), GetLastError());
    EXPECT_EQ(0, g_calls.nCallsW);
}

} // namespace
