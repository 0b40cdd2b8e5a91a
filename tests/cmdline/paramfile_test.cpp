// The parameter file for the status-monitor program: its unique name, its
// exact lines, the 275-character line limit, deleting it by name or path, and
// the round trip back through the parser, in this process and in another.
#include "cmdline/cmdlineinfo.h"
#include "tests/cmdline/cmdlinefields.h"
#include "tests/support/files.h"
#include "tests/support/process.h"
#include <gtest/gtest.h>
#include <limits.h>
#include <random>

using namespace testsupport;

namespace {

class ParamFile : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (const std::string& name : m_names)
            DeleteFileA((TempFolder() + name).c_str());
    }
    // Writes the record into a new file of the temporary folder; the file's text.
    std::string Write(CCmdLineInfo& info, int nExpected = 1)
    {
        EXPECT_EQ(1, info.MakeParamFileName());
        m_names.push_back(info.m_szNewParamFile.c_str());
        EXPECT_EQ(nExpected, info.WriteParamFile());
        std::string text;
        EXPECT_TRUE(ReadTextFile(TempFolder() + info.m_szNewParamFile.c_str(), &text));
        return text;
    }
    static void SetIdentity(CCmdLineInfo& info)
    {
        info.m_szPrinterName = "Office Printer";
        info.m_szDriverName = "NOVRA Drv";
        info.m_szPortName = "USB001";
        info.m_szModelID = "MX 100";
    }
    std::vector<std::string> m_names;
};

} // namespace

TEST_F(ParamFile, TypicalRecordsWithAndWithoutPreferences)
{
    CCmdLineInfo info;
    SetIdentity(info);
    EXPECT_EQ("/P \"Office Printer\"\n/D \"NOVRA Drv\"\n/O \"USB001\"\n/M \"MX 100\"\n", Write(info));
    info.m_fSwitchE = 1;
    EXPECT_EQ("/P \"Office Printer\"\n/D \"NOVRA Drv\"\n/O \"USB001\"\n/M \"MX 100\"\n/E\n", Write(info));
    CCmdLineInfo empty;
    EXPECT_EQ("", Write(empty));
}

TEST_F(ParamFile, EveryLineInItsOrderAndNothingElse)
{
    CCmdLineInfo info("/P \"p\" /D \"d\" /O \"o\" /M \"m\" /R /S /E /C /U /J \"j\" /QZM \"q\" /I /EF \"HKLM\" "
                      "/HWND \"-5\" /SPL /DP /A /T \"t\" /L \"l\" /N \"n\" /IC \"ic\" /CN \"cn\" /ASMRT /TC \"tc\" "
                      "/PPOP /X \"x\" /PS \"ps\" /BSR /RP \"rp\" /TD");
    info.m_szParamFile = "not written";
    EXPECT_EQ("/P \"p\"\n/D \"d\"\n/O \"o\"\n/M \"m\"\n/J \"j\"\n/S\n/R\n/E\n/U\n/C\n/QZM \"q\"\n/I\n/HWND \"-5\"\n"
              "/SPL\n/DP\n/A\n/T \"t\"\n/L \"l\"\n/N \"n\"\n/IC \"ic\"\n/CN \"cn\"\n/ASMRT\n/TC \"tc\"\n/PPOP\n"
              "/X \"x\"\n/PS \"ps\"\n/BSR\n/RP \"rp\"\n/TD\n",
              Write(info));
}

TEST_F(ParamFile, FlagsWrittenWhenSetOrOnlyWhenOne)
{
    CCmdLineInfo info;
    info.m_fSwitchS = 2;
    info.m_fSwitchSPL = -1;
    info.m_fSwitchDP = 2;
    info.m_fSwitchTD = -1;
    EXPECT_EQ("/S\n/SPL\n", Write(info));
}

TEST_F(ParamFile, LineLimitOf275Characters)
{
    CCmdLineInfo info;
    info.m_szPrinterName = std::string(269, 'p').c_str();
    EXPECT_EQ(1, info.WriteParamFileFor(info.m_szPrinterName.c_str(), "LPT1:", "M"));
    m_names.push_back(info.m_szNewParamFile.c_str());
    std::string text;
    ASSERT_TRUE(ReadTextFile(TempFolder() + info.m_szNewParamFile.c_str(), &text));
    EXPECT_EQ(275u, text.find('\n') + 1) << "the /P line is the name's length plus 6";

    std::string tooLong(270, 'q');
    EXPECT_EQ(0, info.WriteParamFileFor(tooLong.c_str(), "LPT1:", "M"));
    m_names.push_back(info.m_szNewParamFile.c_str());
    EXPECT_FALSE(PathExists(TempFolder() + info.m_szNewParamFile.c_str())) << "the reserved file is deleted";

    CCmdLineInfo half;
    half.m_szPrinterName = "short";
    half.m_szSwitchT = tooLong.c_str();
    half.m_szSwitchRP = "after";
    EXPECT_EQ("/P \"short\"\n", Write(half, 0)) << "the lines before the long one stay";
}

