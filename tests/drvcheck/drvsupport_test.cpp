// The driver support check against Wine's spooler, file system and DLL loader: where the
// auxiliary library is looked for, when it is loaded, and what the check answers.
#include "tests/drvcheck/drvcheck_helpers.h"
#include "tests/support/files.h"
#include "tests/support/process.h"
#include <algorithm>
#include <cctype>

using namespace testsupport;

namespace {

std::string Lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char ch) { return std::tolower(ch); });
    return text;
}

} // namespace

TEST_F(DriverSupportTest, LocatesTheLibraryForEveryKindOfName)
{
    AddDriver("DrvCheck Locate Named", "dc_locnamed.ini", DataFileNaming("dc_locnamed.dll"))
        .InstallPrinter("DrvCheck Locate Printer");
    AddDriver("DrvCheck Locate Unnamed", "dc_locunnamed.ini", "[User Mode Printer Driver Information]\r\nX=1\r\n");
    const std::string dir = InstalledDriverDir();
    struct Case {
        int nKind;
        const char* pszName;
        std::string expected;
    } cases[] = {
        {AUX_KIND_PRINTER, "DrvCheck Locate Printer", dir + "\\dc_locnamed.dll"},
        {AUX_KIND_DRIVER, "DrvCheck Locate Named", dir + "\\dc_locnamed.dll"},
        {AUX_KIND_DRIVER, "DRVCHECK LOCATE named", dir + "\\dc_locnamed.dll"},
        {AUX_KIND_DRIVER, "DrvCheck Locate Unnamed", dir + "\\Q_DAUDF1.DLL"},
        {AUX_KIND_DATAFILE, "C:\\nowhere\\at all\\x.ini", "C:\\nowhere\\at all\\Q_DAUDF1.DLL"},
        {AUX_KIND_LIBRARY, "C:\\libs\\own aux.dll", "C:\\libs\\own aux.dll"},
        // Names that nothing bears leave no directory: the default name alone.
        {AUX_KIND_PRINTER, "DrvCheck No Such Printer", "Q_DAUDF1.DLL"},
        {AUX_KIND_DRIVER, "DrvCheck No Such Driver", "Q_DAUDF1.DLL"},
        {AUX_KIND_PRINTER, "", kNullPath},
        {AUX_KIND_DRIVER, "", kNullPath},
        {AUX_KIND_DATAFILE, NULL, kNullPath},
        {AUX_KIND_LIBRARY, "", kNullPath},
        {0, "DrvCheck Locate Named", kNullPath},
        {5, "C:\\libs\\own aux.dll", kNullPath},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, Located(c.nKind, c.pszName)) << c.nKind << " " << (c.pszName ? c.pszName : "(null)");
}

TEST_F(DriverSupportTest, DataFileNamesTheLibraryOnlyThroughItsKey)
{
    CTempDir dir;
    struct Case {
        const char* pszContent;  // null: no data file at all
        std::string expectedName;
    } cases[] = {
        {"[User Mode Printer Driver Information]\r\nQZAUDF01=own.dll\r\n", "own.dll"},
        {"[User Mode Printer Driver Information]\r\nqzaudf01 = own.dll\r\n", "own.dll"},
        {"[User Mode Printer Driver Information]\r\nQZAUDF01=\r\n", "Q_DAUDF1.DLL"},
        {"[User Mode Printer Driver Information]\r\nSADatI=own.dll\r\n", "Q_DAUDF1.DLL"},
        {"[Other Section]\r\nQZAUDF01=own.dll\r\n", "Q_DAUDF1.DLL"},
        {NULL, "Q_DAUDF1.DLL"},
    };
    int nCase = 0;
    for (const Case& c : cases) {
        std::string dataFile = dir.File("case" + std::to_string(nCase++) + ".ini");
        if (c.pszContent != NULL) {
            ASSERT_TRUE(WriteTextFile(dataFile, c.pszContent));
        }
        EXPECT_EQ(dir.File(c.expectedName), Located(AUX_KIND_DATAFILE, dataFile.c_str()))
            << (c.pszContent ? c.pszContent : "(no file)");
    }
}

