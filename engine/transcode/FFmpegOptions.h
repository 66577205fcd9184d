#pragma once
// The option-facing side of a conversion task: the 140-row option table of
// the transcoder (the ffmpeg tool's options plus the engine's own switches),
// the options context that gathers everything said about the next input or
// output file, the task's own option fields, and the readers of option texts
// (ParseOptions) and presets texts (ParsePresets, key=value lines).
//
// Data flow: the encoder hands a task, per input and for the output, an
// option text and a presets text; they fill `optctx` and `FOptions`, the file
// set-up consumes them and then calls ResetOptionsContext. Errors: in halting
// mode the first bad option ends the call with FFmpegException carrying the
// error text of the task's option parse (FParse, the one error channel of
// option parsing); value parsers raise plain Exception with their own texts.
//
// TCustomFFmpeg derives from TFFmpegOptions and overrides the hooks below for
// what needs the task's files: the inputs opened so far (maps, -target's norm),
// frame hooks (-vhook), the hook converters' depth (-VideoHookBitsPixel).
#include <cstdint>
#include <string>
#include <vector>

#include "engine/common/OptionTable.h"
#include "platform/classes/Object.h"
#include "platform/rtl/Exceptions.h"

// Fatal errors of a conversion task.
TARNELLO_EXCEPTION_CLASS(FFmpegException, Exception);

// One -map result per selected input stream.
struct TStreamMap {
    int32_t disabled;
    int32_t file_index;
    int32_t stream_index;
    int32_t sync_file_index;
    int32_t sync_stream_index;
};

// One -map_channel; -1 in the first three for a muted channel, -1 in the
// output pair for any output file or stream.
struct TAudioChannelMap {
    int32_t file_idx, stream_idx, channel_idx;
    int32_t ofile_idx, ostream_idx;
};

// One side of a -map_metadata: type_ 'g' global, 's' stream, 'c' chapter,
// 'p' program.
struct TMetadataMap {
    int32_t file_idx;
    char type_;
    int32_t index;
};
// [0] the output side, [1] the input side.
struct TAMetadataMap {
    TMetadataMap m[2];
};

// Everything said about the next input or output file. Per-stream options
// are an array of TSelectorOpt followed by its int count.
struct TOptionsContext {
    int64_t start_time;
    char* format;
    TSelectorOpt* codec_names;
    int32_t nb_codec_names;
    TSelectorOpt* audio_channels;
    int32_t nb_audio_channels;
    TSelectorOpt* audio_sample_rate;
    int32_t nb_audio_sample_rate;
    TSelectorOpt* rematrix_volume;
    int32_t nb_rematrix_volume;
    TSelectorOpt* frame_rates;
    int32_t nb_frame_rates;
    TSelectorOpt* frame_sizes;
    int32_t nb_frame_sizes;
    TSelectorOpt* frame_pix_fmts;
    int32_t nb_frame_pix_fmts;
    int64_t input_ts_offset;
    int32_t rate_emu;
    TSelectorOpt* ts_scale;
    int32_t nb_ts_scale;
    TSelectorOpt* dump_attachment;
    int32_t nb_dump_attachment;
    TStreamMap* stream_maps;
    int32_t nb_stream_maps;
    TAudioChannelMap* audio_channel_maps;
    int32_t nb_audio_channel_maps;
    TAMetadataMap* meta_data_maps;
    int32_t nb_meta_data_maps;
    int32_t metadata_global_manual;
    int32_t metadata_streams_manual;
    int32_t metadata_chapters_manual;
    char** attachments;
    int32_t nb_attachments;
    int32_t chapters_input_file;  // 2147483647: choose automatically
    int64_t recording_time;       // microseconds, INT64_MAX: unlimited
    int64_t limit_filesize;       // bytes, INT64_MAX: unlimited
    float mux_preload;
    float mux_max_delay;
    int32_t video_disable;
    int32_t audio_disable;
    int32_t subtitle_disable;
    int32_t data_disable;
    int32_t* streamid_map;
    int32_t nb_streamid_map;
    TSelectorOpt* metadata;
    int32_t nb_metadata;
    TSelectorOpt* max_frames;
    int32_t nb_max_frames;
    TSelectorOpt* bitstream_filters;
    int32_t nb_bitstream_filters;
    TSelectorOpt* codec_tags;
    int32_t nb_codec_tags;
    TSelectorOpt* sample_fmts;
    int32_t nb_sample_fmts;
    TSelectorOpt* qscale;
    int32_t nb_qscale;
    TSelectorOpt* forced_key_frames;
    int32_t nb_forced_key_frames;
    TSelectorOpt* force_fps;
    int32_t nb_force_fps;
    TSelectorOpt* frame_aspect_ratios;
    int32_t nb_frame_aspect_ratios;
    TSelectorOpt* rc_overrides;
    int32_t nb_rc_overrides;
    TSelectorOpt* intra_matrices;
    int32_t nb_intra_matrices;
    TSelectorOpt* inter_matrices;
    int32_t nb_inter_matrices;
    TSelectorOpt* top_field_first;
    int32_t nb_top_field_first;
    TSelectorOpt* copy_initial_nonkeyframes;
    int32_t nb_copy_initial_nonkeyframes;
    TSelectorOpt* filters;
    int32_t nb_filters;
};

