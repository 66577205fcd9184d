// skingen: writes the skin folder "skin-new" (skin.ini, its pictures and
// cursors) drawn with the skin library's own bitmap code.
//   skingen FOLDER [--contact-sheet FILE.png] [--specimen FILE.png]
#include "SkinGen.h"

#include "platform/rtl/Exceptions.h"

#include <cstdio>
#include <exception>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: skingen FOLDER [--contact-sheet FILE.png] [--specimen FILE.png]\n");
        return 2;
    }
    try {
        const std::string folder = argv[1];
        skingen::WriteSkinFolder(folder);
        for (int i = 2; i + 1 < argc; i += 2) {
            const std::string opt = argv[i], file = argv[i + 1];
            if (opt == "--contact-sheet")
                skingen::WriteContactSheet(folder + "/skin.ini", file);
            else if (opt == "--specimen")
                skingen::WriteSpecimenSheet(file);
            else {
                std::fprintf(stderr, "skingen: unknown option %s\n", opt.c_str());
                return 2;
            }
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "skingen: %s\n", e.what());
        return 1;
    }
    return 0;
}
