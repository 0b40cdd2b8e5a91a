// Printer handles and the driver-file locator.
#include "installdata/driverfiles.h"
#include "installdata/heap.h"
#include "installdata/osversion.h"

namespace {

const char kNtSection[] = "User Mode Printer Driver Information";
const char kNtKey[] = "SADatI";
const char k9xKey[] = "52";
// The install-data file name is read into a buffer of this size.
const DWORD kInstDataNameSize = 64;

// A process-heap block that is given back when the owner goes.
class CHeapBlock {
public:
    explicit CHeapBlock(DWORD cb) : m_p(HeapAllocZeroed(cb)) {}
    ~CHeapBlock() { HeapFreeChecked(m_p); }
    CHeapBlock(const CHeapBlock&) = delete;
    CHeapBlock& operator=(const CHeapBlock&) = delete;
    BYTE* Get() const { return static_cast<BYTE*>(m_p); }

private:
    void* m_p;
};

// "directory\name", or the name alone when no directory is known.
CStr JoinPath(const CStr& directory, const CStr& name)
{
    if (directory.IsEmpty())
        return name;
    CStr path;
    path.Format("%s\\%s", directory.c_str(), name.c_str());
    return path;
}

} // namespace

CStr DriverDirectoryOf(const char* pszDriverPath)
{
    CStr path(pszDriverPath);
    int nSlash = path.ReverseFind('\\');
    return nSlash < 0 ? path : path.Left(nSlash);
}

CStr DataFilePathIn(const char* pszDataFile, const CStr& directory)
{
    CStr dataFile(pszDataFile);
    return dataFile.Find('\\') < 0 ? JoinPath(directory, dataFile) : dataFile;
}

BOOL CPrinterHandle::Open(const char* pszPrinterName, HANDLE* phPrinter)
{
    Close();
    if (phPrinter != NULL)
        *phPrinter = NULL;
    if (pszPrinterName == NULL || pszPrinterName[0] == '\0')
        return FALSE;
    HANDLE hPrinter = NULL;
    BOOL fOpened = OpenPrinterA(const_cast<char*>(pszPrinterName), &hPrinter, NULL);
    if (!fOpened && IsNtPlatform()) {
        WCHAR* pszWide = AnsiToWideAlloc(pszPrinterName);
        if (pszWide != NULL) {
            hPrinter = NULL;
            fOpened = OpenPrinterW(pszWide, &hPrinter, NULL);
            HeapFreeChecked(pszWide);
        }
    }
    m_hPrinter = fOpened ? hPrinter : NULL;
    if (phPrinter != NULL)
        *phPrinter = m_hPrinter;
    return fOpened;
}

void CPrinterHandle::Close()
{
    if (m_hPrinter == NULL)
        return;
    ClosePrinter(m_hPrinter);
    m_hPrinter = NULL;
}

void CDriverFileLocator::TakeFacts(const DRIVER_INFO_3A& info, CDriverFacts& facts)
{
    facts.szName = info.pName;
    facts.szDirectory = DriverDirectoryOf(info.pDriverPath);
    facts.szDataFile = DataFilePathIn(info.pDataFile, facts.szDirectory);
}

BOOL CDriverFileLocator::ReadPrinterDriver(const CStr& printerName, CDriverFacts& facts)
{
    CPrinterHandle printer;
    HANDLE hPrinter = NULL;
    if (printerName.IsEmpty() || !printer.Open(printerName.c_str(), &hPrinter))
        return FALSE;
    BYTE probe = 0;
    DWORD cbNeeded = 0;
    GetPrinterDriverA(hPrinter, NULL, 3, &probe, 1, &cbNeeded);
    if (cbNeeded == 0)
        return FALSE;
    CHeapBlock buffer(cbNeeded);
    if (buffer.Get() == NULL || !GetPrinterDriverA(hPrinter, NULL, 3, buffer.Get(), cbNeeded, &cbNeeded))
        return FALSE;
    TakeFacts(*reinterpret_cast<const DRIVER_INFO_3A*>(buffer.Get()), facts);
    return TRUE;
}

