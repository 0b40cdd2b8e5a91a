// The driver's values and files, read from the driver's installation data and
// profile file on every call, and the printer helpers that several parts share.
#include "settings/driversettings.h"
#include "app/boundedtext.h"
#include "installdata/heap.h"
#include "installdata/instdatalookup.h"
#include "settings/langres.h"
#include "settings/printeropen.h"
#include <string.h>

namespace {

const int kPathSize = MAX_PATH;
const char kDriverKeyFormat[] = "Software\\NOVRA\\KIV3\\Driver\\%s";
const char kProfileKeyPath[] = "Software\\NOVRA\\KIV3\\Profile";
// Without an installation directory, DLLs are taken from the current directory
// explicitly, never left to the DLL search order.
const char kCurrentDirectory[] = ".\\";
// A profile value of exactly this length counts as absent: it is the length a
// 260-character read reports for a value that it had to cut.
const DWORD kCutProfileValueLength = kPathSize - 2;

bool IsEmpty(const char* psz)
{
    return psz == NULL || psz[0] == '\0';
}

// Null reads as empty, so that no text becomes a string-resource id on its way into a CStr.
const char* OrEmpty(const char* psz)
{
    return psz != NULL ? psz : "";
}

bool FormatDriverKey(char* pszKey, const char* pszDriverName)
{
    return SUCCEEDED(StringCchPrintfA(pszKey, kPathSize, kDriverKeyFormat, OrEmpty(pszDriverName)));
}

// The installation-data value, for the printer when one is named, else for the driver.
CStr LookupValue(const char* pszPrinterName, const char* pszDriverName, const char* pszKeyPath,
                 const char* pszValueName)
{
    CInstDataLookup lookup;
    if (!IsEmpty(pszPrinterName))
        return lookup.GetValueForPrinter(pszPrinterName, pszKeyPath, OrEmpty(pszValueName));
    return lookup.GetValueForDriver(OrEmpty(pszDriverName), pszKeyPath, OrEmpty(pszValueName));
}

// Copies the text; on failure the buffer is left empty, as for a missing value.
int CopyOrEmpty(char* pszBuffer, int cchSize, const char* pszText)
{
    if (SUCCEEDED(StringCchCopyA(pszBuffer, cchSize, pszText)))
        return 1;
    StringCchCopyA(pszBuffer, cchSize, "");
    return 0;
}

int ClearBuffer(char* pszBuffer, int cchSize)
{
    return pszBuffer != NULL && cchSize > 0 && SUCCEEDED(StringCchCopyA(pszBuffer, cchSize, ""));
}

// The driver value names an existing file.
int GetExistingDriverFile(char* pszBuffer, int cchSize, const char* pszValueName, const char* pszDriverName,
                          const char* pszModelID, const char* pszPrinterName)
{
    return GetDriverSetting(pszBuffer, cchSize, pszValueName, pszDriverName, pszModelID, pszPrinterName) &&
           pszBuffer[0] != '\0' && FileExists(pszBuffer);
}

// The DLL's file name joined to the installation directory, or to the current directory without one.
int JoinToInstallDir(char* pszBuffer, int cchSize, const char* pszFileName, const char* pszDriverName,
                     const char* pszModelID, const char* pszPrinterName)
{
    char szDir[kPathSize] = {0};
    if (!GetInstallPath(szDir, kPathSize, pszDriverName, pszModelID, pszPrinterName))
        StringCchCopyA(szDir, kPathSize, kCurrentDirectory);
    return SUCCEEDED(StringCchPrintfA(pszBuffer, cchSize, "%s%s", szDir, pszFileName));
}

// Reads the file name of a DLL that the profile file names into a buffer of
// kPathSize characters; 1 when there is one.
typedef int (*PFN_ReadDllName)(char* pszName, const char* pszKey, const char* pszModelID, const char* pszProfile);

// Key of the model's section. A value of the cut length counts as absent.
int ReadModelDllName(char* pszName, const char* pszKey, const char* pszModelID, const char* pszProfile)
{
    DWORD cchName = GetPrivateProfileStringA(pszModelID, pszKey, "", pszName, kPathSize, pszProfile);
    return cchName != 0 && cchName != kCutProfileValueLength;
}

// Key of the language section chosen for the user.
int ReadLanguageDllName(char* pszName, const char* pszKey, const char*, const char* pszProfile)
{
    DWORD cchName = kPathSize;
    return ReadLanguageValue(pszKey, pszName, &cchName, pszProfile) == 0;
}

// The path of a DLL that the profile file names, joined to the installation directory.
int GetProfileDllPath(char* pszBuffer, int cchSize, PFN_ReadDllName pfnReadName, const char* pszKey,
                      const char* pszDriverName, const char* pszModelID, const char* pszPrinterName)
{
    if (!ClearBuffer(pszBuffer, cchSize))
        return 0;
    char szProfile[kPathSize] = {0};
    if (!GetProfilePath(szProfile, kPathSize, pszDriverName, pszModelID, pszPrinterName))
        return 0;
    char szFileName[kPathSize] = {0};
    if (!pfnReadName(szFileName, pszKey, pszModelID, szProfile))
        return 0;
    return JoinToInstallDir(pszBuffer, cchSize, szFileName, pszDriverName, pszModelID, pszPrinterName);
}

// Level-2 information of an open printer, in a block owned by this object.
class CPrinterInfo2 {
public:
    CPrinterInfo2() : m_pInfo(NULL) {}
    ~CPrinterInfo2() { HeapFreeChecked(m_pInfo); }
    CPrinterInfo2(const CPrinterInfo2&) = delete;
    CPrinterInfo2& operator=(const CPrinterInfo2&) = delete;

