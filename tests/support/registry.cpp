#include "tests/support/registry.h"
#include <vector>

namespace testsupport {

namespace {

bool SetValue(HKEY hRoot, const std::string& path, const char* pszName, DWORD dwType, const void* pData,
              DWORD cb)
{
    HKEY hKey = NULL;
    if (RegCreateKeyExA(hRoot, path.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hKey, NULL) != ERROR_SUCCESS)
        return false;
    LONG lResult = RegSetValueExA(hKey, pszName, 0, dwType, static_cast<const BYTE*>(pData), cb);
    RegCloseKey(hKey);
    return lResult == ERROR_SUCCESS;
}

} // namespace

bool RegSetString(HKEY hRoot, const std::string& path, const char* pszName, const std::string& value)
{
    return SetValue(hRoot, path, pszName, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

bool RegSetDword(HKEY hRoot, const std::string& path, const char* pszName, DWORD dwValue)
{
    return SetValue(hRoot, path, pszName, REG_DWORD, &dwValue, sizeof(dwValue));
}

bool RegSetBinary(HKEY hRoot, const std::string& path, const char* pszName, const void* pData, DWORD cb)
{
    return SetValue(hRoot, path, pszName, REG_BINARY, pData, cb);
}

bool RegDeleteValueAt(HKEY hRoot, const std::string& path, const char* pszName)
{
    HKEY hKey = NULL;
    if (RegOpenKeyExA(hRoot, path.c_str(), 0, KEY_ALL_ACCESS, &hKey) != ERROR_SUCCESS)
        return true;
    LONG lResult = RegDeleteValueA(hKey, pszName);
    RegCloseKey(hKey);
    return lResult == ERROR_SUCCESS || lResult == ERROR_FILE_NOT_FOUND;
}

bool RegDeleteTreeAt(HKEY hRoot, const std::string& path)
{
    HKEY hKey = NULL;
    if (RegOpenKeyExA(hRoot, path.c_str(), 0, KEY_ALL_ACCESS, &hKey) != ERROR_SUCCESS)
        return true;
    std::vector<std::string> children;
    char szName[256];
    for (DWORD i = 0;; ++i) {
        DWORD cch = sizeof(szName);
        if (RegEnumKeyExA(hKey, i, szName, &cch, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        children.push_back(szName);
    }
    RegCloseKey(hKey);
    for (const std::string& child : children) {
        if (!RegDeleteTreeAt(hRoot, path + "\\" + child))
            return false;
    }
    return RegDeleteKeyA(hRoot, path.c_str()) == ERROR_SUCCESS;
}

bool RegKeyExists(HKEY hRoot, const std::string& path)
{
    HKEY hKey = NULL;
    if (RegOpenKeyExA(hRoot, path.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    RegCloseKey(hKey);
    return true;
}

bool RegReadString(HKEY hRoot, const std::string& path, const char* pszName, std::string* pValue)
{
    HKEY hKey = NULL;
    if (RegOpenKeyExA(hRoot, path.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    char szValue[4096] = {0};
    DWORD cb = sizeof(szValue) - 1;
    LONG lResult = RegQueryValueExA(hKey, pszName, NULL, NULL, reinterpret_cast<BYTE*>(szValue), &cb);
    RegCloseKey(hKey);
    if (lResult != ERROR_SUCCESS)
        return false;
    *pValue = szValue;
    return true;
}

bool RegReadDword(HKEY hRoot, const std::string& path, const char* pszName, DWORD* pdwValue)
{
    HKEY hKey = NULL;
    if (RegOpenKeyExA(hRoot, path.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    DWORD cb = sizeof(*pdwValue);
    LONG lResult = RegQueryValueExA(hKey, pszName, NULL, NULL, reinterpret_cast<BYTE*>(pdwValue), &cb);
    RegCloseKey(hKey);
    return lResult == ERROR_SUCCESS;
}

bool SetWineVersionFor(const std::string& exeName, const std::string& version)
{
    std::string path = "Software\\Wine\\AppDefaults\\" + exeName;
    if (version.empty())
        return RegDeleteValueAt(HKEY_CURRENT_USER, path, "Version");
    return RegSetString(HKEY_CURRENT_USER, path, "Version", version);
}

} // namespace testsupport
