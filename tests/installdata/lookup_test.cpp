// Value lookup through the spooler: printers and drivers installed in Wine's
// spooler, each with a data file that names its install-data file.
#include "installdata/instdatalookup.h"
#include "tests/installdata/instdata_driver.h"
#include "tests/support/spooler.h"
#include <gtest/gtest.h>

using instdatatest::CInstDataDriver;

namespace {

const char kKey[] = "Software\\NOVRA\\KIV3\\Driver\\Test";
const char kMenuKey[] = "Software\\NOVRA\\KIV3\\Driver\\Test\\Menu";

const char kInstData[] =
    "; Setup script of the test driver\r\n"
    "[Version]\r\n"
    "Signature=1\r\n"
    "\r\n"
    "[Install]\r\n"
    "REGPATH = DRV, \"HKEY_LOCAL_MACHINE\\Software\\NOVRA\\KIV3\\Driver\\Test\"\r\n"
    "REGPATH = MENU, \"HKEY_LOCAL_MACHINE\\Software\\NOVRA\\KIV3\\Driver\\Test\\Menu\"\r\n"
    "REGENTER = DRV, \"ModelID\", \"TX-100\"\r\n"
    "REGENTER = DRV, \"Profile\", DRIVERDIR+\"\\tx100.ini\"\r\n"
    "REGENTER = DRV, \"InstallDir\", driverdir\r\n"
    "REGENTER = DRV, \"Count\", 12\r\n"
    "REGENTER = MENU, \"920\", \"C:\\Tools\\order.exe\"   ; the ordering program\r\n";

std::string Printer(CStr printer, const char* pszKey, const char* pszValue)
{
    return CInstDataLookup().GetValueForPrinter(printer, pszKey, pszValue).c_str();
}

std::string Driver(CStr driver, const char* pszKey, const char* pszValue)
{
    return CInstDataLookup().GetValueForDriver(driver, pszKey, pszValue).c_str();
}

} // namespace

TEST(InstDataLookup, AnswersTextValuesForPrinterAndDriver)
{
    CInstDataDriver driver(kInstData);
    ASSERT_TRUE(driver.Installed());
    std::string printer = driver.AddTestPrinter(" P");
    ASSERT_FALSE(printer.empty());
    std::string dir = driver.Directory();
    ASSERT_FALSE(dir.empty());

    struct {
        const char* pszKey;
        const char* pszValue;
        std::string expected;
    } cases[] = {
        {kKey, "ModelID", "TX-100"},
        {kKey, "Profile", dir + "\\tx100.ini"},
        {kKey, "InstallDir", dir},
        {kMenuKey, "920", "C:\\Tools\\order.exe"},
        {"SOFTWARE\\novra\\kiv3\\DRIVER\\test", "modelid", "TX-100"},  // letter case is ignored
        {kKey, "Count", ""},                                          // a number answers empty
        {kKey, "Missing", ""},
        {kMenuKey, "ModelID", ""},                                    // value under another key
        {"Software\\NOVRA", "ModelID", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, Printer(printer.c_str(), c.pszKey, c.pszValue)) << c.pszKey << " " << c.pszValue;
        EXPECT_EQ(c.expected, Driver(driver.Name().c_str(), c.pszKey, c.pszValue)) << c.pszKey << " " << c.pszValue;
    }
}

TEST(InstDataLookup, EmptyArgumentsAndUnknownNamesAnswerEmpty)
{
    CInstDataDriver driver(kInstData);
    ASSERT_TRUE(driver.Installed());
    std::string printer = driver.AddTestPrinter(" P");
    ASSERT_FALSE(printer.empty());
    EXPECT_EQ("", Printer("", kKey, "ModelID"));
    EXPECT_EQ("", Printer(printer.c_str(), "", "ModelID"));
    EXPECT_EQ("", Printer(printer.c_str(), kKey, ""));
    EXPECT_EQ("", Driver("", kKey, "ModelID"));
    EXPECT_EQ("", Driver(driver.Name().c_str(), "", "ModelID"));
    EXPECT_EQ("", Driver(driver.Name().c_str(), kKey, ""));
    EXPECT_EQ("", Printer((printer + " none").c_str(), kKey, "ModelID"));
    EXPECT_EQ("", Driver((driver.Name() + " none").c_str(), kKey, "ModelID"));
    // Driver names are matched exactly, letter case included.
    std::string upper = driver.Name();
    for (char& ch : upper)
        ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
    EXPECT_EQ("", Driver(upper.c_str(), kKey, "ModelID"));
}

TEST(InstDataLookup, DriverStillAnswersAfterItsPrintersAreDeleted)
{
    CInstDataDriver driver(kInstData);
    ASSERT_TRUE(driver.Installed());
    std::string first = driver.AddTestPrinter(" A");
    std::string second = driver.AddTestPrinter(" B");
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());
    EXPECT_EQ("TX-100", Printer(first.c_str(), kKey, "ModelID"));
    EXPECT_EQ("TX-100", Printer(second.c_str(), kKey, "ModelID"));

    ASSERT_TRUE(testsupport::RemovePrinter(first));
    EXPECT_EQ("", Printer(first.c_str(), kKey, "ModelID"));
    EXPECT_EQ("TX-100", Printer(second.c_str(), kKey, "ModelID"));
    ASSERT_TRUE(testsupport::RemovePrinter(second));
    EXPECT_EQ("", Printer(second.c_str(), kKey, "ModelID"));
    EXPECT_EQ("TX-100", Driver(driver.Name().c_str(), kKey, "ModelID"));
}
