// The install-data file syntax: lines, sections, key lines, fields, data forms,
// conditions and the replacement rule, parsed for a driver installed in Wine's spooler.
#include "installdata/instdatatable.h"
#include "tests/installdata/instdata_driver.h"
#include "tests/support/files.h"
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

using instdatatest::CInstDataDriver;

namespace {

typedef std::vector<std::string> Records;

std::string SystemDir()
{
    char szDir[MAX_PATH] = {0};
    GetSystemDirectoryA(szDir, MAX_PATH);
    return szDir;
}

// Each test installs one driver; its install-data file is rewritten for every parse.
class InstDataParser : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_pDriver.reset(new CInstDataDriver(""));
        ASSERT_TRUE(m_pDriver->Installed());
        m_dir = m_pDriver->Directory();
        ASSERT_FALSE(m_dir.empty());
    }

    // Parses the text as the driver's install-data file. The accepted records, one line
    // each: "P|tag|key path", "S|tag|name|text" or "D|tag|name|number".
    Records Parse(const std::string& content)
    {
        Records records;
        EXPECT_TRUE(testsupport::WriteTextFile(m_pDriver->InstDataFile(), content));
        CInstDataFile file;
        file.Load(m_pDriver->InstDataFile().c_str());
        m_table.ParsePaths(file);
        m_table.ParseValuesForDriver(m_pDriver->Name().c_str(), file);
        CGuardedList& paths = m_table.GetPathRecords();
        for (CHAINPOS pos = paths.GetHeadPosition(); pos != NULL;) {
            InstPathRecord* p = static_cast<InstPathRecord*>(paths.GetNext(pos));
            records.push_back(std::string("P|") + p->m_szTag.c_str() + "|" + p->m_szKeyPath.c_str());
        }
        CGuardedList& values = m_table.GetValueRecords();
        for (CHAINPOS pos = values.GetHeadPosition(); pos != NULL;) {
            InstValueRecord* v = static_cast<InstValueRecord*>(values.GetNext(pos));
            std::string prefix = std::string(v->m_nType == REG_SZ ? "S|" : "D|") + v->m_szTag.c_str() + "|" +
                                 v->m_szValueName.c_str() + "|";
            records.push_back(prefix + (v->m_nType == REG_SZ ? std::string(v->m_szText.c_str())
                                                             : std::to_string(v->m_nNumber)));
        }
        return records;
    }

    // The records of one "REGENTER" line in an "Install" section.
    Records ParseValueLine(const std::string& value) { return Parse("[Install]\r\nREGENTER=" + value + "\r\n"); }

    // "<dir>" and "<sys>" in an expected record stand for the driver and system directories.
    std::string Expand(std::string text) const
    {
        for (const auto& macro : {std::make_pair(std::string("<dir>"), m_dir),
                                  std::make_pair(std::string("<sys>"), SystemDir())}) {
            for (size_t at = text.find(macro.first); at != std::string::npos; at = text.find(macro.first))
                text.replace(at, macro.first.size(), macro.second);
        }
        return text;
    }

    void ExpectValueLines(const std::vector<std::pair<std::string, std::string>>& cases)
    {
        for (const auto& c : cases) {
            Records expected;
            if (!c.second.empty())
                expected.push_back(Expand(c.second));
            EXPECT_EQ(expected, ParseValueLine(c.first)) << "REGENTER=" << c.first;
        }
    }

    std::unique_ptr<CInstDataDriver> m_pDriver;
    std::string m_dir;
    CInstDataTable m_table;
};

} // namespace

TEST_F(InstDataParser, OnlyTheFirstInstallSectionIsRead)
{
    EXPECT_EQ(Records({"D|T|Lower|1", "D|T|Broken|2"}),
              Parse("REGENTER=T,\"Outside\",1\r\n"
                    "[Version]\r\nREGENTER=T,\"Version\",1\r\n"
                    "  [install]  \t\r\n"
                    "REGENTER=T,\"Lower\",1\r\n"
                    "[no closing bracket\r\n"
                    "REGENTER=T,\"Broken\",2\r\n"
                    "[Other]\r\nREGENTER=T,\"Other\",1\r\n"
                    "[Install]\r\nREGENTER=T,\"Second\",1\r\n"));
    EXPECT_EQ(Records(), Parse("[ Install ]\r\nREGENTER=T,\"Blanks\",1\r\n"));
    EXPECT_EQ(Records(), Parse("[Installation]\r\nREGENTER=T,\"Longer\",1\r\n"));
}