TEST_F(ParamFile, WriteParamFileForSetsThreeFieldsAndKeepsTheRest)
{
    CCmdLineInfo info;
    info.m_szDriverName = "kept driver";
    info.m_szPrinterName = "old";
    info.m_fSwitchE = 1;
    ASSERT_EQ(1, info.WriteParamFileFor("New Printer", "FILE:", "M7"));
    m_names.push_back(info.m_szNewParamFile.c_str());
    std::string text;
    ASSERT_TRUE(ReadTextFile(TempFolder() + info.m_szNewParamFile.c_str(), &text));
    EXPECT_EQ("/P \"New Printer\"\n/D \"kept driver\"\n/O \"FILE:\"\n/M \"M7\"\n/E\n", text);
}

TEST_F(ParamFile, UniqueNamesReservedInTheTemporaryFolder)
{
    CCmdLineInfo info;
    ASSERT_EQ(1, info.MakeParamFileName());
    std::string first = info.m_szNewParamFile.c_str();
    m_names.push_back(first);
    ASSERT_EQ(1, info.MakeParamFileName());
    m_names.push_back(info.m_szNewParamFile.c_str());
    EXPECT_STREQ(TempFolder().c_str(), info.m_szTempDir.c_str());
    EXPECT_EQ(0u, first.find("Q_S"));
    EXPECT_EQ(std::string::npos, first.find('\\')) << "a bare name";
    EXPECT_NE(first, info.m_szNewParamFile.c_str());
    EXPECT_TRUE(PathExists(TempFolder() + first)) << "the name is reserved by an empty file";
}

TEST_F(ParamFile, DeleteByBareNameByPathOrNotAtAll)
{
    CCmdLineInfo writer;
    ASSERT_EQ(1, writer.MakeParamFileName());
    m_names.push_back(writer.m_szNewParamFile.c_str());
    CCmdLineInfo info;
    EXPECT_NE(0, info.DeleteParamFile(writer.m_szNewParamFile.c_str()));
    EXPECT_STREQ(TempFolder().c_str(), info.m_szTempDir.c_str()) << "the temporary folder is filled first";
    EXPECT_FALSE(PathExists(TempFolder() + writer.m_szNewParamFile.c_str()));

    CTempDir dir;
    std::string path = dir.File("param.txt");
    ASSERT_TRUE(WriteTextFile(path, "/P \"x\"\n"));
    EXPECT_NE(0, info.DeleteParamFile(path.c_str()));
    EXPECT_FALSE(PathExists(path));

    EXPECT_EQ(0, info.DeleteParamFile("Q_S_no_such_file.tmp"));
    EXPECT_EQ(0, info.DeleteParamFile(""));
    EXPECT_EQ(0, info.DeleteParamFile(NULL));
    EXPECT_TRUE(PathExists(TempFolder())) << "an empty name never reaches the folder itself";
}

TEST_F(ParamFile, NumbersAndQuotesReadBack)
{
    CCmdLineInfo info;
    info.m_nHwnd = 1234;
    EXPECT_EQ("/HWND \"1234\"\n", Write(info));
    CCmdLineInfo back(("/F \"" + m_names.back() + "\"").c_str());
    EXPECT_EQ(1234, back.m_nHwnd);

    // A quote is written as it is; reading cuts the value there and the quote left over hides the rest.
    CCmdLineInfo quoted;
    quoted.m_szPrinterName = "12\" wide";
    quoted.m_szDriverName = "d";
    quoted.m_fSwitchE = 1;
    EXPECT_EQ("/P \"12\" wide\"\n/D \"d\"\n/E\n", Write(quoted));
    CCmdLineInfo cut(("/F \"" + m_names.back() + "\"").c_str());
    EXPECT_STREQ("12", cut.m_szPrinterName.c_str());
    EXPECT_STREQ("", cut.m_szDriverName.c_str());
    EXPECT_EQ(0, cut.m_fSwitchE);
}

namespace {

// A record with random fields; texts of random printable bytes (slashes,
// blanks and high 8-bit bytes among them) that hold no double quote.
class CRandomRecord {
public:
    explicit CRandomRecord(unsigned nSeed) : m_rng(nSeed) {}

