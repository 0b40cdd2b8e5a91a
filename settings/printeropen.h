// Opening a printer by name, and telling a deleted printer from a spooler that
// cannot answer right now.
#pragma once
#include <windows.h>
#include <winspool.h>

// Opens through the 8-bit spooler call; on the NT family a failure is retried
// with the wide name. Non-zero when the printer was opened. On failure the
// thread's last error is the spooler's reason.
BOOL QZ_OpenPrinter(const char* pszPrinterName, HANDLE* phPrinter, PRINTER_DEFAULTSA* pDefaults);

// What a failed open says about the printer. Only ERROR_INVALID_PRINTER_NAME,
// which the spooler gives for a printer that does not exist, means the printer
// is gone; any other failure (spooler not started yet, restarting, RPC errors)
// means that nothing can be told now, and nobody's settings may be removed for it.
enum PrinterPresence {
    PRINTER_PRESENT = 0,
    PRINTER_GONE = 1,
    PRINTER_UNKNOWN = 2,
};
PrinterPresence PresenceFromOpenError(DWORD dwError);
// Opens and closes the printer once; the presence that the open tells. An
// empty or absent name names no printer at all (an agent known only by its
// port) and counts as gone without asking the spooler, which would otherwise
// open the print server itself for a null name.
PrinterPresence QueryPrinterPresence(const char* pszPrinterName);

// A printer handle opened with QZ_OpenPrinter (no defaults) and closed on destruction.
class COpenedPrinter {
public:
    COpenedPrinter() : m_hPrinter(NULL) {}
    ~COpenedPrinter() { Close(); }
    COpenedPrinter(const COpenedPrinter&) = delete;
    COpenedPrinter& operator=(const COpenedPrinter&) = delete;

    // Non-zero when the printer was opened; otherwise the last error tells why.
    BOOL Open(const char* pszPrinterName);
    void Close();
    HANDLE Get() const { return m_hPrinter; }

private:
    HANDLE m_hPrinter;
};

// Test seam: the spooler's 8-bit and wide open calls. Tests point these at
// functions that fail with a chosen error; the program never changes them.
typedef BOOL(WINAPI* PFN_OpenPrinterA)(LPSTR, LPHANDLE, LPPRINTER_DEFAULTSA);
typedef BOOL(WINAPI* PFN_OpenPrinterW)(LPWSTR, LPHANDLE, LPPRINTER_DEFAULTSW);
extern PFN_OpenPrinterA g_pfnOpenPrinterA;
extern PFN_OpenPrinterW g_pfnOpenPrinterW;
