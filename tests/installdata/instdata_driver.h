// Test fixture: a printer driver installed into Wine's spooler with a data file
// and an install-data file, named after the running test so tests never share one.
#pragma once
#include "tests/support/spooler.h"
#include <memory>
#include <string>

namespace instdatatest {

// The data file of the NT family naming the install-data file.
std::string NtDataFile(const std::string& instDataName);

class CInstDataDriver {
public:
    // Installs the driver with the install-data file "instdata.inf" (content as given)
    // and a data file that names it, or with the data file given.
    explicit CInstDataDriver(const std::string& instData, const std::string& dataFile = NtDataFile("instdata.inf"),
                             const std::string& nameSuffix = "");
    bool Installed() const { return m_driver->Installed(); }
    const std::string& Name() const { return m_name; }
    // Adds a printer on this driver; its name is the driver's with the suffix.
    std::string AddTestPrinter(const std::string& suffix);
    // The driver directory that the spooler reports for this driver.
    std::string Directory() const;
    // The installed copy of a driver file.
    std::string File(const std::string& fileName) const { return Directory() + "\\" + fileName; }

private:
    std::string m_name;
    std::unique_ptr<testsupport::CScopedDriver> m_driver;
};

// The driver path (pDriverPath) the spooler enumerates for an installed driver; empty when not installed.
std::string EnumeratedDriverPath(const std::string& driverName);

} // namespace instdatatest
