#include "app/core/AppData.h"

#include "engine/encoder/FFEncode.h"

#include "platform/classes/StringList.h"
#include "platform/gui/Graphics.h"

void TFontDeleter::operator()(TFont* f) const { delete f; }
void TPictureDeleter::operator()(TPicture* p) const { delete p; }
void TBitmapDeleter::operator()(TBitmap* b) const { delete b; }

int TMediaFile::AudioStreamIndex() const
{
    if (AudioTrackIndex < 0 || AudioTrackIndex >= static_cast<int>(AudioTracks.size()))
        return 0;
    const std::string& entry = AudioTracks[static_cast<std::size_t>(AudioTrackIndex)];
    const std::size_t hash = entry.find('#');
    if (hash == std::string::npos)
        return 0;
    // The digits right after the mark; anything else reads as stream 0.
    long value = 0;
    for (std::size_t i = hash + 1; i < entry.size() && entry[i] >= '0' && entry[i] <= '9'; ++i) {
        value = value * 10 + (entry[i] - '0');
        if (value > 0x7FFFFFFF)
            return 0;
    }
    return static_cast<int>(value);
}

TApplicationData::TApplicationData()
    : DownloadedFiles(std::make_unique<TStringList>()),
      HistoryList(std::make_unique<TStringList>()),
      EventsLog(std::make_unique<TStringList>())
{
    HistoryList->Add("HISTORY:");
}

TApplicationData::~TApplicationData() = default;

namespace {
std::unique_ptr<TApplicationData>& Instance()
{
    static std::unique_ptr<TApplicationData> instance = std::make_unique<TApplicationData>();
    return instance;
}
}  // namespace

TApplicationData& App() { return *Instance(); }

void ResetApplicationData() { Instance() = std::make_unique<TApplicationData>(); }