    void Fill(CCmdLineInfo& info)
    {
        CStr* texts[] = {&info.m_szPrinterName, &info.m_szDriverName, &info.m_szPortName, &info.m_szModelID,
                         &info.m_szSwitchJ,     &info.m_szSwitchQZM,  &info.m_szSwitchT,   &info.m_szSwitchL,
                         &info.m_szSwitchN,     &info.m_szSwitchIC,   &info.m_szSwitchCN,  &info.m_szSwitchTC,
                         &info.m_szSwitchX,     &info.m_szSwitchPS,   &info.m_szSwitchRP};
        for (CStr* pText : texts)
            *pText = Text().c_str();
        int* flags[] = {&info.m_fRemove,      &info.m_fSwitchS,   &info.m_fSwitchE,     &info.m_fSwitchC,
                        &info.m_fSwitchU,     &info.m_fIconInstall, &info.m_fSwitchSPL, &info.m_fSwitchDP,
                        &info.m_fSwitchA,     &info.m_fSwitchASMRT, &info.m_fSwitchPPOP, &info.m_fSwitchBSR,
                        &info.m_fSwitchTD};
        for (int* pFlag : flags)
            *pFlag = m_rng() % 2;
        const int hwnds[] = {0, 1, -1, INT_MAX, INT_MIN};
        info.m_nHwnd = (m_rng() % 2) ? static_cast<int>(m_rng()) : hwnds[m_rng() % 5];
    }

private:
    std::string Text()
    {
        // Half empty (the line is left out); lengths up to the 259 that a value may have.
        if (m_rng() % 2)
            return "";
        size_t cch = (m_rng() % 8 == 0) ? 259 : 1 + m_rng() % 40;
        std::string text(cch, ' ');
        for (char& ch : text) {
            do {
                ch = static_cast<char>(0x20 + m_rng() % 0xE0);
            } while (ch == '"' || ch == 0x7F);
        }
        return text;
    }
    std::mt19937 m_rng;
};

} // namespace

TEST_F(ParamFile, RandomRecordsComeBackThroughParse)
{
    CRandomRecord random(7411);
    for (int n = 0; n < 3000; ++n) {
        CCmdLineInfo written;
        random.Fill(written);
        ASSERT_EQ(1, written.MakeParamFileName());
        m_names.push_back(written.m_szNewParamFile.c_str());
        ASSERT_EQ(1, written.WriteParamFile());
        CCmdLineInfo read(("/F \"" + m_names.back() + "\"").c_str());
        ASSERT_EQ(CarriedFields(written), CarriedFields(read)) << "record " << n;
        ASSERT_FALSE(PathExists(TempFolder() + m_names.back()));
    }
}

TEST_F(ParamFile, AnotherProcessReadsTheFileFromItsCommandLine)
{
    CCmdLineInfo written;
    CRandomRecord(99).Fill(written);
    written.m_szPrinterName = "Remote / Printer \xE4\xF6";
    ASSERT_EQ(1, written.WriteParamFileFor(written.m_szPrinterName.c_str(), "LPT2:", "MX/2"));
    m_names.push_back(written.m_szNewParamFile.c_str());

    CTempDir dir;
    std::string outPath = dir.File("fields.txt");
    ASSERT_TRUE(SetEnvironmentVariableA("CMDLINE_READER_OUT", outPath.c_str()));
    DWORD dwExit = 1;
    bool fRan = RunProcess("\"" + BinFile("cmdline_reader.exe") + "\" /F \"" + m_names.back() + "\"", &dwExit);
    SetEnvironmentVariableA("CMDLINE_READER_OUT", NULL);
    ASSERT_TRUE(fRan);
    EXPECT_EQ(0u, dwExit);
    std::string text;
    ASSERT_TRUE(ReadTextFile(outPath, &text));
    FieldMap read = ParseFields(text);
    EXPECT_EQ("1", read["Parse"]);
    read.erase("Parse");
    EXPECT_EQ(CarriedFields(written), read);
    EXPECT_FALSE(PathExists(TempFolder() + m_names.back())) << "the reader deletes a one-time file";
}

TEST(ParamFileFolder, TemporaryFolderThatDoesNotFitFallsBackToTheCurrentFolder)
{
    CTempDir dir;
    char szOldDir[MAX_PATH];
    char szOldTmp[MAX_PATH];
    char szOldTemp[MAX_PATH];
    ASSERT_NE(0u, GetCurrentDirectoryA(MAX_PATH, szOldDir));
    ASSERT_NE(0u, GetEnvironmentVariableA("TMP", szOldTmp, MAX_PATH));
    ASSERT_NE(0u, GetEnvironmentVariableA("TEMP", szOldTemp, MAX_PATH));
    std::string tooLong = dir.Path() + "\\" + std::string(280, 't');
    SetEnvironmentVariableA("TMP", tooLong.c_str());
    SetEnvironmentVariableA("TEMP", tooLong.c_str());
    SetCurrentDirectoryA(dir.Path().c_str());

    CCmdLineInfo info;
    info.m_szPrinterName = "p";
    int nMade = info.MakeParamFileName();
    int nWritten = info.WriteParamFile();
    std::string path = dir.File(info.m_szNewParamFile.c_str());
    std::string text;
    bool fRead = ReadTextFile(path, &text);
    CCmdLineInfo deleter;
    int nDeleted = deleter.DeleteParamFile(info.m_szNewParamFile.c_str());

    SetCurrentDirectoryA(szOldDir);
    SetEnvironmentVariableA("TMP", szOldTmp);
    SetEnvironmentVariableA("TEMP", szOldTemp);
    EXPECT_EQ(1, nMade);
    EXPECT_STREQ(".\\", info.m_szTempDir.c_str());
    EXPECT_EQ(1, nWritten);
    EXPECT_TRUE(fRead);
    EXPECT_EQ("/P \"p\"\n", text);
    EXPECT_NE(0, nDeleted);
    EXPECT_FALSE(PathExists(path));
}
