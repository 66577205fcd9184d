#pragma once
// The one road by which engine events reach the main thread, and the message
// pumping that every wait of the main thread for a worker does meanwhile.
#include <functional>

// Serves one pending main-thread request; False when none was waiting.
bool ProcessOneMessage();
// Serves pending requests until none is left.
void PumpMessages();
// Runs AMethod in the main thread: directly there, through the platform's
// synchronisation from any other thread (the caller waits until it has run).
void RunInMainThread(const std::function<void()>& AMethod);
