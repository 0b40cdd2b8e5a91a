// String class: block layout, sharing, copy-before-write and text operations.
#include "app/str.h"
#include "app/handles.h"
#include "tests/support/files.h"
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace {

// The block header in front of the text: {count, length, capacity}.
const CStrData* Block(const CStr& s)
{
    return reinterpret_cast<const CStrData*>(s.c_str()) - 1;
}

} // namespace

TEST(CStrBlock, EmptyStringsShareTheStaticBlock)
{
    CStr a, b(""), c(static_cast<const char*>(nullptr));
    EXPECT_EQ(a.c_str(), b.c_str());
    EXPECT_EQ(a.c_str(), c.c_str());
    EXPECT_EQ(-1, Block(a)->nRefs);
    EXPECT_EQ(0, Block(a)->nDataLength);
    EXPECT_EQ(0, Block(a)->nAllocLength);
    CStr d(a);
    EXPECT_EQ(-1, Block(a)->nRefs);
    EXPECT_STREQ("", d.c_str());
}

TEST(CStrBlock, ExactSizeAndSharedCopies)
{
    CStr a("printer");
    EXPECT_EQ(1, Block(a)->nRefs);
    EXPECT_EQ(7, Block(a)->nDataLength);
    EXPECT_EQ(7, Block(a)->nAllocLength);
    {
        CStr b(a);
        CStr c;
        c = a;
        EXPECT_EQ(a.c_str(), b.c_str());
        EXPECT_EQ(a.c_str(), c.c_str());
        EXPECT_EQ(3, Block(a)->nRefs);
    }
    EXPECT_EQ(1, Block(a)->nRefs);
    a = a;
    EXPECT_EQ(1, Block(a)->nRefs);
    EXPECT_STREQ("printer", a.c_str());
}

TEST(CStrBlock, SetAtOnACopyLeavesTheSourceUnchanged)
{
    CStr source("abc");
    CStr copy(source);
    copy.SetAt(0, 'x');
    EXPECT_STREQ("abc", source.c_str());
    EXPECT_STREQ("xbc", copy.c_str());
    EXPECT_NE(source.c_str(), copy.c_str());
    EXPECT_EQ(1, Block(source)->nRefs);
    EXPECT_EQ(1, Block(copy)->nRefs);
}

TEST(CStrBlock, AssigningEmptyKeepsAPrivateBlockButEmptyDropsIt)
{
    CStr s("abcdef");
    const char* pBlockText = s.c_str();
    s = "";
    EXPECT_EQ(pBlockText, s.c_str());
    EXPECT_EQ(0, s.GetLength());
    EXPECT_EQ(6, Block(s)->nAllocLength);
    s = "xyz";  // fits: the block is kept
    EXPECT_EQ(pBlockText, s.c_str());
    s.Empty();
    EXPECT_EQ(CStr().c_str(), s.c_str());
}

TEST(CStrBlock, AssigningTextToASharedBlockTakesANewOne)
{
    CStr a("shared text");
    CStr b(a);
    b = "new";
    EXPECT_STREQ("shared text", a.c_str());
    EXPECT_STREQ("new", b.c_str());
    EXPECT_EQ(1, Block(a)->nRefs);
    EXPECT_EQ(3, Block(b)->nAllocLength);
}

TEST(CStrBlock, AppendsReallocateToTheExactSizeUnlessThereIsRoom)
{
    CStr s("ab");
    s += "cd";
    EXPECT_STREQ("abcd", s.c_str());
    EXPECT_EQ(4, Block(s)->nAllocLength);
    s += 'e';
    s += CStr("fg");
    EXPECT_STREQ("abcdefg", s.c_str());
    EXPECT_EQ(7, Block(s)->nAllocLength);
    s += s;
    EXPECT_STREQ("abcdefgabcdefg", s.c_str());

    CStr roomy;
    roomy.GetBuffer(20);
    roomy.ReleaseBuffer(0);
    const char* pText = roomy.c_str();
    roomy += "in place";
    EXPECT_EQ(pText, roomy.c_str());
    EXPECT_STREQ("in place", roomy.c_str());
}

TEST(CStrBlock, AppendToASharedBlockLeavesTheOtherCopy)
{
    CStr a("base");
    CStr b(a);
    b += "+more";
    EXPECT_STREQ("base", a.c_str());
    EXPECT_STREQ("base+more", b.c_str());
}

TEST(CStrBlock, CountsStayRightWhenCopiesLiveOnManyThreads)
{
    CStr shared("shared between threads");
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&shared] {
            for (int i = 0; i < 20000; ++i) {
                CStr copy(shared);
                CStr other;
                other = copy;
            }
        });
    }
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(1, Block(shared)->nRefs);
}

TEST(CStrText, LeftAndMid)
{
    CStr s("printer");
    EXPECT_STREQ("", s.Mid(7).c_str());
    EXPECT_STREQ("nter", s.Mid(3, 100).c_str());
    EXPECT_STREQ("printer", s.Left(100).c_str());
    EXPECT_STREQ("pri", s.Left(3).c_str());
    EXPECT_STREQ("in", s.Mid(2, 2).c_str());
    EXPECT_STREQ("", s.Mid(20, 2).c_str());
    EXPECT_STREQ("ter", s.Mid(4).c_str());
}

