// Test fixture for target keys: both base keys start and end missing, and
// targets are laid out by number as agents leave them.
#pragma once
#include "settings/targets.h"
#include "tests/support/registry.h"
#include <gtest/gtest.h>
#include <stdio.h>
#include <string>
#include <vector>

class TargetKeys : public ::testing::Test {
protected:
    void SetUp() override { RemoveBases(); }
    // Both base keys, empty.
    static void CreateBases()
    {
        testsupport::RegSetDword(HKEY_CURRENT_USER, LOCAL_TARGET_BASE, "Unrelated", 1);
        testsupport::RegSetDword(HKEY_CURRENT_USER, NETWORK_TARGET_BASE, "Unrelated", 1);
    }
    void TearDown() override { RemoveBases(); }

    static void RemoveBases()
    {
        DeleteTreeBelow(HKEY_CURRENT_USER, LOCAL_TARGET_BASE);
        DeleteTreeBelow(HKEY_CURRENT_USER, NETWORK_TARGET_BASE);
    }
    // Deletes through handles, relative to the parent, so that the pinned
    // keys below (whose full paths are too long to name) go too.
    static void DeleteTreeBelow(HKEY hParent, const std::string& name)
    {
        HKEY hKey = NULL;
        if (RegOpenKeyExA(hParent, name.c_str(), 0, KEY_ALL_ACCESS, &hKey) != ERROR_SUCCESS)
            return;
        std::vector<std::string> children;
        char szChild[MAX_PATH];
        DWORD cchChild = MAX_PATH;
        for (DWORD i = 0; RegEnumKeyExA(hKey, i, szChild, &cchChild, NULL, NULL, NULL, NULL) == ERROR_SUCCESS;
             ++i, cchChild = MAX_PATH)
            children.push_back(szChild);
        for (const std::string& child : children)
            DeleteTreeBelow(hKey, child);
        RegCloseKey(hKey);
        RegDeleteKeyA(hParent, name.c_str());
    }
    static std::string TargetPath(int nNumber, bool fNetwork = false)
    {
        char szName[32];
        snprintf(szName, sizeof(szName), "\\P%016d", nNumber);
        return std::string(fNetwork ? NETWORK_TARGET_BASE : LOCAL_TARGET_BASE) + szName;
    }
    // A target as CreateTarget leaves it; a null name leaves "Name" out.
    static std::string PutTarget(int nNumber, const char* pszName, bool fNetwork = false)
    {
        std::string path = TargetPath(nNumber, fNetwork);
        if (pszName != NULL)
            testsupport::RegSetString(HKEY_CURRENT_USER, path, "Name", pszName);
        testsupport::RegSetDword(HKEY_CURRENT_USER, path, "Setting", 0);
        testsupport::RegSetDword(HKEY_CURRENT_USER, path, "Timer", 10);
        return path;
    }
    static bool Exists(const std::string& path) { return testsupport::RegKeyExists(HKEY_CURRENT_USER, path); }
    static DWORD Dword(const std::string& path, const char* pszName)
    {
        DWORD dw = 0xBAD;
        testsupport::RegReadDword(HKEY_CURRENT_USER, path, pszName, &dw);
        return dw;
    }
    static std::string String(const std::string& path, const char* pszName)
    {
        std::string value = "(none)";
        testsupport::RegReadString(HKEY_CURRENT_USER, path, pszName, &value);
        return value;
    }
    // A subkey whose path below the target is too long to delete: the target
    // then survives its removal and shows what was written into it before.
    // (Created relative to the target: the system's 8-bit calls take no full path that long.)
    static bool PinTarget(const std::string& path)
    {
        HKEY hTarget = NULL;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &hTarget) != ERROR_SUCCESS)
            return false;
        HKEY hPin = NULL;
        LONG lResult = RegCreateKeyExA(hTarget, std::string(230, 'k').c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL,
                                       &hPin, NULL);
        if (lResult == ERROR_SUCCESS)
            RegCloseKey(hPin);
        RegCloseKey(hTarget);
        return lResult == ERROR_SUCCESS;
    }
};
