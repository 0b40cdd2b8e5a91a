// Opening printers by name, with the wide fallback of the NT family, and the
// one place that decides whether a failed open means that a printer is gone.
#include "settings/printeropen.h"
#include "installdata/heap.h"
#include "installdata/osversion.h"

PFN_OpenPrinterA g_pfnOpenPrinterA = OpenPrinterA;
PFN_OpenPrinterW g_pfnOpenPrinterW = OpenPrinterW;

namespace {

// The name as a wide string in a block of its length + 1 characters (free it
// with HeapFreeChecked); null when a character has no translation in the
// system code page or nothing came out.
WCHAR* WidePrinterName(const char* pszPrinterName)
{
    int cchName = lstrlenA(pszPrinterName);
    WCHAR* pszWide = static_cast<WCHAR*>(HeapAllocZeroed((static_cast<SIZE_T>(cchName) + 1) * sizeof(WCHAR)));
    if (pszWide == NULL)
        return NULL;
    if (MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED | MB_ERR_INVALID_CHARS, pszPrinterName, cchName, pszWide,
                            cchName + 1) == 0) {
        HeapFreeChecked(pszWide);
        return NULL;
    }
    return pszWide;
}

} // namespace

BOOL QZ_OpenPrinter(const char* pszPrinterName, HANDLE* phPrinter, PRINTER_DEFAULTSA* pDefaults)
{
    BOOL fResult = g_pfnOpenPrinterA(const_cast<char*>(pszPrinterName), phPrinter, pDefaults);
    if (fResult && phPrinter != NULL && *phPrinter != NULL)
        return fResult;
    // Whatever is tried next, a caller that gets the first answer also gets its reason.
    const DWORD dwFirstError = GetLastError();
    WCHAR* pszWide = (pszPrinterName != NULL && IsNtPlatform()) ? WidePrinterName(pszPrinterName) : NULL;
    if (pszWide == NULL) {
        SetLastError(dwFirstError);
        return fResult;
    }
    PRINTER_DEFAULTSW wideDefaults = {NULL, NULL, pDefaults != NULL ? pDefaults->DesiredAccess : 0};
    BOOL fWideResult = g_pfnOpenPrinterW(pszWide, phPrinter, pDefaults != NULL ? &wideDefaults : NULL);
    const DWORD dwWideError = GetLastError();
    HeapFreeChecked(pszWide);
    SetLastError(dwWideError);
    return fWideResult;
}

PrinterPresence PresenceFromOpenError(DWORD dwError)
{
    return dwError == ERROR_INVALID_PRINTER_NAME ? PRINTER_GONE : PRINTER_UNKNOWN;
}

PrinterPresence QueryPrinterPresence(const char* pszPrinterName)
{
    if (pszPrinterName == NULL || pszPrinterName[0] == '\0')
        return PRINTER_GONE;
    COpenedPrinter printer;
    if (!printer.Open(pszPrinterName))
        return PresenceFromOpenError(GetLastError());
    return PRINTER_PRESENT;
}

BOOL COpenedPrinter::Open(const char* pszPrinterName)
{
    Close();
    HANDLE hPrinter = NULL;
    if (!QZ_OpenPrinter(pszPrinterName, &hPrinter, NULL))
        return FALSE;
    m_hPrinter = hPrinter;
    return TRUE;
}

void COpenedPrinter::Close()
{
    if (m_hPrinter != NULL)
        ClosePrinter(m_hPrinter);
    m_hPrinter = NULL;
}
