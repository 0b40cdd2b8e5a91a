// The registry key wrapper against Wine's registry, and the driver key's routing through
// the test auxiliary library.
#include "settings/registrykey.h"
#include "drvcheck/drvsupport.h"
#include "tests/fixtures/auxlib/auxcalllog.h"
#include "tests/support/files.h"
#include "tests/support/registry.h"
#include <gtest/gtest.h>
#include <string>

using namespace testsupport;

namespace {

const char kRootPath[] = "Software\\TrayAgentTest\\RegKey";

class RegistryKeyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_path = std::string(kRootPath) + "\\" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name();
        RegDeleteTreeAt(HKEY_CURRENT_USER, m_path);
    }
    void TearDown() override
    {
        ReleaseDriverSupport();
        RegDeleteTreeAt(HKEY_CURRENT_USER, kRootPath);
    }

    std::string Sub(const char* pszName) const { return m_path + "\\" + pszName; }

    std::string m_path;
};

} // namespace

TEST_F(RegistryKeyTest, CreateTellsANewKeyFromAnExistingOne)
{
    CRegistryKey created;
    EXPECT_EQ(1, created.Create(HKEY_CURRENT_USER, m_path.c_str(), KEY_ALL_ACCESS));
    EXPECT_EQ(1, created.m_fOpen);
    EXPECT_NE(nullptr, created.m_hKey);
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, m_path));

    CRegistryKey existing;
    EXPECT_EQ(0, existing.Create(HKEY_CURRENT_USER, m_path.c_str(), KEY_READ));
    EXPECT_EQ(1, existing.m_fOpen) << "an existing key is opened";
    EXPECT_EQ(static_cast<REGSAM>(KEY_READ), existing.m_samDesired);

    CRegistryKey failed;
    const HKEY hNoKey = reinterpret_cast<HKEY>(static_cast<INT_PTR>(0xDEAD0));
    EXPECT_EQ(0, failed.Create(hNoKey, "Anything", KEY_ALL_ACCESS));
    EXPECT_EQ(0, failed.m_fOpen);
    EXPECT_EQ(nullptr, failed.m_hKey);
}

TEST_F(RegistryKeyTest, MaskZeroMeansAllAccessForCreateAndReadForOpen)
{
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, m_path, "Existing", "x"));
    struct Case {
        BOOL fCreate;
        REGSAM samGiven;
        REGSAM samExpected;
        bool fWritable;
    } cases[] = {
        {TRUE, 0, KEY_ALL_ACCESS, true},
        {FALSE, 0, KEY_READ, false},
        {TRUE, KEY_READ, KEY_READ, false},
        {FALSE, KEY_ALL_ACCESS, KEY_ALL_ACCESS, true},
    };
    for (const Case& c : cases) {
        CRegistryKey key(HKEY_CURRENT_USER, m_path.c_str(), c.fCreate, c.samGiven);
        ASSERT_EQ(1, key.m_fOpen) << c.fCreate << " " << c.samGiven;
        EXPECT_EQ(c.samExpected, key.m_samDesired) << c.fCreate << " " << c.samGiven;
        LONG lWrite = RegSetValueExA(key.m_hKey, "Probe", 0, REG_SZ, reinterpret_cast<const BYTE*>("p"), 2);
        EXPECT_EQ(c.fWritable, lWrite == ERROR_SUCCESS) << c.fCreate << " " << c.samGiven << ": " << lWrite;
    }
    CRegistryKey opened;
    EXPECT_EQ(1, opened.Open(HKEY_CURRENT_USER, m_path.c_str(), 0));
    EXPECT_EQ(static_cast<REGSAM>(KEY_READ), opened.m_samDesired);
    // Create takes the mask as it is given, 0 included.
    CRegistryKey zeroMask;
    zeroMask.Create(HKEY_CURRENT_USER, m_path.c_str(), 0);
    EXPECT_EQ(0u, zeroMask.m_samDesired);
}

TEST_F(RegistryKeyTest, MissingKeyStaysClosedAndClosingIsHarmless)
{
    CRegistryKey key(HKEY_CURRENT_USER, Sub("Missing").c_str(), FALSE, 0);
    EXPECT_EQ(0, key.m_fOpen);
    EXPECT_EQ(nullptr, key.m_hKey);
    EXPECT_EQ(0, key.Open(HKEY_CURRENT_USER, Sub("Missing").c_str()));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, Sub("Missing")));
    key.Close();
    key.Close();
    EXPECT_EQ(0, key.m_fOpen);

    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, m_path, "V", "x"));
    ASSERT_EQ(1, key.Open(HKEY_CURRENT_USER, m_path.c_str()));
    key.Close();
    key.Close();
    EXPECT_EQ(0, key.m_fOpen);
    EXPECT_EQ(nullptr, key.m_hKey);
}