TEST_F(InstDataParser, KeyLinesAndComments)
{
    EXPECT_EQ(Records({"P|K|Key", "D|T|Lower|1", "D|T|Blank|2", "D|T|a=b|3", "D|T|Comment|4", "D|T|Tab|5",
                       "D|T|Last without line feed|6"}),
              Parse("; heading comment\n"
                    "[Install]\n"
                    "regpath = K, \"HKEY_LOCAL_MACHINE\\Key\"\n"
                    "regenter=T,\"Lower\",1\n"
                    "  RegEnter  =  T,\"Blank\",2  \r\n"
                    "REGENTER=T,\"a=b\",3\n"
                    "REGENTER=T,\"Comment\",4 ; REGENTER=T,\"Hidden\",9\n"
                    ";REGENTER=T,\"Commented\",9\n"
                    "REGENTER=\n"
                    "=T,\"NoKey\",9\n"
                    "REGENTRY=T,\"OtherKey\",9\n"
                    "REGENTER T,\"NoEquals\",9\n"
                    "\tREGENTER\t=\tT,\"Tab\",5\t\n"
                    "REGENTER=T,\"Semi;colon\",9\n"
                    "REGENTER=T,\"Last without line feed\",6"
                    "; and a comment after it"));
}

TEST_F(InstDataParser, QuotedFieldsAndDoubledQuotes)
{
    ExpectValueLines({
        {"T,\"a,b\",1", "D|T|a,b|1"},
        {"T, \"a,b\",1", ""},                // a blank before the quote: not a quoted field
        {"T,\"a\"\"b\",1", "D|T|a\"b|1"},    // a doubled quote is one quote
        {"T,\"a\"\"b,c\",1", ""},            // ... but the field ends at the next comma
        {"T,\"\"\"\"\"\",1", "D|T|\"|1"},      // six quotes: three, then one off each end
        {"T,\"\",1", ""},                    // an empty quoted text reads as empty
        {"T,name,1", ""},
        {" T , \"a\" , 12 ", "D|T|a|12"},
        {"\"T,x\",\"a\",1", "D|\"T,x\"|a|1"},  // the tag is taken as written
        {",\"a\",1", ""},
        {"T,\"a\",", ""},
        {"T,\"a\"", ""},
        {"T", ""},
        {"\"T,\"a\",1", ""},      // an unclosed quote in a skipped field
        {"\"T,a,1", ""},          // ... and in the field being taken
        {"T,\"a,1", ""},
        {"T,\"a\",\"1", ""},
        {"T,\"a\",1,\"ALL", "D|T|a|1"},  // an unclosed condition ends the conditions
    });
}

TEST_F(InstDataParser, DataTypesAndNumbers)
{
    ExpectValueLines({
        {"T,\"v\",12", "D|T|v|12"},
        {"T,\"v\",\"12\"", "S|T|v|12"},
        {"T,\"v\",0x10", "D|T|v|16"},
        {"T,\"v\",0X1f", "D|T|v|31"},
        {"T,\"v\",abc", "D|T|v|0"},
        {"T,\"v\",12abc", "D|T|v|12"},
        {"T,\"v\",-5", "D|T|v|-5"},
        {"T,\"v\",+7", "D|T|v|7"},
        {"T,\"v\",0xFFFFFFFF", "D|T|v|2147483647"},
        {"T,\"v\",99999999999", "D|T|v|2147483647"},
        {"T,\"v\",-99999999999", "D|T|v|-2147483648"},
        {"T,\"v\",0x", "D|T|v|0"},
        {"T,\"v\",0x0x10", "D|T|v|0"},  // no second prefix: the digits stop at its "x"
        {"T,\"v\",0x-1f", "D|T|v|-31"},
        {"T,\"v\",-0x10", "D|T|v|0"},
        {"T,\"v\",0x80000000", "D|T|v|2147483647"},
        {"T,\"v\",-2147483648", "D|T|v|-2147483648"},
        {"T,\"v\",0x7fffffffg", "D|T|v|2147483647"},
        {"T,\"v\",\"  padded  \"", "S|T|v|  padded  "},
    });
}