    bool Read(HANDLE hPrinter)
    {
        DWORD cbNeeded = 0;
        GetPrinterA(hPrinter, 2, NULL, 0, &cbNeeded);
        if (cbNeeded == 0)
            return false;
        m_pInfo = static_cast<PRINTER_INFO_2A*>(HeapAllocZeroed(cbNeeded));
        return m_pInfo != NULL && GetPrinterA(hPrinter, 2, reinterpret_cast<BYTE*>(m_pInfo), cbNeeded, &cbNeeded);
    }
    const PRINTER_INFO_2A* Get() const { return m_pInfo; }

private:
    PRINTER_INFO_2A* m_pInfo;
};

const int kDriverCopied = 1;
const int kPortCopied = 2;

// A name cut to fit would pass for another printer's driver or port: it is left out.
int CopyName(char* pszBuffer, int cchSize, const char* pszName)
{
    return pszBuffer != NULL && pszName != NULL && CopyOrEmpty(pszBuffer, cchSize, pszName);
}

// Copies the printer's driver and port names into the buffers given (either may be null);
// kDriverCopied and kPortCopied for the copies that succeeded.
int CopyPrinterNames(const char* pszPrinterName, char* pszDriver, int cchDriver, char* pszPort, int cchPort)
{
    if (IsEmpty(pszPrinterName))
        return 0;
    COpenedPrinter printer;
    if (!printer.Open(pszPrinterName))
        return 0;
    CPrinterInfo2 info;
    if (!info.Read(printer.Get()))
        return 0;
    int nCopied = 0;
    if (CopyName(pszDriver, cchDriver, info.Get()->pDriverName))
        nCopied |= kDriverCopied;
    if (CopyName(pszPort, cchPort, info.Get()->pPortName))
        nCopied |= kPortCopied;
    return nCopied;
}

bool HasWildcard(const char* pszPath)
{
    return strpbrk(pszPath, "*?") != NULL;
}

} // namespace

int GetDriverSetting(char* pszBuffer, int cchSize, const char* pszValueName, const char* pszDriverName,
                     const char* pszModelID, const char* pszPrinterName)
{
    if (!ClearBuffer(pszBuffer, cchSize))
        return 0;
    if (IsEmpty(pszDriverName) || IsEmpty(pszModelID))
        return 0;
    char szKey[kPathSize] = {0};
    if (!FormatDriverKey(szKey, pszDriverName))
        return 0;
    CStr value = LookupValue(pszPrinterName, pszDriverName, szKey, pszValueName);
    if (value.IsEmpty())
        return 0;
    return CopyOrEmpty(pszBuffer, cchSize, value.c_str());
}

int GetInstallPath(char* pszBuffer, int cchSize, const char* pszDriverName, const char* pszModelID,
                   const char* pszPrinterName)
{
    if (!ClearBuffer(pszBuffer, cchSize))
        return 0;
    char szDir[kPathSize] = {0};
    if (!GetDriverSetting(szDir, kPathSize, "InstallPath", pszDriverName, pszModelID, pszPrinterName))
        return 0;
    size_t cchDir = strlen(szDir);
    if (szDir[cchDir - 1] == '\\' && CharPrevA(szDir, szDir + cchDir) == szDir + cchDir - 1)
        szDir[cchDir - 1] = '\0';
    if (!FileExists(szDir))
        return 0;
    if (FAILED(StringCchCatA(szDir, kPathSize, "\\")))
        return 0;
    return CopyOrEmpty(pszBuffer, cchSize, szDir);
}

