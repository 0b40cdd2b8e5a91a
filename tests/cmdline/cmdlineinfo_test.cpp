// CCmdLineInfo: the switch table, parsing into fields, and parameter files
// named with /F (found by path or in the temporary folder, deleted after a
// one-time start, never deleted when they could not be read).
#include "cmdline/cmdlineinfo.h"
#include "app/debuglog.h"
#include "tests/cmdline/cmdlinefields.h"
#include "tests/support/files.h"
#include "tests/support/registry.h"
#include <gtest/gtest.h>
#include <limits.h>

using namespace testsupport;

namespace {

// The fields that differ between two records, as "name=before>after".
std::string Changes(const FieldMap& before, const FieldMap& after)
{
    std::string changes;
    for (const auto& field : after) {
        auto it = before.find(field.first);
        if (it == before.end() || it->second != field.second)
            changes += field.first + "=" + (it == before.end() ? "" : it->second) + ">" + field.second + " ";
    }
    return changes;
}

std::string ChangesBySetOption(const char* pszName, const char* pszValue)
{
    CCmdLineInfo info;
    FieldMap before = CmdLineFields(info);
    info.SetOption(pszName, pszValue);
    return Changes(before, CmdLineFields(info));
}

} // namespace

TEST(CmdLineInfoSetOption, EachSwitchStoresItsOneField)
{
    const struct {
        const char* pszName;
        const char* pszValue;
        const char* pszChange;
    } cases[] = {
        {"p", "v", "m_szPrinterName=>v "},
        {"D", "v", "m_szDriverName=>v "},
        {"o", "v", "m_szPortName=>v "},
        {"m", "v", "m_szModelID=>v "},
        {"r", "v", "m_fRemove=0>1 "},
        {"S", "", "m_fSwitchS=0>1 "},
        {"u", "0", "m_fSwitchU=0>1 "},
        {"c", "v", "m_fSwitchC=0>1 "},
        {"E", "v", "m_fSwitchE=0>1 "},
        {"j", "v", "m_szSwitchJ=>v "},
        {"qzm", "v", "m_szSwitchQZM=>v "},
        {"i", "v", "m_fIconInstall=0>1 "},
        {"ef", "hkcu", "m_IconFrom=0>1 "},
        {"EF", "HkLm", "m_IconFrom=0>2 "},
        {"hwnd", "1234", "m_nHwnd=0>1234 "},
        {"spl", "v", "m_fSwitchSPL=0>1 "},
        {"dp", "v", "m_fSwitchDP=0>1 "},
        {"a", "v", "m_fSwitchA=0>1 "},
        {"t", "v", "m_szSwitchT=>v "},
        {"l", "v", "m_szSwitchL=>v "},
        {"n", "v", "m_szSwitchN=>v "},
        {"ic", "v", "m_szSwitchIC=>v "},
        {"cn", "v", "m_szSwitchCN=>v "},
        {"asmrt", "v", "m_fSwitchASMRT=0>1 "},
        {"tc", "v", "m_szSwitchTC=>v "},
        {"ppop", "v", "m_fSwitchPPOP=0>1 "},
        {"x", "v", "m_szSwitchX=>v "},
        {"ps", "v", "m_szSwitchPS=>v "},
        {"bsr", "v", "m_fSwitchBSR=0>1 "},
        {"rp", "v", "m_szSwitchRP=>v "},
        {"td", "v", "m_fSwitchTD=0>1 "},
        // Nothing stored:
        {"F", "file", ""},
        {"EF", "HKCR", ""},
        {"EF", "", ""},
        {"PP", "v", ""},
        {"", "v", ""},
        {"HWN", "5", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.pszChange, ChangesBySetOption(c.pszName, c.pszValue)) << "/" << c.pszName << " " << c.pszValue;
}

TEST(CmdLineInfoSetOption, HwndReadsLikeADecimalInteger)
{
    const struct {
        const char* pszValue;
        int nHwnd;
    } cases[] = {
        {"1234", 1234}, {"  -42", -42},          {"+7", 7},
        {"12abc", 12},  {"abc", 0},              {"", 0},
        {"2147483647", INT_MAX}, {"99999999999", INT_MAX}, {"-99999999999", INT_MIN},
    };
    for (const auto& c : cases) {
        CCmdLineInfo info;
        info.m_nHwnd = 99;
        info.SetOption("HWND", c.pszValue);
        EXPECT_EQ(c.nHwnd, info.m_nHwnd) << c.pszValue;
    }
}

TEST(CmdLineInfoSetOption, TextsTakeEmptyValuesAndIconFromKeepsUnknownOnes)
{
    CCmdLineInfo info;
    info.SetOption("P", "printer");
    info.SetOption("P", "");
    EXPECT_STREQ("", info.m_szPrinterName.c_str());
    info.SetOption("EF", "HKLM");
    info.SetOption("EF", "HKEY_CURRENT_USER");
    EXPECT_EQ(2, info.m_IconFrom);
    info.SetOption(NULL, "x");
    info.SetOption("J", NULL);
    EXPECT_STREQ("", info.m_szSwitchJ.c_str());
}

TEST(CmdLineInfoSetOption, HwndAndSplAreLogged)
{
    const char kKey[] = "SOFTWARE\\NOVRA\\KIV3";
    CTempDir dir;
    std::string logPath = dir.File("Q_S40IC.LOG");
    ASSERT_TRUE(RegSetDword(HKEY_CURRENT_USER, kKey, "Q_SIC", 1));
    ASSERT_EQ(1, LogInit(logPath.c_str(), "Q_SIC"));
    CCmdLineInfo info("/HWND \"77\" /SPL /P \"p\" /D \"d\" /O \"o\" /M \"m\"");
    LogInit(NULL, "Q_SIC");
    RegDeleteValueAt(HKEY_CURRENT_USER, kKey, "Q_SIC");

    std::string log;
    ASSERT_TRUE(ReadTextFile(logPath, &log));
    size_t nHwnd = log.find("; /HWND\r\n");
    size_t nSpl = log.find("; /SPL\r\n");
    EXPECT_NE(std::string::npos, nHwnd) << log;
    EXPECT_NE(std::string::npos, nSpl) << log;
    EXPECT_LT(nHwnd, nSpl);
    EXPECT_EQ(77, info.m_nHwnd);
}

TEST(CmdLineInfoParse, FieldsFromACommandLine)
{
    CCmdLineInfo info("\"C:\\Program Files\\agent.exe\" /P \"Office / 2nd floor\" /D \"Drv 5/x\" /O \"LPT1:\" "
                      "/M \"MX-1\" /I /EF \"hkcu\" /R /QZM \"q z\" /HWND \"-12\"");
    FieldMap fields = CmdLineFields(info);
    EXPECT_EQ("Office / 2nd floor", fields["m_szPrinterName"]);
    EXPECT_EQ("Drv 5/x", fields["m_szDriverName"]);
    EXPECT_EQ("LPT1:", fields["m_szPortName"]);
    EXPECT_EQ("MX-1", fields["m_szModelID"]);
    EXPECT_EQ("1", fields["m_fIconInstall"]);
    EXPECT_EQ("1", fields["m_IconFrom"]);
    EXPECT_EQ("1", fields["m_fRemove"]);
    EXPECT_EQ("q z", fields["m_szSwitchQZM"]);
    EXPECT_EQ("-12", fields["m_nHwnd"]);
    EXPECT_EQ("", fields["m_szTempDir"]) << "no parameter file was looked for";
}

TEST(CmdLineInfoParse, ValueTooLongEndsParsingThere)
{
    std::string longValue(260, 'x');
    CCmdLineInfo info(("/P \"p\" /D \"" + longValue + "\" /O \"o\"").c_str());
    EXPECT_STREQ("p", info.m_szPrinterName.c_str());
    EXPECT_STREQ("", info.m_szDriverName.c_str());
    EXPECT_STREQ("", info.m_szPortName.c_str());
}

TEST(CmdLineInfoParse, OverlongSwitchNameIsPassedOver)
{
    std::string longName(300, 'P');
    CCmdLineInfo info(("/" + longName + " \"x\" /" + std::string(80, 'R') + " /P \"p\" /S").c_str());
    EXPECT_STREQ("p", info.m_szPrinterName.c_str());
    EXPECT_EQ(0, info.m_fRemove);
    EXPECT_EQ(1, info.m_fSwitchS);
}

TEST(CmdLineInfoParse, ResetEmptiesEveryFieldButTheText)
{
    CCmdLineInfo info("/P \"p\" /D \"d\" /O \"o\" /M \"m\" /R /S /E /C /U /J \"j\" /QZM \"q\" /I /EF \"HKLM\" "
                      "/HWND \"5\" /SPL /DP /A /T \"t\" /L \"l\" /N \"n\" /IC \"ic\" /CN \"cn\" /ASMRT /TC \"tc\" "
                      "/PPOP /X \"x\" /PS \"ps\" /BSR /RP \"rp\" /TD");
    info.m_szNewParamFile = "n";
    info.m_szTempDir = "t";
    info.Reset();
    EXPECT_EQ(CmdLineFields(CCmdLineInfo()), CmdLineFields(info));
    EXPECT_NE(nullptr, strstr(info.m_strCmdLine.c_str(), "/TD"));
}

namespace {

// A parameter file named with /F: by full path in a folder of the test, or by
// bare name in the temporary folder.
class ParamFileParse : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (const std::string& path : m_tempFiles)
            DeleteFileA(path.c_str());
    }
    std::string TempFile(const std::string& content)
    {
        char szPath[MAX_PATH];
        EXPECT_NE(0u, GetTempFileNameA(TempFolder().c_str(), "cmt", 0, szPath));
        m_tempFiles.push_back(szPath);
        EXPECT_TRUE(WriteTextFile(szPath, content));
        return szPath;
    }
    static std::string BareName(const std::string& path) { return path.substr(path.rfind('\\') + 1); }

    CTempDir m_dir;
    std::vector<std::string> m_tempFiles;
};

} // namespace

