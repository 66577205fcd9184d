// datagen DATA-FOLDER OUT-FOLDER: writes the program's preset files, icons
// and language files from the readable sources in DATA-FOLDER.
#include "DataGen.h"

#include "platform/rtl/Exceptions.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: datagen DATA-FOLDER OUT-FOLDER\n");
        return 2;
    }
    try {
        datagen::GenerateData(argv[1], argv[2]);
    } catch (const Exception& e) {
        std::fprintf(stderr, "datagen: %s\n", e.Message().c_str());
        return 1;
    }
    return 0;
}
