// Randomized install-data files built from the grammar's own characters and words:
// every accepted record must keep the record invariants, and valid lines scattered
// among the noise must all still be found.
#include "installdata/instdatatable.h"
#include "tests/installdata/instdata_driver.h"
#include "tests/support/files.h"
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <string>

namespace {

const char* const kTokens[] = {
    "\"", "\"\"", ",", ";", "[", "]", "=", " ", "\t", "\r", "+", "\\", "0x", "0X", "-", "12", "7fffffff",
    "DRIVERDIR", "driverdir", "SYSTEMDIR", "SystemDir", "REGPATH", "REGENTER", "regenter", "Install",
    "HKEY_LOCAL_MACHINE\\", "HKEY_CURRENT_USER\\", "ALL", "WINNT", "WIN9X", "WIN2000", "BUILD64", "Tag", "Name",
    "\\x.dll", "Software\\NOVRA",
};
const char kRunChars[] = "\",;[]= \\+";

class CNoise {
public:
    explicit CNoise(unsigned seed) : m_rng(seed) {}

    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }

    // A few tokens, now and then a long run of one grammar character.
    std::string Text()
    {
        std::string text;
        for (int n = Pick(6); n >= 0; --n) {
            if (Pick(20) == 0)
                text += std::string(1 + Pick(4000), kRunChars[Pick(sizeof(kRunChars) - 1)]);
            else
                text += kTokens[Pick(sizeof(kTokens) / sizeof(kTokens[0]))];
        }
        return text;
    }

    // Mostly key lines of the two kinds read, shaped like real ones, with noise in any field.
    std::string Line()
    {
        static const char* const kKeys[] = {"REGENTER=", "REGPATH=", " regpath = ", "REGENTER =", ""};
        static const char* const kConditions[] = {"ALL", "WINNT", "WIN9X", "BUILD64", "", "win2klater"};
        std::string line = kKeys[Pick(5)];
        line += Pick(4) ? "Tag" + std::to_string(Pick(5)) : Text();
        line += ",";
        switch (Pick(4)) {
        case 0: line += Text(); break;
        case 1: line += "\"HKEY_LOCAL_MACHINE\\" + Text() + "\""; break;
        default: line += "\"" + Text() + "\""; break;
        }
        if (Pick(5) == 0)
            return Finish(line);
        line += ",";
        switch (Pick(6)) {
        case 0: line += Text(); break;
        case 1: line += "DRIVERDIR+\"" + Text() + "\""; break;
        case 2: line += Pick(2) ? "SYSTEMDIR" : "driverdir"; break;
        case 3: line += (Pick(2) ? "0x" : "") + std::to_string(Pick(100000)) + (Pick(4) ? "" : Text()); break;
        default: line += "\"" + Text() + "\""; break;
        }
        for (int n = Pick(3); n > 0; --n)
            line += std::string(",") + (Pick(4) ? kConditions[Pick(6)] : Text().c_str());
        return Finish(line);
    }

private:
    // A line that reads as a section header would end the section for the lines after it.
    static std::string Finish(std::string line)
    {
        size_t first = line.find_first_not_of(" \t\r\v\f");
        if (first != std::string::npos && line[first] == '[')
            line.insert(first, "x");
        return line;
    }

    std::mt19937 m_rng;
};

bool HasLineBreakOrComment(const CStr& text)
{
    return text.Find(';') >= 0 || text.Find('\n') >= 0;
}

} // namespace

TEST(InstDataRandom, AcceptedRecordsKeepTheirInvariants)
{
    instdatatest::CInstDataDriver driver("");
    ASSERT_TRUE(driver.Installed());
    const int kLines = 3000;
    const int kAnchorEvery = 25;
    for (unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        CNoise noise(seed);
        std::string content = "[Install]\nREGPATH=ANCHOR,\"HKEY_LOCAL_MACHINE\\Anchor\"\n";
        for (int i = 0; i < kLines; ++i) {
            content += noise.Line() + (noise.Pick(10) == 0 ? "\r\n" : "\n");
            if (i % kAnchorEvery == 0)
                content += "REGENTER=ANCHOR,\"Anchor#" + std::to_string(i) + "\",\"v" + std::to_string(i) + "\"\n";
        }
        ASSERT_TRUE(testsupport::WriteTextFile(driver.InstDataFile(), content));

        CInstDataTable table;
        ASSERT_TRUE(table.LoadForDriver(driver.Name().c_str()));
        int nPaths = 0;
        CGuardedList& paths = table.GetPathRecords();
        for (CHAINPOS pos = paths.GetHeadPosition(); pos != NULL; ++nPaths) {
            InstPathRecord* p = static_cast<InstPathRecord*>(paths.GetNext(pos));
            ASSERT_NE(nullptr, p);
            EXPECT_FALSE(p->m_szTag.IsEmpty());
            EXPECT_FALSE(p->m_szKeyPath.IsEmpty());
            EXPECT_FALSE(HasLineBreakOrComment(p->m_szTag) || HasLineBreakOrComment(p->m_szKeyPath)) << p->m_szTag.c_str();
        }
        int nValues = 0;
        std::map<std::string, std::string> anchors;
        CGuardedList& values = table.GetValueRecords();
        for (CHAINPOS pos = values.GetHeadPosition(); pos != NULL; ++nValues) {
            InstValueRecord* v = static_cast<InstValueRecord*>(values.GetNext(pos));
            ASSERT_NE(nullptr, v);
            EXPECT_FALSE(v->m_szTag.IsEmpty());
            EXPECT_FALSE(v->m_szValueName.IsEmpty());
            EXPECT_FALSE(HasLineBreakOrComment(v->m_szTag) || HasLineBreakOrComment(v->m_szValueName) ||
                         HasLineBreakOrComment(v->m_szText))
                << v->m_szTag.c_str();
            if (v->m_szTag == "ANCHOR")
                anchors[v->m_szValueName.c_str()] = v->m_szText.c_str();
            if (v->m_nType == REG_SZ) {
                EXPECT_FALSE(v->m_szText.IsEmpty()) << v->m_szValueName.c_str();
                EXPECT_EQ(0, v->m_nNumber);
            } else {
                EXPECT_EQ(static_cast<DWORD>(REG_DWORD), v->m_nType);
                EXPECT_TRUE(v->m_szText.IsEmpty()) << v->m_szValueName.c_str();
            }
        }
        // The noise must yield records of both kinds, or the invariants were barely tested.
        EXPECT_GT(nPaths, 100);
        EXPECT_GT(nValues - kLines / kAnchorEvery, 300);
        // The valid lines among the noise were all read, and a lookup finds them.
        std::map<std::string, std::string> expected;
        for (int i = 0; i < kLines; i += kAnchorEvery)
            expected["Anchor#" + std::to_string(i)] = "v" + std::to_string(i);
        EXPECT_EQ(expected, anchors);
        EXPECT_STREQ("v2975", table.FindValue("anchor", "ANCHOR#2975").c_str());
    }
}
