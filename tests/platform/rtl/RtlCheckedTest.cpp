#include "platform/rtl/Checked.h"
#include "platform/rtl/DynLoad.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

TEST(RtlChecked, OverflowAndRangeRaise)
{
    constexpr int maxInt = std::numeric_limits<int>::max();
    constexpr int minInt = std::numeric_limits<int>::min();
    EXPECT_EQ(CheckedAdd(2, 3), 5);
    EXPECT_THROW(CheckedAdd(maxInt, 1), EIntOverflow);
    EXPECT_THROW(CheckedSub(minInt, 1), EIntOverflow);
    EXPECT_THROW(CheckedMul(1 << 20, 1 << 12), EIntOverflow);
    EXPECT_THROW(CheckedNeg(minInt), EIntOverflow);
    EXPECT_THROW(CheckedAdd<unsigned>(0xFFFFFFFFu, 1u), EIntOverflow);
    EXPECT_EQ(CheckedDiv(-7, 2), -3);
    EXPECT_THROW(CheckedDiv(1, 0), EDivByZero);
    EXPECT_THROW(CheckedDiv(minInt, -1), EIntOverflow);
    EXPECT_EQ(CheckedMod(minInt, -1), 0);
    EXPECT_THROW(CheckedMod(1, 0), EDivByZero);

    EXPECT_EQ(CheckedCast<std::uint8_t>(255), 255);
    EXPECT_THROW(CheckedCast<std::uint8_t>(256), ERangeError);
    EXPECT_THROW(CheckedCast<unsigned>(-1), ERangeError);
    EXPECT_THROW(CheckedCast<std::int32_t>(std::int64_t{1} << 31), ERangeError);
    EXPECT_EQ(CheckRange(5, 0, 10), 5);
    EXPECT_THROW(CheckRange(11, 0, 10), ERangeError);
    try {
        CheckRange(-1, 0, 10);
    } catch (const ERangeError& e) {
        EXPECT_EQ(e.Message(), "Range check error");
    }

    std::vector<int> v{1, 2, 3};
    At(v, 1) = 20;
    EXPECT_EQ(v[1], 20);
    EXPECT_THROW(At(v, 3), ERangeError);
    EXPECT_THROW(At(v, -1), ERangeError);
    int raw[2] = {7, 8};
    EXPECT_EQ(At(raw, 1), 8);
    EXPECT_THROW(At(raw, 2), ERangeError);
    const std::vector<int> empty;
    EXPECT_THROW(At(empty, 0), ERangeError);
}

TEST(RtlChecked, RoundHalvesToEvenAndTrunc)
{
    struct Case {
        double v;
        std::int64_t round, trunc;
    };
    const Case cases[] = {
        {0.5, 0, 0},   {1.5, 2, 1},    {2.5, 2, 2},     {3.5, 4, 3},     {-0.5, 0, 0},
        {-1.5, -2, -1}, {-2.5, -2, -2}, {2.4999, 2, 2}, {2.5001, 3, 2},  {-2.7, -3, -2},
        {1e15 + 0.5, 1000000000000000, 1000000000000000},
        {9007199254740993.0, 9007199254740992, 9007199254740992},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.v);
        EXPECT_EQ(Round(c.v), c.round);
        EXPECT_EQ(Trunc(c.v), c.trunc);
    }
    EXPECT_THROW(Round(std::numeric_limits<double>::quiet_NaN()), EInvalidOp);
    EXPECT_THROW(Round(1e19), EInvalidOp);
    EXPECT_THROW(Trunc(-1e19), EInvalidOp);
    EXPECT_THROW(Trunc(HUGE_VAL), EInvalidOp);
    EXPECT_EQ(RoundToInt(-2147483648.0), std::numeric_limits<std::int32_t>::min());
    EXPECT_THROW(RoundToInt(2147483648.0), ERangeError);
}

TEST(RtlDynLoad, LoadsResolvesAndReportsErrors)
{
    HMODULE m = LoadLibrary("libm.so.6");
    ASSERT_NE(m, nullptr) << DynLoadError();
    EXPECT_EQ(DynLoadError(), "");
    using CosFn = double (*)(double);
    auto cosFn = reinterpret_cast<CosFn>(GetProcAddress(m, "cos"));
    ASSERT_NE(cosFn, nullptr);
    EXPECT_DOUBLE_EQ(cosFn(0.0), 1.0);

    EXPECT_EQ(GetProcAddress(m, "no_such_function_here"), nullptr);
    EXPECT_NE(DynLoadError().find("no_such_function_here"), std::string::npos);
    EXPECT_TRUE(FreeLibrary(m));

    EXPECT_EQ(LoadLibrary("/nonexistent/libnothing.so"), nullptr);
    EXPECT_NE(DynLoadError().find("libnothing.so"), std::string::npos);
    EXPECT_EQ(LoadLibrary(""), nullptr);
    EXPECT_FALSE(DynLoadError().empty());
    EXPECT_EQ(GetProcAddress(nullptr, "cos"), nullptr);
    EXPECT_FALSE(FreeLibrary(nullptr));

    TDynLibrary lib("libm.so.6");
    EXPECT_TRUE(lib.Loaded());
    EXPECT_NE(lib.Function<CosFn>("sin"), nullptr);
    TDynLibrary moved = std::move(lib);
    EXPECT_FALSE(lib.Loaded());
    EXPECT_TRUE(moved.Loaded());
}
