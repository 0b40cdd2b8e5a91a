// The resource and bitmap DLL fixtures hold what the agent takes from a
// driver's DLLs (and what later tests rely on), loaded the way the agent loads them.
#include "app/handles.h"
#include "tests/support/files.h"
#include "tests/support/localechild.h"
#include <gtest/gtest.h>
#include <string>

using namespace testsupport;

namespace {

SIZE BitmapSize(HMODULE hModule, UINT nId)
{
    SIZE size = {0, 0};
    HBITMAP hBitmap = LoadBitmapA(hModule, MAKEINTRESOURCEA(nId));
    BITMAP info = {};
    if (hBitmap != NULL && GetObjectA(hBitmap, sizeof(info), &info) == sizeof(info)) {
        size.cx = info.bmWidth;
        size.cy = info.bmHeight;
    }
    if (hBitmap != NULL)
        DeleteObject(hBitmap);
    return size;
}

bool HasIcon(HMODULE hModule, UINT nId)
{
    HANDLE hIcon = LoadImageA(hModule, MAKEINTRESOURCEA(nId), IMAGE_ICON, 16, 16, 0);
    if (hIcon == NULL)
        return false;
    DestroyIcon(static_cast<HICON>(hIcon));
    return true;
}

std::string MenuText(HMENU hMenu, UINT nItem, UINT uFlag)
{
    char szText[260] = {0};
    GetMenuStringA(hMenu, nItem, szText, sizeof(szText), uFlag);
    return szText;
}

std::string StringResource(HMODULE hModule, UINT nId)
{
    char szText[260] = {0};
    LoadStringA(hModule, nId, szText, sizeof(szText));
    return szText;
}

TEST(ResourceFixtures, EnglishResourceDll)
{
    CLibraryHandle dll(BinFile("resdll.dll").c_str());
    ASSERT_NE(static_cast<HMODULE>(NULL), dll.Get());
    HMENU hMenu = LoadMenuA(dll.Get(), MAKEINTRESOURCEA(801));
    ASSERT_NE(static_cast<HMENU>(NULL), hMenu);
    HMENU hPopup = GetSubMenu(hMenu, 0);
    ASSERT_NE(static_cast<HMENU>(NULL), hPopup);
    EXPECT_EQ("Printer", MenuText(hPopup, 0, MF_BYPOSITION));
    EXPECT_EQ("Monitoring Preferences...", MenuText(hPopup, 901, MF_BYCOMMAND));
    DestroyMenu(hMenu);

    const struct {
        UINT nId;
        const char* pszText;
    } strings[] = {{101, "resdll English"}, {920, "Nozzle Check"}, {925, "Order Ink"}, {998, "Last Item"},
                   {926, ""}, {997, ""}};
    for (const auto& s : strings)
        EXPECT_EQ(s.pszText, StringResource(dll.Get(), s.nId)) << s.nId;
    for (UINT nId : {700u, 701u, 702u})
        EXPECT_TRUE(HasIcon(dll.Get(), nId)) << nId;
    EXPECT_EQ(16, BitmapSize(dll.Get(), 920).cx);
    EXPECT_EQ(16, BitmapSize(dll.Get(), 921).cy);
    EXPECT_EQ(0, BitmapSize(dll.Get(), 922).cx) << "no bitmap 922 in the resource DLL";
}

TEST(ResourceFixtures, BitmapDllHasOtherPictures)
{
    CLibraryHandle dll(BinFile("bmpdll.dll").c_str());
    ASSERT_NE(static_cast<HMODULE>(NULL), dll.Get());
    for (UINT nId : {700u, 701u, 702u})
        EXPECT_TRUE(HasIcon(dll.Get(), nId)) << nId;
    for (UINT nId : {920u, 922u}) {
        SIZE size = BitmapSize(dll.Get(), nId);
        EXPECT_EQ(24, size.cx) << nId;
        EXPECT_EQ(24, size.cy) << nId;
    }
    EXPECT_EQ(0, BitmapSize(dll.Get(), 921).cx);
    EXPECT_EQ(static_cast<HMENU>(NULL), LoadMenuA(dll.Get(), MAKEINTRESOURCEA(801)));
}

TEST(ResourceFixtures, HebrewResourceDllReadsRightToLeftInCodePage1255)
{
    IN_LOCALE("he_IL.UTF-8");
    ASSERT_EQ(1255u, GetACP());
    CLibraryHandle dll(BinFile("resdll-rtl.dll").c_str());
    ASSERT_NE(static_cast<HMODULE>(NULL), dll.Get());
    HMENU hMenu = LoadMenuA(dll.Get(), MAKEINTRESOURCEA(801));
    ASSERT_NE(static_cast<HMENU>(NULL), hMenu);
    HMENU hPopup = GetSubMenu(hMenu, 0);
    ASSERT_NE(static_cast<HMENU>(NULL), hPopup);
    const std::string preferences = MenuText(hPopup, 901, MF_BYCOMMAND);
    const std::string printer = MenuText(hPopup, 0, MF_BYPOSITION);
    DestroyMenu(hMenu);

    // Hebrew letters in code page 1255: alef is 0xE0; "monitoring preferences" begins with he (0xE4).
    ASSERT_FALSE(preferences.empty());
    EXPECT_EQ('\xE4', preferences[0]);
    EXPECT_EQ(std::string::npos, preferences.find('?'));
    EXPECT_EQ(std::string("\xEE\xE3\xF4\xF1\xFA"), printer);
    WCHAR szWide[64] = {0};
    ASSERT_GT(MultiByteToWideChar(CP_ACP, 0, preferences.c_str(), -1, szWide, 64), 0);
    WORD wType = 0;
    ASSERT_TRUE(GetStringTypeW(CT_CTYPE2, szWide, 1, &wType));
    EXPECT_EQ(C2_RIGHTTOLEFT, wType);
    EXPECT_EQ(std::string("\xE1\xE3\xE9\xF7\xFA \xF0\xE7\xE9\xF8\xE9\xED"), StringResource(dll.Get(), 920));
    EXPECT_EQ("resdll Hebrew", StringResource(dll.Get(), 101));
}

} // namespace
