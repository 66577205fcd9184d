#pragma once
// The ring of events a player hands to its delivery thread: positions and
// state changes. A new event replaces the newest pending one of the same
// kind, so positions and quick state changes coalesce; ten slots hold at most
// nine pending events, and a tenth drops the oldest.
#include <condition_variable>
#include <cstdint>
#include <mutex>

enum TPlayEventKind { pekNone = 0, pekPosition = 1, pekState = 2, pekEnd = 3 };

struct TPlayEventItem {
    int Kind = pekNone;
    int64_t Value = 0;
};

class TPlayEvent {
public:
    static constexpr int Slots = 10;
    void Push(int AKind, int64_t AValue);
    // The oldest pending event; Kind pekNone when the ring is empty.
    TPlayEventItem Pop();
    // Waits up to AMilliseconds for a pending event; True when one is there.
    bool Wait(int AMilliseconds);
    int Pending();
    void Clear();

private:
    std::mutex Lock;
    std::condition_variable Event;
    int Header = 0;  // next slot to read
    int Tailer = 0;  // next slot to write
    TPlayEventItem Events[Slots];
};
