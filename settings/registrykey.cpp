// The registry key wrapper and its driver-key form.
#include "settings/registrykey.h"
#include "drvcheck/auxlibrary.h"
#include "drvcheck/drvsupport.h"
#include "installdata/heap.h"

namespace {

// Name and data buffers of EnumValue, in bytes.
const DWORD kEnumBufferBytes = 256;

} // namespace

CRegistryKey::CRegistryKey() : m_hKey(NULL), m_fOpen(0), m_samDesired(0)
{
}

CRegistryKey::CRegistryKey(HKEY hRoot, const char* pszSubKey, BOOL fCreate, REGSAM samDesired)
    : m_hKey(NULL), m_fOpen(0), m_samDesired(0)
{
    OpenOrCreate(hRoot, pszSubKey, fCreate, samDesired, FALSE);
}

CRegistryKey::~CRegistryKey()
{
    Close();
}

void CRegistryKey::OpenOrCreate(HKEY hRoot, const char* pszSubKey, BOOL fCreate, REGSAM samDesired, BOOL fRouted)
{
    if (fCreate)
        CreateKey(hRoot, pszSubKey, samDesired != 0 ? samDesired : KEY_ALL_ACCESS, fRouted);
    else
        OpenKey(hRoot, pszSubKey, samDesired, fRouted);
}

int CRegistryKey::OpenKey(HKEY hRoot, const char* pszSubKey, REGSAM samDesired, BOOL fRouted)
{
    CloseKey(fRouted);
    m_samDesired = samDesired != 0 ? samDesired : KEY_READ;
    HKEY hKey = NULL;
    LONG lResult = fRouted ? AuxRegOpenKeyEx(hRoot, pszSubKey, 0, m_samDesired, &hKey)
                           : RegOpenKeyExA(hRoot, pszSubKey, 0, m_samDesired, &hKey);
    m_fOpen = lResult == ERROR_SUCCESS;
    m_hKey = m_fOpen ? hKey : NULL;
    return m_fOpen;
}

int CRegistryKey::CreateKey(HKEY hRoot, const char* pszSubKey, REGSAM samDesired, BOOL fRouted)
{
    CloseKey(fRouted);
    m_samDesired = samDesired;
    HKEY hKey = NULL;
    DWORD dwDisposition = 0;
    LONG lResult = fRouted ? AuxRegCreateKeyEx(hRoot, pszSubKey, 0, NULL, REG_OPTION_NON_VOLATILE, samDesired, NULL,
                                               &hKey, &dwDisposition)
                           : RegCreateKeyExA(hRoot, pszSubKey, 0, NULL, REG_OPTION_NON_VOLATILE, samDesired, NULL,
                                             &hKey, &dwDisposition);
    m_fOpen = lResult == ERROR_SUCCESS;
    m_hKey = m_fOpen ? hKey : NULL;
    return m_fOpen && dwDisposition == REG_CREATED_NEW_KEY;
}

void CRegistryKey::CloseKey(BOOL fRouted)
{
    if (m_hKey != NULL) {
        if (fRouted)
            AuxRegCloseKey(m_hKey);
        else
            RegCloseKey(m_hKey);
        m_hKey = NULL;
    }
    m_fOpen = 0;
}

CStr CRegistryKey::QueryString(const char* pszValueName, const CStr& strDefault, DWORD cbSizeHint)
{
    if (!m_fOpen)
        return strDefault;
    DWORD cbValue = cbSizeHint;
    if (cbValue == 0 && RegQueryValueExA(m_hKey, pszValueName, NULL, NULL, NULL, &cbValue) != ERROR_SUCCESS)
        return strDefault;
    if (cbValue == 0)
        return strDefault;
    // One zero byte beyond the value ends a text that the registry stored without one.
    char* pBuffer = static_cast<char*>(HeapAllocZeroed(static_cast<SIZE_T>(cbValue) + 1));
    if (pBuffer == NULL)
        return strDefault;
    CStr strResult = strDefault;
    if (RegQueryValueExA(m_hKey, pszValueName, NULL, NULL, reinterpret_cast<BYTE*>(pBuffer), &cbValue) ==
        ERROR_SUCCESS)
        strResult = pBuffer;
    HeapFreeChecked(pBuffer);
    return strResult;
}

CStr CRegistryKey::EnumValue(DWORD dwIndex, CStr& strName)
{
    CStr strData;
    if (!m_fOpen)
        return strData;
    char* pszName = static_cast<char*>(HeapAllocZeroed(kEnumBufferBytes));
    // The registry fills at most 256 data bytes; the byte beyond them stays zero, so data
    // of exactly that size still reads as a terminated text.
    char* pData = static_cast<char*>(HeapAllocZeroed(kEnumBufferBytes + 1));
    if (pszName != NULL && pData != NULL) {
        DWORD cchName = kEnumBufferBytes;
        DWORD cbData = kEnumBufferBytes;
        if (RegEnumValueA(m_hKey, dwIndex, pszName, &cchName, NULL, NULL, reinterpret_cast<BYTE*>(pData), &cbData) ==
            ERROR_SUCCESS) {
            strData = pData;
            strName = pszName;
        }
    }
    HeapFreeChecked(pszName);
    HeapFreeChecked(pData);
    return strData;
}

int CRegistryKey::DeleteValue(const char* pszValueName)
{
    return m_fOpen && RegDeleteValueA(m_hKey, pszValueName) == ERROR_SUCCESS;
}

// The support flag is set once at start-up, before any key object exists, so a key is
// closed the same way it was opened.
CDriverRegistryKey::CDriverRegistryKey(HKEY hRoot, const char* pszSubKey, BOOL fCreate, REGSAM samDesired)
{
    OpenOrCreate(hRoot, pszSubKey, fCreate, samDesired, GetDriverSupportFlag());
}

CDriverRegistryKey::~CDriverRegistryKey()
{
    Close();
}

void CDriverRegistryKey::Close()
{
    CloseKey(GetDriverSupportFlag());
}
