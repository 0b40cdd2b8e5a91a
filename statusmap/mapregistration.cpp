// The agent's registration in the shared status map: which map its printer's
// driver names, the duplicate check at start-up, and storing and clearing the
// agent's window, all by the agent's printer or port name.
#include "statusmap/statusmap.h"
#include "app/boundedtext.h"
#include "app/debuglog.h"
#include "installdata/instdatalookup.h"
#include "settings/driversettings.h"

namespace {

const char kDriverKeyFormat[] = "Software\\NOVRA\\KIV3\\Driver\\%s";

} // namespace

int GetMapFileNameFromDriver(const char* pszPrinterName, char* pszBuffer, int cchBuffer)
{
    if (pszPrinterName == NULL || pszPrinterName[0] == '\0' || pszBuffer == NULL || cchBuffer <= 0)
        return 0;
    char szDriver[MAX_PATH];
    if (!GetPrinterDriverName(pszPrinterName, szDriver, MAX_PATH))
        return 0;
    char szKeyPath[MAX_PATH];
    if (StringCchPrintfA(szKeyPath, MAX_PATH, kDriverKeyFormat, szDriver) != S_OK)
        szKeyPath[0] = '\0';
    CInstDataLookup lookup;
    CStr mapName = lookup.GetValueForPrinter(pszPrinterName, szKeyPath, "MapFileName");
    if (mapName.IsEmpty())
        return 0;
    return StringCchCopyA(pszBuffer, static_cast<size_t>(cchBuffer), mapName.c_str()) == S_OK ? 1 : 0;
}

int GetMapFileName(const char* pszKey, char* pszBuffer, int cchBuffer)
{
    if (pszBuffer == NULL || cchBuffer <= 0)
        return 0;
    if (GetMapFileNameFromDriver(pszKey, pszBuffer, cchBuffer))
        return lstrlenA(pszBuffer);
    if (StringCchCopyA(pszBuffer, static_cast<size_t>(cchBuffer), DEFAULT_MAP_FILE_NAME) != S_OK) {
        pszBuffer[0] = '\0';
        return 0;
    }
    return lstrlenA(pszBuffer);
}

int MultiExecuteCheck(const char* pszPrinterName, const char* pszPortName, int nAppSel, DWORD dwValue,
                      DWORD* pdwWindow, HANDLE* phMap)
{
    LogText("enter : MultiExecuteCheck");
    if (pdwWindow == NULL || phMap == NULL)
        return MAP_CHECK_ERROR;
    *pdwWindow = 0;
    const char* pszKey = MapKeyOf(pszPrinterName, pszPortName);
    char szMapName[MAX_PATH];
    if (GetMapFileName(pszKey, szMapName, MAX_PATH) == 0)
        return MAP_CHECK_ERROR;
    HANDLE hMap = CreateMapFile(szMapName);
    // A map that cannot be created leaves the agent running unregistered.
    int nResult = hMap != NULL ? CheckMapPrinter(hMap, pszKey, nAppSel, dwValue, pdwWindow) : MAP_CHECK_REGISTERED;
    *phMap = hMap;
    LogText("exit  : MultiExecuteCheck");
    return nResult;
}

int SethWindow(const char* pszPrinterName, const char* pszPortName, DWORD dwWindow, int nAppSel)
{
    char szMapName[MAX_PATH];
    if (GetMapFileName(MapKeyOf(pszPrinterName, pszPortName), szMapName, MAX_PATH) == 0)
        return -1;
    return SethWindowSub(pszPrinterName, pszPortName, dwWindow, nAppSel, szMapName);
}

void ClearWindow(HANDLE hMap, const char* pszPrinterName, const char* pszPortName, int nAppSel)
{
    ClearWindowSub(hMap, MapKeyOf(pszPrinterName, pszPortName), nAppSel);
}
