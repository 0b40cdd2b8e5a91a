// Targets created with the printer DLL's defaults, and the agent's
// open-or-create call.
#include "settings/targets.h"
#include "tests/support/driverfixture.h"
#include "tests/support/files.h"
#include "tests/targets/targetfixture.h"
#include <gtest/gtest.h>
#include <memory>
#include <string>

using namespace testsupport;

namespace {

const char kDriver[] = "TA Targets Defaults Driver";
const char kPrinter[] = "TA Targets Defaults Printer";

// A driver whose installation folder holds the printer DLL and a profile
// file with one model section per outcome.
class TargetDefaults : public TargetKeys {
protected:
    void SetUp() override
    {
        TargetKeys::SetUp();
        ASSERT_TRUE(CopyFileA(BinFile("prndll.dll").c_str(), m_install.File("prndll.dll").c_str(), FALSE));
        ASSERT_TRUE(CopyFileA(BinFile("utydll.dll").c_str(), m_install.File("utydll.dll").c_str(), FALSE));
        std::string profile = m_install.File("tgtprofile.ini");
        ASSERT_TRUE(WriteTextFile(profile, "[TGTMODEL]\r\nPrnDll=prndll.dll\r\n"
                                           "[NOEXPORT]\r\nPrnDll=utydll.dll\r\n"
                                           "[NODLL]\r\nPrnDll=missing.dll\r\n"));
        std::string data = InstallDataText(kDriver, {{"ModelID", Quoted("TGTMODEL")},
                                                     {"InstallPath", Quoted(m_install.Path())},
                                                     {"Profile", Quoted(profile)}});
        m_driver.reset(new CScopedDriver(DriverWithInstallData(kDriver, "tatgtdef", data)));
        ASSERT_TRUE(m_driver->Installed());
        ASSERT_TRUE(m_driver->InstallPrinter(kPrinter, "FILE:"));
        SetEnvironmentVariableA("PRNDLL_RECORD", m_record.File("calls.txt").c_str());
    }
    void TearDown() override
    {
        SetEnvironmentVariableA("PRNDLL_RECORD", NULL);
        SetEnvironmentVariableA("PRNDLL_RESULT", NULL);
        m_driver.reset();
        TargetKeys::TearDown();
    }
    std::string Calls() const
    {
        std::string text;
        ReadTextFile(m_record.File("calls.txt"), &text);
        return text;
    }

    CTempDir m_install;
    CTempDir m_record;
    std::unique_ptr<CScopedDriver> m_driver;
};

TEST_F(TargetDefaults, NewTargetGetsThePrinterDllsDefaultsOnce)
{
    int fNetwork = 7;
    int fCreated = 7;
    char szPath[MAX_PATH] = {0};
    ASSERT_EQ(0, OpenOrCreateTarget(kPrinter, "FILE:", "TGTMODEL", &fNetwork, szPath, MAX_PATH, &fCreated));
    EXPECT_EQ(0, fNetwork);
    EXPECT_EQ(1, fCreated);
    EXPECT_EQ(TargetPath(0), szPath);
    EXPECT_EQ(std::string(kPrinter) + "|" + kDriver + "|FILE:|TGTMODEL|null|null|null\n", Calls());
    EXPECT_EQ(kPrinter, String(szPath, "Name"));
    EXPECT_EQ(0u, Dword(szPath, "Setting"));
    EXPECT_EQ(10u, Dword(szPath, "Timer"));
    EXPECT_EQ(2u, Dword(szPath, "TrayIconSelected"));
    EXPECT_EQ(1u, Dword(szPath, "TrayIconEnable"));

    // Found the next time: nothing is created or called, the flag is left alone.
    fCreated = 7;
    char szAgain[MAX_PATH] = {0};
    ASSERT_EQ(0, OpenOrCreateTarget(kPrinter, "FILE:", "TGTMODEL", &fNetwork, szAgain, MAX_PATH, &fCreated));
    EXPECT_STREQ(szPath, szAgain);
    EXPECT_EQ(7, fCreated);
    EXPECT_FALSE(Exists(TargetPath(1)));
    EXPECT_EQ(std::string(kPrinter) + "|" + kDriver + "|FILE:|TGTMODEL|null|null|null\n", Calls());
}

TEST_F(TargetDefaults, TargetStaysWhateverThePrinterDllSays)
{
    struct {
        const char* pszModel;
        const char* pszDllResult;
        int nExpected;
    } const cases[] = {{"TGTMODEL", "3", 3}, {"NOEXPORT", NULL, 5}, {"NODLL", NULL, 4}, {"NOSECTION", NULL, 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszModel);
        RemoveBases();
        SetEnvironmentVariableA("PRNDLL_RESULT", c.pszDllResult);
        int fNetwork = 7;
        int fCreated = 7;
        char szPath[MAX_PATH] = {0};
        EXPECT_EQ(c.nExpected, OpenOrCreateTarget(kPrinter, "FILE:", c.pszModel, &fNetwork, szPath, MAX_PATH,
                                                  &fCreated));
        EXPECT_EQ(0, fCreated);
        EXPECT_EQ(TargetPath(0), szPath);
        EXPECT_EQ(kPrinter, String(TargetPath(0), "Name"));
    }
}

TEST_F(TargetDefaults, NetworkTargetHasNoPrinterDll)
{
    int fNetwork = 7;
    int fCreated = 7;
    char szPath[MAX_PATH] = {0};
    EXPECT_EQ(4, OpenOrCreateTarget("", "USB009", "TGTMODEL", &fNetwork, szPath, MAX_PATH, &fCreated));
    EXPECT_EQ(1, fNetwork);
    EXPECT_EQ(0, fCreated);
    std::string path = TargetPath(0, true);
    EXPECT_EQ(path, szPath);
    EXPECT_EQ("USB009", String(path, "Name"));
    EXPECT_EQ(0u, Dword(path, "Setting"));
    EXPECT_EQ(10u, Dword(path, "Timer"));
    EXPECT_EQ("", Calls());

    EXPECT_EQ(0, OpenOrCreateTarget(NULL, "usb009", "TGTMODEL", &fNetwork, szPath, MAX_PATH, NULL));
    EXPECT_EQ(path, szPath);
}

TEST_F(TargetDefaults, StaleTargetsAreSweptBeforeANewOneIsMade)
{
    CreateBases();
    PutTarget(0, "TA Targets Defaults Gone Printer");
    char szPath[MAX_PATH] = {0};
    ASSERT_EQ(0, CreateTargetWithDefaults(kPrinter, "FILE:", "TGTMODEL", 0, szPath, MAX_PATH));
    EXPECT_EQ(TargetPath(0), szPath);
    EXPECT_EQ(kPrinter, String(szPath, "Name"));
    EXPECT_FALSE(Exists(TargetPath(1)));
}

} // namespace
