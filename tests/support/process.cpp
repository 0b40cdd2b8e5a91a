#include "tests/support/process.h"
#include "tests/support/files.h"
#include "tests/support/registry.h"
#include <gtest/gtest.h>
#include <vector>

namespace testsupport {

namespace {
const char kChildVariable[] = "AGENT_TEST_VERSION_CHILD";
}

HANDLE StartProcess(const std::string& commandLine)
{
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(NULL, cmd.data(), NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return NULL;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

bool RunProcess(const std::string& commandLine, DWORD* pdwExitCode, DWORD dwTimeoutMs)
{
    HANDLE hProcess = StartProcess(commandLine);
    if (hProcess == NULL)
        return false;
    bool fEnded = WaitForSingleObject(hProcess, dwTimeoutMs) == WAIT_OBJECT_0;
    if (!fEnded)
        TerminateProcess(hProcess, 999);
    DWORD dwCode = 999;
    GetExitCodeProcess(hProcess, &dwCode);
    CloseHandle(hProcess);
    if (pdwExitCode != NULL)
        *pdwExitCode = dwCode;
    return fEnded;
}

bool IsVersionChild()
{
    char szValue[8] = {0};
    return GetEnvironmentVariableA(kChildVariable, szValue, sizeof(szValue)) > 0;
}

std::string CurrentTestFilter()
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string(info->test_suite_name()) + "." + info->name();
}

int RunTestAsVersion(const std::string& version, const std::string& testFilter)
{
    CTempDir dir;
    std::string exeName = "vchild_" + version + ".exe";
    std::string copy = dir.File(exeName);
    if (!CopyFileA(ExePath().c_str(), copy.c_str(), FALSE))
        return -1;
    // Fixtures are found beside the running program; the copy finds them through this.
    SetEnvironmentVariableA("AGENT_TEST_BIN_DIR", ExeDir().c_str());
    SetEnvironmentVariableA(kChildVariable, "1");
    SetWineVersionFor(exeName, version);
    DWORD dwCode = 999;
    bool fRan = RunProcess("\"" + copy + "\" --gtest_filter=" + testFilter, &dwCode, 60000);
    SetEnvironmentVariableA(kChildVariable, NULL);
    SetWineVersionFor(exeName, "");
    return fRan ? static_cast<int>(dwCode) : -1;
}

} // namespace testsupport
