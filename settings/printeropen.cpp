// Opening printers by name, with the wide fallback of the NT family, and the
// one place that decides whether a failed open means that a printer is gone.
#include "settings/printeropen.h"
#include <vector>

PFN_OpenPrinterA g_pfnOpenPrinterA = OpenPrinterA;
PFN_OpenPrinterW g_pfnOpenPrinterW = OpenPrinterW;

namespace {

bool IsNtFamily()
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

} // namespace

BOOL QZ_OpenPrinter(const char* pszPrinterName, HANDLE* phPrinter, PRINTER_DEFAULTSA* pDefaults)
{
    BOOL fResult = g_pfnOpenPrinterA(const_cast<char*>(pszPrinterName), phPrinter, pDefaults);
    if (fResult && *phPrinter != NULL)
        return fResult;
    DWORD dwFirstError = GetLastError();
    if (pszPrinterName == NULL || !IsNtFamily())
        return fResult;
    int cchName = lstrlenA(pszPrinterName);
    std::vector<WCHAR> wideName(static_cast<size_t>(cchName) + 1, L'\0');
    int cchWide = MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED | MB_ERR_INVALID_CHARS, pszPrinterName, cchName,
                                      wideName.data(), cchName + 1);
    if (cchWide == 0 || GetLastError() == ERROR_NO_UNICODE_TRANSLATION) {
        // The first call's answer stands, and so does the reason it gave.
        SetLastError(dwFirstError);
        return fResult;
    }
    if (pDefaults == NULL)
        return g_pfnOpenPrinterW(wideName.data(), phPrinter, NULL);
    PRINTER_DEFAULTSW wideDefaults = {NULL, NULL, pDefaults->DesiredAccess};
    return g_pfnOpenPrinterW(wideName.data(), phPrinter, &wideDefaults);
}

PrinterPresence PresenceFromOpenError(DWORD dwError)
{
    return dwError == ERROR_INVALID_PRINTER_NAME ? PRINTER_GONE : PRINTER_UNKNOWN;
}

PrinterPresence QueryPrinterPresence(const char* pszPrinterName)
{
    HANDLE hPrinter = NULL;
    if (!QZ_OpenPrinter(pszPrinterName, &hPrinter, NULL))
        return PresenceFromOpenError(GetLastError());
    ClosePrinter(hPrinter);
    return PRINTER_PRESENT;
}