BOOL CDriverFileLocator::FindInstalledDriver(const CStr& driverName, CDriverFacts& facts)
{
    if (driverName.IsEmpty())
        return FALSE;
    BYTE probe = 0;
    DWORD cbNeeded = 0;
    DWORD nDrivers = 0;
    EnumPrinterDriversA(NULL, NULL, 3, &probe, 1, &cbNeeded, &nDrivers);
    if (cbNeeded == 0)
        return FALSE;
    CHeapBlock buffer(cbNeeded);
    if (buffer.Get() == NULL ||
        !EnumPrinterDriversA(NULL, NULL, 3, buffer.Get(), cbNeeded, &cbNeeded, &nDrivers))
        return FALSE;
    const DRIVER_INFO_3A* pInfo = reinterpret_cast<const DRIVER_INFO_3A*>(buffer.Get());
    for (DWORD i = 0; i < nDrivers; ++i) {
        // Letter case counts: a driver is known by its exact name.
        if (pInfo[i].pName != NULL && driverName == pInfo[i].pName) {
            TakeFacts(pInfo[i], facts);
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CDriverFileLocator::GetDriverDirectory(const CStr& printerName, CStr& directory)
{
    directory.Empty();
    CDriverFacts facts;
    if (ReadPrinterDriver(printerName, facts))
        directory = facts.szDirectory;
    return !directory.IsEmpty();
}

BOOL CDriverFileLocator::GetDataFilePath(const CStr& printerName, CStr& path)
{
    path.Empty();
    CDriverFacts facts;
    if (ReadPrinterDriver(printerName, facts))
        path = facts.szDataFile;
    return !path.IsEmpty();
}

BOOL CDriverFileLocator::GetDriverName(const CStr& printerName, CStr& driverName)
{
    driverName.Empty();
    CDriverFacts facts;
    if (ReadPrinterDriver(printerName, facts))
        driverName = facts.szName;
    return !driverName.IsEmpty();
}

BOOL CDriverFileLocator::GetDriverFiles(const CStr& driverName, CStr& dataFilePath, CStr& directory)
{
    dataFilePath.Empty();
    directory.Empty();
    CDriverFacts facts;
    if (FindInstalledDriver(driverName, facts)) {
        dataFilePath = facts.szDataFile;
        directory = facts.szDirectory;
    }
    return !dataFilePath.IsEmpty() || !directory.IsEmpty();
}

BOOL CDriverFileLocator::ComposeInstDataPath(const CDriverFacts& facts, CStr& path)
{
    path.Empty();
    if (facts.szDataFile.IsEmpty())
        return FALSE;
    // The NT family names the file in a fixed section; the 9x family in the driver's own
    // section, where the name is followed by further comma-separated fields.
    BOOL fNt = IsNtPlatform();
    if (!fNt && facts.szName.IsEmpty())
        return FALSE;
    char szName[kInstDataNameSize] = {0};
    GetPrivateProfileStringA(fNt ? kNtSection : facts.szName.c_str(), fNt ? kNtKey : k9xKey, "", szName,
                             kInstDataNameSize, facts.szDataFile.c_str());
    CStr name(szName);
    int nComma = fNt ? -1 : name.Find(',');
    if (nComma >= 0)
        name = name.Left(nComma);
    if (name.IsEmpty())
        return FALSE;
    path = JoinPath(facts.szDirectory, name);
    return TRUE;
}

BOOL CDriverFileLocator::GetInstDataPathForPrinter(const CStr& printerName, CStr& path)
{
    path.Empty();
    CDriverFacts facts;
    return ReadPrinterDriver(printerName, facts) && ComposeInstDataPath(facts, path);
}

BOOL CDriverFileLocator::GetInstDataPathForDriver(const CStr& driverName, CStr& path)
{
    path.Empty();
    CDriverFacts facts;
    return FindInstalledDriver(driverName, facts) && ComposeInstDataPath(facts, path);
}
