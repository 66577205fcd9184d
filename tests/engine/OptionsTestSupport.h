#pragma once
// Helpers of the option tests: binding the libraries, hand-made format
// contexts with described streams and programs (no media file needed), and a
// task whose inputs are such contexts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/AVFormatStubs.h"
#include "engine/bindings/AVUtilStubs.h"
#include "engine/bindings/FFLoad.h"
#include "engine/transcode/FFmpegOptions.h"

namespace tarnello::test {

struct TStreamDesc {
    AVMediaType type = AVMEDIA_TYPE_VIDEO;
    int channels = 0;         // audio
    AVRational rate{0, 0};    // video frame rate
    bool attachedPic = false;
    int id = 0;
    const char* language = nullptr;
};

struct TProgramDesc {
    int id;
    std::vector<unsigned> streams;
};

inline AVFormatContext* MakeFormatContext(const std::vector<TStreamDesc>& AStreams,
                                          const std::vector<TProgramDesc>& APrograms = {})
{
    AVFormatContext* s = ff::avformat_alloc_context();
    for (const TStreamDesc& d : AStreams) {
        AVStream* st = ff::avformat_new_stream(s, nullptr);
        st->codecpar->codec_type = d.type;
        st->id = d.id;
        if (d.type == AVMEDIA_TYPE_AUDIO)
            ff::av_channel_layout_default(&st->codecpar->ch_layout, d.channels);
        st->avg_frame_rate = d.rate;
        st->r_frame_rate = d.rate;
        if (d.attachedPic)
            st->disposition |= AV_DISPOSITION_ATTACHED_PIC;
        if (d.language)
            ff::av_dict_set(&st->metadata, "language", d.language, 0);
    }
    for (const TProgramDesc& p : APrograms) {
        ff::av_new_program(s, p.id);
        for (unsigned i : p.streams)
            ff::av_program_add_stream_index(s, p.id, i);
    }
    return s;
}

// Binds the libraries the option code calls for the fixture's life.
class LibrariesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(FFLoader().Load(DecoderLibraries)) << FFLoader().LastErrMsg(); }
    void TearDown() override { FFLoader().Unload(DecoderLibraries); }
};

// A task whose inputs are hand-made contexts; it owns them.
class TTestTask : public TFFmpegOptions {
public:
    ~TTestTask() override
    {
        for (AVFormatContext* s : Inputs)
            ff::avformat_free_context(s);
    }
    void AddInput(const std::vector<TStreamDesc>& AStreams) { Inputs.push_back(MakeFormatContext(AStreams)); }

    // Runs an option text; the error text, or "" when it passed.
    std::string Parse(const std::string& AText)
    {
        try {
            ParseOptions(AText);
        } catch (const Exception& e) {
            return e.Message();
        }
        return "";
    }
    std::string Presets(const std::string& AText)
    {
        try {
            ParsePresets(AText);
        } catch (const Exception& e) {
            return e.Message();
        }
        return "";
    }
    std::string CodecOpt(const char* AKey) const { return DictValue(FOptions.codec_opts, AKey); }
    std::string FormatOpt(const char* AKey) const { return DictValue(FOptions.format_opts, AKey); }
    static std::string DictValue(const AVDictionary* D, const char* AKey)
    {
        const AVDictionaryEntry* e = ff::av_dict_get(D, AKey, nullptr, 0);
        return e ? e->value : "<none>";
    }

    std::vector<AVFormatContext*> Inputs;
    std::vector<std::vector<std::string>> Hooks;
    int BitsPixel = 24;

protected:
    int InputFileCount() const override { return int(Inputs.size()); }
    AVFormatContext* InputFormatContext(int AIndex) const override { return Inputs[size_t(AIndex)]; }
    int AddFrameHook(const std::vector<std::string>& AWords) override
    {
        if (AWords[0] == "missing.so")
            return -2;
        Hooks.push_back(AWords);
        return 0;
    }
    void SetHookBitsPixel(int ABitsPixel) override
    {
        TFFmpegOptions::SetHookBitsPixel(ABitsPixel);
        BitsPixel = ABitsPixel;
    }
};

// Entry i of a per-stream array as "sel=value" texts.
inline std::vector<std::string> SelectorTexts(const TSelectorOpt* AOpts, int ACount)
{
    std::vector<std::string> r;
    for (int i = 0; i < ACount; ++i)
        r.push_back(std::string(AOpts[i].selector) + "=" + (AOpts[i].u.str ? AOpts[i].u.str : "<null>"));
    return r;
}

}  // namespace tarnello::test