TEST_F(InstDataParser, DirectoryMacros)
{
    ExpectValueLines({
        {"T,\"v\",DRIVERDIR", "S|T|v|<dir>"},
        {"T,\"v\",driverdir", "S|T|v|<dir>"},
        {"T,\"v\",SystemDir", "S|T|v|<sys>"},
        {"T,\"v\",DRIVERDIR+\"\\x.dll\"", "S|T|v|<dir>\\x.dll"},
        {"T,\"v\",DRIVERDIR+\"x.dll\"", "S|T|v|<dir>x.dll"},  // no separator is inserted
        {"T,\"v\",SYSTEMDIR+\"\\x.dll\"", "S|T|v|<sys>\\x.dll"},
        {"T,\"v\",DRIVERDIR+\"  \\x.dll  \"", "S|T|v|<dir>\\x.dll"},
        {"T,\"v\",at DRIVERDIR+\"\\x\"", "S|T|v|<dir>\\x"},  // text before the word is ignored
        {"T,\"v\",SYSTEMDIR+\"\\a\" DRIVERDIR+\"\\b\"", "S|T|v|<dir>\\b"},  // DRIVERDIR goes first
        {"T,\"v\",\"C:\\driverdir\\x\"", "S|T|v|C:\\driverdir\\x"},
        {"T,\"v\",\"C:\\DRIVERDIR\\x\"", ""},
        {"T,\"v\",driverdir+\"\\x\"", ""},
        {"T,\"v\",DRIVERDIR+ \"\\x\"", ""},
        {"T,\"v\",DRIVERDIR +\"\\x\"", ""},
        {"T,\"v\",DRIVERDIR+", ""},
        {"T,\"v\",DRIVERDIR+\"\"", ""},
        {"T,\"v\",DRIVERDIR+\\x", ""},
        {"T,\"v\",DRIVERDIRX", ""},
    });
}

TEST_F(InstDataParser, ConditionsOnThisSystem)
{
    // Wine reports Windows 7 (NT 6.1) unless told otherwise.
    ExpectValueLines({
        {"T,\"v\",1,ALL", "D|T|v|1"},
        {"T,\"v\",1,WINNT", "D|T|v|1"},
        {"T,\"v\",1, winnt ", "D|T|v|1"},
        {"T,\"v\",1,WIN9X", ""},
        {"T,\"v\",1,WIN9X,WINNT", "D|T|v|1"},
        {"T,\"v\",1,WINNT,WIN9X", "D|T|v|1"},
        {"T,\"v\",1,NOSUCHWORD", ""},
        {"T,\"v\",1,BUILD64", ""},
        {"T,\"v\",1,,BUILD64", "D|T|v|1"},  // the conditions end at the first empty field
        {"T,\"v\",1,WINNT40", ""},
    });
}

TEST_F(InstDataParser, ReplacementOfTheLastAcceptedRecord)
{
    EXPECT_EQ(Records({"S|T|A|second"}),
              Parse("[Install]\nREGENTER=T,\"A\",\"first\"\nREGENTER=T,\"A\",\"second\",WINNT\n"));
    EXPECT_EQ(Records({"S|T|A|first", "S|T|B|other", "S|T|A|second"}),
              Parse("[Install]\nREGENTER=T,\"A\",\"first\"\nREGENTER=T,\"B\",\"other\"\n"
                    "REGENTER=T,\"A\",\"second\"\n"));
    EXPECT_EQ(Records({"S|T|A|second"}),
              Parse("[Install]\nREGENTER=T,\"A\",\"first\"\nREGENTER=T,\"B\",\"other\",WIN9X\n"
                    "REGENTER=T,\"A\",\"second\"\n"));
    // Letter case counts here.
    EXPECT_EQ(Records({"S|P1|A|1", "S|p1|A|2", "S|p1|a|3"}),
              Parse("[Install]\nREGENTER=P1,\"A\",\"1\"\nREGENTER=p1,\"A\",\"2\"\nREGENTER=p1,\"a\",\"3\"\n"));
}

