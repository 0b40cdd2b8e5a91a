// Test fixture: a printer driver installed into Wine's spooler with a data file
// and an install-data file, named after the running test so that tests never
// share a driver or one of the files in the common driver directory.
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
    // Installs the driver with the install-data file "<id>.inf" of that content, named
    // by the NT data file "<id>.ini".
    explicit CInstDataDriver(const std::string& instData);
    // Installs the driver with the data file and further files given. In the data file
    // "{driver}" stands for the driver's name; there and in file names "{id}" stands for Id().
    CInstDataDriver(const std::string& dataFile, const FileList& files);
    // Removes the driver, then the files placed for it.
    ~CInstDataDriver();
    CInstDataDriver(const CInstDataDriver&) = delete;
    CInstDataDriver& operator=(const CInstDataDriver&) = delete;

    bool Installed() const { return m_driver->Installed(); }
    const std::string& Name() const { return m_name; }
    // A short name unique to the test, for file names ("id" and eight hex digits).
    const std::string& Id() const { return m_id; }
    // Adds a printer on this driver; its name is the driver's with the suffix.
    std::string AddTestPrinter(const std::string& suffix);
    // The driver directory that the spooler reports for this driver.
    std::string Directory() const;
    // The installed copy of a driver file.
    std::string File(const std::string& fileName) const { return Directory() + "\\" + fileName; }
    std::string DataFile() const { return File(m_id + ".ini"); }
    std::string InstDataFile() const { return File(m_id + ".inf"); }

private:
    std::string m_name;
    std::string m_id;
    std::vector<std::string> m_placed;  // installed copies to remove
    std::unique_ptr<testsupport::CScopedDriver> m_driver;
};

// The driver path (pDriverPath) the spooler enumerates for an installed driver; empty when not installed.
std::string EnumeratedDriverPath(const std::string& driverName);

} // namespace instdatatest
