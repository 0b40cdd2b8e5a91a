// Test fixture: drivers with install-data files in Wine's spooler.
#include "tests/installdata/instdata_driver.h"
#include "tests/support/process.h"
#include <stdio.h>
#include <winspool.h>

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

std::string IdFor(const std::string& name)
{
    unsigned hash = 2166136261u;  // FNV-1a
    for (unsigned char ch : name)
        hash = (hash ^ ch) * 16777619u;
    char szId[16];
    snprintf(szId, sizeof(szId), "id%08x", hash);
    return szId;
}

std::string Replaced(std::string text, const std::string& placeholder, const std::string& value)
{
    for (size_t at = text.find(placeholder); at != std::string::npos; at = text.find(placeholder, at + value.size()))
        text.replace(at, placeholder.size(), value);
    return text;
}

} // namespace

CInstDataDriver::CInstDataDriver(const std::string& instData)
    : CInstDataDriver(NtDataFile("{id}.inf"), FileList{{"{id}.inf", instData}})
{
}

CInstDataDriver::CInstDataDriver(const std::string& dataFile, const FileList& files)
    : m_name(NameForCurrentTest()), m_id(IdFor(m_name))
{
    testsupport::DriverFiles driverFiles;
    driverFiles.name = m_name;
    driverFiles.dataFile = m_id + ".ini";
    driverFiles.dataContent = Replaced(Replaced(dataFile, "{driver}", m_name), "{id}", m_id);
    m_placed.push_back(driverFiles.dataFile);
    for (const auto& file : files) {
        driverFiles.extraFiles.push_back({Replaced(file.first, "{id}", m_id), file.second});
        m_placed.push_back(driverFiles.extraFiles.back().first);
    }
    m_driver.reset(new testsupport::CScopedDriver(driverFiles));
}

CInstDataDriver::~CInstDataDriver()
{
    std::string dir = Directory();
    m_driver.reset();
    for (const std::string& file : m_placed)
        DeleteFileA((dir + "\\" + file).c_str());
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
