// Monitored-printer targets below HKEY_CURRENT_USER. Several agents and the
// status-monitor program work on these keys at once without a lock: a number
// counts as taken the moment its key exists, and a sweep only removes what it
// can prove stale.
#include "settings/targets.h"
#include "app/boundedtext.h"
#include "installdata/heap.h"
#include "settings/driversettings.h"
#include "settings/printeropen.h"
#include "app/handles.h"
#include <string.h>
#include <winspool.h>

namespace {

const char* TextOrEmpty(const char* psz)
{
    return psz != NULL ? psz : "";
}

const char* BaseKeyOf(int fNetwork)
{
    return fNetwork ? NETWORK_TARGET_BASE : LOCAL_TARGET_BASE;
}

// The subkey at an index; false at the end of the enumeration.
bool EnumSubkey(HKEY hKey, DWORD dwIndex, char* pszName)
{
    DWORD cchName = MAX_PATH;
    pszName[0] = '\0';
    return RegEnumKeyExA(hKey, dwIndex, pszName, &cchName, NULL, NULL, NULL, NULL) == ERROR_SUCCESS &&
           pszName[0] != '\0';
}

HRESULT JoinKeyPath(char* pszPath, int cchPath, const char* pszParent, const char* pszChild)
{
    if (pszPath == NULL || cchPath <= 0)
        return STRSAFE_E_INVALID_PARAMETER;
    return StringCchPrintfA(pszPath, static_cast<size_t>(cchPath), "%s\\%s", pszParent, pszChild);
}

enum TargetName {
    NAME_KEY_NOT_OPENED,
    NAME_NOT_READ,
    NAME_READ,
};

// Reads a target's "Name" into pszName (MAX_PATH + 1 characters). The value
// belongs to whoever wrote the key, so it is read one character short of the
// buffer: a name stored without its terminator still ends inside it.
TargetName ReadTargetName(HKEY hBase, const char* pszSubkey, REGSAM samDesired, char* pszName)
{
    memset(pszName, 0, MAX_PATH + 1);
    CKeyHandle target;
    if (RegOpenKeyExA(hBase, pszSubkey, 0, samDesired, target.Receive()) != ERROR_SUCCESS)
        return NAME_KEY_NOT_OPENED;
    DWORD cbName = MAX_PATH;
    LONG lResult = RegQueryValueExA(target.Get(), TARGET_VALUE_NAME, NULL, NULL, reinterpret_cast<BYTE*>(pszName),
                                    &cbName);
    return lResult == ERROR_SUCCESS ? NAME_READ : NAME_NOT_READ;
}

LONG SetDword(HKEY hKey, const char* pszName, DWORD dwValue)
{
    return RegSetValueExA(hKey, pszName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dwValue), sizeof(dwValue));
}

// Fills a target key that was just created; the CreateTarget result.
int FillNewTarget(HKEY hTarget, const char* pszName, const char* pszTargetPath, char* pszPath, int cchPath)
{
    DWORD cbName = static_cast<DWORD>(lstrlenA(pszName)) + 1;
    if (RegSetValueExA(hTarget, TARGET_VALUE_NAME, 0, REG_SZ, reinterpret_cast<const BYTE*>(pszName), cbName) !=
        ERROR_SUCCESS)
        return 2;
    if (pszPath == NULL || cchPath <= 0 ||
        StringCchCopyA(pszPath, static_cast<size_t>(cchPath), pszTargetPath) != S_OK)
        return 5;
    SetDword(hTarget, TARGET_VALUE_SETTING, TARGET_SETTING_LIVE);
    SetDword(hTarget, TARGET_VALUE_TIMER, TARGET_TIMER_DEFAULT);
    DWORD dwSetting = 0xFFFFFFFF;
    DWORD cbSetting = sizeof(dwSetting);
    if (RegQueryValueExA(hTarget, TARGET_VALUE_SETTING, NULL, NULL, reinterpret_cast<BYTE*>(&dwSetting),
                         &cbSetting) != ERROR_SUCCESS)
        return 1;
    return dwSetting == TARGET_SETTING_LIVE ? 0 : 1;
}

// Deletes a key's values; one that cannot be deleted is passed over.
void DeleteValues(HKEY hKey)
{
    DWORD dwIndex = 0;
    for (;;) {
        char szName[MAX_PATH];
        DWORD cchName = MAX_PATH;
        LONG lResult = RegEnumValueA(hKey, dwIndex, szName, &cchName, NULL, NULL, NULL, NULL);
        if (lResult == ERROR_MORE_DATA) {
            ++dwIndex;
            continue;
        }
        if (lResult != ERROR_SUCCESS)
            return;
        if (RegDeleteValueA(hKey, szName) != ERROR_SUCCESS)
            ++dwIndex;
    }
}

