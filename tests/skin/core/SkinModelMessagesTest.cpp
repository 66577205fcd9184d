// Skin-change messages: who is told, in which order, with which state, and
// which setters tell.
#include "skin/core/ResourceStrData.h"
#include "skin/core/SkinData.h"

#include "FakeForms.h"

#include <gtest/gtest.h>

using namespace tarnello::test;

namespace {

struct OrderCase {
    const char* Name;
    bool ShowLayeredBorders;
    int LayerFramePicture;
    bool OwnerIsForm;
    std::vector<std::uintptr_t> Expected;
};

// Forms in screen order: 1, owner (2), a layered border window (3), 4.
TEST(SkinModelMessages, WalkOrder)
{
    const OrderCase cases[] = {
        {"owner first", false, -1, true, {2, 1, 4}},
        {"owner first, layer frame ignored without layered borders", false, 0, true, {2, 1, 4}},
        {"layered borders, no layer frame: screen order", true, -1, true, {1, 2, 4}},
        {"layered borders and a layer frame: backwards", true, 0, true, {4, 2, 1}},
        {"owner no form", false, -1, false, {1, 2, 4}},
    };
    for (const auto& c : cases) {
        FakeFormSystem forms;
        TComponent owner(nullptr);
        forms.FormList = {{FakeFormSystem::H(1), "TMainForm"},
                          {FakeFormSystem::H(2), "TOwnerForm"},
                          {FakeFormSystem::H(3), "TspFormLayerWindow"},
                          {FakeFormSystem::H(4), "TOtherForm"}};
        forms.OwnerForm = c.OwnerIsForm ? &owner : nullptr;
        forms.OwnerHandle = FakeFormSystem::H(2);
        TspSkinData data(&owner);
        data.SetShowLayeredBorders(c.ShowLayeredBorders);
        forms.Sent.clear();
        data.LayerFrame->PictureIndex = c.LayerFramePicture;
        data.SendSkinDataMessage(WM_SKINCHANGED);
        std::vector<std::uintptr_t> got;
        for (const auto& s : forms.Sent) {
            got.push_back(reinterpret_cast<std::uintptr_t>(s.Handle));
            EXPECT_EQ(s.Msg, WM_SKINCHANGED);
        }
        EXPECT_EQ(got, c.Expected) << c.Name;
    }
}

TEST(SkinModelMessages, HandlesAreCollectedBeforeTheFirstSend)
{
    FakeFormSystem forms;
    forms.FormList = {{FakeFormSystem::H(1), "A"}, {FakeFormSystem::H(2), "B"}};
    forms.OnSend = [&](HWND h, UINT) {
        if (h == FakeFormSystem::H(1)) {
            forms.FormList.erase(forms.FormList.begin() + 1);  // a receiver closes a form
            forms.FormList.push_back({FakeFormSystem::H(9), "C"});
        }
    };
    TspSkinData data(nullptr);
    data.SendSkinDataMessage(WM_SKINBEFORECHANGE);
    ASSERT_EQ(forms.Sent.size(), 2u);
    EXPECT_EQ(forms.Sent[1].Handle, FakeFormSystem::H(2));
}

TEST(SkinModelMessages, BuildModeSendsNothing)
{
    FakeFormSystem forms;
    forms.FormList = {{FakeFormSystem::H(1), "A"}};
    TspSkinData data(nullptr);
    data.BuildMode = true;
    data.ClearSkin();
    data.SetAeroBlurEnabled(false);
    EXPECT_TRUE(forms.Sent.empty());
}

TEST(SkinModelMessages, ClearSkinTellsWithAnEmptySkin)
{
    FakeFormSystem forms;
    forms.FormList = {{FakeFormSystem::H(1), "A"}};
    TspSkinData data(nullptr);
    data.Empty = false;
    data.ClearSkin();
    const std::vector<SentMessage> expected{{FakeFormSystem::H(1), WM_SKINBEFORECHANGE, true, false},
                                            {FakeFormSystem::H(1), WM_SKINCHANGED, true, false},
                                            {FakeFormSystem::H(1), WM_SKINCHANGEDMDI, true, false}};
    EXPECT_EQ(forms.Sent, expected);
}

TEST(SkinModelMessages, SettersTellOnlyOnChangeAndNotWhileLoading)
{
    FakeFormSystem forms;
    forms.FormList = {{FakeFormSystem::H(1), "A"}};
    TspSkinData data(nullptr);
    data.SetAeroBlurEnabled(true);       // unchanged
    data.SetShowLayeredBorders(true);    // unchanged
    data.SetSkinnableForm(true);         // unchanged
    EXPECT_TRUE(forms.Sent.empty());
    data.SetAeroBlurEnabled(false);
    data.SetShowLayeredBorders(false);
    data.SetSkinnableForm(false);
    EXPECT_EQ(forms.Messages(), (std::vector<UINT>{WM_AEROBLURCHANGED, WM_LAYEREDBORDERSCHANGED,
                                                   WM_SKINNABLEFORMCHANGED}));
    forms.Sent.clear();
    data.IncludeState(csLoading);
    data.SetAeroBlurEnabled(true);
    data.SetSkinnableForm(true);
    data.ExcludeState(csLoading);
    EXPECT_TRUE(forms.Sent.empty());
    EXPECT_TRUE(data.AeroBlurEnabled());

    TspResourceStrData strings(nullptr);
    data.SetResourceStrData(&strings);
    data.SetResourceStrData(&strings);  // the same table again still tells
    EXPECT_EQ(forms.Messages(), (std::vector<UINT>{WM_SKINRESSTRCHANGED, WM_SKINRESSTRCHANGED}));
}

TEST(SkinModelMessages, FreedStringTableIsForgotten)
{
    TspSkinData data(nullptr);
    auto* strings = new TspResourceStrData(nullptr);
    data.SetResourceStrData(strings);
    strings->Free();
    EXPECT_EQ(data.ResourceStrData(), nullptr);
}

}  // namespace
