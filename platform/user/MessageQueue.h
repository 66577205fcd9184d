#pragma once
// One message queue per GUI thread (made on the thread's first use).
//
// Retrieval order in PeekMessage/GetMessage: messages sent from other
// threads are run first (they are never returned); then posted messages in
// order; then input (mouse and keyboard, turned into window messages when
// retrieved, so that a click goes where the windows are at that moment);
// then WM_QUIT once PostQuitMessage was called; only when none of those
// waits, WM_PAINT for the first window that needs painting (parents before
// their children, front windows first); and last WM_TIMER for the earliest
// due timer. Overdue ticks of a timer coalesce into one message.
//
// SendMessage to a window of the calling thread calls its procedure at once;
// to another thread's window it waits for that thread to run it, meanwhile
// running messages sent to the caller, so two threads sending to each other
// do not dead-lock. A window destroyed before its turn answers 0.
//
// The main thread's waits also return for calls handed over with
// TThread::Synchronize/Queue, and its PeekMessage/GetMessage run them.
#include "platform/rtl/SyncObjs.h"
#include "platform/user/UserTypes.h"

LRESULT SendMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Gives up after timeoutMs (on the replaceable clock); result 0 then.
LRESULT SendMessageTimeout(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT flags, UINT timeoutMs,
                           DWORD_PTR* result);
// Does not wait for a window of another thread.
BOOL SendNotifyMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL PostMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL PostThreadMessage(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);

BOOL PeekMessage(MSG* msg, HWND wnd, UINT filterMin, UINT filterMax, UINT removeMsg);
// Returns 0 for WM_QUIT, -1 for an invalid window filter, else 1.
BOOL GetMessage(MSG* msg, HWND wnd, UINT filterMin, UINT filterMax);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessage(const MSG* msg);
BOOL WaitMessage();
DWORD GetQueueStatus(UINT flags);
BOOL InSendMessage();
DWORD GetMessageTime();
DWORD GetMessagePos();

// Messages registered by name: the same name gives the same number
// (0xC000 .. 0xFFFF) for the life of the program.
UINT RegisterWindowMessage(const char* name);

// Waits for one of the events or for queue input of the given kinds (QS_*).
// Returns WAIT_OBJECT_0 + i for event i, WAIT_OBJECT_0 + count for input
// (or a call handed to the main thread), WAIT_TIMEOUT otherwise.
DWORD MsgWaitForMultipleObjects(DWORD count, TEvent* const* events, BOOL waitAll, DWORD timeoutMs, DWORD wakeMask);

// Timers: intervals below 10 ms (0 included) run at 10 ms. A timer with a
// window answers to (window, id); SetTimer with the same pair replaces it.
// Without a window the id is chosen by the system and returned.
UINT_PTR SetTimer(HWND wnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc);
BOOL KillTimer(HWND wnd, UINT_PTR id);
constexpr UINT USER_TIMER_MINIMUM = 10;