// True when the spooler's record of an open printer can be read and lacks its
// driver or print processor.
bool IsPrinterRecordBroken(HANDLE hPrinter)
{
    DWORD cbNeeded = 0;
    GetPrinterA(hPrinter, 2, NULL, 0, &cbNeeded);
    if (cbNeeded == 0)
        return false;
    PRINTER_INFO_2A* pInfo = static_cast<PRINTER_INFO_2A*>(HeapAllocZeroed(cbNeeded));
    if (pInfo == NULL)
        return false;
    bool fBroken = false;
    if (GetPrinterA(hPrinter, 2, reinterpret_cast<BYTE*>(pInfo), cbNeeded, &cbNeeded))
        fBroken = pInfo->pDriverName == NULL || pInfo->pDriverName[0] == '\0' || pInfo->pPrintProcessor == NULL ||
                  pInfo->pPrintProcessor[0] == '\0';
    HeapFreeChecked(pInfo);
    return fBroken;
}

// A printer counts as gone only when the spooler says it does not exist; a
// spooler that cannot answer now removes nobody's settings.
bool IsPrinterGone(const char* pszPrinterName)
{
    HANDLE hPrinter = NULL;
    if (!QZ_OpenPrinter(pszPrinterName, &hPrinter, NULL))
        return PresenceFromOpenError(GetLastError()) == PRINTER_GONE;
    bool fGone = IsPrinterRecordBroken(hPrinter);
    ClosePrinter(hPrinter);
    return fGone;
}

bool IsStaleLocalTarget(HKEY hBase, const char* pszSubkey)
{
    char szName[MAX_PATH + 1];
    TargetName result = ReadTargetName(hBase, pszSubkey, KEY_ALL_ACCESS, szName);
    if (result == NAME_KEY_NOT_OPENED)
        return false;
    return result == NAME_NOT_READ || szName[0] == '\0' || IsPrinterGone(szName);
}

bool IsStaleNetworkTarget(HKEY hBase, const char* pszSubkey)
{
    char szName[MAX_PATH + 1];
    TargetName result = ReadTargetName(hBase, pszSubkey, KEY_ALL_ACCESS, szName);
    return result != NAME_KEY_NOT_OPENED && (result == NAME_NOT_READ || szName[0] == '\0');
}

// Removes the stale targets of one base key. After a removal the same index
// is looked at again, since the later keys moved down by one; a key that
// could not be removed is passed over.
void SweepBaseKey(HKEY hBase, const char* pszBase, bool (*pfnIsStale)(HKEY, const char*),
                  int (*pfnRemove)(const char*))
{
    DWORD dwIndex = 0;
    char szSubkey[MAX_PATH];
    while (EnumSubkey(hBase, dwIndex, szSubkey)) {
        char szPath[MAX_PATH];
        if (pfnIsStale(hBase, szSubkey) && JoinKeyPath(szPath, MAX_PATH, pszBase, szSubkey) == S_OK) {
            pfnRemove(szPath);
            CKeyHandle survivor;
            if (RegOpenKeyExA(hBase, szSubkey, 0, KEY_READ, survivor.Receive()) != ERROR_SUCCESS)
                continue;
        }
        ++dwIndex;
    }
}

} // namespace

int FindTarget(const char* pszName, int fNetwork, char* pszPath, int cchPath)
{
    const char* pszBase = BaseKeyOf(fNetwork);
    CKeyHandle base;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, pszBase, 0, KEY_READ, base.Receive()) != ERROR_SUCCESS)
        return 4;
    char szSubkey[MAX_PATH];
    for (DWORD dwIndex = 0; EnumSubkey(base.Get(), dwIndex, szSubkey); ++dwIndex) {
        char szName[MAX_PATH + 1];
        if (ReadTargetName(base.Get(), szSubkey, KEY_READ, szName) != NAME_READ ||
            lstrcmpiA(szName, TextOrEmpty(pszName)) != 0)
            continue;
        return JoinKeyPath(pszPath, cchPath, pszBase, szSubkey) == S_OK ? 0 : 1;
    }
    return 1;
}

int CreateTarget(const char* pszName, int fNetwork, char* pszPath, int cchPath)
{
    const char* pszBase = BaseKeyOf(fNetwork);
    CKeyHandle base;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, pszBase, 0, const_cast<char*>(""), REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, NULL, base.Receive(), NULL) != ERROR_SUCCESS)
        return 4;
    for (int nNumber = 0; nNumber < 2147483647; ++nNumber) {
        char szTargetPath[MAX_PATH];
        if (StringCchPrintfA(szTargetPath, MAX_PATH, "%s\\P%016d", pszBase, nNumber) != S_OK)
            return 6;
        CKeyHandle target;
        DWORD dwDisposition = 0;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, szTargetPath, 0, const_cast<char*>(""), REG_OPTION_NON_VOLATILE,
                            KEY_ALL_ACCESS, NULL, target.Receive(), &dwDisposition) != ERROR_SUCCESS)
            return 3;
        if (dwDisposition == REG_CREATED_NEW_KEY)
            return FillNewTarget(target.Get(), TextOrEmpty(pszName), szTargetPath, pszPath, cchPath);
    }
    return 1;
}

