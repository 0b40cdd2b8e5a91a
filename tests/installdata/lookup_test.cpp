// Value lookup through the spooler: printers and drivers installed in Wine's
// spooler, each with a data file that names its install-data file.
#include "installdata/instdatalookup.h"
#include "tests/installdata/instdata_driver.h"
#include "tests/support/files.h"
#include "tests/support/process.h"
#include "tests/support/spooler.h"
#include <gtest/gtest.h>
#include <atomic>
#include <thread>
#include <vector>

using instdatatest::CInstDataDriver;

namespace {

const char kKey[] = "Software\\NOVRA\\KIV3\\Driver\\Test";
const char kMenuKey[] = "Software\\NOVRA\\KIV3\\Driver\\Test\\Menu";

std::string InstData(const std::string& model)
{
    return "; Setup script of the test driver\r\n"
    "[Version]\r\n"
    "Signature=1\r\n"
    "\r\n"
    "[Install]\r\n"
    "REGPATH = DRV, \"HKEY_LOCAL_MACHINE\\Software\\NOVRA\\KIV3\\Driver\\Test\"\r\n"
    "REGPATH = MENU, \"HKEY_LOCAL_MACHINE\\Software\\NOVRA\\KIV3\\Driver\\Test\\Menu\"\r\n"
    "REGENTER = DRV, \"ModelID\", \"" + model + "\"\r\n"
    "REGENTER = DRV, \"Profile\", DRIVERDIR+\"\\tx100.ini\"\r\n"
    "REGENTER = DRV, \"InstallDir\", driverdir\r\n"
    "REGENTER = DRV, \"Count\", 12\r\n"
    "REGENTER = MENU, \"920\", \"C:\\Tools\\order.exe\"   ; the ordering program\r\n";
}

const std::string kInstData = InstData("TX-100");

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


namespace {

// The NT family reads "SADatI" whole, commas included; the 9x family reads key "52" of
// the driver's own section up to its first comma. Each names a file of its own.
const char kBothFamiliesDataFile[] =
    "[User Mode Printer Driver Information]\r\nSADatI={id}nt,data.inf\r\n"
    "[{driver}]\r\n52={id}ninex.inf,1,C:\\other\r\n";

const instdatatest::FileList kBothFamiliesFiles = {
    {"{id}nt,data.inf", InstData("NT model")},
    {"{id}nt", InstData("cut at the comma")},
    {"{id}ninex.inf", InstData("9x model")},
};

void ExpectModelForPrinterAndDriver(const std::string& expected, const std::string& dataFile,
                                    const instdatatest::FileList& files)
{
    CInstDataDriver driver(dataFile, files);
    ASSERT_TRUE(driver.Installed());
    std::string printer = driver.AddTestPrinter(" P");
    ASSERT_FALSE(printer.empty());
    EXPECT_EQ(expected, Printer(printer.c_str(), kKey, "ModelID"));
    EXPECT_EQ(expected, Driver(driver.Name().c_str(), kKey, "ModelID"));
}

} // namespace

TEST(InstDataLookup, NtFamilyNamesTheFileBySADatIWholeWithItsComma)
{
    ExpectModelForPrinterAndDriver("NT model", kBothFamiliesDataFile, kBothFamiliesFiles);
}

TEST(InstDataLookup, Win9xNamesTheFileByKey52OfTheDriverSectionUpToItsComma)
{
    AS_WINDOWS_VERSION("win98");
    ExpectModelForPrinterAndDriver("9x model", kBothFamiliesDataFile, kBothFamiliesFiles);
}

TEST(InstDataLookup, FileNameIsReadUpToItsFirst63Characters)
{
    // "{id}" stands for ten characters.
    std::string name63 = "{id}" + std::string(49, 'n') + ".inf";
    ExpectModelForPrinterAndDriver("63", instdatatest::NtDataFile(name63 + "x"),
                                   {{name63, InstData("63")}, {name63 + "x", InstData("64")}});
}

TEST(InstDataLookup, UnusableDataOrInstallDataFilesAnswerEmpty)
{
    CInstDataDriver driver(kInstData);
    ASSERT_TRUE(driver.Installed());
    std::string printer = driver.AddTestPrinter(" P");
    ASSERT_FALSE(printer.empty());
    const std::string kUsable = "[Install]\r\nREGPATH=K,\"HKEY_LOCAL_MACHINE\\Key\"\r\nREGENTER=K,\"V\",\"x\"\r\n";
    struct {
        const char* pszWhat;
        std::string dataFile;  // empty: no data file at all
        std::string instData;
        const char* pszExpected;
    } cases[] = {
        {"usable files", instdatatest::NtDataFile(driver.Id() + ".inf"), kUsable, "x"},
        {"named file missing", instdatatest::NtDataFile("absent.inf"), kUsable, ""},
        {"no SADatI key", "[User Mode Printer Driver Information]\r\nOther=" + driver.Id() + ".inf\r\n", kUsable, ""},
        {"empty SADatI", instdatatest::NtDataFile(""), kUsable, ""},
        {"no data file", "", kUsable, ""},
        {"empty install data", instdatatest::NtDataFile(driver.Id() + ".inf"), "", ""},
        {"only comments", instdatatest::NtDataFile(driver.Id() + ".inf"), "; REGPATH=K,\"HKEY_LOCAL_MACHINE\\Key\"\r\n;\r\n", ""},
        {"no Install section", instdatatest::NtDataFile(driver.Id() + ".inf"),
         "[Setup]\r\nREGPATH=K,\"HKEY_LOCAL_MACHINE\\Key\"\r\nREGENTER=K,\"V\",\"x\"\r\n", ""},
        {"no REGENTER", instdatatest::NtDataFile(driver.Id() + ".inf"), "[Install]\r\nREGPATH=K,\"HKEY_LOCAL_MACHINE\\Key\"\r\n", ""},
        {"no REGPATH", instdatatest::NtDataFile(driver.Id() + ".inf"), "[Install]\r\nREGENTER=K,\"V\",\"x\"\r\n", ""},
        {"path not below HKEY_LOCAL_MACHINE", instdatatest::NtDataFile(driver.Id() + ".inf"),
         "[Install]\r\nREGPATH=K,\"HKEY_CURRENT_USER\\Key\"\r\nREGENTER=K,\"V\",\"x\"\r\n", ""},
    };
    for (const auto& c : cases) {
        DeleteFileA(driver.DataFile().c_str());
        if (!c.dataFile.empty()) {
            ASSERT_TRUE(testsupport::WriteTextFile(driver.DataFile(), c.dataFile));
        }
        ASSERT_TRUE(testsupport::WriteTextFile(driver.InstDataFile(), c.instData));
        EXPECT_EQ(c.pszExpected, Printer(printer.c_str(), "Key", "V")) << c.pszWhat;
        EXPECT_EQ(c.pszExpected, Driver(driver.Name().c_str(), "Key", "V")) << c.pszWhat;
    }
}

TEST(InstDataLookup, EveryCallReadsTheFileAnew)
{
    CInstDataDriver driver(kInstData);
    ASSERT_TRUE(driver.Installed());
    std::string printer = driver.AddTestPrinter(" P");
    ASSERT_FALSE(printer.empty());
    EXPECT_EQ("TX-100", Printer(printer.c_str(), kKey, "ModelID"));
    ASSERT_TRUE(testsupport::WriteTextFile(driver.InstDataFile(), InstData("TX-200")));
    EXPECT_EQ("TX-200", Printer(printer.c_str(), kKey, "ModelID"));
    EXPECT_EQ("TX-200", Driver(driver.Name().c_str(), kKey, "ModelID"));
}

TEST(InstDataLookup, FileLockedByAnotherIsUnreadableButOneOpenForWritingIsRead)
{
    CInstDataDriver driver(kInstData);
    ASSERT_TRUE(driver.Installed());
    std::string printer = driver.AddTestPrinter(" P");
    ASSERT_FALSE(printer.empty());
    std::string path = driver.InstDataFile();

    HANDLE hWriter = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                 OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, hWriter);
    EXPECT_EQ("TX-100", Printer(printer.c_str(), kKey, "ModelID"));
    CloseHandle(hWriter);

    HANDLE hExclusive = CreateFileA(path.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, hExclusive);
    EXPECT_EQ("", Printer(printer.c_str(), kKey, "ModelID"));
    EXPECT_EQ("", Driver(driver.Name().c_str(), kKey, "ModelID"));
    CloseHandle(hExclusive);
    EXPECT_EQ("TX-100", Printer(printer.c_str(), kKey, "ModelID"));
}

TEST(InstDataLookup, DriverCallsFromSeveralThreadsRunSideBySide)
{
    // Driver lookups only: Wine's local spooler crashes when printers are opened on
    // several threads at once (a race in its printer list), which is not ours to test.
    CInstDataDriver driver(kInstData);
    ASSERT_TRUE(driver.Installed());
    const std::string profile = driver.Directory() + "\\tx100.ini";
    std::atomic<int> nWrong(0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 10; ++i) {
                if (Driver(driver.Name().c_str(), kKey, "ModelID") != "TX-100" ||
                    Driver(driver.Name().c_str(), kKey, "Profile") != profile)
                    ++nWrong;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(0, nWrong.load());
}
