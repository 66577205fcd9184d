/* A stand-in download plug-in: answers what the test put into
   TARNELLO_TEST_DOWNLOAD_ANSWER, and records the arguments it was given. */
#include <stdbool.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

static char seen[4096];

bool RunDownloader(const char* skin, const char* tempFolder, const int32_t* language, const char** result)
{
    snprintf(seen, sizeof seen, "%s|%s|%d", skin, tempFolder, (int)*language);
    setenv("TARNELLO_TEST_DOWNLOAD_SEEN", seen, 1);
    *result = getenv("TARNELLO_TEST_DOWNLOAD_ANSWER");
    return *result != NULL;
}