// The option side of one conversion task.
class TFFmpegOptions : public TObject {
public:
    static constexpr int OptionRowCount = 140;

    TFFmpegOptions();
    ~TFFmpegOptions() override;

    // Applies an option text (split like a C run-time command line).
    void ParseOptions(const std::string& Text);
    // Applies a presets text: key=value lines, "<CRLF>" also ends a line.
    void ParsePresets(const std::string& Text);

    void BuildOptionTable();
    // Frees and clears a context after its file was set up; IsInput keeps -t.
    void ResetOptionsContext(TOptionsContext& Ctx, bool IsInput);
    // The option fields' defaults of a fresh task, then a context reset.
    void ResetOptionDefaults();

    // Logs at the fatal level, keeps the text in LastErrMsg and raises
    // FFmpegException.
    [[noreturn]] virtual void Fatal(const std::string& AMsg);

    const TOptionDef* Options() const { return options; }

    // A row handler of this class; RunHandler calls it for its table row with
    // the parse that runs it.
    using THandler = int (TFFmpegOptions::*)(void* Ctx, const char* Word, const char* Arg);
    int RunHandler(THandler AHandler, TOptionParse* AParse, const char* Word, const char* Arg);
    const std::string& LastErrMsg() const { return FLastErrMsg; }

    bool HaltOnInvalidOption = true;

    // Handlers that other option code reuses (-target, preset lines).
    int opt_codec(void* Ctx, const char* Word, const char* Arg);  // acodec, vcodec, scodec, dcodec
    int opt_default_row(void* Ctx, const char* Word, const char* Arg);

    // The option fields of the task. Their defaults are in the option
    // table's rows (ResetOptionDefaults writes them).
    int32_t Fframe_bits_per_raw_sample{};
    int32_t Fvideo_discard{};
    int32_t Fsame_quant{};
    int32_t Fdo_deinterlace{};
    int32_t Fintra_dc_precision{};
    int32_t Floop_input{};
    int32_t Floop_output{};
    int32_t Fqp_hist{};
    int32_t Fintra_only{};
    char* Fvideo_codec_name{};
    char* Faudio_codec_name{};
    char* Fsubtitle_codec_name{};
    int32_t Ffile_overwrite{};
    int32_t Fno_file_overwrite{};
    int32_t Fdo_hex_dump{};
    int32_t Fdo_pkt_dump{};
    int32_t Fdo_psnr{};
    int32_t Fdo_pass{};
    char* Fpass_logfilename_prefix{};
    int32_t Fvideo_sync_method{};
    int32_t Faudio_sync_method{};
    float Faudio_drift_threshold{};
    int32_t Fcopy_ts{};
    int32_t Fcopy_tb{};
    int32_t Fopt_shortest{};
    char* Fvstats_filename{};
    int32_t Faudio_volume{};
    int32_t Fexit_on_error{};
    int32_t Finput_sync{};
    float Fdts_delta_threshold{};
    int32_t Fprint_stats{};
    bool Fusing_vhook = false;

