// Shared pieces of the driver support check tests: reading a located path, a fixture
// that releases the library after each test, and drivers whose files are removed again.
#pragma once
#include "drvcheck/drvsupport.h"
#include "installdata/heap.h"
#include "tests/support/spooler.h"
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

const char kNullPath[] = "<null>";

// LocateAuxLibrary's answer as a string; kNullPath for null.
inline std::string Located(int nKind, const char* pszName)
{
    char* pszPath = LocateAuxLibrary(nKind, pszName);
    std::string path = pszPath != NULL ? pszPath : kNullPath;
    HeapFreeChecked(pszPath);
    return path;
}

inline std::string LocatedForFiles(const char* pszDriverPath, const char* pszDataFile)
{
    char* pszPath = LocateAuxLibraryForFiles(pszDriverPath, pszDataFile);
    std::string path = pszPath != NULL ? pszPath : kNullPath;
    HeapFreeChecked(pszPath);
    return path;
}

// A data file whose driver section names the library.
inline std::string DataFileNaming(const std::string& library)
{
    return "[User Mode Printer Driver Information]\r\nQZAUDF01=" + library + "\r\n";
}

inline bool ModuleLoaded(const std::string& path)
{
    return GetModuleHandleA(path.c_str()) != NULL;
}

class DriverSupportTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        ReleaseDriverSupport();
        m_drivers.clear();
        for (const std::string& file : m_installedFiles)
            DeleteFileA(file.c_str());
    }

    // Installs a driver whose data file has the content given and which ships the built
    // libraries as the file names given; the driver and the files go when the test ends.
    testsupport::CScopedDriver& AddDriver(const std::string& name, const std::string& dataFile,
                                          const std::string& dataContent,
                                          const std::vector<std::pair<std::string, std::string>>& libraries = {})
    {
        testsupport::DriverFiles files;
        files.name = name;
        files.dataFile = dataFile;
        files.dataContent = dataContent;
        m_installedFiles.push_back(testsupport::InstalledDriverDir() + "\\" + dataFile);
        for (const auto& library : libraries) {
            files.extraFiles.push_back({library.first, "@bin:" + library.second});
            m_installedFiles.push_back(testsupport::InstalledDriverDir() + "\\" + library.first);
        }
        m_drivers.push_back(std::make_unique<testsupport::CScopedDriver>(files));
        EXPECT_TRUE(m_drivers.back()->Installed()) << name;
        return *m_drivers.back();
    }

private:
    std::vector<std::unique_ptr<testsupport::CScopedDriver>> m_drivers;
    std::vector<std::string> m_installedFiles;
};
