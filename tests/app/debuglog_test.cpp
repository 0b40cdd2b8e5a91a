// Debug log: the registry switch, the line format, and whole lines from
// concurrent writers in two processes with two threads each.
#include "app/debuglog.h"
#include "tests/support/files.h"
#include "tests/support/process.h"
#include "tests/support/registry.h"
#include <gtest/gtest.h>
#include <regex>
#include <map>
#include <sstream>

using namespace testsupport;

namespace {

const char kKey[] = "SOFTWARE\\NOVRA\\KIV3";

class DebugLog : public ::testing::Test {
protected:
    void TearDown() override
    {
        RegDeleteValueAt(HKEY_CURRENT_USER, kKey, "Q_SIC");
        LogInit(nullptr, "Q_SIC");
    }
    std::string LogPath() const { return m_dir.File("Q_S40IC.LOG"); }
    std::string Content() const
    {
        std::string content;
        ReadTextFile(LogPath(), &content);
        return content;
    }
    CTempDir m_dir;
};

std::vector<std::string> SplitLines(const std::string& content)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(content.substr(start));
            break;
        }
        lines.push_back(content.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

} // namespace

TEST(DebugLogFormat, PrefixFromProcessIdAndTicks)
{
    EXPECT_STREQ("001A;   62:03.456; ", LogFormatPrefix(0x1A, 3723456).c_str());
    EXPECT_STREQ("ABCDE;    0:00.000; ", LogFormatPrefix(0xABCDE, 0).c_str());
    EXPECT_STREQ("0000;71582:47.295; ", LogFormatPrefix(0, 0xFFFFFFFF).c_str());
}