TEST_F(DriverSupportTest, BareDataFileIsReadFromTheDriverDirectory)
{
    CTempDir dir;
    ASSERT_TRUE(WriteTextFile(dir.File("bare.ini"), DataFileNaming("frombare.dll")));
    const std::string driverPath = dir.File("drv.dll");
    EXPECT_EQ(dir.File("frombare.dll"), LocatedForFiles(driverPath.c_str(), "bare.ini"));
    EXPECT_EQ(dir.File("frombare.dll"), LocatedForFiles(driverPath.c_str(), dir.File("bare.ini").c_str()));
    // A driver path without a backslash gives no directory: the data file stays bare
    // and the library name has no directory either.
    EXPECT_EQ("Q_DAUDF1.DLL", LocatedForFiles("drv.dll", "bare.ini"));
    EXPECT_EQ("Q_DAUDF1.DLL", LocatedForFiles(NULL, NULL));
}

TEST_F(DriverSupportTest, BindsTheLibraryThatEachKindOfNameLeadsTo)
{
    CScopedDriver& driver = AddDriver("DrvCheck Bind Driver", "dc_bind.ini", DataFileNaming("dc_bind.dll"),
                                      {{"dc_bind.dll", "auxlib.dll"}});
    ASSERT_TRUE(driver.InstallPrinter("DrvCheck Bind Printer"));
    const std::string library = driver.InstalledFile("dc_bind.dll");
    const std::string dataFile = driver.InstalledFile("dc_bind.ini");
    struct Case {
        int nKind;
        std::string name;
    } cases[] = {
        {AUX_KIND_PRINTER, "DrvCheck Bind Printer"},
        {AUX_KIND_DRIVER, Lowered("DrvCheck Bind Driver")},
        {AUX_KIND_DATAFILE, dataFile},
        {AUX_KIND_LIBRARY, library},
    };
    for (const Case& c : cases) {
        ASSERT_FALSE(ModuleLoaded(library));
        EXPECT_EQ(1, CheckDriverSupport(c.nKind, c.name.c_str())) << c.name;
        EXPECT_EQ(1u, GetDriverSupportFlag());
        EXPECT_TRUE(ModuleLoaded(library)) << c.name;
        ReleaseDriverSupport();
        EXPECT_EQ(0u, GetDriverSupportFlag());
        EXPECT_FALSE(ModuleLoaded(library)) << "unloaded at release: " << c.name;
    }
}

TEST_F(DriverSupportTest, SecondCheckAfterSuccessLooksForNothing)
{
    const std::string library = BinFile("auxlib.dll");
    ASSERT_EQ(1, CheckDriverSupport(AUX_KIND_LIBRARY, library.c_str()));
    // None of these names would lead to a library; a bound library answers them all.
    EXPECT_EQ(1, CheckDriverSupport(AUX_KIND_LIBRARY, library.c_str()));
    EXPECT_EQ(1, CheckDriverSupport(AUX_KIND_DRIVER, "DrvCheck No Such Driver"));
    EXPECT_EQ(1, CheckDriverSupport(AUX_KIND_DRIVER, ""));
    EXPECT_EQ(1, CheckDriverSupport(9, NULL));
    // Loaded once: one release unloads it.
    ReleaseDriverSupport();
    EXPECT_FALSE(ModuleLoaded(library));
    EXPECT_EQ(0u, GetDriverSupportFlag());
}

