// The driver's values and files as the installation data and the profile file
// give them, and the printer helpers that read the spooler.
#include "settings/driversettings.h"
#include "tests/support/driverfixture.h"
#include "tests/support/files.h"
#include "tests/support/localechild.h"
#include "tests/support/spooler.h"
#include <gtest/gtest.h>
#include <functional>
#include <string>

using namespace testsupport;

namespace {

const char kDriver[] = "TA Settings Driver";
const char kPrinter[] = "TA Settings Printer";
const char kDataStem[] = "tasettings";

// The test driver with one printer, its installation folder (the profile
// fixture with its DLLs) and installation data that tests rewrite at will:
// every lookup reads the file anew.
class CSettingsDriver {
public:
    CSettingsDriver()
        : m_profile(PlaceProfileFixture(m_install.Path())),
          m_driver(DriverWithInstallData(kDriver, kDataStem, InstallDataText(kDriver, StandardValues())))
    {
        m_fReady = !m_profile.empty() && m_driver.Installed() && m_driver.InstallPrinter(kPrinter);
    }
    bool Ready() const { return m_fReady; }
    const std::string& InstallDir() const { return m_install.Path(); }
    const std::string& Profile() const { return m_profile; }
    std::string InstallFile(const std::string& name) const { return m_install.File(name); }

    InstDataValues StandardValues() const
    {
        return {{"ModelID", Quoted("MODEL1")},
                {"InstallPath", Quoted(m_install.Path())},
                {"Profile", Quoted(m_profile)}};
    }
    bool SetInstallData(const InstDataValues& driverValues, const InstDataValues& profileValues = {})
    {
        return WriteTextFile(m_driver.InstalledFile(std::string(kDataStem) + ".dat"),
                             InstallDataText(kDriver, driverValues, profileValues));
    }

private:
    CTempDir m_install;
    std::string m_profile;
    CScopedDriver m_driver;
    bool m_fReady;
};

class DriverSettings : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_driver.Ready()); }
    CSettingsDriver m_driver;
    char m_sz[1024] = {0};
};

typedef std::function<int(char*, int, const char*, const char*, const char*)> PathOperation;

TEST_F(DriverSettings, EveryDriverValueNeedsModelAndDriver)
{
    const std::pair<const char*, PathOperation> operations[] = {
        {"GetDriverSetting",
         [](char* b, int n, const char* d, const char* m, const char* p) {
             return GetDriverSetting(b, n, "InstallPath", d, m, p);
         }},
        {"GetInstallPath", GetInstallPath},
        {"GetDriverFilePath",
         [](char* b, int n, const char* d, const char* m, const char* p) {
             return GetDriverFilePath(b, n, "Profile", "taprofile.ini", d, m, p);
         }},
        {"GetProfilePath", GetProfilePath},
        {"GetPrnDllPath", GetPrnDllPath},
        {"GetBmpDllPath", GetBmpDllPath},
        {"GetResDllPath", GetResDllPath},
        {"GetStatusMonitorPath", GetStatusMonitorPath},
    };
    WriteTextFile(m_driver.InstallFile("Q_S20RN1.EXE"), "MZ");
    for (const auto& op : operations) {
        for (const char* pszPrinter : {kPrinter, ""}) {
            EXPECT_EQ(0, op.second(m_sz, sizeof(m_sz), kDriver, "", pszPrinter)) << op.first;
            EXPECT_STREQ("", m_sz) << op.first;
            EXPECT_EQ(0, op.second(m_sz, sizeof(m_sz), kDriver, NULL, pszPrinter)) << op.first;
        }
        EXPECT_EQ(0, op.second(m_sz, sizeof(m_sz), "", "MODEL1", "")) << op.first;
        EXPECT_EQ(0, op.second(NULL, 260, kDriver, "MODEL1", kPrinter)) << op.first;
        EXPECT_EQ(1, op.second(m_sz, sizeof(m_sz), kDriver, "MODEL1", kPrinter)) << op.first << " with a model";
    }
}

