// Maintenance utility calls: the entry point of each utility id, the
// requests that are dropped or abandoned, and the per-printer semaphore
// shared with other processes.
#include "utility/utycall.h"
#include "tests/support/files.h"
#include "tests/support/logcapture.h"
#include "tests/support/process.h"
#include <gtest/gtest.h>
#include <string>
#include <thread>

namespace {

using testsupport::BinFile;

// Points utydll.dll's call record and its hold events at this test.
class CUtilityHarness {
public:
    CUtilityHarness()
    {
        std::string prefix = "utydll_" + std::to_string(GetCurrentProcessId());
        m_hEntered = CreateEventA(NULL, TRUE, FALSE, (prefix + "_entered").c_str());
        m_hRelease = CreateEventA(NULL, TRUE, TRUE, (prefix + "_release").c_str());
        SetEnvironmentVariableA("UTYDLL_RECORD", RecordPath().c_str());
        SetEnvironmentVariableA("UTYDLL_HOLD", prefix.c_str());
    }
    ~CUtilityHarness()
    {
        Release();
        SetEnvironmentVariableA("UTYDLL_RECORD", NULL);
        SetEnvironmentVariableA("UTYDLL_HOLD", NULL);
        CloseHandle(m_hEntered);
        CloseHandle(m_hRelease);
    }
    CUtilityHarness(const CUtilityHarness&) = delete;
    CUtilityHarness& operator=(const CUtilityHarness&) = delete;

    // Utilities run through at once, until Hold is called.
    void Hold() { ResetEvent(m_hRelease); }
    void Release() { SetEvent(m_hRelease); }
    bool WaitEntered() { return WaitForSingleObject(m_hEntered, 30000) == WAIT_OBJECT_0; }
    void ForgetEntered() { ResetEvent(m_hEntered); }

