#pragma once
// The engine's probe and decode component. A decoder opens a media file
// itself (LoadFile) or adopts a container another component opened
// (FileHandle), and answers questions about it: stream counts and kinds,
// stream information records and a description text. A file it opened
// itself can also be seeked and decoded into pictures (one ready picture in
// FrameInfo, convertible to RGB) and into blocks of interleaved audio
// converted to a desired channel count, rate and format.
//
// Failures return False/-1 and leave the reason in LastErrMsg (also logged);
// only decoding an adopted container raises, since that is a programming
// error of the caller.
#include <cstdint>
#include <string>

#include "engine/common/FFBaseComponent.h"
#include "engine/common/FFLog.h"
#include "engine/common/OptionTable.h"
#include "engine/decoder/FormatConverter.h"

extern "C" {
#include <libavutil/avutil.h>
#include <libavutil/rational.h>
#include <libavutil/samplefmt.h>
}

struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct SwrContext;
class TBitmap;
struct AVStream;

// Opens a decoder for a stream from its parameters (null on failure;
// AUnsupported when no decoder exists for its codec).
AVCodecContext* OpenStreamDecoder(AVStream* AStream, bool& AUnsupported);

struct TFileStreamInfo {
    int64_t StartTime = AV_NOPTS_VALUE;  // microseconds
    int64_t Duration = -1;               // microseconds, -1 unknown
    int BitRate = -1;
    int64_t TimeStamp = -1;
    int Year = -1;
    int Track = -1;
    std::string Title, Author, Copyright, Comment, Album, Genre;
};

struct TAudioStreamInfo {
    std::string Language;
    std::string CodecName;
    int64_t StartTime = -1;  // stream time base
    int64_t StartTimeScaled = -1;
    int64_t Duration = -1;  // stream time base
    int64_t DurationScaled = -1;
    int BitRate = -1;
    int Channels = -1;
    int SampleRate = -1;
    AVSampleFormat SampleFormat = AV_SAMPLE_FMT_NONE;
};

struct TVideoStreamInfo {
    std::string Language;
    std::string CodecName;
    int64_t StartTime = -1;
    int64_t StartTimeScaled = -1;
    int64_t Duration = -1;
    int64_t DurationScaled = -1;
    int BitRate = -1;
    int Height = -1;
    int Width = -1;
    float AspectRatio = -1.0f;
    AVPixelFormat PixFmt = AV_PIX_FMT_NONE;
    AVRational FrameRate{-1, -1};
};

struct TSubtitleStreamInfo {
    std::string Language;
    std::string CodecName;
};

// The decoder's ready picture.
struct TFrameInfo {
    AVPixelFormat PixFmt = AV_PIX_FMT_NONE;
    int Width = -1;
    int Height = -1;
    bool IsKeyFrame = false;
    AVPictureType PictureType = AV_PICTURE_TYPE_NONE;
    int64_t PTS = AV_NOPTS_VALUE;  // microseconds from the stream start
    int64_t OriginalDTS = AV_NOPTS_VALUE;
    int64_t OriginalPTS = AV_NOPTS_VALUE;
    int StreamIndex = -1;
    int64_t Position = -1;
    bool Ready = false;
    TAVPicture Picture;        // planes inside Buffer
    uint8_t* Buffer = nullptr;  // the decoder's, grown and reused
    int Size = 0;
};

// The decoder's current audio block.
struct TWaveInfo {
    int Channels = 0;
    int SampleRate = 0;
    AVSampleFormat SampleFormat = AV_SAMPLE_FMT_NONE;
    int BytesPerSample = 0;
    int BytesPerSecond = 0;
    int64_t PTS = AV_NOPTS_VALUE;  // microseconds from the stream start
    int64_t OriginalDTS = AV_NOPTS_VALUE;
    int64_t OriginalPTS = AV_NOPTS_VALUE;
    int StreamIndex = -1;
    bool Ready = false;
    uint8_t* Buffer = nullptr;  // the decoder's; never freed by a caller
    int Size = 0;
    int64_t Duration = AV_NOPTS_VALUE;  // microseconds
};

class TCustomDecoder : public TFFBaseComponent {
public:
    explicit TCustomDecoder(TComponent* AOwner);
    ~TCustomDecoder() override;

    bool AVLibLoaded() const;
    bool LoadAVLib(const TPathFileName& APath);
    void UnloadAVLib();
    // Hands an option to the libraries for the next LoadFile.
    bool opt_default(const std::string& AOpt, const std::string& AArg);

