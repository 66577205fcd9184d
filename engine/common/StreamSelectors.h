#pragma once
// Stream selectors of option words ("-c:v:1", "-metadata:s:a", "-map 0:p:2")
// and the codec options that apply to one stream: which stream a selector
// picks, the codec options of one stream with their selectors filtered, and
// the per-stream dictionaries for probing a file's streams.
//
// A selector that cannot be read is an error (a negative FFmpeg code and a
// line in FFmpeg's log).
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
}

int check_stream_selector(AVFormatContext* S, AVStream* St, const char* Sel);
AVDictionary* FilterCodecOptions(AVDictionary* Opts, const AVCodec* Codec, AVFormatContext* S, AVStream* St);
// One new dictionary per stream; free with FreeStreamInfoOptions.
AVDictionary** FindStreamInfoOptions(AVFormatContext* S, AVDictionary* CodecOpts);
void FreeStreamInfoOptions(AVDictionary**& Opts, unsigned Count);
