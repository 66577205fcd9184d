#include "app/windows/LogForm.h"

#include "app/core/AppData.h"
#include "app/core/Translation.h"
#include "app/windows/MainForm.h"
#include "platform/classes/StringList.h"

TLogForm* LogForm = nullptr;

std::string_view TLogForm::FormDescription()
{
    return R"(object LogForm: TLogForm
  Left = 0
  Top = 0
  BorderStyle = bsDialog
  BorderIcons = []
  ClientWidth = 400
  ClientHeight = 304
  Caption = 'Events Log'
  Position = poScreenCenter
  OnCreate = FormCreate
  OnShow = FormShow
  object spDynamicSkinForm1: TspFormSkinner
    PositionInMonitor = sppDefault
    BorderIcons = []
  end
  object mmoLog: TspSkinMemo
    Left = 8
    Top = 14
    Width = 384
    Height = 243
    Anchors = [akLeft, akTop, akRight, akBottom]
    ReadOnly = True
    ScrollBars = ssBoth
  end
  object spSkinButton4: TspSkinButton
    Left = 312
    Top = 270
    Width = 80
    Height = 25
    Anchors = [akRight, akBottom]
    Caption = 'OK'
    ModalResult = 2
  end
end
)";
}

void TLogForm::FormCreate(TObject*)
{
    UseMainWindowSkin(this);
    SetCaption(TranslateText("Events Log"));
}

void TLogForm::FormShow(TObject*) { FillLog(); }

void TLogForm::FillLog()
{
    const TStringList* log = App().EventsLog.get();
    if (log)
        mmoLog->Lines()->Assign(const_cast<TStringList*>(log));
    else
        mmoLog->Lines()->Clear();
}

void TLogForm::DeclarePublished(TPublisher<TLogForm>& P)
{
    P.Member("spDynamicSkinForm1", &TLogForm::spDynamicSkinForm1);
    P.Member("mmoLog", &TLogForm::mmoLog);
    P.Member("spSkinButton4", &TLogForm::spSkinButton4);
    P.Handler("FormCreate", &TLogForm::FormCreate);
    P.Handler("FormShow", &TLogForm::FormShow);
}
