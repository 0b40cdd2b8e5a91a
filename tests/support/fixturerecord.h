// Helpers of fixture DLLs that tell the test how they were called: settings
// from environment variables the test sets, and lines appended to a record
// file whose path an environment variable names.
#pragma once
#include <windows.h>
#include <string>

namespace fixturerecord {

// The variable's value; empty when it is not set or too long.
inline std::string Environment(const char* pszName)
{
    char szValue[MAX_PATH] = {0};
    DWORD cch = GetEnvironmentVariableA(pszName, szValue, MAX_PATH);
    return cch > 0 && cch < MAX_PATH ? szValue : "";
}

// Appends the line to the file named by the variable; nothing when it is not set.
inline void AppendLine(const char* pszPathVariable, const std::string& line)
{
    std::string path = Environment(pszPathVariable);
    if (path.empty())
        return;
    HANDLE hFile = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return;
    DWORD dwWritten = 0;
    WriteFile(hFile, line.data(), static_cast<DWORD>(line.size()), &dwWritten, NULL);
    CloseHandle(hFile);
}

} // namespace fixturerecord