TEST_F(ParamFileParse, BareNameFoundInTheTemporaryFolderAndDeleted)
{
    std::string path = TempFile("/P \"file printer\"\n/D \"drv\"\n/O \"FILE:\"\n/M \"M1\"\n/E\n");
    CCmdLineInfo info(("agent.exe /F \"" + BareName(path) + "\"").c_str());
    EXPECT_STREQ("file printer", info.m_szPrinterName.c_str());
    EXPECT_STREQ("M1", info.m_szModelID.c_str());
    EXPECT_EQ(1, info.m_fSwitchE);
    EXPECT_STREQ(BareName(path).c_str(), info.m_szParamFile.c_str());
    EXPECT_STREQ(TempFolder().c_str(), info.m_szTempDir.c_str());
    EXPECT_FALSE(PathExists(path)) << "a one-time parameter file is deleted after reading";
}

TEST_F(ParamFileParse, FullPathReadAndTheFileWinsOverTheCommandLine)
{
    std::string path = m_dir.File("params.txt");
    ASSERT_TRUE(WriteTextFile(path, "/P \"from file\"\n/D \"d\"\n/O \"o\"\n"));
    CCmdLineInfo info(("/P \"from command line\" /M \"cmd model\" /F \"" + path + "\"").c_str());
    EXPECT_STREQ("from file", info.m_szPrinterName.c_str());
    EXPECT_STREQ("cmd model", info.m_szModelID.c_str()) << "fields the file does not set stay";
    EXPECT_STREQ(path.c_str(), info.m_szParamFile.c_str());
    EXPECT_STREQ("", info.m_szTempDir.c_str()) << "found by path: the temporary folder was not needed";
    EXPECT_FALSE(PathExists(path));
}

