// Right-to-left texts and the agent's message box. Hebrew needs the Hebrew
// code page 1255, so those tests run in a Hebrew locale.
#include "statusmap/rtltext.h"
#include "tests/support/localechild.h"
#include "tests/support/process.h"
#include <gtest/gtest.h>
#include <string>
#include <thread>

namespace {

const char kHebrew[] = "\xF9\xEC\xE5\xED";  // "shalom" in code page 1255
const char kLatin[] = "Insufficient memory.";

TEST(RtlText, LatinAndMissingTextsAreNotRightToLeft)
{
    CRtlTextCheck check;
    EXPECT_EQ(0, check.HasRtlText(NULL));
    EXPECT_EQ(0, check.HasRtlText(""));
    EXPECT_EQ(0, check.HasRtlText(kLatin));
    EXPECT_EQ(0, check.HasRtlText("1234 ,.;"));
}

void ExpectHebrewFound()
{
    CRtlTextCheck check;
    ASSERT_EQ(1255u, GetACP());
    EXPECT_EQ(1, check.HasRtlText(kHebrew));
    EXPECT_EQ(1, check.HasRtlText((std::string(kLatin) + " " + kHebrew).c_str()));
    EXPECT_EQ(0, check.HasRtlText(kLatin));
}

TEST(RtlText, HebrewIsRightToLeft)
{
    IN_LOCALE("he_IL.UTF-8");
    ExpectHebrewFound();
}

TEST(RtlText, HebrewIsRightToLeftWithoutTheWideCalls)
{
    IN_LOCALE("he_IL.UTF-8");
    AS_WINDOWS_VERSION("win98");
    ExpectHebrewFound();
}

struct ShownBox {
    std::string text;
    std::string caption;
    UINT uStyle = 0;
};
ShownBox g_shown;

int WINAPI RecordMessageBox(HWND, LPCSTR pszText, LPCSTR pszCaption, UINT uStyle)
{
    g_shown.text = pszText;
    g_shown.caption = pszCaption;
    g_shown.uStyle = uStyle;
    return IDRETRY;
}

// Shows the box through the recording seam; the style it was shown with.
UINT StyleShown(const char* pszText, const char* pszCaption, UINT uStyle)
{
    g_pfnMessageBoxA = RecordMessageBox;
    int nResult = RtlMessageBox(NULL, pszText, pszCaption, uStyle);
    g_pfnMessageBoxA = MessageBoxA;
    EXPECT_EQ(IDRETRY, nResult);
    EXPECT_EQ(pszText, g_shown.text);
    EXPECT_EQ(pszCaption, g_shown.caption);
    return g_shown.uStyle;
}

TEST(RtlMessageBox, RightToLeftTextOrCaptionTurnsTheBox)
{
    IN_LOCALE("he_IL.UTF-8");
    const UINT uStyle = MB_OK | MB_ICONEXCLAMATION;
    const UINT uTurned = uStyle | MB_RTLREADING | MB_RIGHT;
    EXPECT_EQ(uTurned, StyleShown(kLatin, kHebrew, uStyle));
    EXPECT_EQ(uTurned, StyleShown(kHebrew, "NOVRA Tintora", uStyle));
    EXPECT_EQ(uStyle, StyleShown(kLatin, "NOVRA Tintora", uStyle));
}

TEST(RtlMessageBox, LatinTextsLeaveTheStyle)
{
    EXPECT_EQ(UINT(MB_YESNO | MB_ICONQUESTION), StyleShown(kLatin, "NOVRA Tintora", MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(UINT(MB_OK), StyleShown(kHebrew, "NOVRA Tintora", MB_OK));  // not Hebrew in code page 1252
}

TEST(RtlMessageBox, ShowsTheSystemBoxAndReturnsItsResult)
{
    const char kCaption[] = "NOVRA Tintora RtlMessageBox test";
    bool fFound = false;
    std::thread closer([&fFound, &kCaption] {
        for (int nTry = 0; nTry < 200 && !fFound; ++nTry) {
            Sleep(50);
            HWND hBox = FindWindowA("#32770", kCaption);
            if (hBox != NULL) {
                fFound = true;
                PostMessageA(hBox, WM_COMMAND, IDCANCEL, 0);
            }
        }
    });
    int nResult = RtlMessageBox(NULL, kLatin, kCaption, MB_OKCANCEL);
    closer.join();
    EXPECT_TRUE(fFound);
    EXPECT_EQ(IDCANCEL, nResult);
}

} // namespace