int DeleteKeyTree(const char* pszKeyPath)
{
    CKeyHandle key;
    if (pszKeyPath == NULL ||
        RegOpenKeyExA(HKEY_CURRENT_USER, pszKeyPath, 0, KEY_ALL_ACCESS, key.Receive()) != ERROR_SUCCESS)
        return -1;
    char szPrevious[MAX_PATH] = "";
    char szSubkey[MAX_PATH];
    while (EnumSubkey(key.Get(), 0, szSubkey)) {
        // A child that is still first after its deletion cannot be deleted:
        // stop instead of trying it for ever.
        if (lstrcmpiA(szSubkey, szPrevious) == 0)
            return -1;
        char szChild[MAX_PATH];
        if (JoinKeyPath(szChild, MAX_PATH, pszKeyPath, szSubkey) != S_OK || DeleteKeyTree(szChild) != 0)
            return -1;
        StringCchCopyA(szPrevious, MAX_PATH, szSubkey);
    }
    DeleteValues(key.Get());
    RegDeleteKeyA(HKEY_CURRENT_USER, pszKeyPath);
    return 0;
}

int MarkTargetRemoved(const char* pszKeyPath)
{
    {
        CKeyHandle target;
        if (pszKeyPath == NULL ||
            RegOpenKeyExA(HKEY_CURRENT_USER, pszKeyPath, 0, KEY_ALL_ACCESS, target.Receive()) != ERROR_SUCCESS)
            return -1;
        SetDword(target.Get(), TARGET_VALUE_SETTING, TARGET_SETTING_REMOVED);
    }
    DeleteKeyTree(pszKeyPath);
    return 0;
}

int SweepStaleTargets()
{
    {
        CKeyHandle local;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, LOCAL_TARGET_BASE, 0, KEY_ALL_ACCESS, local.Receive()) != ERROR_SUCCESS)
            return -1;
        SweepBaseKey(local.Get(), LOCAL_TARGET_BASE, IsStaleLocalTarget, MarkTargetRemoved);
    }
    CKeyHandle network;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, NETWORK_TARGET_BASE, 0, KEY_ALL_ACCESS, network.Receive()) != ERROR_SUCCESS)
        return -1;
    SweepBaseKey(network.Get(), NETWORK_TARGET_BASE, IsStaleNetworkTarget, DeleteKeyTree);
    return 0;
}

int CreateTargetWithDefaults(const char* pszPrinterName, const char* pszPortName, const char* pszModelID,
                             int fNetwork, char* pszPath, int cchPath)
{
    const char* pszPrinter = TextOrEmpty(pszPrinterName);
    const char* pszPort = TextOrEmpty(pszPortName);
    const char* pszModel = TextOrEmpty(pszModelID);
    SweepStaleTargets();
    if (CreateTarget(fNetwork == 1 ? pszPort : pszPrinter, fNetwork == 1, pszPath, cchPath) != 0)
        return 1;
    char szDriver[MAX_PATH];
    if (!GetPrinterDriverName(pszPrinter, szDriver, MAX_PATH))
        szDriver[0] = '\0';
    char szDllPath[MAX_PATH];
    if (!GetPrnDllPath(szDllPath, MAX_PATH, szDriver, pszModel, pszPrinter))
        szDllPath[0] = '\0';
    CLibraryHandle dll(szDllPath);
    if (dll.Get() == NULL)
        return 4;
    PrSetRegDefaultValueProc pfnDefaults = reinterpret_cast<PrSetRegDefaultValueProc>(
        reinterpret_cast<void*>(GetProcAddress(dll.Get(), "PrSetRegDefaultValue")));
    if (pfnDefaults == NULL)
        return 5;
    return pfnDefaults(pszPrinter, szDriver, pszPort, pszModel, NULL, NULL, NULL);
}

int OpenOrCreateTarget(const char* pszPrinterName, const char* pszPortName, const char* pszModelID,
                       int* pfNetwork, char* pszPath, int cchPath, int* pfCreated)
{
    int fNetwork = TextOrEmpty(pszPrinterName)[0] == '\0' && TextOrEmpty(pszPortName)[0] != '\0';
    const char* pszName = fNetwork ? pszPortName : TextOrEmpty(pszPrinterName);
    if (pfNetwork != NULL)
        *pfNetwork = fNetwork;
    if (FindTarget(pszName, fNetwork, pszPath, cchPath) == 0)
        return 0;
    int nResult = CreateTargetWithDefaults(pszPrinterName, pszPortName, pszModelID, fNetwork, pszPath, cchPath);
    if (pfCreated != NULL)
        *pfCreated = nResult == 0;
    return nResult;
}
