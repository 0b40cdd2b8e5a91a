// Printer handles and the driver-file locator against Wine's spooler.
#include "installdata/driverfiles.h"
#include "tests/installdata/instdata_driver.h"
#include <gtest/gtest.h>
#include <winspool.h>

using instdatatest::CInstDataDriver;

TEST(DriverFileLocator, PrinterAndDriverFacts)
{
    CInstDataDriver driver("[Install]\r\n");
    ASSERT_TRUE(driver.Installed());
    std::string printer = driver.AddTestPrinter(" Drucker \xE9");
    ASSERT_FALSE(printer.empty());
    const std::string dir = driver.Directory();
    ASSERT_FALSE(dir.empty());

    CDriverFileLocator locator;
    CStr out;
    ASSERT_TRUE(locator.GetDriverDirectory(printer.c_str(), out));
    EXPECT_EQ(dir, out.c_str());
    ASSERT_TRUE(locator.GetDataFilePath(printer.c_str(), out));
    EXPECT_EQ(driver.DataFile(), out.c_str());
    ASSERT_TRUE(locator.GetDriverName(printer.c_str(), out));
    EXPECT_EQ(driver.Name(), out.c_str());
    ASSERT_TRUE(locator.GetInstDataPathForPrinter(printer.c_str(), out));
    EXPECT_EQ(driver.InstDataFile(), out.c_str());

    CStr dataFile, directory;
    ASSERT_TRUE(locator.GetDriverFiles(driver.Name().c_str(), dataFile, directory));
    EXPECT_EQ(driver.DataFile(), dataFile.c_str());
    EXPECT_EQ(dir, directory.c_str());
    ASSERT_TRUE(locator.GetInstDataPathForDriver(driver.Name().c_str(), out));
    EXPECT_EQ(driver.InstDataFile(), out.c_str());
}

TEST(DriverFileLocator, UnknownNamesEmptyTheOutputs)
{
    CInstDataDriver driver("[Install]\r\n");
    ASSERT_TRUE(driver.Installed());
    std::string lower = driver.Name();
    for (char& ch : lower)
        ch = static_cast<char>(tolower(static_cast<unsigned char>(ch)));

    CDriverFileLocator locator;
    for (const char* pszPrinter : {"", "ID no such printer"}) {
        CStr out("stale");
        EXPECT_FALSE(locator.GetDriverDirectory(pszPrinter, out));
        EXPECT_STREQ("", out.c_str());
        out = "stale";
        EXPECT_FALSE(locator.GetDataFilePath(pszPrinter, out));
        EXPECT_STREQ("", out.c_str());
        out = "stale";
        EXPECT_FALSE(locator.GetDriverName(pszPrinter, out));
        EXPECT_STREQ("", out.c_str());
        out = "stale";
        EXPECT_FALSE(locator.GetInstDataPathForPrinter(pszPrinter, out));
        EXPECT_STREQ("", out.c_str());
    }
    // Driver names match exactly, letter case included.
    for (const std::string& name : {std::string(), std::string("ID no such driver"), lower}) {
        CStr dataFile("stale"), directory("stale"), out("stale");
        EXPECT_FALSE(locator.GetDriverFiles(name.c_str(), dataFile, directory)) << name;
        EXPECT_STREQ("", dataFile.c_str());
        EXPECT_STREQ("", directory.c_str());
        EXPECT_FALSE(locator.GetInstDataPathForDriver(name.c_str(), out)) << name;
        EXPECT_STREQ("", out.c_str());
    }
}

TEST(DriverFileLocator, DirectoriesAndDataFilePaths)
{
    const char* const directories[][2] = {
        {"C:\\spool\\3\\drv.dll", "C:\\spool\\3"},
        {"drv.dll", "drv.dll"},  // no backslash: the whole path
        {"\\drv.dll", ""},
        {"", ""},
    };
    for (const auto& d : directories)
        EXPECT_STREQ(d[1], DriverDirectoryOf(d[0]).c_str()) << d[0];
    EXPECT_STREQ("", DriverDirectoryOf(NULL).c_str());

    EXPECT_STREQ("C:\\spool\\3\\data.ini", DataFilePathIn("data.ini", "C:\\spool\\3").c_str());
    EXPECT_STREQ("D:\\elsewhere\\data.ini", DataFilePathIn("D:\\elsewhere\\data.ini", "C:\\spool\\3").c_str());
    EXPECT_STREQ("data.ini", DataFilePathIn("data.ini", "").c_str());
}

TEST(PrinterHandle, OpensClosesAndRefusesUnknownNames)
{
    CInstDataDriver driver("[Install]\r\n");
    ASSERT_TRUE(driver.Installed());
    std::string printer = driver.AddTestPrinter(" P");
    ASSERT_FALSE(printer.empty());

    CPrinterHandle handle;
    HANDLE hPrinter = INVALID_HANDLE_VALUE;
    EXPECT_FALSE(handle.Open(NULL, &hPrinter));
    EXPECT_EQ(nullptr, hPrinter);
    hPrinter = INVALID_HANDLE_VALUE;
    EXPECT_FALSE(handle.Open("", &hPrinter));
    EXPECT_EQ(nullptr, hPrinter);
    hPrinter = INVALID_HANDLE_VALUE;
    EXPECT_FALSE(handle.Open("ID no such printer", &hPrinter));
    EXPECT_EQ(nullptr, hPrinter);

    ASSERT_TRUE(handle.Open(printer.c_str(), &hPrinter));
    ASSERT_NE(nullptr, hPrinter);
    DWORD cbNeeded = 0;
    GetPrinterA(hPrinter, 2, NULL, 0, &cbNeeded);
    EXPECT_GT(cbNeeded, 0u);
    handle.Close();
    handle.Close();
    ASSERT_TRUE(handle.Open(printer.c_str(), NULL));
}
