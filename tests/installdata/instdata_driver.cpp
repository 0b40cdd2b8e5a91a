// Test fixture: drivers with install-data files in Wine's spooler.
#include "tests/installdata/instdata_driver.h"
#include "tests/support/process.h"
#include <winspool.h>
#include <vector>

namespace instdatatest {

std::string NtDataFile(const std::string& instDataName)
{
    return "[User Mode Printer Driver Information]\r\nSADatI=" + instDataName + "\r\n";
}

namespace {

std::string NameForCurrentTest()
{
    std::string name = "ID " + testsupport::CurrentTestFilter();
    for (char& ch : name) {
        if (ch == '.' || ch == '/')
            ch = ' ';
    }
    return name;
}

} // namespace

CInstDataDriver::CInstDataDriver(const std::string& instData)
    : CInstDataDriver(NtDataFile("instdata.inf"), FileList{{"instdata.inf", instData}})
{
}

CInstDataDriver::CInstDataDriver(const std::string& dataFile, const FileList& files)
    : m_name(NameForCurrentTest())
{
    testsupport::DriverFiles driverFiles;
    driverFiles.name = m_name;
    driverFiles.dataContent = dataFile;
    const std::string placeholder = "{driver}";
    for (size_t at = driverFiles.dataContent.find(placeholder); at != std::string::npos;
         at = driverFiles.dataContent.find(placeholder, at + m_name.size()))
        driverFiles.dataContent.replace(at, placeholder.size(), m_name);
    driverFiles.extraFiles = files;
    m_driver.reset(new testsupport::CScopedDriver(driverFiles));
}

std::string CInstDataDriver::AddTestPrinter(const std::string& suffix)
{
    std::string printer = m_name + suffix;
    return m_driver->InstallPrinter(printer) ? printer : std::string();
}

std::string CInstDataDriver::Directory() const
{
    std::string path = EnumeratedDriverPath(m_name);
    return path.substr(0, path.find_last_of('\\'));
}

std::string EnumeratedDriverPath(const std::string& driverName)
{
    DWORD cb = 0, count = 0;
    EnumPrinterDriversA(NULL, NULL, 3, NULL, 0, &cb, &count);
    std::vector<BYTE> buffer(cb ? cb : 1);
    if (!EnumPrinterDriversA(NULL, NULL, 3, buffer.data(), cb, &cb, &count))
        return std::string();
    const DRIVER_INFO_3A* info = reinterpret_cast<const DRIVER_INFO_3A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        if (driverName == info[i].pName)
            return info[i].pDriverPath ? info[i].pDriverPath : "";
    }
    return std::string();
}

} // namespace instdatatest
