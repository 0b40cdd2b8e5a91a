// Test helpers: child processes, and running a test in a child that sees
// another Windows version (Wine's per-program version override).
#pragma once
#include <windows.h>
#include <string>

namespace testsupport {

// Starts the command line and waits for it; false when it did not start or
// did not end within the time. The exit code goes to *pdwExitCode.
bool RunProcess(const std::string& commandLine, DWORD* pdwExitCode, DWORD dwTimeoutMs = 30000);

// Starts the command line and returns at once; the caller owns the process handle.
HANDLE StartProcess(const std::string& commandLine);

// True inside a child started by RunTestAsVersion.
bool IsVersionChild();

// Runs the named test of this program (gtest filter) in a copy of the program
// that Wine reports as the given version ("win98", "nt40", "win2k", "winxp", "win7").
// Returns the child's exit code, or -1 when it could not be run.
int RunTestAsVersion(const std::string& version, const std::string& testFilter);

// The current test as a gtest filter: "Suite.Name".
std::string CurrentTestFilter();

} // namespace testsupport

// Runs the body only in the version child; in the normal run, starts that child
// with the version given and expects it to pass. Use as the first statement of a test:
//   AS_WINDOWS_VERSION("win98");
#define AS_WINDOWS_VERSION(version)                                                              \
    do {                                                                                          \
        if (!testsupport::IsVersionChild()) {                                                     \
            ASSERT_EQ(0, testsupport::RunTestAsVersion(version, testsupport::CurrentTestFilter())) \
                << "the test failed when run as " << version;                                     \
            return;                                                                               \
        }                                                                                         \
    } while (0)