TEST_F(DriverSupportTest, NoLibraryGivesMinusOneAndALaterCheckCanStillBind)
{
    CTempDir dir;
    const std::string notLibrary = dir.File("notadll.dll");
    const std::string dataFile = dir.File("missinglib.ini");
    ASSERT_TRUE(WriteTextFile(notLibrary, "this is not a library"));
    ASSERT_TRUE(WriteTextFile(dataFile, DataFileNaming("missing.dll")));
    const std::string library = BinFile("auxlib.dll");
    struct Case {
        int nKind;
        const char* pszName;
    } cases[] = {
        {AUX_KIND_LIBRARY, "C:\\DrvCheck\\no such library.dll"},
        {AUX_KIND_LIBRARY, notLibrary.c_str()},
        {AUX_KIND_LIBRARY, dir.Path().c_str()},
        {AUX_KIND_DATAFILE, dataFile.c_str()},
        {AUX_KIND_DRIVER, "DrvCheck No Such Driver"},
        {AUX_KIND_DRIVER, ""},
        {AUX_KIND_DRIVER, NULL},
        {AUX_KIND_PRINTER, "DrvCheck No Such Printer"},
        {0, library.c_str()},
        {5, library.c_str()},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(-1, CheckDriverSupport(c.nKind, c.pszName)) << c.nKind << " " << (c.pszName ? c.pszName : "(null)");
        EXPECT_EQ(0u, GetDriverSupportFlag());
        EXPECT_FALSE(ModuleLoaded(library));
    }
    EXPECT_EQ(1, CheckDriverSupport(AUX_KIND_LIBRARY, library.c_str()));
    EXPECT_TRUE(ModuleLoaded(library));
}

TEST_F(DriverSupportTest, DefaultLibraryOfAnUnknownDriverIsLookedForInTheCurrentDirectory)
{
    CTempDir dir;
    const std::string library = dir.File("Q_DAUDF1.DLL");
    ASSERT_TRUE(CopyFileA(BinFile("auxlib.dll").c_str(), library.c_str(), FALSE));
    char szPrevious[MAX_PATH] = {0};
    GetCurrentDirectoryA(MAX_PATH, szPrevious);
    ASSERT_TRUE(SetCurrentDirectoryA(dir.Path().c_str()));
    int nResult = CheckDriverSupport(AUX_KIND_DRIVER, "DrvCheck No Such Driver");
    bool fLoadedFromHere = ModuleLoaded(library);
    SetCurrentDirectoryA(szPrevious);
    EXPECT_EQ(1, nResult);
    EXPECT_TRUE(fLoadedFromHere);
    // The temporary folder can go only once the library is unloaded.
    ReleaseDriverSupport();
}

// Which Windows versions look for a library at all.
struct VersionCase {
    const char* pszVersion;
    int nExpected;
};

class DriverSupportVersionTest : public DriverSupportTest, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(DriverSupportVersionTest, ChecksOnlyOnNt5AndLater)
{
    AS_WINDOWS_VERSION(GetParam().pszVersion);
    const std::string library = BinFile("auxlib.dll");
    EXPECT_EQ(GetParam().nExpected, CheckDriverSupport(AUX_KIND_LIBRARY, library.c_str()));
    EXPECT_EQ(GetParam().nExpected == 1, ModuleLoaded(library));
    EXPECT_EQ(GetParam().nExpected == 1 ? 1u : 0u, GetDriverSupportFlag());
    if (GetParam().nExpected == 1)
        return;
    // Nothing is looked for, not even for names that lead nowhere.
    EXPECT_EQ(0, CheckDriverSupport(AUX_KIND_DRIVER, ""));
    EXPECT_EQ(0, CheckDriverSupport(7, NULL));
}

INSTANTIATE_TEST_SUITE_P(Versions, DriverSupportVersionTest,
                         ::testing::Values(VersionCase{"win98", 0}, VersionCase{"nt40", 0}, VersionCase{"win2k", 1},
                                           VersionCase{"winxp", 1}),
                         [](const ::testing::TestParamInfo<VersionCase>& info) {
                             return std::string(info.param.pszVersion);
                         });
