#include "engine/common/AboutBox.h"

#include "engine/common/FFBaseComponent.h"
#include "platform/gdi/Text.h"
#include "platform/gui/CustomControl.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"

const char* const EngineLibraryName = "Tarnello media engine";

namespace {

// The box's one push button: default and cancel at once, so Enter and
// Escape close the box as a click does.
class TAboutOkButton : public TCustomControl {
public:
    explicit TAboutOkButton(TComponent* AOwner) : TCustomControl(AOwner)
    {
        SetTabStop(true);
        FColor = clBtnFace;
        FParentColor = false;
        SetCaption("OK");
    }
    void Click() override
    {
        if (TCustomForm* f = GetParentForm(this))
            f->SetModalResult(mrOk);
        TCustomControl::Click();
    }
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg == CM_DIALOGKEY && (Message.WParam == VK_RETURN || Message.WParam == VK_ESCAPE)) {
            Click();
            Message.Result = 1;
            return;
        }
        if (Message.Msg == WM_GETDLGCODE) {
            Message.Result = DLGC_DEFPUSHBUTTON;
            return;
        }
        if (Message.Msg == WM_KEYDOWN && (Message.WParam == VK_SPACE || Message.WParam == VK_RETURN)) {
            Click();
            return;
        }
        TCustomControl::WndProc(Message);
    }

protected:
    void Paint() override
    {
        TRect r = ClientRect();
        Canvas()->Brush()->SetColor(clBtnFace);
        Canvas()->Pen()->SetColor(clBtnShadow);
        Canvas()->Rectangle(r);
        Canvas()->Brush()->SetStyle(bsClear);
        RECT tr = r;
        Canvas()->Refresh();
        DrawText(Canvas()->Handle(), Caption().c_str(), -1, &tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
};

TLabel* AddLine(TCustomForm* AForm, const std::string& AText, int ATop)
{
    auto* l = new TLabel(AForm);
    l->SetParent(AForm);
    l->SetCaption(AText);
    l->SetBounds(16, ATop, 228, 18);
    return l;
}

}  // namespace

TCustomForm* CreateAboutBox(TComponent* AOwner, const std::string& AVersion)
{
    auto* f = new TForm(AOwner);
    f->SetCaption("About");
    f->SetBorderStyle(bsDialog);
    f->SetPosition(poScreenCenter);
    f->SetClientWidth(260);
    f->SetClientHeight(112);
    AddLine(f, EngineLibraryName, 14);
    AddLine(f, "Version " + AVersion, 36);
    auto* ok = new TAboutOkButton(f);
    ok->SetParent(f);
    ok->SetBounds(92, 72, 75, 25);
    f->SetActiveControl(ok);
    return f;
}

void TFFBaseComponent::ShowAbout()
{
    TCustomForm* box = CreateAboutBox(nullptr, Version());
    try {
        box->ShowModal();
    } catch (...) {
        box->Free();
        throw;
    }
    box->Free();
}
