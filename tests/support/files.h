// Test helpers: temporary folders and files, and the test program's own location.
#pragma once
#include <windows.h>
#include <string>

namespace testsupport {

// A new, empty folder below the temporary folder, removed with its content on destruction.
class CTempDir {
public:
    CTempDir();
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;
    const std::string& Path() const { return m_path; }
    // The folder, a backslash and the name.
    std::string File(const std::string& name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

bool WriteTextFile(const std::string& path, const std::string& content);
bool ReadTextFile(const std::string& path, std::string* pContent);
bool PathExists(const std::string& path);
// Removes a folder and everything below it.
void RemoveTree(const std::string& path);

std::string ExePath();        // full path of the running test program
std::string ExeDir();         // its folder, without a trailing backslash
std::string BinFile(const std::string& name);  // a file built beside the test program
std::string TempFolder();     // GetTempPathA, with its trailing backslash

} // namespace testsupport
