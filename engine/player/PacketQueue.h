#pragma once
// A thread-safe queue of compressed packets from the read thread to one
// decoder. A flush marker (after a seek) tells the decoder to drop what it
// holds. Queued packets own their data (moved in, never copied); the packet
// records are recycled, so a steady stream costs no allocation per packet.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

struct AVPacket;

class TPacketQueue {
public:
    TPacketQueue() = default;
    TPacketQueue(const TPacketQueue&) = delete;
    TPacketQueue& operator=(const TPacketQueue&) = delete;
    ~TPacketQueue();

    // Takes APacket's reference (APacket is left blank). -1 when aborted or
    // out of memory.
    int Put(AVPacket* APacket);
    // An empty packet: the decoder drains at the end of the input.
    int PutEmpty();
    // A flush marker carrying the serial of the seek it belongs to: the
    // decoder numbers what it decodes after it, so pictures of an earlier
    // place are told from those of the new one.
    int PutFlush(int ASerial = 0);
    // 1 with a packet moved into APacket (AFlush tells a flush marker, with
    // its serial in ASerial), 0 when none is queued and ABlock is False, -1
    // when aborted.
    int Get(AVPacket* APacket, bool ABlock, bool& AFlush, int* ASerial = nullptr);
    void Flush();
    void Abort();
    // Clears the abort flag (a new stream).
    void Start();
    bool Aborted();
    int Count();
    int Size();

private:
    struct TNode {
        AVPacket* Packet;  // null for a flush marker
        int Serial = 0;    // a flush marker's
    };
    AVPacket* TakeRecord();
    void Recycle(AVPacket* APacket);
    std::mutex Mutex;
    std::condition_variable Cond;
    std::deque<TNode> Nodes;
    std::vector<AVPacket*> Free;
    int FCount = 0;
    int FSize = 0;  // data bytes plus one node per packet
    bool FAbort = false;
};