TEST_F(RegistryKeyTest, QueryStringReadsBytesAsTextOrGivesTheDefault)
{
    const std::string text259(259, 'a');
    const std::string text260(260, 'b');
    const std::string raw260(260, 'c');
    const DWORD dwNumber = 0x00434241;  // "ABC" in memory order
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, m_path, "Text", "hello"));
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, m_path, "Empty", ""));
    ASSERT_TRUE(RegSetBinary(HKEY_CURRENT_USER, m_path, "ZeroLength", "", 0));
    ASSERT_TRUE(RegSetDword(HKEY_CURRENT_USER, m_path, "Number", dwNumber));
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, m_path, "Fits260", text259));
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, m_path, "Over260", text260));
    ASSERT_TRUE(RegSetBinary(HKEY_CURRENT_USER, m_path, "Unterminated", raw260.data(), 260));
    CRegistryKey key(HKEY_CURRENT_USER, m_path.c_str(), FALSE, KEY_READ);
    ASSERT_EQ(1, key.m_fOpen);
    struct Case {
        const char* pszValue;
        DWORD cbHint;
        std::string expected;
    } cases[] = {
        {"Text", 0, "hello"},
        {"Text", 260, "hello"},
        {"Missing", 0, "dflt"},
        {"Missing", 260, "dflt"},
        {"Empty", 0, ""},  // one terminating byte: read, and empty
        {"ZeroLength", 0, "dflt"},
        {"Number", 0, "ABC"},
        {"Fits260", 260, text259},
        {"Over260", 260, "dflt"},
        {"Over260", 0, text260},
        {"Unterminated", 0, raw260},
        {"Unterminated", 260, raw260},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(c.expected.c_str(), key.QueryString(c.pszValue, "dflt", c.cbHint).c_str())
            << c.pszValue << " " << c.cbHint;

    key.Close();
    EXPECT_STREQ("dflt", key.QueryString("Text", "dflt", 0).c_str());
    EXPECT_STREQ("dflt", key.QueryString("Text", "dflt", 260).c_str());
}

TEST_F(RegistryKeyTest, EnumValueWalksValuesUntilTheFirstItCannotRead)
{
    const std::string data256(256, 'd');
    // Named in sorted order: Wine enumerates values by name, Windows in the order written.
    const std::string longName(256, 'n');
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, m_path, "A_First", "one"));
    ASSERT_TRUE(RegSetBinary(HKEY_CURRENT_USER, m_path, "B_Full", data256.data(), 256));
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, m_path, "C_Second", "two"));
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, m_path, "D_Blank", ""));
    ASSERT_TRUE(RegSetBinary(HKEY_CURRENT_USER, m_path, "E_TooLong", (data256 + "x").data(), 257));
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, m_path, longName.c_str(), "named too long"));
    CRegistryKey key(HKEY_CURRENT_USER, m_path.c_str(), FALSE, KEY_READ);
    ASSERT_EQ(1, key.m_fOpen);
    struct Case {
        DWORD dwIndex;
        const char* pszName;  // "kept": the call failed and left the name alone
        std::string data;
    } cases[] = {
        {0, "A_First", "one"},
        {1, "B_Full", data256},
        {2, "C_Second", "two"},
        {3, "D_Blank", ""},  // read, but its empty data ends a caller's walk
        {4, "kept", ""},   // data over 256 bytes
        {5, "kept", ""},   // name over 255 characters
        {6, "kept", ""},   // past the last value
    };
    for (const Case& c : cases) {
        CStr name = "kept";
        EXPECT_STREQ(c.data.c_str(), key.EnumValue(c.dwIndex, name).c_str()) << c.dwIndex;
        EXPECT_STREQ(c.pszName, name.c_str()) << c.dwIndex;
    }
    CStr name = "kept";
    key.Close();
    EXPECT_STREQ("", key.EnumValue(0, name).c_str());
    EXPECT_STREQ("kept", name.c_str());
}

TEST_F(RegistryKeyTest, DeleteValueNeedsAnOpenKey)
{
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, m_path, "Doomed", "x"));
    CRegistryKey key;
    EXPECT_EQ(0, key.DeleteValue("Doomed"));
    std::string value;
    EXPECT_TRUE(RegReadString(HKEY_CURRENT_USER, m_path, "Doomed", &value));

    ASSERT_EQ(1, key.Open(HKEY_CURRENT_USER, m_path.c_str(), KEY_ALL_ACCESS));
    EXPECT_EQ(1, key.DeleteValue("Doomed"));
    EXPECT_FALSE(RegReadString(HKEY_CURRENT_USER, m_path, "Doomed", &value));
    EXPECT_EQ(0, key.DeleteValue("Doomed"));
    key.Close();
    EXPECT_EQ(0, key.DeleteValue("Doomed"));
}

