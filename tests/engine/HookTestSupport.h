#pragma once
// Helpers of the hook tests: the test hook libraries built beside the test
// program, small generated clips, and the pixels and samples of an output
// decoded back by the ffmpeg tool.
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "EngineTestSupport.h"

namespace tarnello::test {

// "full" (Configure, Process, Release) or "process_only".
inline std::string HookPath(const std::string& AKind)
{
    char exe[PATH_MAX] = {};
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    std::string dir = n > 0 ? std::string(exe, size_t(n)) : std::string();
    dir = dir.substr(0, dir.rfind('/'));
    return dir + "/hooklib/testhook_" + AKind + ".so";
}

inline std::vector<uint8_t> ReadBytes(const std::string& AFile)
{
    std::ifstream in(AFile, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The luma plane (AWidth x AHeight, as stored) of frame AIndex (from 0) of
// a 4:2:0 video file; empty when the tool cannot decode it.
inline std::vector<uint8_t> DecodedLuma(const std::string& AFile, int AIndex, int AWidth, int AHeight,
                                        const std::string& AScratch)
{
    if (RunCommand("ffmpeg -v error -y -i '" + AFile + "' -vf 'select=eq(n\\," + std::to_string(AIndex) +
                   ")' -frames:v 1 -f rawvideo -pix_fmt yuv420p '" + AScratch + "'") != 0)
        return {};
    std::vector<uint8_t> bytes = ReadBytes(AScratch);
    if (bytes.size() < size_t(AWidth) * size_t(AHeight))
        return {};
    bytes.resize(size_t(AWidth) * size_t(AHeight));
    return bytes;
}

// Every sample of an audio file as signed 16 bits, channels interleaved.
inline std::vector<int16_t> DecodedSamples(const std::string& AFile, const std::string& AScratch)
{
    if (RunCommand("ffmpeg -v error -y -i '" + AFile + "' -f s16le -c:a pcm_s16le '" + AScratch + "'") != 0)
        return {};
    std::vector<uint8_t> bytes = ReadBytes(AScratch);
    std::vector<int16_t> samples(bytes.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = int16_t(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    return samples;
}

}  // namespace tarnello::test