TEST_F(ParamFileParse, StartFromARunKeyKeepsTheFile)
{
    const struct {
        const char* pszCommandLine;
        const char* pszFileText;
        int nIconFrom;
        bool fKept;
    } cases[] = {
        {"/EF \"HKCU\" /F \"%s\"", "/P \"p\"\n", 1, true},
        {"/F \"%s\"", "/P \"p\"\n/EF \"hklm\"\n", 2, true},
        {"/EF \"elsewhere\" /F \"%s\"", "/P \"p\"\n", 0, false},
    };
    for (const auto& c : cases) {
        std::string path = m_dir.File("run.txt");
        ASSERT_TRUE(WriteTextFile(path, c.pszFileText));
        char szCmd[512];
        wsprintfA(szCmd, c.pszCommandLine, path.c_str());
        CCmdLineInfo info(szCmd);
        EXPECT_EQ(c.nIconFrom, info.m_IconFrom) << szCmd;
        EXPECT_EQ(c.fKept, PathExists(path)) << szCmd;
        EXPECT_STREQ("p", info.m_szPrinterName.c_str());
    }
}

TEST_F(ParamFileParse, MissingFileReturnsZeroAndKeepsTheCommandLine)
{
    CCmdLineInfo info;
    info.m_strCmdLine = "/P \"cmd printer\" /R /F \"no_such_param_file.tmp\" /S";
    EXPECT_EQ(0, info.Parse());
    EXPECT_STREQ("cmd printer", info.m_szPrinterName.c_str());
    EXPECT_EQ(1, info.m_fRemove);
    EXPECT_EQ(1, info.m_fSwitchS);
    EXPECT_STREQ("no_such_param_file.tmp", info.m_szParamFile.c_str());
    EXPECT_STREQ(TempFolder().c_str(), info.m_szTempDir.c_str());
}