    TFFOptions FOptions;
    TOptionsContext optctx{};

protected:
    // Hooks for the task's files and devices. The defaults describe a task
    // without inputs and without frame-hook support.
    virtual int InputFileCount() const { return 0; }
    virtual AVFormatContext* InputFormatContext(int AIndex) const { return nullptr; }
    // Loads a frame-hook module with its arguments; negative on failure.
    virtual int AddFrameHook(const std::vector<std::string>& AWords);
    // Sets the depth of the hook converters; raises for unsupported values.
    virtual void SetHookBitsPixel(int ABitsPixel);
    // One message to the engine log with the task as sender (an AV_LOG_*
    // level).
    virtual void OptionMsg(int ALevel, const std::string& AMsg);
    // The Sender of the task's log lines.
    virtual TObject* LogSender() { return this; }

    // "g" (also the empty text), "s", "c" or "p" with an optional ":index";
    // -1 with "Invalid metadata type %s." in LastErrMsg (logged as fatal).
    int ParseMetadataSelector(const char* Sel, char& Type, int32_t& Index);

    std::string FLastErrMsg;

private:
    friend int ApplyTarget(TFFmpegOptions& Task, TOptionsContext& Ctx, const char* Word, const char* Arg);

    void FreeOptionFields();
    void ClearOptionsContext(TOptionsContext& Ctx, bool IsInput);
    // The error text of the parse running now (a handler's caller), else the
    // task's own.
    std::string& OptionError() { return FCurrentParse->ErrorText; }
    int Fail(int ALevel, const std::string& AMsg);  // OptionError() + log, -22
    int ApplyPresetLine(const std::string& Key, const std::string& Value);
    int ApplyWord(void* Ctx, const std::string& Word, const char* Arg);

    // Row handlers.
    int opt_ignored(void* Ctx, const char* Word, const char* Arg);
    int opt_refused(void* Ctx, const char* Word, const char* Arg);
    int opt_removed_crop(void* Ctx, const char* Word, const char* Arg);
    int opt_removed_pad(void* Ctx, const char* Word, const char* Arg);
    int opt_accepted(void* Ctx, const char* Word, const char* Arg);
    int opt_loglevel(void* Ctx, const char* Word, const char* Arg);
    int opt_debug(void* Ctx, const char* Word, const char* Arg);
    int opt_frames(void* Ctx, const char* Word, const char* Arg);  // vframes, aframes, dframes
    int opt_aq(void* Ctx, const char* Word, const char* Arg);
    int opt_vf(void* Ctx, const char* Word, const char* Arg);
    int opt_bitrate(void* Ctx, const char* Word, const char* Arg);
    int opt_rename_tag(void* Ctx, const char* Word, const char* Arg);  // vtag atag stag vbsf absf
    int opt_deprecated_alias(void* Ctx, const char* Word, const char* Arg);  // vc, tvstd
    int opt_map(void* Ctx, const char* Word, const char* Arg);
    int opt_map_channel(void* Ctx, const char* Word, const char* Arg);
    int opt_map_metadata(void* Ctx, const char* Word, const char* Arg);
    int opt_map_meta_data(void* Ctx, const char* Word, const char* Arg);
    int opt_attach(void* Ctx, const char* Word, const char* Arg);
    int opt_streamid(void* Ctx, const char* Word, const char* Arg);
    int opt_timestamp(void* Ctx, const char* Word, const char* Arg);
    int opt_pass(void* Ctx, const char* Word, const char* Arg);
    int opt_passlogfile(void* Ctx, const char* Word, const char* Arg);
    int opt_vstats(void* Ctx, const char* Word, const char* Arg);
    int opt_vstats_file(void* Ctx, const char* Word, const char* Arg);
    int opt_target(void* Ctx, const char* Word, const char* Arg);
    int opt_preset(void* Ctx, const char* Word, const char* Arg);  // apre vpre spre fpre
    int opt_vhook(void* Ctx, const char* Word, const char* Arg);
    int opt_hook_bits_pixel(void* Ctx, const char* Word, const char* Arg);

    TOptionParse FParse{&optctx, {}};
    TOptionParse* FCurrentParse = &FParse;
    TOptionDef _options[OptionRowCount + 4]{};
    TOptionDef* options = nullptr;
};
