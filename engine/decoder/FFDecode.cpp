// The decoder component: libraries, option set, opening and closing files,
// the stream catalogue and the read time-out.
#include "engine/decoder/FFDecode.h"

#include <sys/stat.h>

#include <cstdarg>
#include <cstdio>

#include "engine/bindings/AVCodecStubs.h"
#include "engine/bindings/AVFormatStubs.h"
#include "engine/bindings/FFLoad.h"
#include "engine/common/FFTexts.h"
#include "engine/common/MainThread.h"
#include "engine/common/ProgramFiles.h"
#include "engine/common/SourceReaders.h"
#include "engine/common/TextFormat.h"
#include "engine/common/UnicodeProtocol.h"
#include "engine/common/StreamSelectors.h"

TCustomDecoder::TCustomDecoder(TComponent* AOwner) : TFFBaseComponent(AOwner) { UpdateFileInfo(); }

TCustomDecoder::~TCustomDecoder() {
    // CloseFile is virtual; the descendant has closed its own state already.
    TCustomDecoder::CloseFile();
    if (FOptionsReady && AVLibLoaded()) FreeFFOptions(FOptions);
    if (FHoldsLibraries) FFLoader().Unload(DecoderLibraries);
}

bool TCustomDecoder::AVLibLoaded() const { return FFLoader().Loaded(DecoderLibraries); }

bool TCustomDecoder::LoadAVLib(const TPathFileName& APath) {
    if (FHoldsLibraries && AVLibLoaded()) return true;
    FFLoader().SetLibraryPath(APath);
    if (!FFLoader().Load(DecoderLibraries)) {
        FLastErrMsg = FFLoader().LastErrMsg();
        return false;
    }
    FHoldsLibraries = true;
    InitOptions();
    return true;
}

void TCustomDecoder::UnloadAVLib() {
    CloseFile();
    if (FOptionsReady && AVLibLoaded()) FreeFFOptions(FOptions);
    FOptionsReady = false;
    if (FHoldsLibraries) FFLoader().Unload(DecoderLibraries);
    FHoldsLibraries = false;
}

void TCustomDecoder::InitOptions() {
    InitFFOptions(FOptions, Fsws_flags);
    FOptionsReady = true;
}

bool TCustomDecoder::opt_default(const std::string& AOpt, const std::string& AArg) {
    if (!AVLibLoaded()) {
        ReportMsg(AV_LOG_ERROR, "libav not loaded.");
        return false;
    }
    if (!FOptionsReady) InitOptions();
    std::string error;  // already in the log
    return ::opt_default(FOptions, AOpt.c_str(), AArg.c_str(), error) == 0;
}

void TCustomDecoder::ReportMsg(int AAVLevel, const std::string& AMsg) {
    FLastErrMsg = AMsg;
    GetFFLogger()->Log(AsSender(), AVToLogLevel(AAVLevel), AMsg);
}

void TCustomDecoder::ReportFmt(int AAVLevel, const char* AFormat, ...) {
    va_list args;
    va_start(args, AFormat);
    std::string msg = FormatVA(AFormat, args);
    va_end(args);
    ReportMsg(AAVLevel, msg);
}

void TCustomDecoder::LogFmt(int AAVLevel, const char* AFormat, ...) {
    TFFLogger* logger = GetFFLogger();
    TLogLevel level = AVToLogLevel(AAVLevel);
    if (level > logger->LogLevel() || !logger->OnLog()) return;
    va_list args;
    va_start(args, AFormat);
    std::string msg = FormatVA(AFormat, args);
    va_end(args);
    logger->Log(AsSender(), level, msg);
}

int TCustomDecoder::ReadInterrupt(void* AOpaque) {
    auto* self = static_cast<TCustomDecoder*>(AOpaque);
    int timeout = self->ReadTimeout();
    if (timeout <= 0) return 0;
    if (ff::av_gettime_relative() - self->FLastRead > int64_t{timeout} * 1000) {
        self->LogFmt(AV_LOG_INFO, "connecting/reading timeout");
        return 1;
    }
    return 0;
}

