// Registry keys owned by an object: opened through the 8-bit registry functions and
// closed when the object goes. CDriverRegistryKey opens, creates and closes through the
// printer driver's auxiliary library while the driver support check has it bound.
#pragma once
#include <windows.h>
#include "app/str.h"

class CRegistryKey {
public:
    CRegistryKey();
    // Opens the key, or creates it when fCreate is set. A mask of 0 asks for KEY_ALL_ACCESS
    // when creating and KEY_READ when opening. Read m_fOpen to know whether it worked.
    CRegistryKey(HKEY hRoot, const char* pszSubKey, BOOL fCreate, REGSAM samDesired);
    virtual ~CRegistryKey();

    // 1 when the key was opened. A mask of 0 asks for KEY_READ.
    int Open(HKEY hRoot, const char* pszSubKey, REGSAM samDesired = 0)
    {
        return OpenKey(hRoot, pszSubKey, samDesired, FALSE);
    }
    // 1 only when a new key was made; an existing key is opened with result 0 and
    // m_fOpen 1. The mask is used as given.
    int Create(HKEY hRoot, const char* pszSubKey, REGSAM samDesired)
    {
        return CreateKey(hRoot, pszSubKey, samDesired, FALSE);
    }
    void Close() { CloseKey(FALSE); }

    // The value's bytes as text, whatever its type; the default when the key is closed or
    // the value is missing, empty or cannot be read. A size hint of 0 asks the registry for
    // the size; a value larger than a non-zero hint is not read.
    CStr QueryString(const char* pszValueName, const CStr& strDefault, DWORD cbSizeHint);
    // The data of the value at the index as text, and its name into strName; empty, with
    // strName untouched, past the last value or for a name or data over 256 bytes.
    CStr EnumValue(DWORD dwIndex, CStr& strName);
    // 1 when the value was deleted; 0 when the key is closed or the deletion failed.
    int DeleteValue(const char* pszValueName);

    HKEY m_hKey;
    int m_fOpen;
    REGSAM m_samDesired;

protected:
    // The steps of the operations above; with fRouted set they go through the driver's
    // auxiliary library instead of the registry functions.
    void OpenOrCreate(HKEY hRoot, const char* pszSubKey, BOOL fCreate, REGSAM samDesired, BOOL fRouted);
    int OpenKey(HKEY hRoot, const char* pszSubKey, REGSAM samDesired, BOOL fRouted);
    int CreateKey(HKEY hRoot, const char* pszSubKey, REGSAM samDesired, BOOL fRouted);
    void CloseKey(BOOL fRouted);

private:
    CRegistryKey(const CRegistryKey&) = delete;
    CRegistryKey& operator=(const CRegistryKey&) = delete;
};

// A key of the printer driver, which the driver's auxiliary library may have to open for
// the agent. Without the library bound it is an ordinary CRegistryKey.
class CDriverRegistryKey : public CRegistryKey {
public:
    CDriverRegistryKey(HKEY hRoot, const char* pszSubKey, BOOL fCreate, REGSAM samDesired);
    ~CDriverRegistryKey() override;

    // A handle that the library gave is closed through the library.
    void Close();

private:
    // Opened only at construction, where the routing is decided.
    using CRegistryKey::Create;
    using CRegistryKey::Open;
};