    std::string Calls() const
    {
        std::string text;
        testsupport::ReadTextFile(RecordPath(), &text);
        return text;
    }
    std::string RecordPath() const { return m_dir.File("calls.txt"); }

private:
    testsupport::CTempDir m_dir;
    HANDLE m_hEntered;
    HANDLE m_hRelease;
};

std::string Command(const std::string& suffix)
{
    return BinFile("utydll.dll") + suffix;
}

std::string PrinterName(const std::string& name)
{
    return name + " " + std::to_string(GetCurrentProcessId());
}

bool WaitWorker(const CUtyCall& call)
{
    return call.m_hThread != NULL && WaitForSingleObject(call.m_hThread, 30000) == WAIT_OBJECT_0;
}

TEST(UtyCall, ConstructionClearsTheRequest)
{
    CUtyCall call;
    for (const char* psz : {call.m_szArg3, call.m_szArg4, call.m_szPrinterName, call.m_szArg2, call.m_szDllPath})
        EXPECT_EQ(std::string(MAX_PATH, '\0'), std::string(psz, MAX_PATH));
    EXPECT_EQ(0, call.m_nUtyID);
    EXPECT_TRUE(call.m_hSemaphore == NULL);
    // No request yet: nothing can be executing, and the wait ends at once.
    EXPECT_TRUE(call.CheckUtyCall(0));
    EXPECT_TRUE(call.CheckUtyCall(1));
}

TEST(UtyCall, CalledUtilitiesGetThePrinterAndThreeEmptyBuffers)
{
    struct {
        const char* pszSuffix;
        const char* pszID;
        const char* pszLogName;
    } const cases[] = {
        {" /U1", "1", "pfPrintNozzle"},   {" /U2", "2", "pfCleaning"},
        {" /U3", "3", "pfAlignGap"},      {" /U11", "11", "pfAutoCleanHead"},
        {" /U 2", "2", "pfCleaning"},     {" /U+3 and more", "3", "pfAlignGap"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszSuffix);
        testsupport::CLogCapture log;
        CUtilityHarness harness;
        CUtyCall call;
        std::string printer = PrinterName("Uty Printer");
        call.StartUtyCall(printer.c_str(), Command(c.pszSuffix).c_str());
        ASSERT_TRUE(WaitWorker(call));
        EXPECT_EQ(std::string(c.pszID) + "|" + printer + "|||\n", harness.Calls());
        EXPECT_EQ(BinFile("utydll.dll"), call.m_szDllPath);
        EXPECT_TRUE(log.HasLine("CUtyCall::StartUtyCall"));
        EXPECT_TRUE(log.HasLine("Semaphore name : KIV_UtyCall_OBJ_" + printer));
        EXPECT_TRUE(log.HasLine("CUtyCall::UtyCallMain"));
        EXPECT_TRUE(log.HasLine(std::string("Enter ") + c.pszLogName));
        EXPECT_TRUE(log.HasLine(std::string("Exit ") + c.pszLogName));
        EXPECT_TRUE(log.HasLine("Exit CUtyCall::UtyCallMain"));
        EXPECT_TRUE(call.CheckUtyCall(0));
        EXPECT_TRUE(log.HasLine("Utility not executing"));
    }
}

TEST(UtyCall, OtherIdsAreNotCalled)
{
    // 4 and 13 are in the table but not called; 99 is not in it; letters give 0.
    for (const char* pszSuffix : {" /U4", " /U13", " /U99", " /Uabc", " /U-2"}) {
        SCOPED_TRACE(pszSuffix);
        testsupport::CLogCapture log;
        CUtilityHarness harness;
        CUtyCall call;
        call.StartUtyCall(PrinterName("Uty Printer").c_str(), Command(pszSuffix).c_str());
        ASSERT_TRUE(WaitWorker(call));
        EXPECT_EQ("", harness.Calls());
        EXPECT_TRUE(log.HasLine("default"));
        EXPECT_EQ(std::string::npos, log.Text().find("Enter pf"));
        EXPECT_TRUE(log.HasLine("Exit CUtyCall::UtyCallMain"));
        EXPECT_TRUE(call.CheckUtyCall(0));
    }
}

TEST(UtyCall, ExportMissingCallsNothing)
{
    // A DLL without the entry points: the system's own kernel32.
    testsupport::CLogCapture log;
    CUtyCall call;
    call.StartUtyCall(PrinterName("Uty Printer").c_str(), "kernel32.dll /U2");
    ASSERT_TRUE(WaitWorker(call));
    EXPECT_EQ(std::string::npos, log.Text().find("Enter pfCleaning"));
    EXPECT_FALSE(log.HasLine("default"));
    EXPECT_TRUE(log.HasLine("Exit CUtyCall::UtyCallMain"));
    EXPECT_TRUE(call.CheckUtyCall(0));
}

TEST(UtyCall, MissingDllGivesTheSemaphoreBack)
{
    testsupport::CLogCapture log;
    CUtilityHarness harness;
    CUtyCall call;
    std::string printer = PrinterName("Uty Printer");
    call.StartUtyCall(printer.c_str(), Command(".missing.dll /U2").c_str());
    ASSERT_TRUE(WaitWorker(call));
    EXPECT_TRUE(log.HasLine("Error LoadLibrary"));
    EXPECT_FALSE(log.HasLine("Exit CUtyCall::UtyCallMain"));

    call.StartUtyCall(printer.c_str(), Command(" /U2").c_str());
    ASSERT_TRUE(WaitWorker(call));
    EXPECT_EQ("2|" + printer + "|||\n", harness.Calls());
}

TEST(UtyCall, MalformedRequestsGiveTheSemaphoreBack)
{
    CUtilityHarness harness;
    CUtyCall call;
    std::string printer = PrinterName("Uty Printer");
    // A first request makes the semaphore; the ones below find it.
    call.StartUtyCall(printer.c_str(), Command(" /U1").c_str());
    ASSERT_TRUE(WaitWorker(call));
    CloseHandle(call.m_hThread);
    call.m_hThread = NULL;

    std::string longPath = "C:\\" + std::string(MAX_PATH, 'd') + ".dll /U2";
    std::string longPrinter(MAX_PATH, 'p');
    struct {
        std::string printer;
        std::string command;
    } const cases[] = {
        {printer, Command(" /u2")},
        {printer, Command("/U2")},
        {printer, longPath},
        {longPrinter, Command(" /U2")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        call.StartUtyCall(c.printer.c_str(), c.command.c_str());
        EXPECT_TRUE(call.m_hThread == NULL);
        EXPECT_TRUE(call.CheckUtyCall(0));
    }
    EXPECT_EQ("1|" + printer + "|||\n", harness.Calls());
}

TEST(UtyCall, RequestWhileAUtilityRunsIsDropped)
{
    testsupport::CLogCapture log;
    CUtilityHarness harness;
    harness.Hold();
    CUtyCall call;
    std::string printer = PrinterName("Uty Printer");
    call.StartUtyCall(printer.c_str(), Command(" /U1").c_str());
    ASSERT_TRUE(harness.WaitEntered());
    HANDLE hFirstWorker = call.m_hThread;

    call.StartUtyCall(printer.c_str(), Command(" /U3").c_str());
    EXPECT_EQ(hFirstWorker, call.m_hThread);
    EXPECT_EQ(1, call.m_nUtyID);
    EXPECT_FALSE(call.CheckUtyCall(0));
    EXPECT_TRUE(log.HasLine("Utility executing"));

    harness.Release();
    ASSERT_TRUE(WaitWorker(call));
    EXPECT_TRUE(call.CheckUtyCall(0));
    EXPECT_EQ("1|" + printer + "|||\n", harness.Calls());

    call.StartUtyCall(printer.c_str(), Command(" /U3").c_str());
    ASSERT_TRUE(WaitWorker(call));
    EXPECT_EQ("1|" + printer + "|||\n3|" + printer + "|||\n", harness.Calls());
}

TEST(UtyCall, WaitingModeWaitsForTheUtilityAndKeepsTheSemaphore)
{
    CUtilityHarness harness;
    harness.Hold();
    CUtyCall call;
    std::string printer = PrinterName("Uty Printer");
    call.StartUtyCall(printer.c_str(), Command(" /U2").c_str());
    ASSERT_TRUE(harness.WaitEntered());

    std::thread releaser([&harness] {
        Sleep(300);
        harness.Release();
    });
    EXPECT_TRUE(call.CheckUtyCall(1));
    releaser.join();
    // The utility had returned: the worker gave the semaphore back and the wait took it.
    EXPECT_EQ("2|" + printer + "|||\n", harness.Calls());
    EXPECT_FALSE(call.CheckUtyCall(0));
    HANDLE hLastWorker = call.m_hThread;
    call.StartUtyCall(printer.c_str(), Command(" /U2").c_str());
    EXPECT_EQ(hLastWorker, call.m_hThread);
}

TEST(UtyCall, BackslashesOfANetworkPrinterBecomeSlashes)
{
    testsupport::CLogCapture log;
    CUtilityHarness harness;
    harness.Hold();
    CUtyCall call;
    std::string printer = "\\\\server\\" + PrinterName("queue");
    std::string semaphore = "KIV_UtyCall_OBJ_//server/" + PrinterName("queue");
    call.StartUtyCall(printer.c_str(), Command(" /U2").c_str());
    ASSERT_TRUE(harness.WaitEntered());
    EXPECT_TRUE(log.HasLine("Semaphore name : " + semaphore));
    HANDLE hSemaphore = OpenSemaphoreA(SYNCHRONIZE, FALSE, semaphore.c_str());
    ASSERT_TRUE(hSemaphore != NULL);
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(hSemaphore, 0));
    harness.Release();
    ASSERT_TRUE(WaitWorker(call));
    EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), WaitForSingleObject(hSemaphore, 0));
    CloseHandle(hSemaphore);
    EXPECT_EQ("2|" + printer + "|||\n", harness.Calls());
}