    bool LoadFile(const TPathFileName& AFileName, const std::string& AFormatName = "");
    virtual void CloseFile();

    AVFormatContext* FileHandle() const { return FFileHandle; }
    // Adopts a context opened elsewhere: catalogue only, never closed here.
    virtual void SetFileHandle(AVFormatContext* AValue);

    TPathFileName FileName();
    std::string FormatName();
    std::string FormatLongName();
    int64_t FileSize() const { return FFileSize; }
    int StreamCount() const { return FStreamCount; }
    int ProgramCount() const { return FProgramCount; }
    int AudioStreamCount() const { return FAudioStreamCount; }
    int VideoStreamCount() const { return FVideoStreamCount; }
    int SubtitleStreamCount() const { return FSubtitleStreamCount; }
    int FirstAudioStreamIndex() const { return FFirstAudioStreamIndex; }
    int FirstVideoStreamIndex() const { return FFirstVideoStreamIndex; }
    int FirstSubtitleStreamIndex() const { return FFirstSubtitleStreamIndex; }
    const std::string& ForceFormat() const { return FForceFormat; }
    const std::string& LastErrMsg() const { return FLastErrMsg; }

    bool IsAudioStream(int AStreamIndex);
    bool IsVideoStream(int AStreamIndex);
    bool IsSubtitleStream(int AStreamIndex);

    TFileStreamInfo FileStreamInfo();
    bool GetAudioStreamInfo(int AStreamIndex, TAudioStreamInfo& AInfo);
    bool GetVideoStreamInfo(int AStreamIndex, TVideoStreamInfo& AInfo);
    bool GetSubtitleStreamInfo(int AStreamIndex, TSubtitleStreamInfo& AInfo);
    TAudioStreamInfo FirstAudioStreamInfo();
    TVideoStreamInfo FirstVideoStreamInfo();
    TSubtitleStreamInfo FirstSubtitleStreamInfo();
    std::string FileInfoText();

    bool TriggerEventInMainThread() const { return FTriggerEventInMainThread; }
    void SetTriggerEventInMainThread(bool AValue) { FTriggerEventInMainThread = AValue; }
    TBeforeFindStreamInfoEvent OnBeforeFindStreamInfo;

protected:
    virtual void UpdateFileInfo();
    // Sets LastErrMsg and logs at an FFmpeg level.
    void ReportMsg(int AAVLevel, const std::string& AMsg);
    void ReportFmt(int AAVLevel, const char* AFormat, ...) __attribute__((format(printf, 3, 4)));
    // Logs without touching LastErrMsg.
    void LogFmt(int AAVLevel, const char* AFormat, ...) __attribute__((format(printf, 3, 4)));
    int64_t ContainerFileSize();
    static int ReadInterrupt(void* AOpaque);

    AVFormatContext* FFileHandle = nullptr;
    int Fsws_flags = 4;
    TFFOptions FOptions;
    bool FOptionsReady = false;
    bool FLoading = false;
    bool FOwnHandle = false;
    std::string FLastErrMsg;
    std::string FForceFormat;
    int64_t FFileSize = -1;
    int FStreamCount = -1, FProgramCount = -1;
    int FAudioStreamCount = -1, FVideoStreamCount = -1, FSubtitleStreamCount = -1;
    int FFirstAudioStreamIndex = -1, FFirstVideoStreamIndex = -1, FFirstSubtitleStreamIndex = -1;
    bool FTriggerEventInMainThread = true;
    int64_t FLastRead = 0;
    bool FHoldsLibraries = false;

private:
    void InitOptions();
    // Whether the stream has AType; a missing file or a bad index is reported
    // and answers false.
    bool StreamHasType(int AStreamIndex, AVMediaType AType);
};

class TFFDecoder : public TCustomDecoder {
public:
    explicit TFFDecoder(TComponent* AOwner);
    ~TFFDecoder() override;

    void CloseFile() override;

