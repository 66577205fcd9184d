#pragma once
// One engine source opened by name and read directly, without a task (so
// reads wait for data unless the test sets the context non-blocking).
#include <string>
#include <utility>
#include <vector>

#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/AVUtilStubs.h"
#include "engine/common/EngineSource.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace tarnello::test {

class TSourceReader {
public:
    TSourceReader(const std::string& ASource, const std::string& AName,
                  const std::vector<std::pair<std::string, std::string>>& AOptions)
        : FSource(FindEngineSource(ASource))
    {
        AVDictionary* opts = nullptr;
        for (const auto& o : AOptions)
            ff::av_dict_set(&opts, o.first.c_str(), o.second.c_str(), 0);
        Result = OpenEngineSource(&Ctx, FSource, AName.c_str(), &opts);
        ff::av_dict_free(&opts);
        Pkt = ff::av_packet_alloc();
    }
    ~TSourceReader()
    {
        ff::av_packet_free(&Pkt);
        CloseEngineSource(&Ctx);
    }
    TSourceReader(const TSourceReader&) = delete;
    TSourceReader& operator=(const TSourceReader&) = delete;

    // One read: 0, AVERROR(EAGAIN) or the end.
    int Read()
    {
        ff::av_packet_unref(Pkt);
        return ReadEngineSource(FSource, Ctx, Pkt);
    }
    // Reads until a packet or the end comes.
    int ReadOne()
    {
        int r;
        while ((r = Read()) == AVERROR(EAGAIN)) {
        }
        return r;
    }
    AVCodecParameters* Par() const { return Ctx->streams[0]->codecpar; }

    AVFormatContext* Ctx = nullptr;
    AVPacket* Pkt = nullptr;
    int Result = 0;

private:
    const TEngineInputFormat* FSource;
};

}  // namespace tarnello::test