TEST_F(DriverSettings, InstallPathEndsWithOneBackslash)
{
    const std::string dir = m_driver.InstallDir();
    EXPECT_EQ(0, GetInstallPath(m_sz, 3, kDriver, "MODEL1", kPrinter)) << "does not fit";
    EXPECT_STREQ("", m_sz);
    const struct {
        std::string value;
        int nResult;
        std::string expected;
    } cases[] = {
        {dir, 1, dir + "\\"},
        {dir + "\\", 1, dir + "\\"},
        {dir + "\\missing", 0, ""},
        {dir + "\\missing\\", 0, ""},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(m_driver.SetInstallData({{"ModelID", Quoted("MODEL1")}, {"InstallPath", Quoted(c.value)}}));
        for (const char* pszPrinter : {kPrinter, ""}) {
            EXPECT_EQ(c.nResult, GetInstallPath(m_sz, sizeof(m_sz), kDriver, "MODEL1", pszPrinter)) << c.value;
            EXPECT_EQ(c.expected, m_sz) << c.value;
        }
    }
    ASSERT_TRUE(m_driver.SetInstallData({{"ModelID", Quoted("MODEL1")}}));
    EXPECT_EQ(0, GetInstallPath(m_sz, sizeof(m_sz), kDriver, "MODEL1", kPrinter)) << "no InstallPath value";
}

TEST_F(DriverSettings, StatusMonitorFallsBackToInstallDirectory)
{
    const std::string dir = m_driver.InstallDir();
    const std::string own = m_driver.InstallFile("monitor.exe");
    const std::string fallback = dir + "\\\\Q_S20RN1.EXE";
    ASSERT_TRUE(WriteTextFile(own, "MZ"));
    InstDataValues values = m_driver.StandardValues();
    values.push_back({"Q_SRUN", Quoted(own)});
    ASSERT_TRUE(m_driver.SetInstallData(values));
    EXPECT_EQ(1, GetStatusMonitorPath(m_sz, sizeof(m_sz), kDriver, "MODEL1", kPrinter));
    EXPECT_EQ(own, m_sz);

    values.back().second = Quoted(m_driver.InstallFile("missing.exe"));
    ASSERT_TRUE(m_driver.SetInstallData(values));
    EXPECT_EQ(0, GetStatusMonitorPath(m_sz, sizeof(m_sz), kDriver, "MODEL1", kPrinter)) << "no default file";
    ASSERT_TRUE(WriteTextFile(m_driver.InstallFile("Q_S20RN1.EXE"), "MZ"));
    EXPECT_EQ(1, GetStatusMonitorPath(m_sz, sizeof(m_sz), kDriver, "MODEL1", kPrinter));
    EXPECT_EQ(fallback, m_sz) << "the directory's backslash and another one";

    values.pop_back();
    ASSERT_TRUE(m_driver.SetInstallData(values));
    EXPECT_EQ(1, GetStatusMonitorPath(m_sz, sizeof(m_sz), kDriver, "MODEL1", "")) << "no Q_SRUN value";
    EXPECT_EQ(fallback, m_sz);
}

TEST_F(DriverSettings, ProfileFromDriverValueOrPerModelValue)
{
    const std::string perModel = "C:\\nowhere\\model1.ini";  // taken without an existence test
    InstDataValues values = m_driver.StandardValues();
    const InstDataValues profileValues = {{"MODEL2", Quoted("C:\\nowhere\\model2.ini")}, {"MODEL1", Quoted(perModel)}};
    ASSERT_TRUE(m_driver.SetInstallData(values, profileValues));
    EXPECT_EQ(1, GetProfilePath(m_sz, sizeof(m_sz), kDriver, "MODEL1", kPrinter));
    EXPECT_EQ(m_driver.Profile(), m_sz) << "an existing Profile value comes first";

    values.back().second = Quoted(m_driver.InstallFile("missing.ini"));
    ASSERT_TRUE(m_driver.SetInstallData(values, profileValues));
    for (const char* pszPrinter : {kPrinter, ""}) {
        EXPECT_EQ(1, GetProfilePath(m_sz, sizeof(m_sz), kDriver, "MODEL1", pszPrinter));
        EXPECT_EQ(perModel, m_sz);
    }
    EXPECT_EQ(0, GetProfilePath(m_sz, sizeof(m_sz), kDriver, "MODEL3", kPrinter)) << "no value for the model";
    EXPECT_STREQ("", m_sz);
    EXPECT_EQ(0, GetProfilePath(m_sz, 10, kDriver, "MODEL1", kPrinter)) << "does not fit";
    EXPECT_STREQ("", m_sz);
}