TEST_F(DebugLog, SwitchValuesTable)
{
    struct Case {
        const char* name;
        int kind;  // 0 missing, 1 dword, 2 binary
        DWORD value;
        DWORD size;
        int expectOn;
    };
    const Case cases[] = {
        {"missing", 0, 0, 0, 0},
        {"dword 0", 1, 0, 4, 0},
        {"dword 1", 1, 1, 4, 1},
        {"dword 7", 1, 7, 4, 1},
        {"binary 2 bytes non-zero", 2, 0x0101, 2, 1},
        {"binary 8 bytes", 2, 1, 8, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RegDeleteValueAt(HKEY_CURRENT_USER, kKey, "Q_SIC");
        BYTE bytes[8] = {0};
        memcpy(bytes, &c.value, sizeof(c.value));
        if (c.kind == 1) {
            ASSERT_TRUE(RegSetDword(HKEY_CURRENT_USER, kKey, "Q_SIC", c.value));
        }
        if (c.kind == 2) {
            ASSERT_TRUE(RegSetBinary(HKEY_CURRENT_USER, kKey, "Q_SIC", bytes, c.size));
        }
        DeleteFileA(LogPath().c_str());
        EXPECT_EQ(c.expectOn, LogInit(LogPath().c_str(), "Q_SIC"));
        EXPECT_EQ(c.expectOn, LogText("line"));
        EXPECT_EQ(c.expectOn != 0, PathExists(LogPath()));
    }
}

TEST_F(DebugLog, LineFormats)
{
    ASSERT_TRUE(RegSetDword(HKEY_CURRENT_USER, kKey, "Q_SIC", 1));
    ASSERT_EQ(1, LogInit(LogPath().c_str(), "Q_SIC"));
    EXPECT_EQ(1, LogText("CTrayIconApp::InitInstance"));
    EXPECT_EQ(1, LogTextStr("cmdInfo.m_szPortName", "LPT1:"));
    EXPECT_EQ(1, LogTextStr("empty", ""));
    EXPECT_EQ(1, LogTextInt("cmdInfo.m_fRemove", -12));
    EXPECT_EQ(0, LogTextStr("null value", nullptr));
    EXPECT_EQ(0, LogText(nullptr));
    EXPECT_EQ(0, LogTextInt(nullptr, 1));
    EXPECT_EQ(1, LogClose());

    std::vector<std::string> lines = SplitLines(Content());
    ASSERT_EQ(4u, lines.size());
    char szPid[16];
    wsprintfA(szPid, "%04X;", GetCurrentProcessId());
    const std::regex prefix(std::string(szPid) + "[ 0-9]{5}:[0-9]{2}\\.[0-9]{3}; ");
    const char* texts[] = {"CTrayIconApp::InitInstance", "cmdInfo.m_szPortName : LPT1:", "empty : ",
                           "cmdInfo.m_fRemove : -12"};
    for (size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(lines[i]);
        ASSERT_GT(lines[i].size(), 19u);
        size_t prefixLength = lines[i].size() - strlen(texts[i]);
        EXPECT_TRUE(std::regex_match(lines[i].substr(0, prefixLength), prefix));
        EXPECT_EQ(texts[i], lines[i].substr(prefixLength));
    }
}

TEST_F(DebugLog, LineFeedsInsideTextsAreWrittenInTextMode)
{
    ASSERT_TRUE(RegSetDword(HKEY_CURRENT_USER, kKey, "Q_SIC", 1));
    ASSERT_EQ(1, LogInit(LogPath().c_str(), "Q_SIC"));
    EXPECT_EQ(1, LogTextStr("CmdLine", "/P \"a\"\n/D \"b\""));
    std::string content = Content();
    EXPECT_NE(std::string::npos, content.find("CmdLine : /P \"a\"\r\n/D \"b\"\r\n"));
}

TEST_F(DebugLog, DeletedFileIsStartedAgainAndMissingFolderLosesLines)
{
    ASSERT_TRUE(RegSetDword(HKEY_CURRENT_USER, kKey, "Q_SIC", 1));
    ASSERT_EQ(1, LogInit(LogPath().c_str(), "Q_SIC"));
    EXPECT_EQ(1, LogText("first"));
    ASSERT_TRUE(DeleteFileA(LogPath().c_str()));
    EXPECT_EQ(1, LogText("second"));
    std::vector<std::string> lines = SplitLines(Content());
    ASSERT_EQ(1u, lines.size());
    EXPECT_NE(std::string::npos, lines[0].find("second"));

    ASSERT_EQ(1, LogInit(m_dir.File("no such folder\\x.log").c_str(), "Q_SIC"));
    EXPECT_EQ(0, LogText("lost"));
}

TEST_F(DebugLog, PathOf260CharactersSwitchesLoggingOff)
{
    ASSERT_TRUE(RegSetDword(HKEY_CURRENT_USER, kKey, "Q_SIC", 1));
    std::string longPath = "C:\\" + std::string(257, 'a');
    EXPECT_EQ(0, LogInit(longPath.c_str(), "Q_SIC"));
    EXPECT_EQ(0, LogInit("", "Q_SIC"));
    EXPECT_EQ(0, LogText("x"));
}

TEST_F(DebugLog, TwoProcessesWithTwoThreadsEachWriteWholeLines)
{
    ASSERT_TRUE(RegSetDword(HKEY_CURRENT_USER, kKey, "Q_SIC", 1));
    const int kLines = 300;
    std::string writer = "\"" + BinFile("logwriter.exe") + "\" \"" + LogPath() + "\" ";
    HANDLE hA = StartProcess(writer + "A " + std::to_string(kLines));
    HANDLE hB = StartProcess(writer + "B " + std::to_string(kLines));
    ASSERT_NE(nullptr, hA);
    ASSERT_NE(nullptr, hB);
    HANDLE both[2] = {hA, hB};
    ASSERT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(2, both, TRUE, 60000));
    CloseHandle(hA);
    CloseHandle(hB);

    std::vector<std::string> lines = SplitLines(Content());
    ASSERT_EQ(static_cast<size_t>(4 * kLines), lines.size());
    const std::regex whole("[0-9A-F]{4,};[ 0-9]{5}:[0-9]{2}\\.[0-9]{3}; [AB]-[01] : [0-9]+");
    std::map<std::string, int> next;
    for (const std::string& line : lines) {
        ASSERT_TRUE(std::regex_match(line, whole)) << line;
        std::string writerId = line.substr(0, line.find(';')) + line.substr(line.find("; ", 6) + 2, 3);
        int n = atoi(line.substr(line.rfind(' ') + 1).c_str());
        EXPECT_EQ(next[writerId], n) << "lines of one writer out of order: " << line;
        next[writerId] = n + 1;
    }
    EXPECT_EQ(4u, next.size());
}

TEST_F(DebugLog, WriterWhoseTurnNeverComesStillWritesAndReturns)
{
    ASSERT_TRUE(RegSetDword(HKEY_CURRENT_USER, kKey, "Q_SIC", 1));
    ASSERT_EQ(1, LogInit(LogPath().c_str(), "Q_SIC"));
    HANDLE hHolder = CreateFileA(LogPath().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, hHolder);
    ASSERT_TRUE(LockFile(hHolder, 0xFFFFFFFE, 0, 1, 0));  // a writer stuck holding its turn
    DWORD dwStart = GetTickCount();
    EXPECT_EQ(1, LogText("written out of turn"));
    DWORD dwElapsed = GetTickCount() - dwStart;
    UnlockFile(hHolder, 0xFFFFFFFE, 0, 1, 0);
    CloseHandle(hHolder);
    EXPECT_LT(dwElapsed, 15000u);
    EXPECT_NE(std::string::npos, Content().find("written out of turn"));
}
