#include "tests/support/files.h"
#include <vector>

namespace testsupport {

CTempDir::CTempDir()
{
    static LONG s_nSerial = 0;
    char szName[64];
    for (;;) {
        wsprintfA(szName, "agtest_%lx_%lx_%lx", GetCurrentProcessId(), GetTickCount(),
                  InterlockedIncrement(&s_nSerial));
        m_path = TempFolder() + szName;
        if (CreateDirectoryA(m_path.c_str(), NULL))
            break;
    }
}

CTempDir::~CTempDir()
{
    RemoveTree(m_path);
}

bool WriteTextFile(const std::string& path, const std::string& content)
{
    HANDLE hFile = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    DWORD dwWritten = 0;
    BOOL fOk = WriteFile(hFile, content.data(), static_cast<DWORD>(content.size()), &dwWritten, NULL);
    CloseHandle(hFile);
    return fOk && dwWritten == content.size();
}

bool ReadTextFile(const std::string& path, std::string* pContent)
{
    HANDLE hFile = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    pContent->clear();
    char buffer[4096];
    DWORD dwRead = 0;
    while (ReadFile(hFile, buffer, sizeof(buffer), &dwRead, NULL) && dwRead > 0)
        pContent->append(buffer, dwRead);
    CloseHandle(hFile);
    return true;
}

bool PathExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void RemoveTree(const std::string& path)
{
    WIN32_FIND_DATAA fd;
    HANDLE hFind = FindFirstFileA((path + "\\*").c_str(), &fd);
    if (hFind != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string child = path + "\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(hFind, &fd));
        FindClose(hFind);
    }
    RemoveDirectoryA(path.c_str());
}

std::string ExePath()
{
    char szPath[MAX_PATH] = {0};
    GetModuleFileNameA(NULL, szPath, MAX_PATH);
    return szPath;
}

std::string ExeDir()
{
    std::string path = ExePath();
    return path.substr(0, path.find_last_of('\\'));
}

std::string BinFile(const std::string& name)
{
    // A copy of the program started elsewhere (see RunTestAsVersion) is told where the build is.
    char szDir[MAX_PATH] = {0};
    if (GetEnvironmentVariableA("AGENT_TEST_BIN_DIR", szDir, MAX_PATH) > 0)
        return std::string(szDir) + "\\" + name;
    return ExeDir() + "\\" + name;
}

std::string TempFolder()
{
    char szPath[MAX_PATH] = {0};
    GetTempPathA(MAX_PATH, szPath);
    return szPath;
}

} // namespace testsupport
