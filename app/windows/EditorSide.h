#pragma once
// What the trim and edit windows share of their surroundings: the queue row
// they work on (1-based, row 0 being the grid's header), where messages and
// error reports go, the primary-button test and the DVD the titles come
// from. Each has a working default; tests replace them.
#include <functional>
#include <string>

struct TMediaFile;

class TEditorSide {
public:
    TEditorSide();

    std::function<int()> SelectedRow;
    std::function<void(const std::string&)> ShowMessage;
    std::function<void(const std::string& Message, const std::string& Mark)> ReportError;
    std::function<bool()> PrimaryButtonDown;
    std::string DVDPath;

    // The item of the row, or null when the row names none.
    TMediaFile* CurrentItem();
    // What the players open: the item's file, or its DVD title's source text.
    std::string CurrentSource();
    // An error report with the events log's line.
    void Report(const std::string& Message, const std::string& Mark);
    void Say(const std::string& Message);
};