TEST_F(ParamFileParse, UnreadableFileIsNeitherParsedNorDeleted)
{
    std::string path = TempFile("/P \"locked\"\n");
    // Open for writing without sharing writes: the reader, which shares only reading, cannot open it.
    HANDLE hLock = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, NULL, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, hLock);
    CCmdLineInfo info;
    info.m_strCmdLine = ("/P \"cmd\" /F \"" + BareName(path) + "\"").c_str();
    int nResult = info.Parse();
    CloseHandle(hLock);
    EXPECT_EQ(0, nResult);
    EXPECT_STREQ("cmd", info.m_szPrinterName.c_str());
    EXPECT_TRUE(PathExists(path)) << "a file that was not read is not deleted";
}

TEST_F(ParamFileParse, ParameterFileNamingItselfOrAnotherIsNotFollowedAgain)
{
    std::string second = m_dir.File("second.txt");
    ASSERT_TRUE(WriteTextFile(second, "/P \"second\"\n"));
    std::string first = m_dir.File("first.txt");
    ASSERT_TRUE(WriteTextFile(first, "/D \"first\"\n/F \"" + first + "\"\n/F \"" + second + "\"\n"));
    CCmdLineInfo info(("/F \"" + first + "\"").c_str());
    EXPECT_STREQ("first", info.m_szDriverName.c_str());
    EXPECT_STREQ("", info.m_szPrinterName.c_str()) << "the file's own /F is not followed";
    EXPECT_STREQ(second.c_str(), info.m_szParamFile.c_str()) << "the file's last /F is recorded";
    EXPECT_FALSE(PathExists(first));
    EXPECT_TRUE(PathExists(second));
}

TEST_F(ParamFileParse, ParamFileBeforeAnOverlongValueIsStillFollowed)
{
    std::string path = m_dir.File("p.txt");
    ASSERT_TRUE(WriteTextFile(path, "/M \"model\"\n"));
    CCmdLineInfo info(("/F \"" + path + "\" /P \"" + std::string(300, 'x') + "\" /R").c_str());
    EXPECT_STREQ("model", info.m_szModelID.c_str());
    EXPECT_EQ(0, info.m_fRemove);
}

TEST_F(ParamFileParse, EmptyFileAndFileWithANulInside)
{
    std::string empty = m_dir.File("empty.txt");
    ASSERT_TRUE(WriteTextFile(empty, ""));
    CCmdLineInfo info;
    info.m_strCmdLine = ("/P \"p\" /F \"" + empty + "\"").c_str();
    EXPECT_EQ(1, info.Parse());
    EXPECT_STREQ("p", info.m_szPrinterName.c_str());
    EXPECT_FALSE(PathExists(empty));

    std::string withNul = m_dir.File("withzero.txt");
    ASSERT_TRUE(WriteTextFile(withNul, std::string("/D \"d\"\n\0/O \"o\"\n", 16)));
    CCmdLineInfo info2(("/F \"" + withNul + "\"").c_str());
    EXPECT_STREQ("d", info2.m_szDriverName.c_str());
    EXPECT_STREQ("", info2.m_szPortName.c_str()) << "the text ends at the NUL";
}
