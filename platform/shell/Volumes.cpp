#include "platform/shell/Volumes.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>

namespace {

std::mutex gTableLock;
std::string gTableFile = "/proc/self/mounts";

// "\040" (space), "\011" (tab), "\012" (newline) and "\134" (backslash) as
// the kernel writes them.
std::string DecodeMountField(const std::string& S)
{
    std::string out;
    out.reserve(S.size());
    auto octal = [](char c, char top) { return c >= '0' && c <= top; };
    for (std::size_t i = 0; i < S.size(); ++i) {
        if (S[i] == '\\' && i + 3 < S.size() && octal(S[i + 1], '3') && octal(S[i + 2], '7') &&
            octal(S[i + 3], '7')) {
            out.push_back(static_cast<char>((S[i + 1] - '0') * 64 + (S[i + 2] - '0') * 8 + (S[i + 3] - '0')));
            i += 3;
            continue;
        }
        out.push_back(S[i]);
    }
    return out;
}

bool IsNetworkFs(const std::string& T)
{
    return T == "nfs" || T == "nfs4" || T == "cifs" || T == "smb3" || T == "smbfs" || T == "9p" ||
           T == "fuse.sshfs" || T == "afs" || T == "ncpfs";
}

// Device-backed file systems and network shares are volumes; kernel and
// memory file systems (proc, sysfs, cgroup, tmpfs, overlay ...) are not.
bool IsVolume(const std::string& Device, const std::string& Type, const std::string& Point)
{
    if (Point == "/")
        return true;
    if (IsNetworkFs(Type))
        return true;
    if (Device.rfind("/dev/", 0) != 0)
        return false;
    // Loop-mounted snaps and the like are packages, not the user's volumes.
    return Type != "squashfs";
}

TVolumeKind KindOf(const std::string& Type, const std::string& Point)
{
    if (Point == "/")
        return TVolumeKind::Root;
    if (IsNetworkFs(Type))
        return TVolumeKind::Network;
    if (Type == "iso9660" || Type == "udf")
        return TVolumeKind::Optical;
    if (Point.rfind("/media/", 0) == 0 || Point.rfind("/run/media/", 0) == 0 || Point.rfind("/mnt/", 0) == 0)
        return TVolumeKind::Removable;
    return TVolumeKind::Fixed;
}

std::string LabelFromDisk(const std::string& Device)
{
    std::error_code ec;
    const std::filesystem::path dir("/dev/disk/by-label");
    const std::filesystem::path target = std::filesystem::weakly_canonical(Device, ec);
    if (ec)
        return "";
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code ec2;
        if (std::filesystem::weakly_canonical(it->path(), ec2) == target && !ec2)
            return DecodeMountField(it->path().filename().string());  // udev escapes like the kernel
    }
    return "";
}

}  // namespace

std::vector<TMountedVolume> ParseMountTable(const std::string& Text, std::string (*LabelOf)(const std::string&))
{
    std::vector<TMountedVolume> out;
    std::istringstream in(Text);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string device, point, type;
        if (!(fields >> device >> point >> type))
            continue;
        TMountedVolume v;
        v.Device = DecodeMountField(device);
        v.MountPoint = DecodeMountField(point);
        v.FileSystem = type;
        if (v.MountPoint.empty() || v.MountPoint[0] != '/' || !IsVolume(v.Device, type, v.MountPoint))
            continue;
        v.Kind = KindOf(type, v.MountPoint);
        if (LabelOf && v.Device.rfind("/dev/", 0) == 0)
            v.Label = LabelOf(v.Device);
        // A later mount over the same point hides the earlier one.
        out.erase(std::remove_if(out.begin(), out.end(),
                                 [&](const TMountedVolume& o) { return o.MountPoint == v.MountPoint; }),
                  out.end());
        out.push_back(std::move(v));
    }
    if (std::none_of(out.begin(), out.end(), [](const TMountedVolume& v) { return v.MountPoint == "/"; })) {
        TMountedVolume root;
        root.MountPoint = "/";
        root.Kind = TVolumeKind::Root;
        out.insert(out.begin(), root);
    }
    return out;
}

void SetMountTableFile(const std::string& Path)
{
    std::lock_guard lock(gTableLock);
    gTableFile = Path.empty() ? "/proc/self/mounts" : Path;
}

std::vector<TMountedVolume> GetMountedVolumes()
{
    std::string file;
    {
        std::lock_guard lock(gTableLock);
        file = gTableFile;
    }
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    return ParseMountTable(text.str(), &LabelFromDisk);
}

TMountedVolume VolumeOfPath(const std::vector<TMountedVolume>& Volumes, const std::string& Path)
{
    const TMountedVolume* best = nullptr;
    for (const TMountedVolume& v : Volumes) {
        const std::string& m = v.MountPoint;
        const bool under = m == "/" || Path == m || (Path.rfind(m, 0) == 0 && Path.size() > m.size() && Path[m.size()] == '/');
        if (under && (!best || m.size() > best->MountPoint.size()))
            best = &v;
    }
    if (best)
        return *best;
    TMountedVolume root;
    root.MountPoint = "/";
    root.Kind = TVolumeKind::Root;
    return root;
}

std::string VolumeDisplayName(const TMountedVolume& Volume)
{
    if (!Volume.Label.empty())
        return Volume.Label;
    if (Volume.MountPoint == "/")
        return "File System";
    const std::size_t slash = Volume.MountPoint.find_last_of('/');
    return slash == std::string::npos ? Volume.MountPoint : Volume.MountPoint.substr(slash + 1);
}
