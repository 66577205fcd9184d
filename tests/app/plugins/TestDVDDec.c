/* A stand-in DVD plug-in: a fake disc of three titles whose second cannot
   be read, or, with TARNELLO_TEST_DVD_MODE=hostile, records that break every
   limit. Built without DVDGetTitle when TEST_DVD_PARTIAL is defined. The
   sources "opendvd:<folder>|Title=<n>,..." read <folder>/title<n>.mpg (an
   MPEG-PS file the test makes); title 2 cannot be opened. */
#define _FILE_OFFSET_BITS 64
#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#pragma pack(push, 4)
typedef struct { int32_t Type, ID, SampleRate, Channels; char Code[4]; char Name[64]; } Audio;
typedef struct { int32_t Type, ID; char Code[4]; char Name[64]; } Subtitle;
typedef struct {
    double Length;
    int32_t VideoType, VideoID, Width, Height, Norm, Aspect, AudioCount;
    Audio Audios[8];
    int32_t SubtitleCount;
    Subtitle Subtitles[32];
    int32_t ChapterCount, Reserved1;
    double Chapters[100];
    int32_t Valid, Reserved2;
} Title;
#pragma pack(pop)

static int initialized;

static int Hostile(void)
{
    const char* m = getenv("TARNELLO_TEST_DVD_MODE");
    return m && strcmp(m, "hostile") == 0;
}

void DVDInitialize(void) { initialized = 1; }

int32_t DVDEnumTitle(const char* path)
{
    if (!initialized || !path || !*path)
        return -1;
    return Hostile() ? 150 : 3;
}

uint32_t DVDGetLibVersion(void) { return 0x01020304u; }

#ifndef TEST_DVD_PARTIAL
int32_t DVDGetTitle(int32_t index, Title* t)
{
    if (Hostile()) {
        t->Length = NAN;
        t->AudioCount = 50;
        t->SubtitleCount = -3;
        t->ChapterCount = 1000;
        memset(t->Audios[0].Name, 'A', sizeof t->Audios[0].Name);
        memset(t->Audios[0].Code, 'B', sizeof t->Audios[0].Code);
        t->Valid = 1;
        return 1;
    }
    if (index == 1 || index < 0 || index > 2)
        return 0;
    if (index == 0) {
        t->Length = 12.5;
        t->VideoType = 2; t->VideoID = 0xe0; t->Width = 720; t->Height = 576; t->Norm = 0; t->Aspect = 1;
        t->AudioCount = 2;
        t->Audios[0] = (Audio){4, 0x80, 48000, 6, "en", "English"};
        t->Audios[1] = (Audio){4, 0x81, 48000, 2, "de", "Deutsch"};
        t->ChapterCount = 100;
        for (int c = 0; c < 100; ++c)
            t->Chapters[c] = 0.125;
    } else {
        t->Length = 3.25;
        t->VideoType = 2; t->VideoID = 0xe0; t->Width = 720; t->Height = 480; t->Norm = 1; t->Aspect = 0;
        t->AudioCount = 1;
        t->Audios[0] = (Audio){6, 0xa0, 48000, 2, "fr", "Fran\xc3\xa7" "ais"};
        t->SubtitleCount = 1;
        t->Subtitles[0] = (Subtitle){7, 0x20, "en", "English"};
        t->ChapterCount = 2;
        t->Chapters[0] = 1.5;
        t->Chapters[1] = 1.75;
    }
    t->Valid = 1;
    return 1;
}
#endif

void* DVDOpenSource(const char* source)
{
    const char* prefix = "opendvd:";
    if (!source || strncmp(source, prefix, strlen(prefix)) != 0)
        return NULL;
    const char* path = source + strlen(prefix);
    const char* bar = strstr(path, "|Title=");
    if (!bar)
        return NULL;
    const int title = atoi(bar + 7);
    if (title == 2)
        return NULL;
    char file[4096];
    snprintf(file, sizeof file, "%.*s/title%d.mpg", (int)(bar - path), path, title);
    return fopen(file, "rb");
}

int32_t DVDReadSource(void* handle, uint8_t* buffer, int32_t size)
{
    size_t n = fread(buffer, 1, (size_t)size, (FILE*)handle);
    return n > 0 ? (int32_t)n : (ferror((FILE*)handle) ? -1 : 0);
}

int64_t DVDSeekSource(void* handle, int64_t offset, int32_t whence)
{
    FILE* f = (FILE*)handle;
    if (whence == 0x10000) { /* AVSEEK_SIZE */
        off_t here = ftello(f);
        fseeko(f, 0, SEEK_END);
        off_t size = ftello(f);
        fseeko(f, here, SEEK_SET);
        return size;
    }
    if (fseeko(f, offset, whence) != 0)
        return -1;
    return ftello(f);
}

void DVDCloseSource(void* handle) { fclose((FILE*)handle); }
