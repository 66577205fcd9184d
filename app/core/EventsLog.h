#pragma once
// The two running records of the program: the events log (what happened,
// for the user; the log window shows it) and the history (the media
// engine's own messages, only mailed with an error report).
#include <string>

class TFFLogger;
class TObject;

// Appends "<time>-> Text" to the events log, the time in the long time format.
void AddLogLine(const std::string& Text);
// Appends Text as it stands (an empty line, a library's error text).
void AddUntimedLogLine(const std::string& Text);
// The history line of one engine message: "#<thread>.<level>: <message>".
std::string HistoryLine(unsigned ThreadID, int Level, const std::string& Message);
// The logger's OnLog handler: appends the history line.
void FFLoggerLog(TObject* Sender, unsigned AThreadID, int ALogLevel, const std::string& ALogMsg);
// Makes Logger feed the history (its events arrive in the main thread).
void ConnectHistory(TFFLogger* Logger);
