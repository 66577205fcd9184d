#include "app/windows/ProfilePickerForm.h"

#include "app/core/AppData.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Graphics.h"
#include "platform/rtl/Exceptions.h"
#include "skin/lists/SkinLists.h"

Tproform* proform = nullptr;

Tproform::Tproform(TComponent* AOwner) : TForm(AOwner)
{
    if (!proform)
        proform = this;
}

Tproform::~Tproform()
{
    FPicker.reset();
    if (proform == this)
        proform = nullptr;
}

std::string_view Tproform::FormDescription()
{
    return R"(object proform: Tproform
  Left = 300
  Top = 200
  BorderStyle = bsNone
  ClientWidth = 500
  ClientHeight = 470
  Visible = False
  OnCreate = FormCreate
  OnShow = FormShow
  OnHide = FormHide
  OnDeactivate = FormDeactivate
  object Shape1: TShape
    Left = 0
    Top = 0
    Width = 500
    Height = 470
    Align = alClient
  end
  object Shape2: TShape
    Left = 147
    Top = 1
    Width = 1
    Height = 468
  end
  object sgProfiles: TspSkinStringGrid
    Left = 1
    Top = 1
    Width = 146
    Height = 468
  end
  object sgFormats: TspSkinStringGrid
    Left = 148
    Top = 1
    Width = 351
    Height = 468
  end
  object ProfileChangeDelayTimer: TTimer
    Enabled = False
    Interval = 500
  end
end
)";
}

void Tproform::RegisterClasses()
{
    RegisterSkinListsClasses();
    ::RegisterClasses<TShape, TTimer>();
}

void Tproform::DeclarePublished(TPublisher<Tproform>& P)
{
    P.Member("Shape1", &Tproform::Shape1);
    P.Member("Shape2", &Tproform::Shape2);
    P.Member("sgProfiles", &Tproform::sgProfiles);
    P.Member("sgFormats", &Tproform::sgFormats);
    P.Member("ProfileChangeDelayTimer", &Tproform::ProfileChangeDelayTimer);
    P.Handler("FormCreate", &Tproform::FormCreate);
    P.Handler("FormShow", &Tproform::FormShow);
    P.Handler("FormHide", &Tproform::FormHide);
    P.Handler("FormDeactivate", &Tproform::FormDeactivate);
}

void Tproform::FormCreate(TObject*)
{
    const TColor frame = static_cast<TColor>(0xCC9D6C);
    Shape1->Brush()->SetColor(clWhite);
    Shape1->Pen()->SetColor(frame);
    Shape2->Pen()->SetColor(frame);
    FPicker = std::make_unique<TProfilePicker>(sgProfiles, sgFormats, ProfileChangeDelayTimer);
    FPicker->SetUpGrids();
    // Missing arrow pictures leave the rows without arrows.
    const std::string folder = App().ProgramFolder + "skin-new/";
    auto load = [&](std::unique_ptr<TPicture>& pic, const char* name) -> TGraphic* {
        pic = std::make_unique<TPicture>();
        try {
            pic->LoadFromFile(folder + name);
        } catch (const Exception&) {
            return nullptr;
        }
        return pic->Graphic();
    };
    FPicker->imgArrow = load(FArrow, "imgarrow.png");
    FPicker->imgArrowOver = load(FArrowOver, "imgarrow_over.png");
}

void Tproform::FormShow(TObject* Sender) { FPicker->FormShow(Sender); }

void Tproform::FormHide(TObject* Sender) { FPicker->FormHide(Sender); }

void Tproform::FormDeactivate(TObject*)
{
    Hide();
    if (ReturnFocusTo && ReturnFocusTo->CanFocus())
        ReturnFocusTo->SetFocus();
}
