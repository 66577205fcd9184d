#pragma once
// The per-thread message queue record (internal to platform/user).
#include "platform/user/WindowObject.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>

struct TSentMessage {
    HWND Wnd = nullptr;
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
    bool Done = false;
    bool NoReply = false;  // SendNotifyMessage: nobody waits
    std::shared_ptr<TThreadQueue> Sender;
};

struct TTimerRec {
    HWND Wnd = nullptr;
    UINT_PTR Id = 0;
    DWORD Interval = 0;
    std::uint64_t Due = 0;
    TIMERPROC Proc = nullptr;
};

struct TThreadQueue {
    DWORD ThreadId = 0;
    std::mutex Lock;
    std::condition_variable Cv;
    std::deque<std::shared_ptr<TSentMessage>> Sent;
    std::deque<MSG> Posted;
    std::deque<MSG> Input;
    bool QuitPosted = false;
    int QuitCode = 0;
    bool Woken = false;
    bool Alive = true;
    std::vector<TTimerRec> Timers;  // owner thread only
    UINT_PTR NextTimerId = 0x7FF0;
    int PaintCount = 0;              // windows of this thread needing WM_PAINT
    int SendDepth = 0;               // InSendMessage
    HWND Active = nullptr;
    HWND Focus = nullptr;
    MSG Last{};
};

// A redraw asked for by another thread, carried out by the window's own
// thread when its queue is read (never seen by the program).
constexpr UINT WM_INTERNAL_REDRAW = 0xFFFE;
struct TDeferredRedraw {
    bool HasRect = false;
    RECT Rect{};
    bool HasRegion = false;
    TRegion Region;
    UINT Flags = 0;
};

// Runs fn in the thread that owns w (at once when that is the caller) and
// returns its result; 0 when that thread ends first. Window state belongs to
// its thread, so placement and visibility changes asked for by other
// threads travel this way, as sent messages do.
constexpr UINT WM_INTERNAL_CALL = 0xFFFD;
LRESULT RunInWindowThread(TWnd* w, const std::function<LRESULT()>& fn);

// The calling thread's queue, made on first use.
TThreadQueue& CurrentQueue();
std::shared_ptr<TThreadQueue> CurrentQueuePtr();
// The queue of a thread, or null when it has none.
std::shared_ptr<TThreadQueue> QueueOfThread(DWORD threadId);
// Wakes every queue's wait (new raw input).
void WakeAllQueues();
void WakeQueue(TThreadQueue& q);
// Runs messages sent to this thread by other threads; true when any ran.
bool RunSentMessages(TThreadQueue& q);
// Drops the window's timers and posted messages (the window is going away).
void PurgeWindowFromQueue(TWnd* w);
// Input: turns the next raw input event into messages of its target thread;
// false when there is none.
bool ConvertNextInput(TThreadQueue& q);
bool RawInputPending();
// Idle work before a thread waits: shows what was drawn through device
// contexts that are still open (a canvas may keep its DC between paints).
void UserIdleFlush();