    // Microseconds from the start of the seek stream (bytes with sfByte).
    bool Seek(int64_t APTS, TSeekFlags ASeekFlags = {});
    // Asked before seeking, without logging: the open file is a still
    // picture (it decodes once and refuses seeks); Seek can work on it
    // (a file is open, not a still picture, and its input can seek).
    bool IsStillPicture() const;
    bool Seekable() const;
    bool Decode(int AStreamIndex = -1);
    bool DecodeNextKeyFrame(int AStreamIndex = -1);
    bool DecodePreviousKeyFrame(int AStreamIndex = -1);
    bool DecodePreviousFrame(int AStreamIndex = -1);
    // Converts the ready picture into the converter's RGB buffer and returns
    // its description; null on failure.
    const TFFBitmapInfo* GetBitmapPtr();
    // Converts the ready picture into ABitmap (sized and formatted like the
    // converter's); on failure ABitmap is the picture's size, filled black.
    bool CopyToBitmap(TBitmap* ABitmap);
    TFormatConverter& FormatConverter() { return FFormatConv; }

    const TFrameInfo& FrameInfo() const { return FPicture; }
    // The end of the input was reached (EOF in the component's interface).
    bool IsEOF() const { return FEOF; }
    bool Deinterlace() const { return FDeinterlace; }
    void SetDeinterlace(bool AValue) { FDeinterlace = AValue; }
    int BitmapBitsPixel() const { return FFormatConv.BitsPixel(); }
    void SetBitmapBitsPixel(int AValue) { FFormatConv.SetBitsPixel(AValue); }
    int64_t Position();

    bool DecodeAudio(int AStreamIndex = -1);
    // Copies up to ACount bytes of converted audio; -1 when no further block
    // can be decoded. A null ABuffer reports what is available.
    int ReadAudio(uint8_t* ABuffer, int ACount, int AStreamIndex = -1);
    int DesireAudioChannels() const { return FDesireAudioChannels; }
    void SetDesireAudioChannels(int AValue);
    int DesireAudioSampleRate() const { return FDesireAudioSampleRate; }
    void SetDesireAudioSampleRate(int AValue);
    const TWaveInfo& WaveInfo() const { return FWaveInfo; }

private:
    bool CheckOwnership();
    bool CanSeek();
    bool IsStillImageFormat() const;
    int ChooseVideoStream(int AStreamIndex);
    bool OpenVideoCodec();
    void ClearPicture();
    bool StorePicture(AVFrame* AFrame);
    bool DeinterlaceFrame(AVFrame* AFrame);
    int64_t FrameDuration() const;
    // Reads the next packet of AStream into FPacket: 1 got one, 0 the input
    // ended (FEOFpkt set; drain the decoder), -1 failure reported.
    int ReadPacket(int AStream, bool& ADrainSent);

    int ChooseAudioStream(int AStreamIndex);
    bool OpenAudioCodec();
    void ClearAudio();
    void ResetAudio();
    void FreeResampler();
    bool AppendAudioFrame(AVFrame* AFrame, int& ATotal, bool& APassThrough);
    bool FlushResampler(int& ATotal);
    bool EnsureResampled(int64_t ABytes);

    AVCodecContext* FCodec = nullptr;
    int FCodecStream = -1;
    TFormatConverter FFormatConv;
    int FSeekIndex = -1;
    int FDesireVideoIndex = -1;
    AVRational FFrameRate{0, 0};
    bool FDeinterlace = false;
    int FDeintSize = 0;
    uint8_t* FDeintBuf = nullptr;
    bool FEOF = false;
    bool FEOFpkt = false;
    TFrameInfo FPicture;
    int64_t FLastPTS = AV_NOPTS_VALUE;
    AVFrame* FFrame = nullptr;
    AVPacket* FPacket = nullptr;
    bool FVideoDrainSent = false;

    TWaveInfo FWaveInfo;
    int FDesireAudioChannels = 2;
    int FDesireAudioSampleRate = 44100;
    AVSampleFormat FDesireAudioSampleFormat = AV_SAMPLE_FMT_S16;
    int FDesireAudioIndex = -1;
    AVCodecContext* FAudioCodec = nullptr;
    int FAudioCodecStream = -1;
    AVFrame* FAudioDecodedFrame = nullptr;
    uint8_t* FDecodedAudioBuffer = nullptr;
    unsigned FDecodedAudioSize = 0;
    uint8_t* FResampledAudioBuffer = nullptr;
    unsigned FResampledAudioSize = 0;
    int FResampleChannels = -1;
    int FResampleSampleRate = -1;
    AVSampleFormat FResampleSampleFormat = AV_SAMPLE_FMT_NONE;
    SwrContext* FAudioSwrCtx = nullptr;
    int FRemainsAudioSize = 0;
    bool FAudioDrainSent = false;
    bool FAudioTailFlushed = false;
};
