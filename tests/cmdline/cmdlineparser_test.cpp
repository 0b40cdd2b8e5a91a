// The switch grammar: names, counts, counted and quoted values, quote
// tracking, the value limit, and hostile texts that must neither crash,
// read past their end nor loop.
#include "cmdline/cmdlineparser.h"
#include "cmdline/switchscanner.h"
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

struct SwitchSeen {
    int nResult;
    std::string name;
    std::string value;
};

// Every switch that GetSwitch gives for the text, up to the first -1.
std::vector<SwitchSeen> AllSwitches(const std::string& text, int cchName = 260, int cchValue = 260)
{
    CCmdLineParser parser;
    parser.m_strCmdLine = text.c_str();
    std::vector<SwitchSeen> seen;
    std::vector<char> name(cchName > 0 ? cchName : 1), value(cchValue > 0 ? cchValue : 1);
    for (int i = 0; i <= static_cast<int>(text.size()) + 1; ++i) {
        int nResult = parser.GetSwitch(i, name.data(), cchName, value.data(), cchValue);
        if (nResult < 0)
            break;
        seen.push_back({nResult, name.data(), value.data()});
    }
    return seen;
}

std::string Describe(const std::vector<SwitchSeen>& seen)
{
    std::string text;
    for (const SwitchSeen& s : seen)
        text += "[" + s.name + "|" + std::to_string(s.nResult) + "|" + s.value + "]";
    return text;
}

struct GrammarCase {
    const char* pszWhat;
    std::string text;
    std::string expected;  // Describe() of every switch found
};

} // namespace

TEST(CmdLineGrammar, SwitchesFoundInTexts)
{
    const std::string v259(259, 'v');
    const std::string v260(260, 'w');
    const GrammarCase cases[] = {
        {"quoted values with blanks and slashes",
         "/P \"Printer One\" /D \"drv/x 2\" /O \"LPT1:\" /M \"M-1\"",
         "[P|11|Printer One][D|7|drv/x 2][O|5|LPT1:][M|3|M-1]"},
        {"counted value holding a quote", "/P3 \"a\"b\" /R", "[P|3|a\"b][R|0|]"},
        {"count, blank, quote", "/P 3 \"a\"b\"", "[P|3|a\"b]"},
        {"counted value holding slash and line feed", "/X5 \"a/b\nc\" /R", "[X|5|a/b\nc][R|0|]"},
        {"closing quote of a counted value is not tracked", "/P2 \"a\"\" /R", "[P|2|a\"][R|0|]"},
        {"count without quotes jumps past the end", "/HWND77 /R", "[HWND|0|]"},
        {"count past the end of a quoted value", "/P9 \"ab\" /R", "[P|0|]"},
        {"count with no quote after it at all", "/S /P3 /Rxxxxxxxxxx", "[S|0|]"},
        {"count beyond 32 bits", "/P99999999999999999999 \"abc\" /R", "[P|0|]"},
        {"count of zero is a quoted value", "/P0 \"abc\"", "[P|3|abc]"},
        {"digits after a blank are a count", "/P abc1 \"def\"", "[P|1|d]"},
        {"quoted HWND", "/HWND \"1234\"", "[HWND|4|1234]"},
        {"lone flag at the end", "/P \"x\" /R", "[P|1|x][R|0|]"},
        {"lone slash at the end", "/P \"x\" /", "[P|1|x][|0|]"},
        {"switches glued together", "/R/S/E", "[R|0|][S|0|][E|0|]"},
        {"glued quoted values", "/P\"a\"/D\"b\"", "[P|1|a][D|1|b]"},
        {"names end at tab, return and line feed", "/P\t\"x\"\r\n/D\r\"y\"\n/O\n", "[P|1|x][D|1|y][O|0|]"},
        {"name kept as written", "/qZm \"q\"", "[qZm|1|q]"},
        {"text before the first slash", "C:\\Tools\\agent.exe /P \"x\"", "[P|1|x]"},
        {"quoted program path holding slashes", "\"C:/Program Files/a.exe\" /P \"x\"", "[P|1|x]"},
        {"unbalanced quote before any switch hides them all", "agent \"unclosed /P \"x\" /D \"y\"", ""},
        {"empty quotes are no value", "/P \"\" /D \"d\"", "[P|0|][D|1|d]"},
        {"slash outside quotes ends a quoted value", "/P x/D \"y\"", "[P|0|][D|1|y]"},
        {"slash inside quotes belongs to the value", "/P \"abc /D \"x\" /O \"o\"", "[P|7|abc /D ]"},
        {"unclosed value runs to the line feed and hides the rest", "/P \"abc\n/D \"x\"\n/O \"y\"\n", "[P|3|abc]"},
        {"unclosed value runs to the end", "/P \"abc", "[P|3|abc]"},
        {"unclosed quote right after the name is no value", "/P\"abc\n/D \"x\"", "[P|0|]"},
        {"value of 259 characters", "/P \"" + v259 + "\" /R", "[P|259|" + v259 + "][R|0|]"},
        {"value of 260 characters ends parsing", "/R /P \"" + v260 + "\" /S", "[R|0|]"},
        {"counted value of 260 characters ends parsing", "/R /P260 \"" + v260 + "\" /S", "[R|0|]"},
        {"empty text", "", ""},
        {"no switch at all", "agent.exe \"x\" y", ""},
    };
    for (const GrammarCase& c : cases)
        EXPECT_EQ(c.expected, Describe(AllSwitches(c.text))) << c.pszWhat;
}

