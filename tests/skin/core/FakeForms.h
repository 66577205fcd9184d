#pragma once
// A stand-in for the window system in skin tests: a list of forms, the
// messages they receive in order, and a cursor table that records loads.
#include "skin/core/SkinData.h"
#include "skin/core/SkinSeams.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace tarnello::test {

struct SentMessage {
    HWND Handle;
    UINT Msg;
    bool Empty;                  // the skin data's state when it arrived
    bool ChangeSkinDataProcess;
    bool operator==(const SentMessage&) const = default;
};

class FakeFormSystem : public TspSkinFormSystem {
public:
    FakeFormSystem() { FPrevious = SetSkinFormSystem(this); }
    ~FakeFormSystem() override { SetSkinFormSystem(FPrevious); }

    std::vector<TspSkinFormEntry> Forms() override { return FormList; }
    HWND FormHandle(TComponent* Component) override { return Component == OwnerForm ? OwnerHandle : nullptr; }
    LRESULT SendMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) override
    {
        auto* data = reinterpret_cast<TspSkinData*>(WParam);
        Sent.push_back({Wnd, Msg, data->Empty, data->ChangeSkinDataProcess});
        EXPECT_EQ(LParam, 1000);
        if (OnSend)
            OnSend(Wnd, Msg);
        return 0;
    }

    static HWND H(std::uintptr_t n) { return reinterpret_cast<HWND>(n); }
    std::vector<UINT> Messages() const
    {
        std::vector<UINT> m;
        for (const auto& s : Sent)
            m.push_back(s.Msg);
        return m;
    }

    std::vector<TspSkinFormEntry> FormList;
    TComponent* OwnerForm = nullptr;
    HWND OwnerHandle = nullptr;
    std::vector<SentMessage> Sent;
    std::function<void(HWND, UINT)> OnSend;

private:
    TspSkinFormSystem* FPrevious;
};

class FakeCursorTable : public TspSkinCursorTable {
public:
    FakeCursorTable() { FPrevious = SetSkinCursorTable(this); }
    ~FakeCursorTable() override { SetSkinCursorTable(FPrevious); }
    void LoadCursorFromFile(int Index, const std::string& FileName) override { Loads.push_back({Index, FileName}); }
    std::vector<std::pair<int, std::string>> Loads;

private:
    TspSkinCursorTable* FPrevious;
};

}  // namespace tarnello::test
