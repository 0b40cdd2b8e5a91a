// Test helpers: install printer drivers and printers into Wine's spooler the
// way a driver's setup does (files copied into the driver directory).
#pragma once
#include <windows.h>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

struct DriverFiles {
    std::string name;                 // driver name
    std::string driverFile = "tadrv.dll";
    std::string dataFile = "tadrv.ini";
    std::string dataContent;          // content of the data file (an INI text)
    std::string configFile = "tacfg.dll";
    // Further files copied with the driver (install-data file, auxiliary library ...):
    // file name and content. A content of the form "@bin:NAME" copies the built file NAME.
    std::vector<std::pair<std::string, std::string>> extraFiles;
};

// The directory into which installed driver files go ("...\w32x86\3").
std::string InstalledDriverDir();

// Installs the driver (files copied from a temporary folder). Replaces an earlier install.
bool InstallDriver(const DriverFiles& driver);
bool RemoveDriver(const std::string& name);

bool InstallPrinter(const std::string& name, const std::string& driver, const std::string& port = "FILE:");
// Deletes the printer; a printer that does not exist counts as deleted.
bool RemovePrinter(const std::string& name);
bool SetPrinterDword(const std::string& printer, const char* pszValueName, DWORD dwValue);

// A driver with printers that removes itself (printers first) when the test ends.
class CScopedDriver {
public:
    explicit CScopedDriver(const DriverFiles& driver);
    ~CScopedDriver();
    CScopedDriver(const CScopedDriver&) = delete;
    CScopedDriver& operator=(const CScopedDriver&) = delete;
    bool Installed() const { return m_fInstalled; }
    bool InstallPrinter(const std::string& name, const std::string& port = "FILE:");
    // The installed copy of one of the driver's files.
    std::string InstalledFile(const std::string& fileName) const;

private:
    std::string m_name;
    std::vector<std::string> m_printers;
    bool m_fInstalled;
};

} // namespace testsupport
