#pragma once
// Queue operations that do not depend on the grid showing the queue:
// exchanging, removing and clearing items, the output-size estimate, and
// copying a font's look.
class TFont;

// Exchanges every field of items A and B; thumbnails stay in Thumbnails and
// follow their items through VideoThumbnailIndex.
void SwapMediaFiles(int A, int B);
// Removes item Index, keeping the order of the others; removing the only
// item clears the queue. Returns false when Index names no item.
bool RemoveMediaFile(int Index);
// Empties the queue and releases the thumbnails' pictures (the entries stay,
// so later thumbnails are appended after them).
void ClearMediaFiles();
// Sets the item's EstimatedSize in megabytes from its preset's bit rates and
// its whole trimmed seconds; leaves it unchanged when something cannot be
// read (no such item or preset, a rate that is no number, 24 hours or more).
void EstimateOutputSize(int Index);
// Copies colour, height, name, orientation, pitch, size and style.
void CopyFont(const TFont* Source, TFont* Destination);
