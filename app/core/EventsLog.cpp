#include "app/core/EventsLog.h"

#include "app/core/AppData.h"
#include "engine/common/FFLog.h"
#include "platform/classes/StringList.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/SysUtils.h"

void AddLogLine(const std::string& Text) { App().EventsLog->Add(FormatDateTime(LongTimeFormat, Now()) + "-> " + Text); }

void AddUntimedLogLine(const std::string& Text) { App().EventsLog->Add(Text); }

std::string HistoryLine(unsigned ThreadID, int Level, const std::string& Message)
{
    return "#" + UIntToStr(ThreadID) + "." + IntToStr(Level) + ": " + Message;
}

void FFLoggerLog(TObject*, unsigned AThreadID, int ALogLevel, const std::string& ALogMsg)
{
    App().HistoryList->Add(HistoryLine(AThreadID, ALogLevel, ALogMsg));
}

namespace {
void HistoryFeed(void*, TObject* Sender, Cardinal AThreadID, TLogLevel ALogLevel, const std::string& ALogMsg)
{
    FFLoggerLog(Sender, AThreadID, static_cast<int>(ALogLevel), ALogMsg);
}
}  // namespace

void ConnectHistory(TFFLogger* Logger)
{
    if (!Logger)
        return;
    Logger->SetTriggerEventInMainThread(true);
    Logger->SetOnLog(TLogEvent::Bind(nullptr, &HistoryFeed));
}
