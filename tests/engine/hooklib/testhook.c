/* A frame hook for the engine tests. Configure accepts its words unless one
   is "refuse"; Process adds the first argument's number (default 1) to every
   byte of the first picture row, or with the words "fill N" sets the whole
   first plane to N, and counts its calls in a file named by the environment
   variable TESTHOOK_LOG; Release appends "released" there. */
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef struct {
    uint8_t* data[4];
    int linesize[4];
} Picture;

typedef struct {
    int add;
    int fill; /* -1: add to the first row */
} Ctx;

static void note(const char* text)
{
    const char* name = getenv("TESTHOOK_LOG");
    FILE* f;
    if (!name)
        return;
    f = fopen(name, "a");
    if (!f)
        return;
    fputs(text, f);
    fputc('\n', f);
    fclose(f);
}

#ifdef TESTHOOK_FULL
int Configure(void** ctxp, int argc, char* argv[])
{
    Ctx* c;
    int i;
    for (i = 1; i < argc; ++i)
        if (strcmp(argv[i], "refuse") == 0)
            return 1;
    c = calloc(1, sizeof(Ctx));
    if (!c)
        return 1;
    c->fill = -1;
    if (argc > 2 && strcmp(argv[1], "fill") == 0)
        c->fill = atoi(argv[2]);
    else
        c->add = argc > 1 ? atoi(argv[1]) : 1;
    *ctxp = c;
    note("configured");
    return 0;
}

void Release(void* ctx)
{
    free(ctx);
    note("released");
}
#endif

void Process(void* ctx, Picture* pict, int pix_fmt, int width, int height, int64_t pts)
{
    int add = ctx ? ((Ctx*)ctx)->add : 1;
    int fill = ctx ? ((Ctx*)ctx)->fill : -1;
    int x, y;
    (void)pix_fmt;
    (void)pts;
    if (fill >= 0) {
        for (y = 0; y < height; ++y)
            memset(pict->data[0] + (size_t)y * pict->linesize[0], fill, (size_t)width);
        note("processed");
        return;
    }
    for (x = 0; x < width; ++x)
        pict->data[0][x] = (uint8_t)(pict->data[0][x] + add);
    note("processed");
}
