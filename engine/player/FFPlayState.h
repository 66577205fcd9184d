#pragma once
// The state of one file open in a player, shared by the player's threads,
// and the routines each thread runs. Internal to engine/player.
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/filters/FilterChain.h"
#include "engine/player/FFPlay.h"
#include "engine/player/PacketQueue.h"
#include "engine/player/PlayerTiming.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
}

struct AVFormatContext;
struct AVStream;
struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct SwrContext;
struct RDFTContext;

inline constexpr int kAudioBufSize = 768000;
inline constexpr int kMaxQueueSize = 15 * 1024 * 1024;
inline constexpr int kSampleArraySize = 131072;  // samples kept for waves and spectrum

struct TPictureSlot {
    AVFrame* Frame = nullptr;  // the picture, YUV 4:2:0 (a reference of the filter's)
    double pts = 0, duration = 0;
    int64_t pos = -1;
    bool skip = false;
    int serial = 0;  // of the seek it was decoded after
};

struct TSubPicture {
    double pts = 0;
    AVSubtitle sub{};
};

struct TVideoState {
    explicit TVideoState(TCustomPlayer* AOwner);
    ~TVideoState();
    TVideoState(const TVideoState&) = delete;
    TVideoState& operator=(const TVideoState&) = delete;

    TCustomPlayer* Owner;
    TPathFileName filename;
    std::string last_error;  // the read thread's last logged error
    std::atomic<int> abort_request{0}, paused{0}, seek_req{0}, flush_req{0}, step{0}, open_paused{0},
        seek_paused{0}, Opened{0}, ReachEOF{0}, EventEOF{0}, Reading{0};
    // Seeks are numbered: seek_serial is the latest asked for, flush_serial
    // the latest carried out (its flush markers carry it). Pictures decoded
    // before flush_serial are never shown; a seek has arrived when a picture
    // of seek_serial is queued.
    std::atomic<int> seek_serial{0}, flush_serial{0};
    // Guards a new seek's number and pause hold against the video thread
    // ending a paused seek: without it a picture of the previous seek could
    // clear the new seek's hold, and a paused player would never decode the
    // picture of the new place.
    std::mutex seek_lock;
    // A new seek: the player is seeking, the seek's number, and whether it
    // decodes its first picture although paused.
    void BeginSeek(bool APaused);
    // The paused seek numbered ASerial has its picture (or ended without one):
    // the hold ends, unless a later seek has begun meanwhile.
    void EndPausedSeek(int ASerial);
    // A picture of the seek numbered ASerial was queued (or the input ended
    // after it): when no later seek has begun, the player's seek is over.
    bool SeekArrived(int ASerial);
    int last_paused = 0;
    int read_pause_return = 0;
    int seek_flags = 0;
    int64_t seek_pos = 0, seek_rel = 0;
    Tav_sync_type av_sync_type = AV_SYNC_AUDIO_MASTER;

    AVFormatContext* ic = nullptr;
    int audio_stream = -1, video_stream = -1;
    AVStream* audio_st = nullptr;
    AVStream* video_st = nullptr;
    AVCodecContext* audio_ctx = nullptr;
    AVCodecContext* video_ctx = nullptr;
    TPacketQueue audioq, videoq;

    // subtitles: decoded by their own thread, four waiting at most
    int subtitle_stream = -1;
    AVStream* subtitle_st = nullptr;
    AVCodecContext* subtitle_ctx = nullptr;
    TPacketQueue subtitleq;
    TSubPicture subpq[4];
    int subpq_size = 0, subpq_rindex = 0, subpq_windex = 0;
    std::mutex subpq_mutex;
    std::condition_variable subpq_cond;
    std::atomic<int> subtitle_stream_changed{0};
    std::thread subtitle_tid;

    // clocks (seconds); read from every thread
    std::atomic<double> audio_current_pts{0}, audio_current_pts_drift{0};
    std::atomic<double> video_current_pts{0}, video_current_pts_drift{0};
    std::atomic<int64_t> video_current_pos{-1};

