#include "skin/core/SkinScreenSeams.h"

#include "platform/gui/Forms.h"

namespace {

class TScreenFormSystem final : public TspSkinFormSystem {
public:
    std::vector<TspSkinFormEntry> Forms() override
    {
        std::vector<TspSkinFormEntry> list;
        int n = Screen->CustomFormCount();
        list.reserve(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) {
            TCustomForm* f = Screen->CustomForms(i);
            if (f->ComponentState().Contains(csDestroying))
                continue;
            list.push_back({f->Handle(), f->ClassName()});
        }
        return list;
    }
    HWND FormHandle(TComponent* Component) override
    {
        auto* f = dynamic_cast<TCustomForm*>(Component);
        return f && !f->ComponentState().Contains(csDestroying) ? f->Handle() : nullptr;
    }
    LRESULT SendMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) override
    {
        return IsWindow(Wnd) ? ::SendMessage(Wnd, Msg, WParam, LParam) : 0;
    }
};

class TScreenCursorTable final : public TspSkinCursorTable {
public:
    void LoadCursorFromFile(int Index, const std::string& FileName) override
    {
        // A cursor that cannot be read leaves the slot without one.
        HCURSOR c = ::LoadCursorFromFile(FileName.c_str());
        Screen->SetCursors(Index, c);
    }
};

TScreenFormSystem gForms;
TScreenCursorTable gCursors;

}  // namespace

TspSkinFormSystem* ScreenSkinFormSystem() { return &gForms; }
TspSkinCursorTable* ScreenSkinCursorTable() { return &gCursors; }

void InstallScreenSkinSeams()
{
    SetSkinFormSystem(&gForms);
    SetSkinCursorTable(&gCursors);
}
