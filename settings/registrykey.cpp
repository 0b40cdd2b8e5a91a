// The registry key wrapper and its driver-key form.
#include "settings/registrykey.h"
#include "drvcheck/auxlibrary.h"
#include "drvcheck/drvsupport.h"
#include "installdata/heap.h"

namespace {

// Name and data buffers of EnumValue, in bytes.
const DWORD kEnumBufferBytes = 256;

REGSAM OpenMask(REGSAM samDesired)
{
    return samDesired != 0 ? samDesired : KEY_READ;
}

} // namespace

CRegistryKey::CRegistryKey() : m_hKey(NULL), m_fOpen(0), m_samDesired(0)
{
}

CRegistryKey::CRegistryKey(HKEY hRoot, const char* pszSubKey, BOOL fCreate, REGSAM samDesired)
    : m_hKey(NULL), m_fOpen(0), m_samDesired(0)
{
    REGSAM samResolved = DefaultMask(fCreate, samDesired);
    if (fCreate)
        Create(hRoot, pszSubKey, samResolved);
    else
        Open(hRoot, pszSubKey, samResolved);
}

CRegistryKey::~CRegistryKey()
{
    Close();
}

REGSAM CRegistryKey::DefaultMask(BOOL fCreate, REGSAM samDesired)
{
    if (samDesired != 0)
        return samDesired;
    return fCreate ? KEY_ALL_ACCESS : KEY_READ;
}

int CRegistryKey::TakeOpenResult(LONG lResult, HKEY hKey, REGSAM samDesired)
{
    m_fOpen = lResult == ERROR_SUCCESS;
    m_hKey = m_fOpen ? hKey : NULL;
    m_samDesired = samDesired;
    return m_fOpen;
}

int CRegistryKey::TakeCreateResult(LONG lResult, HKEY hKey, DWORD dwDisposition, REGSAM samDesired)
{
    return TakeOpenResult(lResult, hKey, samDesired) && dwDisposition == REG_CREATED_NEW_KEY;
}

int CRegistryKey::Open(HKEY hRoot, const char* pszSubKey, REGSAM samDesired)
{
    Close();
    REGSAM samResolved = OpenMask(samDesired);
    HKEY hKey = NULL;
    LONG lResult = RegOpenKeyExA(hRoot, pszSubKey, 0, samResolved, &hKey);
    return TakeOpenResult(lResult, hKey, samResolved);
}

int CRegistryKey::Create(HKEY hRoot, const char* pszSubKey, REGSAM samDesired)
{
    Close();
    HKEY hKey = NULL;
    DWORD dwDisposition = 0;
    LONG lResult = RegCreateKeyExA(hRoot, pszSubKey, 0, NULL, REG_OPTION_NON_VOLATILE, samDesired, NULL, &hKey,
                                   &dwDisposition);
    return TakeCreateResult(lResult, hKey, dwDisposition, samDesired);
}

void CRegistryKey::Close()
{
    if (m_hKey != NULL) {
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

CDriverRegistryKey::CDriverRegistryKey(HKEY hRoot, const char* pszSubKey, BOOL fCreate, REGSAM samDesired)
{
    REGSAM samResolved = DefaultMask(fCreate, samDesired);
    if (fCreate)
        Create(hRoot, pszSubKey, samResolved);
    else
        Open(hRoot, pszSubKey, samResolved);
}

CDriverRegistryKey::~CDriverRegistryKey()
{
    Close();
}

int CDriverRegistryKey::Open(HKEY hRoot, const char* pszSubKey, REGSAM samDesired)
{
    if (!GetDriverSupportFlag())
        return CRegistryKey::Open(hRoot, pszSubKey, samDesired);
    Close();
    REGSAM samResolved = OpenMask(samDesired);
    HKEY hKey = NULL;
    LONG lResult = AuxRegOpenKeyEx(hRoot, pszSubKey, 0, samResolved, &hKey);
    return TakeOpenResult(lResult, hKey, samResolved);
}

int CDriverRegistryKey::Create(HKEY hRoot, const char* pszSubKey, REGSAM samDesired)
{
    if (!GetDriverSupportFlag())
        return CRegistryKey::Create(hRoot, pszSubKey, samDesired);
    Close();
    HKEY hKey = NULL;
    DWORD dwDisposition = 0;
    LONG lResult = AuxRegCreateKeyEx(hRoot, pszSubKey, 0, NULL, REG_OPTION_NON_VOLATILE, samDesired, NULL, &hKey,
                                     &dwDisposition);
    return TakeCreateResult(lResult, hKey, dwDisposition, samDesired);
}

void CDriverRegistryKey::Close()
{
    if (!GetDriverSupportFlag()) {
        CRegistryKey::Close();
        return;
    }
    if (m_hKey != NULL) {
        AuxRegCloseKey(m_hKey);
        m_hKey = NULL;
    }
    m_fOpen = 0;
}