int GetDriverFilePath(char* pszBuffer, int cchSize, const char* pszValueName, const char* pszDefaultFile,
                      const char* pszDriverName, const char* pszModelID, const char* pszPrinterName)
{
    char szKey[kPathSize] = {0};
    if (!ClearBuffer(pszBuffer, cchSize) || !FormatDriverKey(szKey, pszDriverName))
        return 0;
    if (GetExistingDriverFile(pszBuffer, cchSize, pszValueName, pszDriverName, pszModelID, pszPrinterName))
        return 1;
    char szDir[kPathSize] = {0};
    if (IsEmpty(pszDefaultFile) || !GetInstallPath(szDir, kPathSize, pszDriverName, pszModelID, pszPrinterName))
        return 0;
    // The directory ends with a backslash already; the doubled one reads as one.
    if (FAILED(StringCchPrintfA(pszBuffer, cchSize, "%s\\%s", szDir, pszDefaultFile)))
        return 0;
    return FileExists(pszBuffer);
}

int GetProfilePath(char* pszBuffer, int cchSize, const char* pszDriverName, const char* pszModelID,
                   const char* pszPrinterName)
{
    if (!ClearBuffer(pszBuffer, cchSize))
        return 0;
    if (IsEmpty(pszDriverName) || IsEmpty(pszModelID))
        return 0;
    if (GetExistingDriverFile(pszBuffer, cchSize, "Profile", pszDriverName, pszModelID, pszPrinterName))
        return 1;
    StringCchCopyA(pszBuffer, cchSize, "");
    CStr profile = LookupValue(pszPrinterName, pszDriverName, kProfileKeyPath, pszModelID);
    if (profile.IsEmpty())
        return 0;
    return CopyOrEmpty(pszBuffer, cchSize, profile.c_str());
}

int GetPrnDllPath(char* pszBuffer, int cchSize, const char* pszDriverName, const char* pszModelID,
                  const char* pszPrinterName)
{
    return GetProfileDllPath(pszBuffer, cchSize, ReadModelDllName, "PrnDll", pszDriverName, pszModelID,
                             pszPrinterName);
}

int GetBmpDllPath(char* pszBuffer, int cchSize, const char* pszDriverName, const char* pszModelID,
                  const char* pszPrinterName)
{
    return GetProfileDllPath(pszBuffer, cchSize, ReadModelDllName, "BmpDll", pszDriverName, pszModelID,
                             pszPrinterName);
}

int GetResDllPath(char* pszBuffer, int cchSize, const char* pszDriverName, const char* pszModelID,
                  const char* pszPrinterName)
{
    return GetProfileDllPath(pszBuffer, cchSize, ReadLanguageDllName, "ResDll", pszDriverName, pszModelID,
                             pszPrinterName);
}

int GetStatusMonitorPath(char* pszBuffer, int cchSize, const char* pszDriverName, const char* pszModelID,
                         const char* pszPrinterName)
{
    return GetDriverFilePath(pszBuffer, cchSize, "Q_SRUN", "Q_S20RN1.EXE", pszDriverName, pszModelID,
                             pszPrinterName);
}

int LookupModelId(const char* pszPrinterName, const char* pszDriverName, CStr& result)
{
    result.Empty();
    char szKey[kPathSize] = {0};
    if (!FormatDriverKey(szKey, pszDriverName))
        return 1;
    CInstDataLookup lookup;
    result = lookup.GetValueForPrinter(OrEmpty(pszPrinterName), szKey, "ModelID");
    return 1;
}

int GetPrinterDriverName(const char* pszPrinterName, char* pszBuffer, int cchSize)
{
    if (!ClearBuffer(pszBuffer, cchSize))
        return 0;
    return (CopyPrinterNames(pszPrinterName, pszBuffer, cchSize, NULL, 0) & kDriverCopied) != 0;
}

int GetPrinterDriverAndPort(const char* pszPrinterName, char* pszDriver, int cchDriver, char* pszPort,
                            int cchPort)
{
    ClearBuffer(pszDriver, cchDriver);
    ClearBuffer(pszPort, cchPort);
    return CopyPrinterNames(pszPrinterName, pszDriver, cchDriver, pszPort, cchPort) != 0;
}

int IsKivSettingOn(const char* pszPrinterName)
{
    if (IsEmpty(pszPrinterName))
        return 0;
    COpenedPrinter printer;
    if (!printer.Open(pszPrinterName))
        return PresenceFromOpenError(GetLastError()) == PRINTER_GONE;
    DWORD dwSetting = 0;
    DWORD cbNeeded = 0;
    DWORD dwResult = GetPrinterDataA(printer.Get(), const_cast<char*>("KIVSetting"), NULL,
                                     reinterpret_cast<BYTE*>(&dwSetting), sizeof(dwSetting), &cbNeeded);
    return dwResult == ERROR_SUCCESS && dwSetting == 1;
}

int FileExists(const char* pszPath)
{
    // A wildcard would match whatever stands in the folder; no file bears such a name.
    if (IsEmpty(pszPath) || HasWildcard(pszPath))
        return 0;
    WIN32_FIND_DATAA findData;
    HANDLE hFind = FindFirstFileA(pszPath, &findData);
    if (hFind == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(hFind);
    return 1;
}
