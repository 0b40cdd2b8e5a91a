// Completing driver, port and model: from the spooler's record of an
// installed printer and from its driver's installation data.
#include "cmdline/cmdlineinfo.h"
#include "tests/support/driverfixture.h"
#include "tests/support/files.h"
#include "tests/support/spooler.h"
#include <gtest/gtest.h>

using namespace testsupport;

namespace {

const char kDriver[] = "TA CmdLine Driver";
const char kPrinter[] = "TA CmdLine Printer";
const char kPort[] = "FILE:";

class CmdLineCompletion : public ::testing::Test {
protected:
    CmdLineCompletion()
        : m_driver(DriverWithInstallData(kDriver, "tacmdline", InstallDataText(kDriver, {{"ModelID", Quoted("CMD-M1")}})))
    {
    }
    void SetUp() override { ASSERT_TRUE(m_driver.Installed() && m_driver.InstallPrinter(kPrinter, kPort)); }
    static std::string PrinterSwitch() { return std::string("/P \"") + kPrinter + "\""; }

    CScopedDriver m_driver;
};

} // namespace

TEST_F(CmdLineCompletion, PrinterNameAloneIsCompletedFromSpoolerAndInstallData)
{
    CCmdLineInfo info(PrinterSwitch().c_str());
    EXPECT_STREQ(kDriver, info.m_szDriverName.c_str());
    EXPECT_STREQ(kPort, info.m_szPortName.c_str());
    EXPECT_STREQ("CMD-M1", info.m_szModelID.c_str());
    EXPECT_EQ(1, info.CompleteDriverPort());
    EXPECT_EQ(1, info.CompleteModel());
}

TEST_F(CmdLineCompletion, WhatTheCommandLineGivesDecidesWhatIsAsked)
{
    const struct {
        const char* pszWhat;
        std::string commandLine;
        const char* pszDriver;
        const char* pszPort;
        const char* pszModel;
    } cases[] = {
        {"driver and port given: the spooler is not asked", PrinterSwitch() + " /D \"Other\" /O \"LPT9:\" /M \"M\"",
         "Other", "LPT9:", "M"},
        {"port alone given: both come from the spooler", PrinterSwitch() + " /O \"LPT9:\" /M \"M\"", kDriver, kPort,
         "M"},
        {"model given: not looked up", PrinterSwitch() + " /M \"Given\"", kDriver, kPort, "Given"},
        {"a driver the installation data does not know has no model", PrinterSwitch() + " /D \"Other\" /O \"X:\"",
         "Other", "X:", ""},
        {"printer not installed", "/P \"TA CmdLine Missing\" /O \"LPT9:\"", "", "LPT9:", ""},
        {"no printer name", "/O \"LPT9:\"", "", "LPT9:", ""},
    };
    for (const auto& c : cases) {
        CCmdLineInfo info(c.commandLine.c_str());
        EXPECT_STREQ(c.pszDriver, info.m_szDriverName.c_str()) << c.pszWhat;
        EXPECT_STREQ(c.pszPort, info.m_szPortName.c_str()) << c.pszWhat;
        EXPECT_STREQ(c.pszModel, info.m_szModelID.c_str()) << c.pszWhat;
        EXPECT_EQ(c.pszDriver[0] != '\0' && c.pszPort[0] != '\0', info.CompleteDriverPort() == 1) << c.pszWhat;
        EXPECT_EQ(c.pszModel[0] != '\0', info.CompleteModel() == 1) << c.pszWhat;
    }
}

TEST_F(CmdLineCompletion, UnreadableParameterFileCompletesNothing)
{
    CCmdLineInfo info((PrinterSwitch() + " /F \"TA_no_such_param_file.tmp\"").c_str());
    EXPECT_STREQ(kPrinter, info.m_szPrinterName.c_str());
    EXPECT_STREQ("", info.m_szDriverName.c_str());
    EXPECT_STREQ("", info.m_szModelID.c_str());
    EXPECT_EQ(1, info.CompleteDriverPort()) << "the caller can still complete for itself";
    EXPECT_STREQ(kDriver, info.m_szDriverName.c_str());
}

TEST_F(CmdLineCompletion, ParameterFileNamingOnlyThePrinterIsCompleted)
{
    CTempDir dir;
    std::string path = dir.File("printer.txt");
    ASSERT_TRUE(WriteTextFile(path, PrinterSwitch() + "\n/E\n"));
    CCmdLineInfo info(("/F \"" + path + "\"").c_str());
    EXPECT_STREQ(kDriver, info.m_szDriverName.c_str());
    EXPECT_STREQ(kPort, info.m_szPortName.c_str());
    EXPECT_STREQ("CMD-M1", info.m_szModelID.c_str());
    EXPECT_EQ(1, info.m_fSwitchE);
}
