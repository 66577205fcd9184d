#pragma once
// Frame hooks: shared libraries that change every decoded picture of a
// conversion in place (the task option "-vhook" loads one with its words).
// A hook library exports "Process" (required) and optionally "Configure"
// and "Release", all with C linkage:
//   int  Configure(void** ctxp, int argc, char* argv[]);  // 0 = accepted
//   void Process(void* ctx, TAVPicture* picture, int pix_fmt, int width,
//                int height, int64_t pts);
//   void Release(void* ctx);
// Libraries are loaded once per process (by the name given) and stay loaded;
// each task keeps its own chain of configured entries.
#include <cstdint>
#include <string>
#include <vector>

struct TAVPicture;

using TFrameHookConfigureFn = int (*)(void** ctxp, int argc, char* argv[]);
using TFrameHookProcessFn = void (*)(void* ctx, TAVPicture* picture, int pix_fmt, int width, int height,
                                     int64_t pts);
using TFrameHookReleaseFn = void (*)(void* ctx);

struct TFrameHookEntry {
    TFrameHookEntry* next;
    TFrameHookConfigureFn Configure;
    TFrameHookProcessFn Process;
    TFrameHookReleaseFn Release;
    void* ctx;
};
using PFrameHookEntry = TFrameHookEntry*;

// Loads (or reuses) the library named by AArgv[0], configures a new entry
// with all the words and appends it to the chain. 0; -1 library not
// loadable; -2 no words or a required entry point missing; -12 no memory;
// -22 configuration refused. A failed entry is not kept. AError, when
// given, receives the reason (also logged at the error level).
int frame_hook_add(PFrameHookEntry& AFirst, const std::vector<std::string>& AArgv, std::string* AError = nullptr);
// Calls Process of every entry in chain order.
void frame_hook_process(PFrameHookEntry AFirst, TAVPicture* APicture, int APixFmt, int AWidth, int AHeight,
                        int64_t APTS);
// Releases every entry (Release when exported) and empties the chain.
void frame_hook_release(PFrameHookEntry& AFirst);
