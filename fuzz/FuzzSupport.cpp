// Scratch folders and fixture paths of the fuzz targets.
#include "FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace tarnello::fuzz {

namespace {

struct TScratch {
    std::string Path;
    TScratch()
    {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/tarnello-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("cannot make a scratch folder");
        Path = pattern;
    }
    ~TScratch()
    {
        std::error_code ec;
        std::filesystem::remove_all(Path, ec);
    }
};

}  // namespace

const std::string& ScratchFolder()
{
    static TScratch scratch;
    return scratch.Path;
}

std::string DataFolder() { return TARNELLO_FUZZ_DATA; }

void WriteFileBytes(const std::string& Path, const uint8_t* Data, size_t Size)
{
    FILE* f = std::fopen(Path.c_str(), "wb");
    if (!f || (Size && std::fwrite(Data, 1, Size, f) != Size) || std::fclose(f) != 0)
        throw std::runtime_error("cannot write " + Path);
}

void CopyFolderFiles(const std::string& From, const std::string& To)
{
    namespace fs = std::filesystem;
    fs::create_directories(To);
    for (const fs::directory_entry& e : fs::directory_iterator(From))
        if (e.is_regular_file())
            fs::copy_file(e.path(), fs::path(To) / e.path().filename(), fs::copy_options::overwrite_existing);
}

}  // namespace tarnello::fuzz