TEST_F(InstDataParser, KeyPaths)
{
    EXPECT_EQ(Records({"P|K1|Software\\X", "P|K2|Software\\Y", "P|K3|A\\HKEY_LOCAL_MACHINE\\B", "P|K4|Z"}),
              Parse("[Install]\n"
                    "REGPATH=K1,\"HKEY_LOCAL_MACHINE\\Software\\X\"\n"
                    "REGPATH=K2,\"before HKEY_LOCAL_MACHINE\\Software\\Y\"\n"
                    "REGPATH=K3,\"HKEY_LOCAL_MACHINE\\A\\HKEY_LOCAL_MACHINE\\B\"\n"
                    "REGPATH=K4,\"HKEY_LOCAL_MACHINE\\Z\",ignored,fields\n"
                    "REGPATH=N1,HKEY_LOCAL_MACHINE\\Unquoted\n"
                    "REGPATH=N2,\"hkey_local_machine\\Lower\"\n"
                    "REGPATH=N3,\"HKEY_CURRENT_USER\\User\"\n"
                    "REGPATH=N4,\"HKEY_LOCAL_MACHINE\\\"\n"
                    "REGPATH=N5,\"HKEY_LOCAL_MACHINE\"\n"
                    "REGPATH=,\"HKEY_LOCAL_MACHINE\\NoTag\"\n"));
}

TEST_F(InstDataParser, FindValueTakesTheFirstMatchingPathAndRecord)
{
    Parse("[Install]\n"
          "REGPATH=A,\"HKEY_LOCAL_MACHINE\\Key\"\n"
          "REGPATH=B,\"HKEY_LOCAL_MACHINE\\KEY\"\n"
          "REGENTER=B,\"Name\",\"from the second path\"\n"
          "REGENTER=A,\"Name\",\"first\"\n"
          "REGENTER=A,\"Other\",\"between\"\n"
          "REGENTER=A,\"name\",\"later\"\n"
          "REGENTER=A,\"Number\",5\n"
          "REGENTER=A,\"Other\",\"between\"\n"
          "REGENTER=A,\"Number\",\"text after a number\"\n");
    EXPECT_STREQ("first", m_table.FindValue("kEy", "NAME").c_str());
    EXPECT_STREQ("", m_table.FindValue("Key", "Number").c_str());
    EXPECT_STREQ("", m_table.FindValue("Key", "Absent").c_str());
    EXPECT_STREQ("", m_table.FindValue("Absent", "Name").c_str());
}

TEST_F(InstDataParser, ZeroBytesEndTheReadableText)
{
    using namespace std::string_literals;
    EXPECT_EQ(Records({"D|T|A|1"}),
              Parse("[Install]\nREGENTER=T,\"A\",1 ; comment \0 more\nREGENTER=T,\"B\",2\n"s));
    EXPECT_EQ(Records({"D|T|A|1"}),
              Parse("[Install]\nREGENTER=T,\"A\",1\nREGENTER=T,\"B\0\",2\nREGENTER=T,\"C\",3\n"s));
    EXPECT_EQ(Records(), Parse("\0[Install]\nREGENTER=T,\"A\",1\n"s));
}

TEST_F(InstDataParser, MegabyteLinesAreReadWholeAndReadingGoesOn)
{
    const size_t kMega = 1 << 20;
    std::string conditions;
    for (int i = 0; i < 100000; ++i)
        conditions += ",WIN9X";
    Records records = Parse("[Install]\n"
                            "REGENTER=T,\"Long\",\"" + std::string(kMega, 'x') + "\"\n"
                            "REGENTER=T,\"Commas\",1" + std::string(kMega, ',') + "\n"
                            "REGENTER=T,\"Quotes\"," + std::string(kMega, '"') + "\n"
                            "REGENTER=T,\"Conditions\",2" + conditions + "\n"
                            "REGENTER=" + std::string(kMega, ';') + "\n"
                            "REGENTER=T,\"After\",3\n");
    // Compared by size and ends: a failure must not print megabytes.
    ASSERT_EQ(4u, records.size());
    EXPECT_EQ(std::string("S|T|Long|").size() + kMega, records[0].size());
    EXPECT_EQ(std::string::npos, records[0].find_first_not_of('x', 9));
    EXPECT_EQ("D|T|Commas|1", records[1]);
    // A million quotes: half a million by the pair rule, less the enclosing two.
    EXPECT_EQ(std::string("S|T|Quotes|").size() + kMega / 2 - 2, records[2].size());
    EXPECT_EQ(std::string::npos, records[2].find_first_not_of('"', 11));
    EXPECT_EQ("D|T|After|3", records[3]);
}
