// The registry entry points of the auxiliary library: what reaches the library, and the
// result 12 whenever there is no library or no bound entry point.
#include "drvcheck/auxlibrary.h"
#include "tests/drvcheck/drvcheck_helpers.h"
#include "tests/fixtures/auxlib/auxcalllog.h"
#include "tests/support/files.h"
#include "tests/support/registry.h"

using namespace testsupport;

namespace {

const char kTestKey[] = "Software\\TrayAgentTest\\DrvCheck";
const HKEY kUntouched = reinterpret_cast<HKEY>(static_cast<INT_PTR>(0x5A5A));

// Each routed call once: every one answers 12 and leaves its outputs and the registry
// as they were.
void ExpectEveryCallRefused()
{
    HKEY hKey = kUntouched;
    DWORD dwDisposition = 77;
    EXPECT_EQ(12, AuxRegCreateKeyEx(HKEY_CURRENT_USER, kTestKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hKey,
                                    &dwDisposition));
    EXPECT_EQ(kUntouched, hKey);
    EXPECT_EQ(77u, dwDisposition);
    EXPECT_EQ(12, AuxRegOpenKeyEx(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &hKey));
    EXPECT_EQ(kUntouched, hKey);
    EXPECT_EQ(12, AuxRegCloseKey(HKEY_CURRENT_USER));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, kTestKey));
}

} // namespace

class AuxLibraryTest : public DriverSupportTest {
protected:
    void TearDown() override
    {
        DriverSupportTest::TearDown();
        RegDeleteTreeAt(HKEY_CURRENT_USER, kTestKey);
    }
};

TEST_F(AuxLibraryTest, CallsWithoutALibraryReturn12)
{
    ASSERT_EQ(NULL, g_pAuxDriverLibrary);
    ExpectEveryCallRefused();
    // A failed check leaves a library object without a library: still nothing is called.
    ASSERT_EQ(-1, CheckDriverSupport(AUX_KIND_LIBRARY, "C:\\DrvCheck\\no such library.dll"));
    ExpectEveryCallRefused();
}

TEST_F(AuxLibraryTest, LibraryWithoutOrdinal20IsBoundButRefusesEveryCall)
{
    const std::string library = BinFile("auxlib_no20.dll");
    ASSERT_EQ(1, CheckDriverSupport(AUX_KIND_LIBRARY, library.c_str()));
    EXPECT_EQ(1u, GetDriverSupportFlag());
    EXPECT_TRUE(ModuleLoaded(library));
    ExpectEveryCallRefused();
    const AuxCallLog* pLog = AuxCallLogOf(library.c_str());
    ASSERT_NE(nullptr, pLog);
    EXPECT_EQ(0, pLog->nCount);
}

TEST_F(AuxLibraryTest, RoutedCallsReachTheLibraryWithTheirArguments)
{
    const std::string library = BinFile("auxlib.dll");
    ASSERT_EQ(1, CheckDriverSupport(AUX_KIND_LIBRARY, library.c_str()));
    const AuxCallLog* pLog = AuxCallLogOf(library.c_str());
    ASSERT_NE(nullptr, pLog);

    char szSubKey[64];
    lstrcpyA(szSubKey, kTestKey);
    HKEY hCreated = NULL;
    DWORD dwDisposition = 0;
    ASSERT_EQ(0, AuxRegCreateKeyEx(HKEY_CURRENT_USER, szSubKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hCreated,
                                   &dwDisposition));
    EXPECT_EQ(static_cast<DWORD>(REG_CREATED_NEW_KEY), dwDisposition);
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, kTestKey));
    HKEY hOpened = NULL;
    ASSERT_EQ(0, AuxRegOpenKeyEx(hCreated, "", 0, KEY_READ, &hOpened));
    EXPECT_EQ(0, AuxRegCloseKey(hOpened));
    EXPECT_EQ(0, AuxRegCloseKey(hCreated));
    HKEY hMissing = NULL;
    EXPECT_EQ(2, AuxRegOpenKeyEx(HKEY_CURRENT_USER, "Software\\TrayAgentTest\\DrvCheck\\Missing", 0, KEY_READ,
                                 &hMissing));

    ASSERT_EQ(5, pLog->nCount);
    const AuxCall& create = pLog->aCalls[0];
    EXPECT_EQ(1, create.nOrdinal);
    EXPECT_EQ(HKEY_CURRENT_USER, create.hParent);
    EXPECT_STREQ(kTestKey, create.szSubKey);
    EXPECT_NE(static_cast<const void*>(szSubKey), create.pSubKey) << "the library gets a private copy";
    EXPECT_EQ(static_cast<REGSAM>(KEY_ALL_ACCESS), create.samDesired);
    EXPECT_EQ(hCreated, create.hResult);
    const AuxCall& open = pLog->aCalls[1];
    EXPECT_EQ(3, open.nOrdinal);
    EXPECT_EQ(hCreated, open.hParent);
    EXPECT_EQ(nullptr, open.pSubKey) << "an empty path reaches the library as null";
    EXPECT_EQ(static_cast<REGSAM>(KEY_READ), open.samDesired);
    EXPECT_EQ(hOpened, open.hResult);
    EXPECT_EQ(7, pLog->aCalls[2].nOrdinal);
    EXPECT_EQ(hOpened, pLog->aCalls[2].hParent);
    EXPECT_EQ(7, pLog->aCalls[3].nOrdinal);
    EXPECT_EQ(hCreated, pLog->aCalls[3].hParent);
    EXPECT_EQ(3, pLog->aCalls[4].nOrdinal);
    EXPECT_EQ(2, pLog->aCalls[4].lResult);
}
