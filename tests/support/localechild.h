// Test helper: running a test in a child process with another user language.
//
// Under Wine the user's language and the 8-bit code page come from the Unix
// locale (LC_ALL) of the Wine process, and a Wine process hands its own locale
// to every Windows process it starts, whatever their environment says. So the
// child is started on the Unix side: a shell runs this test program through the
// Wine loader with LC_ALL set. Unix processes cannot be waited for through
// handles, so the shell writes the child's exit code into a file that
// the parent polls for. Use as the first statement of a test:
//   IN_LOCALE("he_IL.UTF-8");   // Hebrew, code page 1255
#pragma once
#include "tests/support/files.h"
#include "tests/support/process.h"
#include <gtest/gtest.h>
#include <iostream>
#include <stdlib.h>
#include <string>
#include <vector>

namespace testsupport {

inline bool IsLocaleChild()
{
    char szValue[8] = {0};
    return GetEnvironmentVariableA("AGENT_TEST_LOCALE_CHILD", szValue, sizeof(szValue)) > 0;
}

// The Unix path of a Windows path (Wine's kernel32 export); empty when unknown.
inline std::string UnixPathOf(const std::string& windowsPath)
{
    typedef char*(CDECL * PFN_GetUnixFileName)(LPCWSTR);
    PFN_GetUnixFileName pfnGetUnixFileName = reinterpret_cast<PFN_GetUnixFileName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (pfnGetUnixFileName == NULL)
        return std::string();
    std::vector<WCHAR> wide(windowsPath.size() + 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
    char* pszUnix = pfnGetUnixFileName(wide.data());
    if (pszUnix == NULL)
        return std::string();
    std::string unixPath = pszUnix;
    HeapFree(GetProcessHeap(), 0, pszUnix);
    return unixPath;
}

// Runs the named test of this program (gtest filter) with LC_ALL set to the
// locale. The child's exit code; -1 when it could not be run or did not end
// in time, -2 when it ran no test.
inline int RunTestInLocale(const std::string& locale, const std::string& testFilter)
{
    char szLoader[MAX_PATH] = {0};
    if (GetEnvironmentVariableA("WINELOADER", szLoader, MAX_PATH) == 0)
        return -1;
    CTempDir dir;
    const std::string exe = UnixPathOf(ExePath());
    const std::string log = UnixPathOf(dir.File("child.log"));
    const std::string result = UnixPathOf(dir.File("result"));
    if (exe.empty() || log.empty() || result.empty())
        return -1;
    const std::string script = "AGENT_TEST_LOCALE_CHILD=1 LC_ALL=" + locale + " '" + szLoader + "' '" + exe +
                               "' --gtest_filter=" + testFilter + " >'" + log + "' 2>&1; echo $? >'" + result +
                               ".tmp'; mv '" + result + ".tmp' '" + result + "'";
    // A Unix process gets no Windows process handle: only the start itself can be checked.
    std::string commandLine = "Z:\\bin\\sh -c \"" + script + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(NULL, &commandLine[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return -1;
    if (pi.hThread != NULL)
        CloseHandle(pi.hThread);
    if (pi.hProcess != NULL)
        CloseHandle(pi.hProcess);
    std::string code;
    for (int nWait = 0; nWait < 1200 && !ReadTextFile(dir.File("result"), &code); ++nWait)
        Sleep(50);
    if (code.empty())
        return -1;
    std::string output;
    ReadTextFile(dir.File("child.log"), &output);
    int nCode = atoi(code.c_str());
    // A filter that matched nothing would pass without running anything.
    if (nCode == 0 && output.find("[  PASSED  ] 1 test.") == std::string::npos)
        nCode = -2;
    if (nCode != 0)
        std::cout << "child in " << locale << ":\n" << output << std::endl;
    return nCode;
}

} // namespace testsupport

#define IN_LOCALE(locale)                                                                               \
    do {                                                                                                \
        if (!testsupport::IsLocaleChild()) {                                                            \
            ASSERT_EQ(0, testsupport::RunTestInLocale(locale, testsupport::CurrentTestFilter()))        \
                << "the test failed when run in " << locale;                                            \
            return;                                                                                     \
        }                                                                                               \
    } while (0)
