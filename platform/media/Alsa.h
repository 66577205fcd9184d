#pragma once
// ALSA, loaded at run time (neither building nor running needs libasound):
// the entry points the sound input and output use. The declarations follow
// its public interface. Internal to platform/media.
#include <string>

#include "platform/rtl/DynLoad.h"

struct snd_pcm_t;
constexpr int kPcmStreamPlayback = 0;
constexpr int kPcmStreamCapture = 1;
constexpr int kPcmNonblock = 1;
constexpr int kFormatU8 = 1;
constexpr int kFormatS16LE = 2;
constexpr int kAccessRwInterleaved = 3;

struct TAlsa {
    TDynLibrary Lib;
    int (*card_next)(int*) = nullptr;
    int (*pcm_open)(snd_pcm_t**, const char*, int, int) = nullptr;
    int (*pcm_close)(snd_pcm_t*) = nullptr;
    int (*pcm_set_params)(snd_pcm_t*, int, int, unsigned, unsigned, int, unsigned) = nullptr;
    long (*pcm_readi)(snd_pcm_t*, void*, unsigned long) = nullptr;
    long (*pcm_writei)(snd_pcm_t*, const void*, unsigned long) = nullptr;
    int (*pcm_wait)(snd_pcm_t*, int) = nullptr;
    int (*pcm_recover)(snd_pcm_t*, int, int) = nullptr;
    int (*pcm_start)(snd_pcm_t*) = nullptr;
    int (*pcm_drop)(snd_pcm_t*) = nullptr;
    const char* (*strerror)(int) = nullptr;
    bool Ok = false;
};

// The library, bound once; Ok is False when it is missing.
TAlsa& Alsa();
std::string AlsaError(int ACode);
