// Spooler access for the driver-data readers: an owned printer handle, and the
// locator that finds a printer's or an installed driver's files.
#pragma once
#include <windows.h>
#include <winspool.h>
#include "app/str.h"

// The directory of a driver's main file: the path up to its last backslash, or the
// whole path when it has none.
CStr DriverDirectoryOf(const char* pszDriverPath);
// A data file as the spooler reports it, made a path: a bare file name is joined to
// the driver directory (when one is known); a path is kept as it is.
CStr DataFilePathIn(const char* pszDataFile, const CStr& directory);

// A printer handle of the spooler, closed when the object goes.
class CPrinterHandle {
public:
    CPrinterHandle() : m_hPrinter(NULL) {}
    virtual ~CPrinterHandle() { Close(); }
    CPrinterHandle(const CPrinterHandle&) = delete;
    CPrinterHandle& operator=(const CPrinterHandle&) = delete;

    // Opens with the 8-bit name and default access; on the NT family a name the
    // 8-bit call rejects is tried again in its wide form. Answers the spooler's
    // result; *phPrinter (may be null) gets the handle kept.
    BOOL Open(const char* pszPrinterName, HANDLE* phPrinter);
    void Close();

private:
    HANDLE m_hPrinter;
};

// Finds the files of a printer's driver, or of an installed driver by name, through
// the spooler. Every operation empties its outputs first; no handle outlives a call.
class CDriverFileLocator {
public:
    virtual ~CDriverFileLocator() {}

    // The directory of the driver's main file (the whole path when it has no backslash).
    BOOL GetDriverDirectory(const CStr& printerName, CStr& directory);
    // The driver's data file; a bare file name is joined to the driver directory.
    BOOL GetDataFilePath(const CStr& printerName, CStr& path);
    BOOL GetDriverName(const CStr& printerName, CStr& driverName);
    // The data file and directory of the installed driver whose name matches exactly;
    // true unless both are empty.
    BOOL GetDriverFiles(const CStr& driverName, CStr& dataFilePath, CStr& directory);
    // The installation-data file named by the driver's data file.
    BOOL GetInstDataPathForPrinter(const CStr& printerName, CStr& path);
    BOOL GetInstDataPathForDriver(const CStr& driverName, CStr& path);

private:
    struct CDriverFacts {
        CStr szName;
        CStr szDirectory;
        CStr szDataFile;
    };
    static BOOL ReadPrinterDriver(const CStr& printerName, CDriverFacts& facts);
    static BOOL FindInstalledDriver(const CStr& driverName, CDriverFacts& facts);
    static void TakeFacts(const DRIVER_INFO_3A& info, CDriverFacts& facts);
    static BOOL ComposeInstDataPath(const CDriverFacts& facts, CStr& path);
};
