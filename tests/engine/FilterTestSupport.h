#pragma once
// Pictures for the frame-stage tests: planar YUV frames filled plane by plane,
// with every byte outside the picture (row padding) set to a canary value so
// a stage that writes past its plane is caught.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/bindings/AVUtilStubs.h"

namespace tarnello::test {

constexpr uint8_t kCanary = 0xA5;

class TestFrame {
public:
    TestFrame(AVPixelFormat AFormat, int AW, int AH, int AY, int AU, int AV)
    {
        Frame = ff::av_frame_alloc();
        Frame->format = AFormat;
        Frame->width = AW;
        Frame->height = AH;
        EXPECT_EQ(ff::av_frame_get_buffer(Frame, 0), 0);
        const int values[3] = {AY, AU, AV};
        for (int p = 0; p < 3; ++p) {
            for (int y = 0; y < PlaneHeight(p); ++y) {
                uint8_t* row = Frame->data[p] + y * Frame->linesize[p];
                std::memset(row, kCanary, size_t(Frame->linesize[p]));
                std::memset(row, values[p], size_t(PlaneWidth(p)));
            }
        }
    }
    // Fills the picture with a pattern that never holds the canary.
    void Pattern()
    {
        for (int p = 0; p < 3; ++p)
            for (int y = 0; y < PlaneHeight(p); ++y)
                for (int x = 0; x < PlaneWidth(p); ++x)
                    Set(p, x, y, uint8_t((x * 7 + y * 13 + p * 50) % 140 + 20));
    }
    ~TestFrame() { ff::av_frame_free(&Frame); }
    TestFrame(const TestFrame&) = delete;
    TestFrame& operator=(const TestFrame&) = delete;

    int PlaneWidth(int P) const { return P == 0 ? Frame->width : AV_CEIL_RSHIFT(Frame->width, Desc()->log2_chroma_w); }
    int PlaneHeight(int P) const
    {
        return P == 0 ? Frame->height : AV_CEIL_RSHIFT(Frame->height, Desc()->log2_chroma_h);
    }
    uint8_t At(int P, int X, int Y) const { return Frame->data[P][Y * Frame->linesize[P] + X]; }
    void Set(int P, int X, int Y, uint8_t V) { Frame->data[P][Y * Frame->linesize[P] + X] = V; }

    bool PlaneIs(int P, int AValue) const
    {
        for (int y = 0; y < PlaneHeight(P); ++y)
            for (int x = 0; x < PlaneWidth(P); ++x)
                if (At(P, x, y) != AValue)
                    return false;
        return true;
    }
    bool PaddingUntouched() const
    {
        for (int p = 0; p < 3; ++p)
            for (int y = 0; y < PlaneHeight(p); ++y)
                for (int x = PlaneWidth(p); x < Frame->linesize[p]; ++x)
                    if (At(p, x, y) != kCanary)
                        return false;
        return true;
    }
    bool SameAs(const TestFrame& O) const
    {
        if (O.Frame->width != Frame->width || O.Frame->height != Frame->height || O.Frame->format != Frame->format)
            return false;
        for (int p = 0; p < 3; ++p)
            for (int y = 0; y < PlaneHeight(p); ++y)
                for (int x = 0; x < PlaneWidth(p); ++x)
                    if (At(p, x, y) != O.At(p, x, y))
                        return false;
        return true;
    }
    std::string Describe(int P) const
    {
        std::string r;
        for (int y = 0; y < PlaneHeight(P); ++y) {
            for (int x = 0; x < PlaneWidth(P); ++x)
                r += std::to_string(At(P, x, y)) + " ";
            r += "\n";
        }
        return r;
    }

    AVFrame* Frame = nullptr;

private:
    const AVPixFmtDescriptor* Desc() const { return ff::av_pix_fmt_desc_get(AVPixelFormat(Frame->format)); }
};

}  // namespace tarnello::test