std::string CallerCommandLine(const std::string& printer, const std::string& command)
{
    return "\"" + BinFile("utycaller.exe") + "\" \"" + printer + "\" \"" + command + "\"";
}

TEST(UtyCall, UtilityInAnotherProcessBlocksThisOne)
{
    CUtilityHarness harness;
    harness.Hold();
    std::string printer = PrinterName("Shared Printer");
    HANDLE hOther = testsupport::StartProcess(CallerCommandLine(printer, Command(" /U1")));
    ASSERT_TRUE(hOther != NULL);
    ASSERT_TRUE(harness.WaitEntered());

    CUtyCall call;
    call.StartUtyCall(printer.c_str(), Command(" /U3").c_str());
    EXPECT_TRUE(call.m_hThread == NULL);
    EXPECT_FALSE(call.CheckUtyCall(0));

    harness.Release();
    EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), WaitForSingleObject(hOther, 30000));
    DWORD dwCode = 99;
    GetExitCodeProcess(hOther, &dwCode);
    CloseHandle(hOther);
    EXPECT_EQ(0u, dwCode);
    EXPECT_TRUE(call.CheckUtyCall(0));
    EXPECT_EQ("1|" + printer + "|||\n", harness.Calls());
}

TEST(UtyCall, UtilityInThisProcessBlocksAnotherOne)
{
    CUtilityHarness harness;
    harness.Hold();
    std::string printer = PrinterName("Shared Printer");
    CUtyCall call;
    call.StartUtyCall(printer.c_str(), Command(" /U2").c_str());
    ASSERT_TRUE(harness.WaitEntered());

    DWORD dwCode = 99;
    ASSERT_TRUE(testsupport::RunProcess(CallerCommandLine(printer, Command(" /U3")), &dwCode));
    EXPECT_EQ(1u, dwCode);
    // Another printer has a semaphore of its own.
    harness.ForgetEntered();
    std::string otherPrinter = PrinterName("Other Printer");
    HANDLE hOther = testsupport::StartProcess(CallerCommandLine(otherPrinter, Command(" /U11")));
    ASSERT_TRUE(harness.WaitEntered());

    harness.Release();
    ASSERT_TRUE(WaitWorker(call));
    EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), WaitForSingleObject(hOther, 30000));
    GetExitCodeProcess(hOther, &dwCode);
    CloseHandle(hOther);
    EXPECT_EQ(0u, dwCode);
    std::string calls = harness.Calls();
    EXPECT_NE(std::string::npos, calls.find("2|" + printer + "|||\n"));
    EXPECT_NE(std::string::npos, calls.find("11|" + otherPrinter + "|||\n"));
    EXPECT_EQ(std::string::npos, calls.find("3|"));
}

} // namespace
