// The language table of the profile file, the choice of a language section
// and the resource DLL's existence beside the profile file.
#include "settings/langres.h"
#include "tests/support/files.h"
#include "tests/support/localechild.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace testsupport;

namespace {

// A profile file in a folder of its own, with empty files of the given names beside it.
class CLanguageProfile {
public:
    CLanguageProfile(const std::string& text, const std::vector<std::string>& besideFiles = {})
    {
        WriteTextFile(Path(), text);
        for (const std::string& file : besideFiles)
            WriteTextFile(m_dir.File(file), "MZ");
    }
    std::string Path() const { return m_dir.File("profile.ini"); }
    std::string File(const std::string& name) const { return m_dir.File(name); }

private:
    CTempDir m_dir;
};

// The section that GetLanguageEntry chooses from the table, or the error it gives.
std::string EntryFor(const std::string& table, LANGID langId)
{
    CLanguageProfile profile("[Language]\r\n" + table);
    char szSection[260] = "unchanged";
    DWORD cchSize = sizeof(szSection);
    int nResult = GetLanguageEntry(szSection, &cchSize, profile.Path().c_str(), langId);
    return nResult == 0 ? std::string(szSection) : "error " + std::to_string(nResult);
}

TEST(LanguageEntry, ChoosesExactThenSamePrimaryThenEnglishThenFirst)
{
    const std::string table = "UK=09,02\r\nENU=09,01\r\nHEB=0D,01\r\nFRA=0C,01\r\nFRC=0C,03\r\nNEUTRAL\r\n";
    const struct {
        LANGID langId;
        const char* pszExpected;
    } cases[] = {
        {0x0409, "ENU"},      // exact, although an earlier entry has the same primary language
        {0x0C0C, "FRC"},      // exact, behind another French entry
        {0x080C, "FRA"},      // Belgian French is not listed: the first French entry
        {0x0407, "UK"},       // German is not listed: the first English entry
        {0x0000, "NEUTRAL"},  // a line without an equals sign stands for language 0
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.pszExpected, EntryFor(table, c.langId)) << std::hex << c.langId;
    EXPECT_EQ("HEB", EntryFor("HEB=0D,01\r\nFRA=0C,01\r\n", 0x0407)) << "no English entry: the first entry";
}

TEST(LanguageEntry, ReadsHexadecimalFieldsInEveryNotation)
{
    // A German entry first: a field read wrongly leaves it as the only choice.
    const char* const fields[] = {"0D,01", "0x0D,0x01", "000d,0001", "d,1", "0X0d , 01", "0D,01,Hebrew (Israel)"};
    for (const char* pszFields : fields)
        EXPECT_EQ("HEB", EntryFor(std::string("DEU=07,01\r\nHEB=") + pszFields + "\r\n", 0x040D)) << pszFields;
}

TEST(LanguageEntry, ReadsTableLongerThanOneBuffer)
{
    std::string table;
    for (int i = 0; i < 40; ++i)
        table += "PADDING" + std::to_string(i) + "=1F,01,filler text\r\n";
    ASSERT_GT(table.size(), 3u * 260u);
    table += "HEB=0D,01\r\n";
    EXPECT_EQ("HEB", EntryFor(table, 0x040D));
}

TEST(LanguageEntry, ReportsNameThatDoesNotFit)
{
    CLanguageProfile profile("[Language]\r\nHEB=0D,01\r\n");
    char szSection[8] = {0};
    const struct {
        DWORD cchSize;
        int nResult;
        DWORD cchAfter;
    } cases[] = {
        {2, LANGRES_SMALL_BUFFER, 3},  // less than the name's length: the length is told
        {3, LANGRES_FAILED, 3},        // the name fits, its terminator does not
        {4, 0, 4},
    };
    for (const auto& c : cases) {
        DWORD cchSize = c.cchSize;
        EXPECT_EQ(c.nResult, GetLanguageEntry(szSection, &cchSize, profile.Path().c_str(), 0x040D)) << c.cchSize;
        EXPECT_EQ(c.cchAfter, cchSize) << c.cchSize;
    }
    EXPECT_STREQ("HEB", szSection);
}

TEST(LanguageTable, MissingOrEmptyTableFailsEveryOperation)
{
    CLanguageProfile noTable("[ENU]\r\nResDll=res.dll\r\n", {"res.dll"});
    CLanguageProfile emptyTable("[Language]\r\n[ENU]\r\nResDll=res.dll\r\n", {"res.dll"});
    const std::string missingFile = noTable.File("nothere.ini");
    for (const std::string& path : {noTable.Path(), emptyTable.Path(), missingFile}) {
        char sz[260] = {0};
        DWORD cch = sizeof(sz);
        EXPECT_EQ(LANGRES_FAILED, GetLanguageEntry(sz, &cch, path.c_str(), 0x0409)) << path;
        cch = sizeof(sz);
        EXPECT_EQ(LANGRES_FAILED, ScanLanguageSections(sz, &cch, path.c_str())) << path;
        cch = sizeof(sz);
        EXPECT_EQ(LANGRES_FAILED, ChooseLanguageSection(sz, &cch, path.c_str())) << path;
        cch = sizeof(sz);
        EXPECT_EQ(LANGRES_FAILED, ReadLanguageValue("ResDll", sz, &cch, path.c_str())) << path;
        EXPECT_STREQ("", sz);
    }
}

TEST(LanguageTable, ScanTakesFirstSectionWhoseDllExists)
{
    const std::string text = "[Language]\r\nA=07,01\r\nB=09,01\r\nC=0D,01\r\n"
                             "[A]\r\nResDll=a.dll\r\n[B]\r\nResDll=b.dll\r\n[C]\r\nResDll=c.dll\r\n";
    CLanguageProfile profile(text, {"b.dll", "c.dll"});
    char szSection[260] = {0};
    DWORD cchSize = 1;
    EXPECT_EQ(LANGRES_SMALL_BUFFER, ScanLanguageSections(szSection, &cchSize, profile.Path().c_str()));
    EXPECT_EQ(2u, cchSize);
    cchSize = sizeof(szSection);
    EXPECT_EQ(0, ScanLanguageSections(szSection, &cchSize, profile.Path().c_str()));
    EXPECT_STREQ("B", szSection);
    EXPECT_EQ(2u, cchSize);

    CLanguageProfile none(text);
    cchSize = sizeof(szSection);
    EXPECT_EQ(0, ScanLanguageSections(szSection, &cchSize, none.Path().c_str()));
    EXPECT_STREQ("", szSection);
    EXPECT_EQ(1u, cchSize);
}

TEST(ResDllBeside, LooksInTheProfileFilesFolder)
{
    CLanguageProfile profile("[Language]\r\n", {"res.dll"});
    const std::string path = profile.Path();
    EXPECT_EQ(1, ResDllExistsBeside("res.dll", path.c_str()));
    EXPECT_EQ(0, ResDllExistsBeside("other.dll", path.c_str()));
    EXPECT_EQ(0, ResDllExistsBeside("", path.c_str())) << "the folder itself is no DLL";
    EXPECT_EQ(0, ResDllExistsBeside("res.dll", "profile.ini")) << "no folder named";
    EXPECT_EQ(0, ResDllExistsBeside("res.dll", NULL));
    EXPECT_EQ(0, ResDllExistsBeside(std::string(300, 'x').c_str(), path.c_str()));
}

// The choice for the user's language, in child processes that run in that language.
struct LocaleCase {
    const char* pszLocale;
    LANGID userLangId;
    std::vector<std::string> dlls;  // the resource DLLs that exist beside the profile
    int nChooseResult;
    const char* pszSection;
    const char* pszKey;
    int nReadResult;
    const char* pszValue;
};

// Names the case in test names: the locale, the DLLs present and the key.
void PrintTo(const LocaleCase& c, std::ostream* pOut)
{
    *pOut << c.pszLocale << " with";
    for (const std::string& dll : c.dlls)
        *pOut << " " << dll;
    *pOut << " reading " << c.pszKey;
}

class LanguageChoice : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(LanguageChoice, FollowsUserLanguageThenEnglishThenTableOrder)
{
    const LocaleCase& c = GetParam();
    IN_LOCALE(c.pszLocale);
    ASSERT_EQ(c.userLangId, GetUserDefaultLangID());
    CLanguageProfile profile("[Language]\r\nDEU=07,01\r\nENU=09,01\r\nHEB=0D,01\r\nJPN=11,01\r\n"
                             "[DEU]\r\nResDll=de.dll\r\nHelp=de.chm\r\n[ENU]\r\nResDll=en.dll\r\nHelp=en.chm\r\n"
                             "[HEB]\r\nResDll=he.dll\r\nHelp=he.chm\r\n[JPN]\r\nResDll=ja.dll\r\n",
                             c.dlls);
    char szSection[260] = {0};
    DWORD cchSection = sizeof(szSection);
    EXPECT_EQ(c.nChooseResult, ChooseLanguageSection(szSection, &cchSection, profile.Path().c_str()));
    EXPECT_STREQ(c.pszSection, szSection);
    char szValue[260] = "unchanged";
    DWORD cchValue = sizeof(szValue);
    EXPECT_EQ(c.nReadResult, ReadLanguageValue(c.pszKey, szValue, &cchValue, profile.Path().c_str()));
    EXPECT_STREQ(c.pszValue, szValue);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, LanguageChoice,
    ::testing::Values(
        // The user's own language when its DLL exists: the result counts the DLL name's characters.
        LocaleCase{"he_IL.UTF-8", 0x040D, {"en.dll", "he.dll"}, 6, "HEB", "ResDll", 0, "he.dll"},
        LocaleCase{"he_IL.UTF-8", 0x040D, {"en.dll", "he.dll"}, 6, "HEB", "Help", 0, "he.chm"},
        // German's DLL is missing: US English.
        LocaleCase{"de_DE.UTF-8", 0x0407, {"en.dll", "he.dll"}, 6, "ENU", "ResDll", 0, "en.dll"},
        // Neither German nor English: the first section in table order whose DLL exists.
        LocaleCase{"de_DE.UTF-8", 0x0407, {"he.dll", "ja.dll"}, 0, "HEB", "ResDll", 0, "he.dll"},
        // The choice rests on "ResDll" alone; a key missing from the chosen section is not sought elsewhere.
        LocaleCase{"ja_JP.UTF-8", 0x0411, {"en.dll", "ja.dll"}, 6, "JPN", "Help", LANGRES_FAILED, ""},
        // No DLL at all: an empty choice, and no value.
        LocaleCase{"de_DE.UTF-8", 0x0407, {}, 0, "", "ResDll", LANGRES_FAILED, ""}));

} // namespace
