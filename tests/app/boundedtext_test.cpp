// Bounded text helpers: results, truncation and never a write past the buffer.
#include "app/boundedtext.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const HRESULT kOk = S_OK;
const HRESULT kInvalid = static_cast<HRESULT>(0x80070057);
const HRESULT kTooSmall = static_cast<HRESULT>(0x8007007A);

// A buffer of the given size followed by sentinel bytes.
class Guarded {
public:
    explicit Guarded(size_t size, char fill = 'x') : m_size(size), m_bytes(size + 16, fill)
    {
        for (size_t i = size; i < m_bytes.size(); ++i)
            m_bytes[i] = static_cast<char>(0xA5);
    }
    char* Data() { return m_bytes.data(); }
    bool SentinelsIntact() const
    {
        for (size_t i = m_size; i < m_bytes.size(); ++i) {
            if (m_bytes[i] != static_cast<char>(0xA5))
                return false;
        }
        return true;
    }

private:
    size_t m_size;
    std::vector<char> m_bytes;
};

} // namespace

TEST(BoundedText, CopyFitsOrTruncates)
{
    Guarded fits(260);
    EXPECT_EQ(kOk, StringCchCopyA(fits.Data(), 260, std::string(259, 'a').c_str()));
    EXPECT_EQ(259u, strlen(fits.Data()));
    EXPECT_TRUE(fits.SentinelsIntact());

    Guarded truncated(260);
    EXPECT_EQ(kTooSmall, StringCchCopyA(truncated.Data(), 260, std::string(260, 'b').c_str()));
    EXPECT_EQ(259u, strlen(truncated.Data()));
    EXPECT_TRUE(truncated.SentinelsIntact());
}

TEST(BoundedText, CopyNTakesAtMostN)
{
    Guarded buffer(16);
    EXPECT_EQ(kOk, StringCchCopyNA(buffer.Data(), 16, "abcdef", 3));
    EXPECT_STREQ("abc", buffer.Data());
    EXPECT_EQ(kOk, StringCchCopyNA(buffer.Data(), 16, "ab", 10));
    EXPECT_STREQ("ab", buffer.Data());
    EXPECT_EQ(kTooSmall, StringCchCopyNA(buffer.Data(), 4, "abcdef", 5));
    EXPECT_STREQ("abc", buffer.Data());
    EXPECT_TRUE(buffer.SentinelsIntact());
}

TEST(BoundedText, CatAppendsOrTruncates)
{
    Guarded buffer(260);
    StringCchCopyA(buffer.Data(), 260, std::string(250, 'a').c_str());
    EXPECT_EQ(kOk, StringCchCatA(buffer.Data(), 260, "123456789"));
    EXPECT_EQ(259u, strlen(buffer.Data()));
    StringCchCopyA(buffer.Data(), 260, std::string(250, 'a').c_str());
    EXPECT_EQ(kTooSmall, StringCchCatA(buffer.Data(), 260, "0123456789"));
    EXPECT_EQ(259u, strlen(buffer.Data()));
    EXPECT_EQ('8', buffer.Data()[258]);
    EXPECT_TRUE(buffer.SentinelsIntact());
}

TEST(BoundedText, CatIntoAnUnterminatedBufferIsRefused)
{
    Guarded buffer(8, 'z');  // no terminator anywhere in the 8 characters
    EXPECT_EQ(kInvalid, StringCchCatA(buffer.Data(), 8, "a"));
    EXPECT_TRUE(buffer.SentinelsIntact());
    EXPECT_EQ('\0', buffer.Data()[7]);
}

TEST(BoundedText, PrintfExactFitSucceeds)
{
    Guarded buffer(6);
    EXPECT_EQ(kOk, StringCchPrintfA(buffer.Data(), 6, "%s%d", "abc", 12));
    EXPECT_STREQ("abc12", buffer.Data());
    EXPECT_EQ(kTooSmall, StringCchPrintfA(buffer.Data(), 6, "%s%d", "abc", 123));
    EXPECT_STREQ("abc12", buffer.Data());
    EXPECT_TRUE(buffer.SentinelsIntact());
}

TEST(BoundedText, LengthNeedsATerminatorWithinMax)
{
    size_t n = 99;
    EXPECT_EQ(kOk, StringCchLengthA("abcd", 5, &n));
    EXPECT_EQ(4u, n);
    EXPECT_EQ(kInvalid, StringCchLengthA("abcd", 4, &n));
    EXPECT_EQ(kOk, StringCchLengthA("", 1, nullptr));
}

// Bad sizes and null pointers: the documented result and no write at all past the buffer.
TEST(BoundedText, BadArgumentsTable)
{
    struct Case {
        const char* name;
        size_t size;
        bool nullDest;
        bool nullSrc;
    };
    const Case cases[] = {
        {"size 0", 0, false, false},
        {"size above maximum", 0x80000000u, false, false},
        {"null destination", 16, true, false},
        {"null source", 16, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Guarded copy(16), cat(16), printf(16), copyN(16);
        copy.Data()[0] = cat.Data()[0] = printf.Data()[0] = copyN.Data()[0] = 'q';
        cat.Data()[1] = '\0';
        const char* src = c.nullSrc ? nullptr : "abc";
        EXPECT_EQ(kInvalid, StringCchCopyA(c.nullDest ? nullptr : copy.Data(), c.size, src));
        EXPECT_EQ(kInvalid, StringCchCopyNA(c.nullDest ? nullptr : copyN.Data(), c.size, src, 2));
        EXPECT_EQ(kInvalid, StringCchCatA(c.nullDest ? nullptr : cat.Data(), c.size, src));
        EXPECT_EQ(kInvalid, StringCchPrintfA(c.nullDest ? nullptr : printf.Data(), c.size, c.nullSrc ? nullptr : "%s", "x"));
        EXPECT_TRUE(copy.SentinelsIntact());
        EXPECT_TRUE(copyN.SentinelsIntact());
        EXPECT_TRUE(cat.SentinelsIntact());
        EXPECT_TRUE(printf.SentinelsIntact());
        if (c.size == 0 || c.size > 0x7FFFFFFF) {
            EXPECT_EQ('q', copy.Data()[0]);  // nothing written for a size that cannot be trusted
            EXPECT_EQ('q', printf.Data()[0]);
        }
    }
    size_t n = 7;
    EXPECT_EQ(kInvalid, StringCchLengthA(nullptr, 10, &n));
    EXPECT_EQ(0u, n);
    EXPECT_EQ(kInvalid, StringCchLengthA("abc", 0, &n));
    EXPECT_EQ(kInvalid, StringCchLengthA("abc", 0x80000000u, &n));
}