TEST_F(DriverSettings, DllPathsJoinProfileNamesToInstallDirectory)
{
    const std::string dir = m_driver.InstallDir() + "\\";
    EXPECT_EQ(1, GetPrnDllPath(m_sz, sizeof(m_sz), kDriver, "MODEL1", kPrinter));
    EXPECT_EQ(dir + "taprn.dll", m_sz) << "its existence is not tested";
    EXPECT_EQ(1, GetBmpDllPath(m_sz, sizeof(m_sz), kDriver, "MODEL1", ""));
    EXPECT_EQ(dir + "bmpdll.dll", m_sz);
    EXPECT_EQ(0, GetBmpDllPath(m_sz, sizeof(m_sz), kDriver, "MODEL2", kPrinter)) << "MODEL2 has no bitmap DLL";
    EXPECT_EQ(0, GetPrnDllPath(m_sz, static_cast<int>(dir.size()) + 4, kDriver, "MODEL1", kPrinter))
        << "does not fit";

    // Without an installation directory: the current directory, named explicitly.
    InstDataValues values = m_driver.StandardValues();
    values[1].second = Quoted(m_driver.InstallFile("missing"));
    ASSERT_TRUE(m_driver.SetInstallData(values));
    EXPECT_EQ(1, GetPrnDllPath(m_sz, sizeof(m_sz), kDriver, "MODEL1", kPrinter));
    EXPECT_STREQ(".\\taprn.dll", m_sz);
}

TEST_F(DriverSettings, PrnDllOfCutLengthCountsAsAbsent)
{
    const std::string dir = m_driver.InstallDir() + "\\";
    const struct {
        size_t cchName;
        int nResult;
        size_t cchUsed;
    } cases[] = {{257, 1, 257}, {258, 0, 0}, {259, 1, 259}, {300, 1, 259}};
    for (const auto& c : cases) {
        const std::string name(c.cchName, 'p');
        ASSERT_TRUE(WriteTextFile(m_driver.Profile(), "[MODEL1]\r\nPrnDll=" + name + "\r\n"));
        EXPECT_EQ(c.nResult, GetPrnDllPath(m_sz, sizeof(m_sz), kDriver, "MODEL1", kPrinter)) << c.cchName;
        EXPECT_EQ(c.nResult ? dir + name.substr(0, c.cchUsed) : "", m_sz) << c.cchName;
    }
}

