#pragma once
// Watches one folder (and, on request, every folder below it) and runs the
// owner's handler in the main thread on each change. One worker thread per
// notifier, started when a handler is first given, on inotify.
#include "platform/classes/Component.h"
#include "platform/classes/PropertyTables.h"
#include "platform/classes/Sets.h"
#include "platform/rtl/Threads.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

enum TNotifyFilter { nfFileNameChange, nfDirNameChange, nfAttributeChange, nfSizeChange, nfWriteChange, nfSecurityChange };
ENUM_NAMES(TNotifyFilter, nfFileNameChange, nfDirNameChange, nfAttributeChange, nfSizeChange, nfWriteChange,
           nfSecurityChange)
using TNotifyFilters = TSet<TNotifyFilter>;

// The change-notification flags of a filter set (0x1, 0x2, 0x4, 0x8, 0x10,
// 0x100).
DWORD NotifyOptionFlags(TNotifyFilters Filters);

class TspCustomShellChangeNotifier;

class TspShellChangeThread : public TThread {
public:
    explicit TspShellChangeThread(TspCustomShellChangeNotifier* Owner);
    ~TspShellChangeThread() override;
    // Hands new options to the worker (it rebuilds its watches when it
    // wakes, which this causes). Generation tags the changes it reports.
    void SetDirectoryOptions(const std::string& Directory, bool WatchSubTree, DWORD NotifyOptionFlags,
                             unsigned Generation);
    // Terminates and wakes the worker.
    void Stop();

protected:
    void Execute() override;

private:
    void Wake();

    TspCustomShellChangeNotifier* FOwner;
    int FWakeFd = -1;
    std::mutex FLock;
    std::string FDirectory;
    bool FWatchSubTree = true;
    DWORD FNotifyOptionFlags = 0;
    unsigned FGeneration = 0;
    bool FWaitChanged = false;
};

class TspCustomShellChangeNotifier : public TComponent {
public:
    explicit TspCustomShellChangeNotifier(TComponent* AOwner);
    ~TspCustomShellChangeNotifier() override;

    TNotifyFilters NotifyFilters() const { return FFilters; }
    void SetNotifyFilters(TNotifyFilters Value);
    bool WatchSubTree() const { return FWatchSubTree; }
    void SetWatchSubTree(bool Value);
    // A folder path; a drive root ("C:\") means "/". Equal texts (letter
    // case aside) change nothing.
    const std::string& Root() const { return FRoot; }
    void SetRoot(const std::string& Value);
    const TThreadMethod& OnChange() const { return FOnChange; }
    void SetOnChange(TThreadMethod Value);

    bool Watching() const { return FThread != nullptr; }
    const TspShellChangeThread* Thread() const { return FThread.get(); }

private:
    friend class TspShellChangeThread;
    void Restart();
    // Runs in the main thread for a change the worker saw.
    void Deliver(unsigned Generation);

    TNotifyFilters FFilters{nfFileNameChange, nfDirNameChange};
    bool FWatchSubTree = true;
    std::string FRoot = "C:\\";
    std::unique_ptr<TspShellChangeThread> FThread;
    TThreadMethod FOnChange;
    std::atomic<unsigned> FGeneration{0};
    bool FDestroying = false;
};

class TspShellChangeNotifier : public TspCustomShellChangeNotifier {
public:
    using TspCustomShellChangeNotifier::TspCustomShellChangeNotifier;
    PUBLISHED(TspShellChangeNotifier, TComponent);
};

void RegisterShellNotifierClasses();
