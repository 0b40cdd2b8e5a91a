#include "tests/support/spooler.h"
#include "tests/support/files.h"
#include <winspool.h>

namespace testsupport {

namespace {

bool PlaceFile(const std::string& dir, const std::string& name, const std::string& content)
{
    const std::string binPrefix = "@bin:";
    if (content.compare(0, binPrefix.size(), binPrefix) == 0)
        return CopyFileA(BinFile(content.substr(binPrefix.size())).c_str(), (dir + "\\" + name).c_str(), FALSE) != 0;
    return WriteTextFile(dir + "\\" + name, content);
}

} // namespace

std::string InstalledDriverDir()
{
    char szDir[MAX_PATH] = {0};
    DWORD cb = 0;
    if (!GetPrinterDriverDirectoryA(NULL, NULL, 1, reinterpret_cast<BYTE*>(szDir), sizeof(szDir), &cb))
        return std::string();
    return std::string(szDir) + "\\3";
}

bool InstallDriver(const DriverFiles& driver)
{
    CTempDir source;
    if (!PlaceFile(source.Path(), driver.driverFile, "MZ driver placeholder") ||
        !PlaceFile(source.Path(), driver.dataFile, driver.dataContent) ||
        !PlaceFile(source.Path(), driver.configFile, "MZ config placeholder"))
        return false;
    std::string dependent;  // a list of names, each ending in a zero byte, ended by another
    for (const auto& file : driver.extraFiles) {
        if (!PlaceFile(source.Path(), file.first, file.second))
            return false;
        dependent += source.File(file.first);
        dependent += '\0';
    }
    dependent += '\0';
    std::string driverPath = source.File(driver.driverFile);
    std::string dataPath = source.File(driver.dataFile);
    std::string configPath = source.File(driver.configFile);
    DRIVER_INFO_3A info = {};
    info.cVersion = 3;
    info.pName = const_cast<char*>(driver.name.c_str());
    info.pDriverPath = &driverPath[0];
    info.pDataFile = &dataPath[0];
    info.pConfigFile = &configPath[0];
    info.pDependentFiles = driver.extraFiles.empty() ? NULL : &dependent[0];
    return AddPrinterDriverExA(NULL, 3, reinterpret_cast<BYTE*>(&info),
                               APD_COPY_FROM_DIRECTORY | APD_COPY_ALL_FILES) != 0;
}

bool RemoveDriver(const std::string& name)
{
    return DeletePrinterDriverA(NULL, NULL, const_cast<char*>(name.c_str())) != 0;
}

bool InstallPrinter(const std::string& name, const std::string& driver, const std::string& port)
{
    RemovePrinter(name);
    PRINTER_INFO_2A info = {};
    info.pPrinterName = const_cast<char*>(name.c_str());
    info.pPortName = const_cast<char*>(port.c_str());
    info.pDriverName = const_cast<char*>(driver.c_str());
    info.pPrintProcessor = const_cast<char*>("winprint");
    info.pDatatype = const_cast<char*>("RAW");
    HANDLE hPrinter = AddPrinterA(NULL, 2, reinterpret_cast<BYTE*>(&info));
    if (hPrinter == NULL)
        return false;
    ClosePrinter(hPrinter);
    return true;
}

bool RemovePrinter(const std::string& name)
{
    HANDLE hPrinter = NULL;
    PRINTER_DEFAULTSA defaults = {NULL, NULL, PRINTER_ALL_ACCESS};
    if (!OpenPrinterA(const_cast<char*>(name.c_str()), &hPrinter, &defaults))
        return GetLastError() == ERROR_INVALID_PRINTER_NAME;
    BOOL fOk = DeletePrinter(hPrinter);
    ClosePrinter(hPrinter);
    return fOk != 0;
}

bool SetPrinterDword(const std::string& printer, const char* pszValueName, DWORD dwValue)
{
    HANDLE hPrinter = NULL;
    PRINTER_DEFAULTSA defaults = {NULL, NULL, PRINTER_ALL_ACCESS};
    if (!OpenPrinterA(const_cast<char*>(printer.c_str()), &hPrinter, &defaults))
        return false;
    DWORD dwResult = SetPrinterDataA(hPrinter, const_cast<char*>(pszValueName), REG_DWORD,
                                     reinterpret_cast<BYTE*>(&dwValue), sizeof(dwValue));
    ClosePrinter(hPrinter);
    return dwResult == ERROR_SUCCESS;
}

CScopedDriver::CScopedDriver(const DriverFiles& driver) : m_name(driver.name), m_fInstalled(InstallDriver(driver))
{
}

CScopedDriver::~CScopedDriver()
{
    for (const std::string& printer : m_printers)
        RemovePrinter(printer);
    if (m_fInstalled)
        RemoveDriver(m_name);
}

bool CScopedDriver::InstallPrinter(const std::string& name, const std::string& port)
{
    if (!testsupport::InstallPrinter(name, m_name, port))
        return false;
    m_printers.push_back(name);
    return true;
}

std::string CScopedDriver::InstalledFile(const std::string& fileName) const
{
    return InstalledDriverDir() + "\\" + fileName;
}

} // namespace testsupport
