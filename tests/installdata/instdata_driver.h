// Test fixture: a printer driver installed into Wine's spooler with a data file
// and an install-data file, named after the running test so tests never share one.
#pragma once
#include "tests/support/spooler.h"
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace instdatatest {

typedef std::vector<std::pair<std::string, std::string>> FileList;  // name, content

// The data file of the NT family naming the install-data file.
std::string NtDataFile(const std::string& instDataName);

class CInstDataDriver {
public:
    // Installs the driver with "instdata.inf" of that content, named by an NT data file.
    explicit CInstDataDriver(const std::string& instData);
    // Installs the driver with the data file and further files given; "{driver}" in the
    // data file stands for the driver's name.
    CInstDataDriver(const std::string& dataFile, const FileList& files);
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