TEST(CmdLineGrammar, BuffersTooSmallOrIndexOutOfRange)
{
    CCmdLineParser parser;
    parser.m_strCmdLine = "/QZM \"value\" /R";
    char szName[8] = "junk";
    char szValue[8] = "junk";
    EXPECT_EQ(-1, parser.GetSwitch(0, szName, 3, szValue, 8)) << "name of 3 into 3";
    EXPECT_STREQ("", szName);
    EXPECT_STREQ("", szValue);
    strcpy(szName, "junk");
    EXPECT_EQ(-1, parser.GetSwitch(0, szName, 8, szValue, 5)) << "value of 5 into 5";
    EXPECT_STREQ("", szName);
    EXPECT_EQ(5, parser.GetSwitch(0, szName, 4, szValue, 6));
    EXPECT_STREQ("QZM", szName);
    EXPECT_STREQ("value", szValue);
    EXPECT_EQ(-1, parser.GetSwitch(2, szName, 8, szValue, 8));
    EXPECT_EQ(-1, parser.GetSwitch(-1, szName, 8, szValue, 8));
    EXPECT_EQ(-1, parser.GetSwitch(0, NULL, 8, szValue, 8));
    EXPECT_EQ(-1, parser.GetSwitch(1, szName, 0, szValue, 8));
}

TEST(CmdLineGrammar, ParseNumberCollectsDigitsUpToTheStop)
{
    struct {
        const char* pszText;
        int nNumber;
        int nPos;  // offset of the scan position
    } cases[] = {
        {" 3 \"a", 3, 2},     // ends on the blank before the quote
        {"\"abc\"", 0, 0},    // nothing passed over: stays
        {"12/R", 12, 1},
        {"1x2y3\n4", 123, 4},
        {"", 0, 0},
        {"99999999999\"", 2147483647, 10},
    };
    for (const auto& c : cases) {
        const char* pszPos = NULL;
        EXPECT_EQ(c.nNumber, CCmdLineParser::ParseNumber(c.pszText, &pszPos)) << c.pszText;
        EXPECT_EQ(c.nPos, pszPos - c.pszText) << c.pszText;
    }
}

namespace {

// A text whose terminator is the last byte before an inaccessible page: any read past it faults.
class CGuardedText {
public:
    CGuardedText()
    {
        SYSTEM_INFO si;
        GetSystemInfo(&si);
        m_cbPage = si.dwPageSize;
        m_pBase = static_cast<char*>(VirtualAlloc(NULL, 2 * m_cbPage, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        DWORD dwOld = 0;
        VirtualProtect(m_pBase + m_cbPage, m_cbPage, PAGE_NOACCESS, &dwOld);
    }
    ~CGuardedText() { VirtualFree(m_pBase, 0, MEM_RELEASE); }
    const char* Place(const std::string& text)
    {
        char* psz = m_pBase + m_cbPage - text.size() - 1;
        memcpy(psz, text.c_str(), text.size() + 1);
        return psz;
    }
    bool Ready() const { return m_pBase != NULL; }

private:
    char* m_pBase;
    SIZE_T m_cbPage;
};

} // namespace

TEST(CmdLineGrammar, HostileTextsStayInBoundsAndEnd)
{
    CGuardedText guard;
    ASSERT_TRUE(guard.Ready());
    std::mt19937 rng(20240611);
    const char alphabet[] = "/\"\"//PDOMF019 \t\n\r\\xHWND";
    for (int n = 0; n < 20000; ++n) {
        std::string text(rng() % 120, ' ');
        for (char& ch : text)
            ch = (rng() % 8 == 0) ? static_cast<char>(1 + rng() % 255) : alphabet[rng() % (sizeof(alphabet) - 1)];
        const char* pszText = guard.Place(text);
        CSwitchScanner scanner(pszText);
        SwitchSpan span;
        int nFound = 0;
        char szName[80];
        char szValue[260];
        while (scanner.FindNext(&span)) {
            ASSERT_LE(++nFound, static_cast<int>(text.size())) << "more switches than slashes: " << text;
            int nResult = scanner.CopySwitch(&span, szName, sizeof(szName), szValue, sizeof(szValue));
            if (nResult < 0)
                continue;
            ASSERT_EQ(static_cast<size_t>(nResult), strlen(szValue)) << text;
            ASSERT_LE(span.nValueStart + span.nValueLen, static_cast<int>(text.size())) << text;
            ASSERT_EQ(nullptr, strpbrk(szName, "0123456789\"/ \t\r\n")) << text;
        }
    }
}
