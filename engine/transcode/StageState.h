#pragma once
// The state of one transcode stage, owned by the task (TCustomFFmpeg) and
// complete only inside the stage's own source file: its fields are private to
// the stage, and other stages reach it through the stage's functions.
//
// Every stage state is declared once, at the end of this header, so that the
// task (FFmpeg.h) can hold them without including any stage; the stage
// defines the structure and TStageStateOps<T>::New/Free in its source.
template <typename T>
struct TStageStateOps;

#define TARNELLO_STAGE_STATE(T)         \
    template <>                         \
    struct TStageStateOps<T> {          \
        static T* New();                \
        static void Free(T* AState);    \
    }

template <typename T>
class TStageState {
public:
    TStageState() : P(TStageStateOps<T>::New()) {}
    ~TStageState() { TStageStateOps<T>::Free(P); }
    TStageState(const TStageState&) = delete;
    TStageState& operator=(const TStageState&) = delete;

    // A fresh state in place of the old one (the task's reset).
    void Reset()
    {
        T* fresh = TStageStateOps<T>::New();
        TStageStateOps<T>::Free(P);
        P = fresh;
    }
    T& operator*() const { return *P; }

private:
    T* P;
};

class TCustomFFmpeg;

// Calls a stage's stop function for the task when the scope is left,
// however it is left: the stage's threads never outlive the loop.
class TStageStopGuard {
public:
    using TStop = void (*)(TCustomFFmpeg&);
    TStageStopGuard(TCustomFFmpeg& ASelf, TStop AStop) : Self(ASelf), Stop(AStop) {}
    ~TStageStopGuard() { Stop(Self); }
    TStageStopGuard(const TStageStopGuard&) = delete;
    TStageStopGuard& operator=(const TStageStopGuard&) = delete;

private:
    TCustomFFmpeg& Self;
    TStop Stop;
};

// The stages that keep a state of their own (their headers say what they do).
struct TVideoPathState;     // FFmpegVideo: frame hooks, scaler, pictures
struct TAudioPathState;     // FFmpegAudio: resampler and sample buffers
struct TWriterState;        // FFmpegWriter: the writer lock, sizes, video stats
struct TJoinState;          // FFmpegJoin: the joined parts
struct TEncoderStageState;  // FFmpegEncoder: the encoder threads
struct TReaderStageState;   // FFmpegReader: the reader threads
TARNELLO_STAGE_STATE(TVideoPathState);
TARNELLO_STAGE_STATE(TAudioPathState);
TARNELLO_STAGE_STATE(TWriterState);
TARNELLO_STAGE_STATE(TJoinState);
TARNELLO_STAGE_STATE(TEncoderStageState);
TARNELLO_STAGE_STATE(TReaderStageState);
