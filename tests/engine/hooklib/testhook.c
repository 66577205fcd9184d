/* A frame hook for the engine tests. Configure accepts its words unless one
   is "refuse"; Process adds the first argument's number (default 1) to every
   byte of the first picture row and counts its calls in a file named by the
   environment variable TESTHOOK_LOG; Release appends "released" there. */
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
    int x;
    (void)pix_fmt;
    (void)height;
    (void)pts;
    for (x = 0; x < width; ++x)
        pict->data[0][x] = (uint8_t)(pict->data[0][x] + add);
    note("processed");
}
