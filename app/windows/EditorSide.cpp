#include "app/windows/EditorSide.h"

#include "app/core/AppData.h"
#include "app/core/DVDPlugIn.h"
#include "app/core/ErrorReport.h"
#include "app/core/EventsLog.h"
#include "app/windows/MainForm.h"
#include "app/windows/PreviewPanel.h"

TEditorSide::TEditorSide()
    : SelectedRow([] { return MainForm && MainForm->sgList ? MainForm->sgList->Row() : 0; }),
      ShowMessage([](const std::string& m) {
          if (MainForm && MainForm->SkinMessage)
              MainForm->SkinMessage->MessageDlg(m, mtError, TMsgDlgButtons{mbOK}, 0);
      }),
      ReportError([](const std::string& m, const std::string& mark) { SendErrorReport(m, mark); }),
      PrimaryButtonDown(IsPrimaryMouseButtonDown)
{
}

TMediaFile* TEditorSide::CurrentItem()
{
    auto& files = App().MediaFiles;
    const int row = SelectedRow ? SelectedRow() : 0;
    if (row < 1 || row > static_cast<int>(files.size()))
        return nullptr;
    return &files[static_cast<std::size_t>(row - 1)];
}

std::string TEditorSide::CurrentSource()
{
    const TMediaFile* item = CurrentItem();
    if (!item)
        return {};
    if (App().MediaMode == 1)
        return item->DVDTitleInfo ? DVDTitleSource(DVDPath, *item->DVDTitleInfo) : std::string();
    return item->Source;
}

void TEditorSide::Report(const std::string& Message, const std::string& Mark)
{
    AddLogLine(Message);
    if (ReportError)
        ReportError(Message, Mark);
}

void TEditorSide::Say(const std::string& Message)
{
    if (ShowMessage)
        ShowMessage(Message);
}
