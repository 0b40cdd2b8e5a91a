// The reading steps of an install-data file: loading, lines, sections, keys and fields.
#include "installdata/instdatafile.h"
#include "tests/support/files.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

using testsupport::CTempDir;

namespace {

// A temporary file of that content, loaded.
class LoadedFile {
public:
    explicit LoadedFile(const std::string& content)
    {
        EXPECT_TRUE(testsupport::WriteTextFile(m_dir.File("f.inf"), content));
        m_fLoaded = m_file.Load(m_dir.File("f.inf").c_str());
    }
    CInstDataFile& File() { return m_file; }
    BOOL Loaded() const { return m_fLoaded; }

    std::vector<std::string> Lines(bool fNonEmpty)
    {
        std::vector<std::string> lines;
        CStr line;
        while (fNonEmpty ? m_file.ReadNonEmptyLine(line) : m_file.ReadLine(line))
            lines.push_back(line.c_str());
        EXPECT_STREQ("", line.c_str());
        return lines;
    }

private:
    CTempDir m_dir;
    CInstDataFile m_file;
    BOOL m_fLoaded;
};

typedef std::vector<std::string> Lines;

} // namespace

TEST(InstDataFile, LoadFailsWithoutContentAndReleasesEarlierContent)
{
    CTempDir dir;
    ASSERT_TRUE(testsupport::WriteTextFile(dir.File("full.inf"), "x=1\n"));
    ASSERT_TRUE(testsupport::WriteTextFile(dir.File("empty.inf"), ""));
    CInstDataFile file;
    CStr line;
    EXPECT_FALSE(file.ReadLine(line));
    EXPECT_FALSE(file.Load(""));
    EXPECT_FALSE(file.Load(dir.File("absent.inf").c_str()));
    EXPECT_FALSE(file.Load(dir.Path().c_str()));
    ASSERT_TRUE(file.Load(dir.File("full.inf").c_str()));
    EXPECT_FALSE(file.Load(dir.File("empty.inf").c_str()));
    EXPECT_FALSE(file.ReadLine(line));
    ASSERT_TRUE(file.Load(dir.File("full.inf").c_str()));
    file.Unload();
    EXPECT_FALSE(file.ReadLine(line));
}

TEST(InstDataFile, LinesKeepTheirLineFeedAndLoseTheirComment)
{
    using namespace std::string_literals;
    EXPECT_EQ(Lines({"a\n", "b\r\n", "\n", "\"q\n"}), LoadedFile("a;c\nb\r\n;x\n\"q;\"\n").Lines(false));
    EXPECT_EQ(Lines({"end"}), LoadedFile("end").Lines(false));
    EXPECT_EQ(Lines({"\n"}), LoadedFile(";only a comment").Lines(false));
    // A zero byte in a comment ends the reading there, without the line feed.
    EXPECT_EQ(Lines({"a"}), LoadedFile("a;c\0d\ne\n"s).Lines(false));
    EXPECT_EQ(Lines({"a\n", "b"}), LoadedFile("a\nb\0c\nd\n"s).Lines(false));
    EXPECT_EQ(Lines({"x", "y = 1"}), LoadedFile("\n \t\r\n  x \n ; c\n\vy = 1\f\n\n").Lines(true));
}

TEST(InstDataFile, SectionsAndKeysAreReadInFileOrder)
{
    LoadedFile loaded("k=0\n[A]\nk = 1\nother=2\nK=3\n[B]\nk=4\n[a]\nk=5\n");
    ASSERT_TRUE(loaded.Loaded());
    CInstDataFile& file = loaded.File();
    CStr value;
    EXPECT_FALSE(file.FindSection(""));
    EXPECT_FALSE(file.FindSection("C"));
    ASSERT_TRUE(file.FindSection("a"));
    EXPECT_FALSE(file.FindKey("", value));
    ASSERT_TRUE(file.FindKey("k", value));
    EXPECT_STREQ("1", value.c_str());
    ASSERT_TRUE(file.FindKey("k", value));
    EXPECT_STREQ("3", value.c_str());
    // The next header ends the section; reading goes on after it.
    EXPECT_FALSE(file.FindKey("k", value));
    EXPECT_STREQ("", value.c_str());
    ASSERT_TRUE(file.FindKey("k", value));
    EXPECT_STREQ("4", value.c_str());
    // Each search for a section starts again from the top.
    ASSERT_TRUE(file.FindSection("B"));
    ASSERT_TRUE(file.FindKey("K", value));
    EXPECT_STREQ("4", value.c_str());
}

TEST(InstDataFile, SplitKeyValue)
{
    struct {
        const char* pszLine;
        BOOL fSplit;
        const char* pszKey;
        const char* pszValue;
    } cases[] = {
        {"key=value", TRUE, "key", "value"},
        {" key \t=  a = b ", TRUE, "key", "a = b"},
        {"key=", FALSE, "", ""},
        {"=value", FALSE, "", ""},
        {"  =  ", FALSE, "", ""},
        {"no equals sign", FALSE, "", ""},
    };
    for (const auto& c : cases) {
        CStr key("stale"), value("stale");
        EXPECT_EQ(c.fSplit, CInstDataFile::SplitKeyValue(c.pszLine, key, value)) << c.pszLine;
        EXPECT_STREQ(c.pszKey, key.c_str()) << c.pszLine;
        EXPECT_STREQ(c.pszValue, value.c_str()) << c.pszLine;
    }
}

TEST(InstDataFile, FieldsQuotesAndValueTypes)
{
    struct {
        const char* pszValue;
        int nIndex;
        const char* pszField;
    } fields[] = {
        {"a,b,c", 0, "a"},
        {"a,b,c", 2, "c"},
        {"a,b,c", 3, ""},
        {"a, b ,c", 1, " b "},
        {"a,,c", 1, ""},
        {"", 0, ""},
        {"\"x,y\",z", 0, "\"x,y\""},
        {"\"x,y\",z", 1, "z"},
        {"\"x\"y,z\",w", 1, "z\""},        // the field ends at the first comma after the closing quote
        {"\"\"\"\"", 0, "\"\""},           // four quotes in a row become two
        {"a\"\"b", 0, "a\"b"},
        {"\"open,b", 0, ""},               // an unclosed quote: the field reads as empty
        {"\"open,b", 1, ""},
        {"a,\"open", 1, ""},
        {"a, \"b,c\"", 1, " \"b"},         // a blank before the quote: not a quoted field
    };
    for (const auto& f : fields)
        EXPECT_STREQ(f.pszField, CInstDataFile::GetField(f.pszValue, f.nIndex).c_str()) << f.pszValue << " #" << f.nIndex;

    const char* const quotes[][2] = {
        {"\"a\"", "a"}, {"\"\"", ""}, {"\"", ""}, {"\"a", ""}, {"a\"", ""}, {" \"a\"", ""}, {"\"a b\"", "a b"},
    };
    for (const auto& q : quotes)
        EXPECT_STREQ(q[1], CInstDataFile::StripQuotes(q[0]).c_str()) << q[0];

    const std::pair<const char*, DWORD> types[] = {
        {"12", REG_DWORD},       {"abc", REG_DWORD},     {"\"12\"", REG_SZ},       {" \"t\" ", REG_SZ},
        {"DriverDir", REG_SZ},   {"x systemdir", REG_SZ}, {"\"open", REG_DWORD},   {"DRIVER DIR", REG_DWORD},
    };
    for (const auto& t : types)
        EXPECT_EQ(t.second, CInstDataFile::GetValueType(t.first)) << t.first;
}
