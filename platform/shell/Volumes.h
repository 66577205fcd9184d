#pragma once
// The volumes mounted on this machine, as the shell's Computer folder lists
// them: read from the kernel's mount table, pseudo file systems left out.
#include <string>
#include <vector>

enum class TVolumeKind { Root, Fixed, Removable, Optical, Network };

struct TMountedVolume {
    std::string Device;      // "/dev/sda1", "server:/share"
    std::string MountPoint;  // "/", "/media/user/USB STICK" (escapes decoded)
    std::string FileSystem;  // "ext4", "vfat", "iso9660", "nfs4" ...
    std::string Label;       // the file system's label, "" when it has none
    TVolumeKind Kind = TVolumeKind::Fixed;
};

// The volumes of a mount table's text (the /proc/self/mounts format:
// device, mount point, type, options, with \040-style octal escapes), in
// the table's order, each mount point once (the last mount over it wins).
// LabelOf maps a device to its label ("" for none); nullptr means no labels.
std::vector<TMountedVolume> ParseMountTable(const std::string& Text,
                                            std::string (*LabelOf)(const std::string& Device) = nullptr);

// The volumes mounted now, labels from /dev/disk/by-label. The mount table
// read is /proc/self/mounts unless SetMountTableFile named another file
// (tests); an unreadable table gives "/" alone.
std::vector<TMountedVolume> GetMountedVolumes();
void SetMountTableFile(const std::string& Path);

// The volume whose mount point is the longest prefix of an absolute path
// (never fails for an absolute path: "/" is always a volume).
TMountedVolume VolumeOfPath(const std::vector<TMountedVolume>& Volumes, const std::string& Path);

// The name the Computer folder shows: the label, else the mount point's last
// name, "File System" for "/".
std::string VolumeDisplayName(const TMountedVolume& Volume);
