#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Types.h"

#include <gtest/gtest.h>

TEST(Types, ColourAndWordPacking)
{
    EXPECT_EQ(RGB(0x11, 0x22, 0x33), 0x332211u);
    EXPECT_EQ(GetBValue(0x332211u), 0x33);
    EXPECT_EQ(GET_X_LPARAM(MAKELPARAM(static_cast<WORD>(-5), 7)), -5);
    EXPECT_EQ(GET_Y_LPARAM(MAKELPARAM(static_cast<WORD>(-5), 7)), 7);
    EXPECT_EQ(Bounds(10, 20, 30, 40), Rect(10, 20, 40, 60));
}

TEST(Exceptions, ClassNamesFollowTheHierarchy)
{
    try {
        throw ERangeError("out of range");
    } catch (const EIntError& e) {
        EXPECT_STREQ(e.ClassName(), "ERangeError");
        EXPECT_EQ(e.Message(), "out of range");
    }
}