bool TCustomDecoder::LoadFile(const TPathFileName& AFileName, const std::string& AFormatName) {
    FFLoader().CheckLibAV(DecoderLibraries);
    FLoading = true;
    try {
        CloseFile();
    } catch (...) {
        FLoading = false;
        throw;
    }
    FLoading = false;
    if (!FOptionsReady) InitOptions();

    const AVInputFormat* format = nullptr;
    if (!AFormatName.empty()) {
        format = ff::av_find_input_format(AFormatName.c_str());
        if (!format) {
            ReportFmt(AV_LOG_ERROR, "Unknown input format: %s", AFormatName.c_str());
            CloseFile();
            return false;
        }
    }

    // Pipes, sockets and devices would block the open itself, where no
    // time-out reaches: only regular files (and URLs) are opened.
    struct stat st{};
    std::string name = FileNameToUTF8(AFileName);
    if (::stat(name.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) {
        FLastErrMsg = ErrorCodeText(AFileName, AVERROR(EINVAL));
        std::string keep = FLastErrMsg;
        CloseFile();
        FLastErrMsg = keep;
        return false;
    }

    AVFormatContext* ctx = ff::avformat_alloc_context();
    if (!ctx) {
        ReportMsg(AV_LOG_ERROR, ErrorCodeText(AFileName, AVERROR(ENOMEM)));
        CloseFile();
        return false;
    }
    ctx->interrupt_callback.callback = &TCustomDecoder::ReadInterrupt;
    ctx->interrupt_callback.opaque = this;
    FOwnHandle = true;

    FLastRead = ff::av_gettime_relative();
    int ret = OpenSourceInput(&ctx, name, format, &FOptions.format_opts);
    if (ret < 0) {
        // avformat_open_input has freed the context itself.
        FFileHandle = nullptr;
        FLastErrMsg = ErrorCodeText(AFileName, ret);
        std::string keep = FLastErrMsg;
        CloseFile();
        FLastErrMsg = keep;
        return false;
    }
    FFileHandle = ctx;

    const AVDictionaryEntry* left = nullptr;
    while ((left = ff::av_dict_get(FOptions.format_opts, "", left, AV_DICT_IGNORE_SUFFIX)))
        LogFmt(AV_LOG_ERROR, "Option %s not found, ignored.", left->key);

    ctx->flags |= AVFMT_FLAG_NONBLOCK;

    if (OnBeforeFindStreamInfo) {
        if (FTriggerEventInMainThread)
            RunInMainThread([&] { OnBeforeFindStreamInfo(AsSender(), ctx); });
        else
            OnBeforeFindStreamInfo(AsSender(), ctx);
    }

    unsigned origStreams = ctx->nb_streams;
    AVDictionary** streamOpts = FindStreamInfoOptions(ctx, FOptions.codec_opts);
    FLastRead = ff::av_gettime_relative();
    ret = ff::avformat_find_stream_info(ctx, streamOpts);
    FreeStreamInfoOptions(streamOpts, origStreams);
    if (ret < 0) {
        std::string keep = AFileName + ": could not find codec parameters";
        CloseFile();
        FLastErrMsg = keep;
        return false;
    }
    if (ctx->pb) {
        ctx->pb->eof_reached = 0;
        ctx->pb->error = 0;
    }
    UpdateFileInfo();
    InitOptions();
    FForceFormat = AFormatName;
    return true;
}

void TCustomDecoder::CloseFile() {
    if (!FLoading) {
        if (AVLibLoaded()) InitOptions();
        FForceFormat.clear();
    }
    if (FFileHandle) {
        // Without its libraries a context can only be let go.
        if (FOwnHandle && ff::avformat_close_input) CloseSourceInput(&FFileHandle);
        FFileHandle = nullptr;
    }
    UpdateFileInfo();
}

void TCustomDecoder::SetFileHandle(AVFormatContext* AValue) {
    if (AValue == FFileHandle) return;
    FFLoader().CheckLibAV(DecoderLibraries);
    CloseFile();
    FOwnHandle = false;
    FFileHandle = AValue;
    UpdateFileInfo();
}

int64_t TCustomDecoder::ContainerFileSize() {
    if (!FFileHandle) return -1;
    int64_t size = FFileHandle->pb ? ff::avio_size(FFileHandle->pb) : 0;
    if (size > 0) return size;
    int64_t disk = FFileHandle->url ? FileSizeOf(UTF8ToFileName(FFileHandle->url)) : -1;
    return disk >= 0 ? disk : size;
}

void TCustomDecoder::UpdateFileInfo() {
    FFileSize = -1;
    FStreamCount = FProgramCount = -1;
    FAudioStreamCount = FVideoStreamCount = FSubtitleStreamCount = -1;
    FFirstAudioStreamIndex = FFirstVideoStreamIndex = FFirstSubtitleStreamIndex = -1;
    if (!FFileHandle) return;
    FFileSize = ContainerFileSize();
    FStreamCount = static_cast<int>(FFileHandle->nb_streams);
    FProgramCount = static_cast<int>(FFileHandle->nb_programs);
    FAudioStreamCount = FVideoStreamCount = FSubtitleStreamCount = 0;
    for (int i = 0; i < FStreamCount; ++i) {
        switch (FFileHandle->streams[i]->codecpar->codec_type) {
            case AVMEDIA_TYPE_VIDEO:
                if (FVideoStreamCount++ == 0) FFirstVideoStreamIndex = i;
                break;
            case AVMEDIA_TYPE_AUDIO:
                if (FAudioStreamCount++ == 0) FFirstAudioStreamIndex = i;
                break;
            case AVMEDIA_TYPE_SUBTITLE:
                if (FSubtitleStreamCount++ == 0) FFirstSubtitleStreamIndex = i;
                break;
            default: break;
        }
    }
}

TPathFileName TCustomDecoder::FileName() {
    if (!FFileHandle) {
        ReportMsg(AV_LOG_WARNING, "file not loaded.");
        return "";
    }
    return UTF8ToFileName(FFileHandle->url);
}

std::string TCustomDecoder::FormatName() {
    if (!FFileHandle) {
        ReportMsg(AV_LOG_WARNING, "file not loaded.");
        return "";
    }
    return FFileHandle->iformat && FFileHandle->iformat->name ? FFileHandle->iformat->name : "";
}

std::string TCustomDecoder::FormatLongName() {
    if (!FFileHandle) {
        ReportMsg(AV_LOG_WARNING, "file not loaded.");
        return "";
    }
    return FFileHandle->iformat && FFileHandle->iformat->long_name ? FFileHandle->iformat->long_name : "";
}

bool TCustomDecoder::StreamHasType(int AStreamIndex, AVMediaType AType) {
    if (!FFileHandle) {
        ReportMsg(AV_LOG_WARNING, "file not loaded.");
        return false;
    }
    if (AStreamIndex < 0 || AStreamIndex >= FStreamCount) {
        ReportFmt(AV_LOG_ERROR, "stream index #%d is invalid.", AStreamIndex);
        return false;
    }
    return FFileHandle->streams[AStreamIndex]->codecpar->codec_type == AType;
}

bool TCustomDecoder::IsAudioStream(int AStreamIndex) { return StreamHasType(AStreamIndex, AVMEDIA_TYPE_AUDIO); }

bool TCustomDecoder::IsVideoStream(int AStreamIndex) { return StreamHasType(AStreamIndex, AVMEDIA_TYPE_VIDEO); }

bool TCustomDecoder::IsSubtitleStream(int AStreamIndex) {
    return StreamHasType(AStreamIndex, AVMEDIA_TYPE_SUBTITLE);
}
