// Test helpers: write and remove registry keys and values.
#pragma once
#include <windows.h>
#include <string>

namespace testsupport {

bool RegSetString(HKEY hRoot, const std::string& path, const char* pszName, const std::string& value);
bool RegSetDword(HKEY hRoot, const std::string& path, const char* pszName, DWORD dwValue);
bool RegSetBinary(HKEY hRoot, const std::string& path, const char* pszName, const void* pData, DWORD cb);
bool RegDeleteValueAt(HKEY hRoot, const std::string& path, const char* pszName);
// Deletes a key with all its subkeys and values; a missing key counts as deleted.
bool RegDeleteTreeAt(HKEY hRoot, const std::string& path);
bool RegKeyExists(HKEY hRoot, const std::string& path);
bool RegReadString(HKEY hRoot, const std::string& path, const char* pszName, std::string* pValue);
bool RegReadDword(HKEY hRoot, const std::string& path, const char* pszName, DWORD* pdwValue);

// Makes processes started later under this exe name see the given Windows version
// ("win98", "nt40", "win2k", "winxp", "win7", ...); an empty version removes the override.
bool SetWineVersionFor(const std::string& exeName, const std::string& version);

} // namespace testsupport