    // audio (the audio output's thread)
    TAudioSpec audio_hw;
    AVChannelLayout audio_tgt_layout{};
    AVChannelLayout audio_src_layout{};
    AVSampleFormat audio_src_fmt = AV_SAMPLE_FMT_NONE;
    int audio_src_freq = 0;
    SwrContext* swr_ctx = nullptr;
    std::vector<uint8_t> audio_buf2;
    std::vector<uint8_t> silence_buf;  // whole sample frames of silence
    uint8_t* audio_buf = nullptr;
    int audio_buf_size = 0, audio_buf_index = 0;
    std::atomic<int> audio_write_buf_size{0};
    AVFrame* audio_frame = nullptr;
    AVPacket* audio_pkt = nullptr;
    bool audio_need_packet = true;
    double audio_clock = 0;
    std::atomic<int> audio_flush_serial{0};
    int audio_seen_serial = 0;
    TAudioDiffAverage audio_diff;
    std::atomic<int64_t> audio_callback_time{0};
    bool audio_open = false;
    std::atomic<bool> audio_started{false};
    double open_time = 0;

    // pictures
    TPictureSlot pictq[2];
    int pictq_size = 0, pictq_rindex = 0, pictq_windex = 0;
    std::mutex pictq_mutex;
    std::condition_variable pictq_cond;
    AVFrame* shown = nullptr;  // the picture on screen
    std::mutex shown_lock;
    double shown_pts = -1;
    // picture timing: written by the video and play threads
    std::atomic<double> frame_timer{0}, frame_last_pts{NAN}, frame_last_duration{0}, frame_last_dropped_pts{NAN};
    std::atomic<double> frame_last_returned_time{0}, frame_last_filter_delay{0};
    std::atomic<int64_t> frame_last_dropped_pos{-1};
    double video_clock = 0;
    std::atomic<double> frame_delay{0};
    std::atomic<int> frame_drops_early{0}, frame_drops_late{0};
    std::atomic<int> video_drained{0};  // decoder and filters gave their last picture
    std::unique_ptr<TVideoFilterChain> filters;
    int filter_w = 0, filter_h = 0;

    // the latest samples heard (audio thread), drawn by the play thread
    std::vector<int16_t> sample_array = std::vector<int16_t>(kSampleArraySize);
    int sample_array_index = 0;
    std::mutex sample_lock;
    int last_i_start = 0, xpos = 0;
    int rdft_bits = 0;
    RDFTContext* rdft = nullptr;
    std::vector<float> rdft_data;

    int width = 0, height = 0, xleft = 0, ytop = 0;  // display area
    bool surface = false;
    int64_t StartTime = 0, Duration = -1, AudioDuration = -1;
    bool IsImage2 = false, IsDevice = false;
    std::atomic<int> show_mode{-1};

    std::thread read_tid, video_tid;
    bool video_thread_running = false;

    // requests to the play thread
    std::mutex req_lock;
    std::condition_variable req_cond;
    bool req_quit = false, req_relayout = false, req_expose = false, req_fill = false;
    std::atomic<bool> req_step_pause{false};
    std::atomic<bool> open_pause_due{false};
    void Request(bool TVideoState::*AFlag);
};

// Wall clock in seconds / microseconds (FFmpeg's monotonic clock).
double NowSeconds();
int64_t NowMicros();

double get_audio_clock(TVideoState* is);
double get_video_clock(TVideoState* is);
double get_master_clock(TVideoState* is);
bool SyncsToMaster(TVideoState* is);

// Lets the sound device start; with a video stream once its first picture
// is ready, so that sound and pictures start together.
void StartAudio(TVideoState* is);

// Read thread and stream components (FFPlayRead.cpp).
void read_thread(TVideoState* is);
int stream_component_open(TVideoState* is, int AStreamIndex);
void stream_component_close(TVideoState* is, int AStreamIndex);
void stream_close(TVideoState* is);

// Video thread and display (FFPlayVideo.cpp).
void video_thread(TVideoState* is);
void event_loop(TVideoState* is);
void stream_toggle_pause(TVideoState* is);

// Subtitles (PlayerSubtitles.cpp): the subtitle thread; in the play thread
// the expiry of shown subtitles and their blending into a picture.
void subtitle_thread(TVideoState* is);
void free_subpictures(TVideoState* is);
void expire_subtitles(TVideoState* is, double AVideoPts);
void blend_subtitles(TVideoState* is, AVFrame* APicture, double APts);

// Audio callback (FFPlayAudio.cpp).
void sdl_audio_callback(TVideoState* is, uint8_t* AStream, int ALength);

// Waves and spectrum (FFPlayVisual.cpp): the audio thread keeps samples, the
// play thread draws them.
void update_sample_display(TVideoState* is, const uint8_t* ASamples, int ASize);
void video_audio_display(TVideoState* is);
