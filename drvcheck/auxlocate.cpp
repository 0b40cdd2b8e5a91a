// Where the driver's auxiliary library is looked for: beside the driver's main file,
// under the name that the driver's data file gives.
#include "drvcheck/drvsupport.h"
#include "app/str.h"
#include "drvcheck/heaptext.h"
#include "installdata/driverfiles.h"
#include "installdata/heap.h"

namespace {

const char kDataFileSection[] = "User Mode Printer Driver Information";
const char kLibraryNameKey[] = "QZAUDF01";
const int kLibraryNameChars = 64;

// The driver's main file path and data file path as the spooler reports them.
struct CDriverPaths {
    CStr strDriverPath;
    CStr strDataFile;
};

void TakePaths(const char* pszDriverPath, const char* pszDataFile, CDriverPaths* pPaths)
{
    pPaths->strDriverPath = pszDriverPath;
    pPaths->strDataFile = pszDataFile;
}

void FindPrinterDriverPaths(const char* pszPrinterName, CDriverPaths* pPaths)
{
    CPrinterHandle printer;
    HANDLE hPrinter = NULL;
    if (!printer.Open(pszPrinterName, &hPrinter))
        return;
    DWORD cbNeeded = 0;
    GetPrinterDriverA(hPrinter, NULL, 3, NULL, 0, &cbNeeded);
    BYTE* pInfo = static_cast<BYTE*>(HeapAllocZeroed(cbNeeded));
    if (pInfo != NULL && GetPrinterDriverA(hPrinter, NULL, 3, pInfo, cbNeeded, &cbNeeded)) {
        const DRIVER_INFO_3A* pDriver = reinterpret_cast<const DRIVER_INFO_3A*>(pInfo);
        TakePaths(pDriver->pDriverPath, pDriver->pDataFile, pPaths);
    }
    HeapFreeChecked(pInfo);
}

void FindInstalledDriverPaths(const char* pszDriverName, CDriverPaths* pPaths)
{
    DWORD cbNeeded = 0;
    DWORD nDrivers = 0;
    EnumPrinterDriversA(NULL, NULL, 2, NULL, 0, &cbNeeded, &nDrivers);
    BYTE* pInfo = static_cast<BYTE*>(HeapAllocZeroed(cbNeeded));
    if (pInfo != NULL && EnumPrinterDriversA(NULL, NULL, 2, pInfo, cbNeeded, &cbNeeded, &nDrivers)) {
        const DRIVER_INFO_2A* pDrivers = reinterpret_cast<const DRIVER_INFO_2A*>(pInfo);
        for (DWORD i = 0; i < nDrivers; ++i) {
            if (pDrivers[i].pName != NULL && lstrcmpiA(pDrivers[i].pName, pszDriverName) == 0) {
                TakePaths(pDrivers[i].pDriverPath, pDrivers[i].pDataFile, pPaths);
                break;
            }
        }
    }
    HeapFreeChecked(pInfo);
}

// The driver path before its last backslash; empty when it has none.
CStr DirectoryOf(const CStr& strPath)
{
    int nSlash = strPath.ReverseFind('\\');
    return nSlash < 0 ? CStr() : strPath.Left(nSlash);
}

} // namespace

char* LocateAuxLibraryForFiles(const char* pszDriverPath, const char* pszDataFile)
{
    CStr strDirectory = DirectoryOf(CStr(pszDriverPath));
    CStr strDataFile(pszDataFile);
    if (!strDataFile.IsEmpty() && strDataFile.Find('\\') < 0 && !strDirectory.IsEmpty())
        strDataFile = strDirectory + "\\" + strDataFile;
    char szLibraryName[kLibraryNameChars] = {0};
    if (!strDataFile.IsEmpty())
        GetPrivateProfileStringA(kDataFileSection, kLibraryNameKey, "", szLibraryName, kLibraryNameChars,
                                 strDataFile.c_str());
    const char* pszLibraryName = szLibraryName[0] != '\0' ? szLibraryName : AUX_DEFAULT_LIBRARY;
    return HeapTextJoinPath(strDirectory.c_str(), pszLibraryName);
}

char* LocateAuxLibrary(int nKind, const char* pszName)
{
    if (pszName == NULL || pszName[0] == '\0')
        return NULL;
    CDriverPaths paths;
    switch (nKind) {
    case AUX_KIND_PRINTER:
        FindPrinterDriverPaths(pszName, &paths);
        break;
    case AUX_KIND_DRIVER:
        FindInstalledDriverPaths(pszName, &paths);
        break;
    case AUX_KIND_DATAFILE:
        return LocateAuxLibraryForFiles(pszName, pszName);
    case AUX_KIND_LIBRARY:
        return HeapTextCopy(pszName);
    default:
        return NULL;
    }
    return LocateAuxLibraryForFiles(paths.strDriverPath.c_str(), paths.strDataFile.c_str());
}
