#pragma once
// The shell's icons: two image lists (16 and 32 pixels) holding one picture
// per kind of item, and SHGetFileInfoW, which tells the kind of an item (by
// its absolute list or its path) as an index into them. The pictures are
// PNG strips drawn by tools/skingen ("shellicons16.png", "shellicons32.png",
// the kinds side by side in the order below) and read from the folder given
// to SetShellIconFolder; without them the lists hold blank pictures, so an
// index is always valid. No icon theme or MIME database is asked: neither
// matches the skin, and the pictures would differ from machine to machine.
#include "platform/shell/ShellTypes.h"

#include <string>

class TCustomImageList;

// The kinds, in the strips' order.
enum TShellIconKind {
    siFolder, siFolderOpen, siDesktop, siComputer, siHome, siDocuments, siDownloads, siMusic, siPictures, siVideos,
    siVolumeRoot, siVolumeFixed, siVolumeRemovable, siVolumeOptical, siVolumeNetwork,
    siFileVideo, siFileAudio, siFilePicture, siFileText, siFileOther,
    siShellIconCount
};

// The strips' file names.
inline constexpr const char* ShellIconFile16 = "shellicons16.png";
inline constexpr const char* ShellIconFile32 = "shellicons32.png";

// The folder the strips are read from; the lists are read again on next use.
void SetShellIconFolder(const std::string& Folder);
// The shared image list of the size (16 or 32 pixels); never freed by callers.
TCustomImageList* ShellImageList(bool Large);

// The picture of a file by its name's extension (case-insensitive).
TShellIconKind FileIconKind(const std::string& FileName);
// The picture of an absolute list (a folder's open picture with Open).
TShellIconKind ItemIconKind(LPCITEMIDLIST AbsoluteID, bool Open);

constexpr UINT SHGFI_LARGEICON = 0x0;
constexpr UINT SHGFI_SMALLICON = 0x1;
constexpr UINT SHGFI_OPENICON = 0x2;
constexpr UINT SHGFI_PIDL = 0x8;
constexpr UINT SHGFI_SYSICONINDEX = 0x4000;

struct SHFILEINFOW {
    int iIcon = 0;
    DWORD dwAttributes = 0;
};

// Path is a UTF-16 path, or with SHGFI_PIDL an absolute list. With
// SHGFI_SYSICONINDEX the result is the image list (a TCustomImageList*) and
// iIcon the picture's index; otherwise 1 on success. 0 when the item cannot
// be told (a path that does not exist; a list this namespace did not make).
// Nothing is opened: a FIFO or device is only stat'ed.
DWORD_PTR SHGetFileInfoW(const WCHAR* Path, DWORD FileAttributes, SHFILEINFOW* Info, UINT InfoSize, UINT Flags);
