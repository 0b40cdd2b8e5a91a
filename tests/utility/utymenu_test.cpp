// Telling a utility command from other extra-menu commands through the
// model's "UTILITY" entry of the profile file.
#include "utility/utycall.h"
#include "tests/support/driverfixture.h"
#include "tests/support/files.h"
#include "tests/support/logcapture.h"
#include <gtest/gtest.h>
#include <memory>
#include <string>

using namespace testsupport;

namespace {

const char kDriver[] = "TA Utility Menu Driver";
const char kPrinter[] = "TA Utility Menu Printer";

class UtilityMenu : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_profile = m_install.File("utyprofile.ini");
        ASSERT_TRUE(WriteTextFile(m_profile, "[UTMODEL]\r\nUTILITY=utydll.dll\r\n[OTHERMODEL]\r\nPrnDll=x.dll\r\n"));
        std::string data = InstallDataText(kDriver, {{"ModelID", Quoted("UTMODEL")},
                                                     {"InstallPath", Quoted(m_install.Path())},
                                                     {"Profile", Quoted(m_profile)}});
        m_driver.reset(new CScopedDriver(DriverWithInstallData(kDriver, "tautymenu", data)));
        ASSERT_TRUE(m_driver->Installed());
        ASSERT_TRUE(m_driver->InstallPrinter(kPrinter));
    }

    CTempDir m_install;
    std::string m_profile;
    std::unique_ptr<CScopedDriver> m_driver;
};

TEST_F(UtilityMenu, CommandNamingTheModelsUtilityDll)
{
    testsupport::CLogCapture log;
    CUtyCall call;
    std::string command = BinFile("utydll.dll") + " /U2";
    EXPECT_TRUE(call.IsUtyCallMenu(kDriver, kPrinter, "UTMODEL", command.c_str()));
    EXPECT_TRUE(log.HasLine("CUtyCall::IsUtyCallMenu"));
    EXPECT_TRUE(log.HasLine("CUtyCall::IsUtyCallMenu : csDatName : " + m_profile));
}

TEST_F(UtilityMenu, OtherCommandsAndMissingArguments)
{
    std::string command = BinFile("utydll.dll") + " /U2";
    struct {
        const char* pszDriver;
        const char* pszPrinter;
        const char* pszModel;
        std::string command;
    } const cases[] = {
        {kDriver, kPrinter, "UTMODEL", "C:\\drivers\\inkorder.exe"},
        {kDriver, kPrinter, "UTMODEL", "C:\\drivers\\UTYDLL.DLL /U2"},
        {kDriver, kPrinter, "OTHERMODEL", command},
        {kDriver, "TA Utility Menu No Printer", "UTMODEL", command},
        {kDriver, kPrinter, "", command},
        {kDriver, kPrinter, NULL, command},
        {"", kPrinter, "UTMODEL", command},
        {NULL, kPrinter, "UTMODEL", command},
        {kDriver, kPrinter, "UTMODEL", ""},
    };
    CUtyCall call;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pszPrinter) + " / " + (c.pszModel ? c.pszModel : "(null)") + " / " + c.command);
        EXPECT_FALSE(call.IsUtyCallMenu(c.pszDriver, c.pszPrinter, c.pszModel, c.command.c_str()));
    }
    EXPECT_FALSE(call.IsUtyCallMenu(kDriver, kPrinter, "UTMODEL", NULL));
}

} // namespace