TEST_F(DriverSettings, PrinterNameLeadsToPrintersDriver)
{
    // A second driver whose installation data writes other values into the
    // first driver's key: its printer's file answers for that key when the
    // printer is named; without a printer the driver name finds the file.
    const char kOther[] = "TA Settings Other Driver";
    const char kOtherPrinter[] = "TA Settings Other Printer";
    CScopedDriver other(DriverWithInstallData(kOther, "tasettings2",
                                              InstallDataText(kDriver, {{"Marker", Quoted("other driver's file")}})));
    ASSERT_TRUE(other.Installed());
    ASSERT_TRUE(other.InstallPrinter(kOtherPrinter));
    InstDataValues values = m_driver.StandardValues();
    values.push_back({"Marker", Quoted("driver's own file")});
    ASSERT_TRUE(m_driver.SetInstallData(values));

    const struct {
        const char* pszPrinter;
        const char* pszExpected;
    } cases[] = {
        {kOtherPrinter, "other driver's file"},
        {kPrinter, "driver's own file"},
        {"", "driver's own file"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(1, GetDriverSetting(m_sz, sizeof(m_sz), "Marker", kDriver, "X", c.pszPrinter)) << c.pszPrinter;
        EXPECT_STREQ(c.pszExpected, m_sz) << c.pszPrinter;
    }
    EXPECT_EQ(0, GetDriverSetting(m_sz, sizeof(m_sz), "Marker", kOther, "X", "")) << "not in the other driver's key";
    EXPECT_EQ(0, GetDriverSetting(m_sz, sizeof(m_sz), "Missing", kDriver, "X", kPrinter));
    EXPECT_EQ(0, GetDriverSetting(m_sz, 5, "Marker", kDriver, "X", kPrinter)) << "does not fit";
    EXPECT_STREQ("", m_sz);
    EXPECT_EQ(0, GetDriverSetting(m_sz, sizeof(m_sz), "Marker", std::string(240, 'd').c_str(), "X", ""))
        << "driver key path longer than 259 characters";

    CStr model;
    EXPECT_EQ(1, LookupModelId(kPrinter, kDriver, model));
    EXPECT_STREQ("MODEL1", model.c_str());
    EXPECT_EQ(1, LookupModelId("TA No Such Printer", kDriver, model));
    EXPECT_STREQ("", model.c_str());
}

TEST_F(DriverSettings, PrinterDriverAndPortFromSpooler)
{
    char szDriver[260] = "x";
    char szPort[260] = "x";
    EXPECT_EQ(1, GetPrinterDriverName(kPrinter, szDriver, sizeof(szDriver)));
    EXPECT_STREQ(kDriver, szDriver);
    EXPECT_EQ(1, GetPrinterDriverAndPort(kPrinter, szDriver, sizeof(szDriver), szPort, sizeof(szPort)));
    EXPECT_STREQ(kDriver, szDriver);
    EXPECT_STREQ("FILE:", szPort);

    EXPECT_EQ(0, GetPrinterDriverName(kPrinter, szDriver, 4)) << "does not fit";
    EXPECT_STREQ("", szDriver) << "a name that does not fit counts as missing";
    EXPECT_EQ(1, GetPrinterDriverAndPort(kPrinter, szDriver, 4, szPort, sizeof(szPort))) << "the port fits";
    EXPECT_STREQ("", szDriver);
    EXPECT_STREQ("FILE:", szPort);
    EXPECT_EQ(0, GetPrinterDriverAndPort(kPrinter, szDriver, 4, szPort, 3));
    EXPECT_STREQ("", szPort);

    for (const char* pszPrinter : {"TA No Such Printer", ""}) {
        EXPECT_EQ(0, GetPrinterDriverName(pszPrinter, szDriver, sizeof(szDriver)));
        EXPECT_STREQ("", szDriver);
        EXPECT_EQ(0, GetPrinterDriverAndPort(pszPrinter, szDriver, sizeof(szDriver), szPort, sizeof(szPort)));
        EXPECT_STREQ("", szDriver);
        EXPECT_STREQ("", szPort);
    }
}

TEST(FileExistence, FilesAndFoldersButNoPatterns)
{
    CTempDir dir;
    ASSERT_TRUE(WriteTextFile(dir.File("a.txt"), "a"));
    const struct {
        std::string path;
        int nExpected;
    } cases[] = {
        {dir.File("a.txt"), 1},
        {dir.Path(), 1},
        {dir.Path() + "\\\\a.txt", 1},  // a doubled backslash reads as one
        {dir.File("b.txt"), 0},
        {dir.Path() + "\\", 0},  // a folder with its trailing backslash is not found
        {dir.File("*.txt"), 0},
        {dir.File("a.tx?"), 0},
        {"", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.nExpected, FileExists(c.path.c_str())) << c.path;
    EXPECT_EQ(0, FileExists(NULL));
}

// The resource DLL for the user's language, in child processes that run in that language.
struct ResDllCase {
    const char* pszLocale;
    const char* pszDll;
};

void PrintTo(const ResDllCase& c, std::ostream* pOut)
{
    *pOut << c.pszLocale;
}

class ResDllPath : public ::testing::TestWithParam<ResDllCase> {};

TEST_P(ResDllPath, FollowsUserLanguage)
{
    IN_LOCALE(GetParam().pszLocale);
    CSettingsDriver driver;
    ASSERT_TRUE(driver.Ready());
    char szPath[260] = {0};
    EXPECT_EQ(1, GetResDllPath(szPath, sizeof(szPath), kDriver, "MODEL1", kPrinter));
    EXPECT_EQ(driver.InstallFile(GetParam().pszDll), szPath);

    ASSERT_TRUE(DeleteFileA(driver.InstallFile("resdll.dll").c_str()));
    ASSERT_TRUE(DeleteFileA(driver.InstallFile("resdll-rtl.dll").c_str()));
    EXPECT_EQ(0, GetResDllPath(szPath, sizeof(szPath), kDriver, "MODEL1", kPrinter)) << "no resource DLL left";
    EXPECT_STREQ("", szPath);
}

INSTANTIATE_TEST_SUITE_P(Locales, ResDllPath,
                         ::testing::Values(ResDllCase{"en_US.UTF-8", "resdll.dll"},
                                           ResDllCase{"he_IL.UTF-8", "resdll-rtl.dll"},
                                           ResDllCase{"de_DE.UTF-8", "resdll.dll"}));

} // namespace