TEST(CStrText, FindAndReverseFind)
{
    EXPECT_EQ(-1, CStr("abc").Find('z'));
    EXPECT_EQ(1, CStr("abc").Find('b'));
    EXPECT_EQ(3, CStr("a/b/c").ReverseFind('/'));
    EXPECT_EQ(-1, CStr("abc").ReverseFind('/'));
    EXPECT_EQ(2, CStr("a /U2").Find(" /U") + 1);
    EXPECT_EQ(-1, CStr("abc").Find("abcd"));
    EXPECT_EQ(0, CStr("abc").Find(""));
    EXPECT_EQ(-1, CStr("ABC").Find('b'));
}

TEST(CStrText, TrimAndUpper)
{
    CStr right("abc \t\r\n");
    right.TrimRight();
    EXPECT_STREQ("abc", right.c_str());
    CStr left("  x");
    left.TrimLeft();
    EXPECT_STREQ("x", left.c_str());
    CStr blanks1("    "), blanks2("    ");
    blanks1.TrimLeft();
    blanks2.TrimRight();
    EXPECT_TRUE(blanks1.IsEmpty());
    EXPECT_TRUE(blanks2.IsEmpty());

    CStr source("Mixed Case 1");
    CStr upper(source);
    upper.MakeUpper();
    EXPECT_STREQ("MIXED CASE 1", upper.c_str());
    EXPECT_STREQ("Mixed Case 1", source.c_str());
}

TEST(CStrText, ComparisonsAndConcatenation)
{
    CStr s("Port");
    EXPECT_TRUE(s == "Port");
    EXPECT_FALSE(s == "port");
    EXPECT_TRUE(s == CStr("Port"));
    EXPECT_EQ(0, s.CompareNoCase("PORT"));
    EXPECT_LT(s.CompareNoCase("q"), 0);
    EXPECT_GT(s.CompareNoCase("a"), 0);
    EXPECT_STREQ("Software\\Port", ("Software\\" + s).c_str());
    EXPECT_EQ('o', s.GetAt(1));
}

TEST(CStrText, FormatSizesTheBufferToTheResult)
{
    CStr s;
    s.Format("%s\\P%016d", "Base", 7);
    EXPECT_STREQ("Base\\P0000000000000007", s.c_str());
    EXPECT_EQ(22, Block(s)->nDataLength);
    std::string big(5000, 'q');
    s.Format("[%s]", big.c_str());
    EXPECT_EQ(5002, s.GetLength());
    s.Format("%s", s.c_str());  // an argument that points into the string itself
    EXPECT_EQ(5002, s.GetLength());
    s.Format("%s", "");
    EXPECT_TRUE(s.IsEmpty());
}

TEST(CStrText, GetBufferAndReleaseBuffer)
{
    CStr s("abc");
    CStr shared(s);
    char* p = s.GetBuffer(10);
    EXPECT_EQ(10, Block(s)->nAllocLength);
    EXPECT_STREQ("abc", p);
    strcpy(p, "abcdefgh");
    s.ReleaseBuffer();
    EXPECT_EQ(8, s.GetLength());
    EXPECT_STREQ("abc", shared.c_str());
    s.GetBuffer(2);
    s.ReleaseBuffer(2);
    EXPECT_STREQ("ab", s.c_str());
    EXPECT_EQ(2, s.GetLength());
}

TEST(CStrResource, LoadStringBufferGrowth)
{
    CLibraryHandle module(testsupport::BinFile("strres.dll").c_str());
    ASSERT_NE(nullptr, module.Get());
    CStr s509, s510, sLong, missing;
    EXPECT_TRUE(s509.LoadString(509, module.Get()));
    EXPECT_TRUE(s510.LoadString(510, module.Get()));
    EXPECT_TRUE(sLong.LoadString(1100, module.Get()));
    EXPECT_FALSE(missing.LoadString(4242, module.Get()));
    EXPECT_EQ(509, s509.GetLength());
    EXPECT_EQ(509, Block(s509)->nAllocLength);  // taken from the 512-byte first buffer
    EXPECT_EQ(510, s510.GetLength());
    EXPECT_EQ(767, Block(s510)->nAllocLength);  // needed the 768-byte buffer
    EXPECT_EQ('A', s510.GetAt(0));
    EXPECT_EQ('P', s510.GetAt(509));
    EXPECT_EQ(1529, sLong.GetLength());
    EXPECT_EQ(1535, Block(sLong)->nAllocLength);  // 768, 1024, 1280, 1536
    EXPECT_TRUE(missing.IsEmpty());
}

TEST(CStrResource, ConstructionFromAnIdUsesTheResourceModule)
{
    CLibraryHandle module(testsupport::BinFile("strres.dll").c_str());
    ASSERT_NE(nullptr, module.Get());
    CStr::SetResourceModule(module.Get());
    CStr loaded(reinterpret_cast<const char*>(0x0065));
    CStr missing(reinterpret_cast<const char*>(0x0066));
    CStr::SetResourceModule(NULL);
    EXPECT_STREQ("resource one-oh-one", loaded.c_str());
    EXPECT_TRUE(missing.IsEmpty());
}
