// Operating-system conditions of value lines, under the versions Wine reports on request.
#include "installdata/instdatalookup.h"
#include "installdata/instdatatable.h"
#include "tests/installdata/instdata_driver.h"
#include "tests/support/process.h"
#include <gtest/gtest.h>
#include <set>
#include <string>

namespace {

// Every condition word holds exactly when it is in the set (letter case ignored).
void ExpectConditionsHolding(const std::set<std::string>& holding)
{
    const char* const kWords[] = {"ALL",     "WIN9X",      "WINNT",   "WINNT40", "WIN2000",
                                  "WIN2KLATER", "BUILD32", "BUILD64", "WIN95",   "NT"};
    for (const char* pszWord : kWords) {
        BOOL fExpected = holding.count(pszWord) != 0;
        EXPECT_EQ(fExpected, CInstDataTable::MatchCondition(pszWord)) << pszWord;
        std::string lower(pszWord);
        for (char& ch : lower)
            ch = static_cast<char>(tolower(static_cast<unsigned char>(ch)));
        EXPECT_EQ(fExpected, CInstDataTable::MatchCondition(lower.c_str())) << lower;
    }
}

} // namespace

TEST(InstDataConditions, Windows98)
{
    AS_WINDOWS_VERSION("win98");
    ExpectConditionsHolding({"ALL", "WIN9X", "BUILD32"});
}

TEST(InstDataConditions, WindowsNT40)
{
    AS_WINDOWS_VERSION("nt40");
    ExpectConditionsHolding({"ALL", "WINNT", "WINNT40", "BUILD32"});
}

TEST(InstDataConditions, Windows2000)
{
    AS_WINDOWS_VERSION("win2k");
    ExpectConditionsHolding({"ALL", "WINNT", "WIN2000", "BUILD32"});
}

TEST(InstDataConditions, WindowsXP)
{
    AS_WINDOWS_VERSION("winxp");
    ExpectConditionsHolding({"ALL", "WINNT", "WIN2000", "WIN2KLATER", "BUILD32"});
}

TEST(InstDataConditions, Windows7)
{
    AS_WINDOWS_VERSION("win7");
    ExpectConditionsHolding({"ALL", "WINNT", "WIN2000", "WIN2KLATER", "BUILD32"});
}

TEST(InstDataConditions, Windows98TakesLinesForItsFamilyThroughTheLookup)
{
    AS_WINDOWS_VERSION("win98");
    instdatatest::CInstDataDriver driver("[{driver}]\r\n52={id}.inf\r\n",
                                         {{"{id}.inf",
                                           "[Install]\r\n"
                                           "REGPATH=K,\"HKEY_LOCAL_MACHINE\\Key\"\r\n"
                                           "REGENTER=K,\"Both\",\"either family\",WINNT,WIN9X\r\n"
                                           "REGENTER=K,\"Nt\",\"NT only\",WINNT\r\n"
                                           "REGENTER=K,\"Old\",\"9x only\",WIN9X\r\n"
                                           "REGENTER=K,\"Old\",\"NT override\",WINNT\r\n"}});
    ASSERT_TRUE(driver.Installed());
    CInstDataLookup lookup;
    EXPECT_STREQ("either family", lookup.GetValueForDriver(driver.Name().c_str(), "Key", "Both").c_str());
    EXPECT_STREQ("", lookup.GetValueForDriver(driver.Name().c_str(), "Key", "Nt").c_str());
    EXPECT_STREQ("9x only", lookup.GetValueForDriver(driver.Name().c_str(), "Key", "Old").c_str());
}
