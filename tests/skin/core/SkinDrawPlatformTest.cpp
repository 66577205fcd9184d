// Version tests, optional functions and the composition wrappers.
#include "skin/core/SkinDraw.h"
#include "skin/core/SkinPlatform.h"

#include <gtest/gtest.h>

namespace {

TEST(SkinDrawPlatform, ReportedVersion)
{
    int major = 0, minor = 0;
    GetWindowsVersion(major, minor);
    EXPECT_EQ(major, 6);
    EXPECT_EQ(minor, 1);
    EXPECT_TRUE(IsWindows7());
    EXPECT_TRUE(IsWindowsVistaOrLater());
    EXPECT_TRUE(IsWindowsXPOrLater());
    EXPECT_TRUE(IsWindows2000OrLater());
    EXPECT_TRUE(IsNTPlatform());
}

struct TDwmLog {
    static inline DWORD Flags = 0;
    static inline BOOL Enable = 0;
    static inline HRGN Rgn = nullptr;
    static inline BOOL Attr = 5;
    static inline int Calls = 0;
};

long FakeEnabled(BOOL* on)
{
    *on = 1;
    return 0;
}
long FakeSetAttr(HWND, DWORD attr, const void* v, DWORD)
{
    ++TDwmLog::Calls;
    TDwmLog::Attr = attr == DWMWA_TRANSITIONS_FORCEDISABLED ? *static_cast<const BOOL*>(v) : 99;
    return 0;
}
long FakeBlur(HWND, const DWM_BLURBEHIND* bb)
{
    ++TDwmLog::Calls;
    TDwmLog::Flags = bb->dwFlags;
    TDwmLog::Enable = bb->fEnable;
    TDwmLog::Rgn = bb->hRgnBlur;
    return 0;
}

TEST(SkinDrawPlatform, CompositionAbsentThenFaked)
{
    LoadDwmApi();
    EXPECT_FALSE(IsDwmApiLoaded());
    EXPECT_FALSE(DwmCompositionActive());
    SetDwmTransitions(nullptr, false);
    EnableBlurBehind(nullptr, true, nullptr);
    EXPECT_EQ(TDwmLog::Calls, 0);

    BindDwmApiForTesting(FakeEnabled, FakeSetAttr, FakeBlur);
    EXPECT_TRUE(DwmCompositionActive());
    SetDwmTransitions(nullptr, false);
    EXPECT_EQ(TDwmLog::Attr, -1);
    SetDwmTransitions(nullptr, true);
    EXPECT_EQ(TDwmLog::Attr, 0);
    EnableBlurBehind(nullptr, true, nullptr);
    EXPECT_EQ(TDwmLog::Flags, DWM_BB_ENABLE);
    EXPECT_EQ(TDwmLog::Enable, -1);
    auto rgn = reinterpret_cast<HRGN>(0x10);
    EnableBlurBehind(nullptr, false, rgn);
    EXPECT_EQ(TDwmLog::Flags, DWM_BB_ENABLE | DWM_BB_BLURREGION);
    EXPECT_EQ(TDwmLog::Enable, 0);
    EXPECT_EQ(TDwmLog::Rgn, rgn);
    UnloadDwmApi();
    EXPECT_FALSE(DwmCompositionActive());
}

TEST(SkinDrawPlatform, BlendingLibraryBound)
{
    EXPECT_TRUE(IsMsImg32Loaded());
    EXPECT_NE(MsImg32TransparentBlt, nullptr);
    EXPECT_NE(MsImg32AlphaBlend, nullptr);
    EXPECT_EQ(ScreenBitsPerPixel(), 32);
}

}  // namespace
