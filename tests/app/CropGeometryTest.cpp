// The edit window's crop geometry: placement, handles, drags, the handles
// read back into edits, and the output preview's panels.
#include "app/core/AppData.h"
#include "app/core/CropGeometry.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace crop;

namespace {

const TFrameSize kPal{720, 576, 576};
const TFrameSize kHd{1280, 720, 720};

TEST(CropGeometry, PictureFillsHeightOrWidth)
{
    struct Case {
        const char* name;
        TFrameSize frame;
        TBox rect;
        double ox, oy;
    } cases[] = {
        {"4:5 fills the height", kPal, {21, 0, 298, 222}, 20.75, 0},
        {"16:9 fills the width", kHd, {0, 21, 319, 201}, 0, 21.28125},
        {"DVD at 16:9 as 720x405", {720, 576, 405}, {0, 21, 319, 201}, 0, 21.28125},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TPlacement p = PlacePicture(c.frame);
        EXPECT_EQ(p.VideoRect, c.rect);
        EXPECT_DOUBLE_EQ(p.OffsetX, c.ox);
        EXPECT_DOUBLE_EQ(p.OffsetY, c.oy);
    }
    EXPECT_EQ(PlacePicture({0, 0, 0}).Scale, 0);
}

TEST(CropGeometry, DvdDisplayHeight)
{
    const double aspect = SourceDisplayAspect(720, 576, 64, 45);
    EXPECT_NEAR(aspect, 16.0 / 9.0, 1e-9);
    EXPECT_EQ(DisplayFrameHeight(720, 576, true, aspect), 405);
    EXPECT_EQ(DisplayFrameHeight(720, 576, false, aspect), 576);
    EXPECT_EQ(DisplayFrameHeight(720, 576, true, 0), 576);  // no video stream
    EXPECT_DOUBLE_EQ(SourceDisplayAspect(640, 480, 0, 1), 640.0 / 480.0);
    EXPECT_EQ(SourceDisplayAspect(640, 0, 1, 1), 0);
}

TEST(CropGeometry, HandlesAndLinesFollowTheEdits)
{
    const TPlacement p = PlacePicture(kPal);
    EXPECT_EQ(LayoutCropHandles(p, kPal, {0, 0, 720, 576}), (TBox{17, -4, 294, 218}));
    const TBox box = LayoutCropHandles(p, kPal, {100, 50, 400, 300});
    EXPECT_EQ(box, (TBox{55, 15, 209, 131}));
    const auto h = HandlePositions(box);
    EXPECT_EQ(h[hLeftBottom], (crop::TPoint{55, 131}));
    EXPECT_EQ(h[hRightTop], (crop::TPoint{209, 15}));
    EXPECT_EQ(h[hLeftMiddle], (crop::TPoint{55, 73}));
    EXPECT_EQ(h[hTopMiddle], (crop::TPoint{132, 15}));
    EXPECT_EQ(h[hBottomMiddle], (crop::TPoint{132, 131}));
    EXPECT_EQ(h[hRightMiddle], (crop::TPoint{209, 73}));
    const auto lines = CropLines(box);
    EXPECT_EQ(lines[0], (TBounds{59, 19, 1, 116}));
    EXPECT_EQ(lines[1], (TBounds{59, 19, 154, 1}));
    EXPECT_EQ(lines[2], (TBounds{213, 19, 1, 116}));
    EXPECT_EQ(lines[3], (TBounds{59, 135, 154, 1}));
    // A DVD title's rows are laid out at its display height.
    const TFrameSize dvd{720, 576, 405};
    EXPECT_EQ(LayoutCropHandles(PlacePicture(dvd), dvd, {0, 0, 720, 576}), (TBox{-4, 17, 315, 197}));
}

TEST(CropGeometry, DragsClampRefuseAndKeepTheMinimum)
{
    const TPlacement p = PlacePicture(kPal);
    const TBox box{55, 15, 209, 131};
    struct Case {
        const char* name;
        crop::THandle handle;
        crop::TPoint to;
        std::optional<TBox> result;
    } cases[] = {
        {"corner beyond the picture stops at its edge", hLeftTop, {0, -50}, TBox{17, -4, 209, 131}},
        {"far corner beyond the picture", hRightBottom, {400, 400}, TBox{55, 15, 294, 218}},
        {"towards the opposite corner stops 8 before it", hLeftTop, {205, 100}, TBox{201, 100, 209, 131}},
        {"middle handle towards its opposite", hRightMiddle, {60, 999}, TBox{55, 15, 63, 131}},
        {"middle moves on its axis only", hTopMiddle, {0, 30}, TBox{55, 30, 209, 131}},
        {"crossing is refused", hLeftTop, {209, 20}, std::nullopt},
        {"crossing by a middle is refused", hTopMiddle, {100, 200}, std::nullopt},
        {"left-bottom below the top only", hLeftBottom, {60, 15}, std::nullopt},
        {"right-top", hRightTop, {250, 0}, TBox{55, 0, 250, 131}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DragCropHandle(box, c.handle, c.to, p.VideoRect), c.result);
    }
    EXPECT_FALSE(CanDragHandles(psStop));
    EXPECT_TRUE(CanDragHandles(psPause));
    EXPECT_TRUE(CanDragHandles(psPlay));
}

TEST(CropGeometry, HandlesReadBackIntoEdits)
{
    // File mode: a round trip lands within a pixel or two (handles sit on
    // whole panel pixels).
    const TPlacement p = PlacePicture(kPal);
    const auto whole = CropAreaToEdits(LayoutCropHandles(p, kPal, {0, 0, 720, 576}), p, kPal, false);
    EXPECT_EQ(whole, (TCropEdits{1, 0, 718, 576}));
    const auto part = CropAreaToEdits(TBox{55, 15, 209, 131}, p, kPal, false);
    ASSERT_TRUE(part);
    EXPECT_EQ(*part, (TCropEdits{99, 49, 400, 301}));
    // DVD mode: rows go back to source rows; the edges never leave the frame.
    const TFrameSize dvd{720, 576, 405};
    const TPlacement pd = PlacePicture(dvd);
    EXPECT_EQ(CropAreaToEdits(LayoutCropHandles(pd, dvd, {0, 0, 720, 576}), pd, dvd, true),
              (TCropEdits{0, 0, 720, 576}));
    const auto half = CropAreaToEdits(LayoutCropHandles(pd, dvd, {0, 288, 720, 288}), pd, dvd, true);
    ASSERT_TRUE(half);
    EXPECT_NEAR(half->Top, 288, 2);
    EXPECT_NEAR(half->Height, 288, 2);
    // A picture not placed yet gives nothing.
    EXPECT_FALSE(CropAreaToEdits(TBox{}, TPlacement{}, kPal, false));
    EXPECT_FALSE(CropAreaToEdits(TBox{}, p, TFrameSize{}, false));
}

TEST(CropGeometry, OutputPreviewShowsTheCropBox)
{
    struct Case {
        const char* name;
        double aspect;
        TCropEdits edits;
        TBounds panel2, preview;
    } cases[] = {
        {"kept aspect, whole frame", 0, {0, 0, 720, 576}, {20, 0, 278, 222}, {-21, 0, 319, 222}},
        {"full screen", -1, {0, 0, 720, 576}, {0, 0, 319, 222}, {0, 0, 319, 222}},
        {"16:9 letterboxed", 16.0 / 9.0, {0, 0, 720, 576}, {0, 22, 319, 179}, {0, -21, 319, 222}},
        {"4:3 pillarboxed", 4.0 / 3.0, {0, 0, 720, 576}, {12, 0, 296, 222}, {-12, 0, 319, 222}},
        {"right half", 0, {360, 0, 360, 576}, {90, 0, 139, 222}, {-160, 0, 319, 222}},
        {"centre quarter enlarged", 0, {180, 144, 360, 288}, {20, 0, 278, 222}, {-180, -111, 638, 444}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto out = LayoutOutputPreview(kPal, c.aspect, c.edits);
        ASSERT_TRUE(out);
        EXPECT_EQ(out->Panel2, c.panel2);
        EXPECT_EQ(out->Preview, c.preview);
    }
    EXPECT_FALSE(LayoutOutputPreview(kPal, 0, {10, 10, 0, 100}));
    EXPECT_FALSE(LayoutOutputPreview(TFrameSize{}, 0, {0, 0, 10, 10}));
}

TEST(CropGeometry, ItemKeepsMarginsAndRestoresEdits)
{
    TMediaFile item;
    EXPECT_EQ(CropEditsOfItem(item, 720, 576), (TCropEdits{0, 0, 720, 576}));
    WriteCropToItem({10, 20, 700, 500}, 720, 576, item);
    EXPECT_EQ(item.CropLeft, 10);
    EXPECT_EQ(item.CropTop, 20);
    EXPECT_EQ(item.CropRight, 10);
    EXPECT_EQ(item.CropBottom, 56);
    EXPECT_EQ(CropEditsOfItem(item, 720, 576), (TCropEdits{10, 20, 700, 500}));
    // The whole frame writes no margin at all.
    WriteCropToItem({0, 0, 720, 576}, 720, 576, item);
    EXPECT_EQ(item.CropLeft + item.CropTop + item.CropRight + item.CropBottom, 0);
}

TEST(CropGeometry, AspectChoices)
{
    EXPECT_EQ(AspectOfChoice(1, false, 0), -1);
    EXPECT_FLOAT_EQ(static_cast<float>(AspectOfChoice(2, false, 0)), 4.0f / 3.0f);
    EXPECT_FLOAT_EQ(static_cast<float>(AspectOfChoice(3, true, 1.5)), 16.0f / 9.0f);
    EXPECT_EQ(AspectOfChoice(0, false, 1.5), 0);
    EXPECT_EQ(AspectOfChoice(0, true, 1.5), 1.5);
}

}  // namespace