TEST_F(RegistryKeyTest, DriverKeyWithoutSupportIsAnOrdinaryKey)
{
    ASSERT_EQ(0u, GetDriverSupportFlag());
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, m_path, "V", "value"));
    {
        CDriverRegistryKey key(HKEY_CURRENT_USER, m_path.c_str(), FALSE, 0);
        EXPECT_EQ(1, key.m_fOpen);
        EXPECT_EQ(static_cast<REGSAM>(KEY_READ), key.m_samDesired);
        EXPECT_STREQ("value", key.QueryString("V", "", 0).c_str());
        key.Close();
        EXPECT_EQ(0, key.m_fOpen);
        EXPECT_EQ(nullptr, key.m_hKey);
    }
    CDriverRegistryKey created(HKEY_CURRENT_USER, Sub("Made").c_str(), TRUE, 0);
    EXPECT_EQ(1, created.m_fOpen);
    EXPECT_EQ(static_cast<REGSAM>(KEY_ALL_ACCESS), created.m_samDesired);
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, Sub("Made")));
    CDriverRegistryKey missing(HKEY_CURRENT_USER, Sub("Missing").c_str(), FALSE, KEY_READ);
    EXPECT_EQ(0, missing.m_fOpen);
}

TEST_F(RegistryKeyTest, DriverKeyOpensCreatesAndClosesThroughTheBoundLibrary)
{
    const std::string library = BinFile("auxlib.dll");
    ASSERT_EQ(1, CheckDriverSupport(AUX_KIND_LIBRARY, library.c_str()));
    const AuxCallLog* pLog = AuxCallLogOf(library.c_str());
    ASSERT_NE(nullptr, pLog);
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, m_path, "V", "value"));

    HKEY hOpened = NULL;
    {
        CDriverRegistryKey key(HKEY_CURRENT_USER, m_path.c_str(), FALSE, KEY_READ);
        ASSERT_EQ(1, key.m_fOpen);
        hOpened = key.m_hKey;
        EXPECT_STREQ("value", key.QueryString("V", "", 260).c_str());
        key.Close();
        EXPECT_EQ(nullptr, key.m_hKey);
    }
    HKEY hCreated = NULL;
    {
        CDriverRegistryKey key(HKEY_CURRENT_USER, Sub("Made").c_str(), TRUE, 0);
        ASSERT_EQ(1, key.m_fOpen);
        hCreated = key.m_hKey;
    }  // closed by the destructor
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, Sub("Made")));
    {
        CDriverRegistryKey missing(HKEY_CURRENT_USER, Sub("Missing").c_str(), FALSE, KEY_READ);
        EXPECT_EQ(0, missing.m_fOpen);
    }

    ASSERT_EQ(5, pLog->nCount);
    EXPECT_EQ(3, pLog->aCalls[0].nOrdinal);
    EXPECT_STREQ(m_path.c_str(), pLog->aCalls[0].szSubKey);
    EXPECT_EQ(static_cast<REGSAM>(KEY_READ), pLog->aCalls[0].samDesired);
    EXPECT_EQ(hOpened, pLog->aCalls[0].hResult);
    EXPECT_EQ(7, pLog->aCalls[1].nOrdinal);
    EXPECT_EQ(hOpened, pLog->aCalls[1].hParent);
    EXPECT_EQ(1, pLog->aCalls[2].nOrdinal);
    EXPECT_STREQ(Sub("Made").c_str(), pLog->aCalls[2].szSubKey);
    EXPECT_EQ(static_cast<REGSAM>(KEY_ALL_ACCESS), pLog->aCalls[2].samDesired);
    EXPECT_EQ(hCreated, pLog->aCalls[2].hResult);
    EXPECT_EQ(7, pLog->aCalls[3].nOrdinal);
    EXPECT_EQ(hCreated, pLog->aCalls[3].hParent);
    EXPECT_EQ(3, pLog->aCalls[4].nOrdinal);
    EXPECT_NE(0, pLog->aCalls[4].lResult);
}

TEST_F(RegistryKeyTest, DriverKeyStaysClosedWhenTheLibraryLacksEntryPoints)
{
    ASSERT_EQ(1, CheckDriverSupport(AUX_KIND_LIBRARY, BinFile("auxlib_no20.dll").c_str()));
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, m_path, "V", "value"));
    CDriverRegistryKey opened(HKEY_CURRENT_USER, m_path.c_str(), FALSE, KEY_READ);
    EXPECT_EQ(0, opened.m_fOpen);
    EXPECT_EQ(nullptr, opened.m_hKey);
    EXPECT_STREQ("dflt", opened.QueryString("V", "dflt", 0).c_str());
    CDriverRegistryKey created(HKEY_CURRENT_USER, Sub("Made").c_str(), TRUE, 0);
    EXPECT_EQ(0, created.m_fOpen);
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, Sub("Made")));
    // The ordinary wrapper is not routed.
    CRegistryKey plain(HKEY_CURRENT_USER, m_path.c_str(), FALSE, KEY_READ);
    EXPECT_EQ(1, plain.m_fOpen);
}
