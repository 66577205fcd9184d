// The tree view wrapper headless: nodes made before and after the window,
// lazy children, selection events and their veto, label editing, sorting,
// custom draw of the selected node, scrolling through SB_ messages, deletion
// (also when the window drops items by itself) and nodes kept across
// RecreateWnd.
#include "platform/gui/TreeViews.h"
#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/rtl/SysUtils.h"
#include "tests/platform/gui/GuiTestCommon.h"

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

class GuiTreeViewTest : public GuiTest {
public:
    TCustomForm* Form = nullptr;
    TTreeView* Tree = nullptr;
    std::vector<std::string> Log;

    void Make(bool show = true, int height = 120)
    {
        Form = NewForm(10, 10, 320, 260);
        Tree = new TTreeView(Form);
        Tree->SetBounds(0, 0, 200, height);
        if (show) {
            Tree->SetParent(Form);
            Form->Show();
            Pump();
        }
    }
    // The texts of the native items in window order (children after their
    // parent), "-" before each level of depth.
    std::string NativeOrder()
    {
        std::string out;
        Walk(reinterpret_cast<HTREEITEM>(SendMessage(Tree->Handle(), TVM_GETNEXTITEM, TVGN_ROOT, 0)), 0, out);
        return out;
    }
    void Walk(HTREEITEM h, int depth, std::string& out)
    {
        for (; h; h = reinterpret_cast<HTREEITEM>(
                      SendMessage(Tree->Handle(), TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(h)))) {
            char buf[64] = {};
            TVITEM it;
            it.mask = TVIF_TEXT;
            it.hItem = h;
            it.pszText = buf;
            it.cchTextMax = sizeof(buf);
            SendMessage(Tree->Handle(), TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&it));
            out += (out.empty() ? "" : ",") + std::string(static_cast<std::size_t>(depth), '-') + buf;
            Walk(reinterpret_cast<HTREEITEM>(
                     SendMessage(Tree->Handle(), TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(h))),
                 depth + 1, out);
        }
    }
    std::string WrapperOrder()
    {
        std::string out;
        for (TTreeNode* n = Tree->Items()->GetFirstNode(); n; n = n->GetNext())
            out += (out.empty() ? "" : ",") + std::string(static_cast<std::size_t>(n->Level()), '-') + n->Text();
        return out;
    }

    // Handlers.
    void Changing(TObject*, TTreeNode* n, bool& allow)
    {
        Log.push_back("changing " + (n ? n->Text() : std::string("-")));
        allow = n == nullptr || n->Text() != "veto";
    }
    void Changed(TObject*, TTreeNode* n) { Log.push_back("change " + (n ? n->Text() : std::string("-"))); }
    void Expanding(TObject*, TTreeNode* n, bool& allow)
    {
        Log.push_back("expanding " + n->Text());
        if (n->Text() == "locked") {
            allow = false;
            return;
        }
        if (n->Count() == 0)
            for (int i = 0; i < 3; ++i)
                Tree->Items()->AddChild(n, n->Text() + "." + std::to_string(i));
    }
    void Expanded(TObject*, TTreeNode* n) { Log.push_back("expanded " + n->Text()); }
    void Deleted(TObject*, TTreeNode* n) { Log.push_back("delete " + n->Text()); }
    void Editing(TObject*, TTreeNode* n, bool& allow) { allow = n->Text() != "fixed"; }
    void Edited(TObject*, TTreeNode* n, std::string& s)
    {
        Log.push_back("edited " + n->Text() + " -> " + s);
        s += "!";
    }
    void Cancelled(TObject*, TTreeNode* n) { Log.push_back("cancel " + n->Text()); }
    void Reverse(TObject*, TTreeNode* a, TTreeNode* b, int, int& c) { c = -AnsiCompareText(a->Text(), b->Text()); }
    void Throwing(TObject*, TTreeNode*, TTreeNode*, int, int&) { throw EInvalidOperation("no order"); }
    std::map<std::string, TCustomDrawState> Drawn;
    void DrawItem(TCustomTreeView*, TTreeNode* n, TCustomDrawState state, TCustomDrawStage stage, bool&, bool&)
    {
        if (stage == cdPrePaint)
            Drawn[n->Text()] = state;
    }
};

TEST_F(GuiTreeViewTest, NodesBuiltBeforeTheWindowAppearInIt)
{
    Make(false);
    TTreeNodes* items = Tree->Items();
    TTreeNode* a = items->Add(nullptr, "a");
    TTreeNode* b = items->Add(a, "b");
    TTreeNode* a1 = items->AddChild(a, "a1");
    TTreeNode* a0 = items->AddChildFirst(a, "a0");
    TTreeNode* z = items->AddFirst(b, "z");
    TTreeNode* x = items->Insert(b, "x");
    items->AddChild(a1, "a1x");
    EXPECT_FALSE(Tree->HandleAllocated());
    EXPECT_EQ(WrapperOrder(), "z,a,-a0,-a1,--a1x,x,b");
    EXPECT_EQ(items->Count(), 7);
    EXPECT_EQ(items->Item(3), a1);
    EXPECT_EQ(a1->AbsoluteIndex(), 3);
    EXPECT_EQ(a1->Parent(), a);
    EXPECT_EQ(a->Count(), 2);
    EXPECT_EQ(a->Item(0), a0);
    EXPECT_EQ(a0->getNextSibling(), a1);
    EXPECT_EQ(x->getPrevSibling(), a);
    EXPECT_EQ(z->Index(), 0);
    EXPECT_TRUE(a->HasChildren());
    EXPECT_TRUE(a1->GetFirstChild()->HasAsParent(a));
    EXPECT_THROW(items->Item(7), ERangeError);
    EXPECT_THROW(a->Item(2), ERangeError);

    a->SetExpanded(true);
    Tree->SetSelected(a1);
    Tree->SetParent(Form);
    Form->Show();
    Pump();
    ASSERT_TRUE(Tree->HandleAllocated());
    EXPECT_EQ(NativeOrder(), "z,a,-a0,-a1,--a1x,x,b");
    EXPECT_EQ(SendMessage(Tree->Handle(), TVM_GETCOUNT, 0, 0), 7);
    EXPECT_TRUE(a->Expanded());
    EXPECT_EQ(Tree->Selected(), a1);
    // Rows: z, a, a0, a1 ... ; the node at a row and its rectangle agree.
    TRect r = a1->DisplayRect(false);
    ASSERT_GT(r.Width(), 0);
    EXPECT_EQ(Tree->GetNodeAt(r.left + 60, (r.top + r.bottom) / 2), a1);
    EXPECT_TRUE(Tree->GetHitTestInfoAt(r.left + 60, (r.top + r.bottom) / 2).Contains(htOnItem) ||
                Tree->GetHitTestInfoAt(r.left + 60, (r.top + r.bottom) / 2).Contains(htOnRight));
    EXPECT_TRUE(Tree->GetHitTestInfoAt(5, 1000).Contains(htBelow));

    // Changes made now reach the window.
    a0->SetText("a-zero");
    TTreeNode* late = items->AddChild(a0, "late");
    EXPECT_EQ(NativeOrder(), "z,a,-a-zero,--late,-a1,--a1x,x,b");
    EXPECT_TRUE(a0->HasChildren());
    late->Delete();
    EXPECT_FALSE(a0->HasChildren());
}

TEST_F(GuiTreeViewTest, NodesOfAnotherTreeAreRefused)
{
    Make();
    auto* other = new TTreeView(Form);
    TTreeNode* foreign = other->Items()->Add(nullptr, "foreign");
    EXPECT_THROW(Tree->Items()->AddChild(foreign, "x"), EInvalidOperation);
    EXPECT_THROW(Tree->SetSelected(foreign), EInvalidOperation);
    EXPECT_EQ(Tree->Items()->Count(), 0);
}

TEST_F(GuiTreeViewTest, LazyChildrenAreAddedWhenANodeFirstExpands)
{
    Make();
    Tree->OnExpanding = TTVExpandingEvent::Bind(this, &GuiTreeViewTest::Expanding);
    Tree->OnExpanded = TTVExpandedEvent::Bind(this, &GuiTreeViewTest::Expanded);
    TTreeNode* dir = Tree->Items()->Add(nullptr, "dir");
    TTreeNode* locked = Tree->Items()->Add(nullptr, "locked");
    dir->SetHasChildren(true);
    locked->SetHasChildren(true);
    EXPECT_EQ(dir->Count(), 0);

    dir->Expand(false);
    EXPECT_TRUE(dir->Expanded());
    EXPECT_EQ(dir->Count(), 3);
    EXPECT_EQ(NativeOrder(), "dir,-dir.0,-dir.1,-dir.2,locked");
    EXPECT_EQ(Log, (std::vector<std::string>{"expanding dir", "expanded dir"}));

    // A second expansion adds nothing new.
    dir->Collapse(false);
    dir->Expand(false);
    EXPECT_EQ(dir->Count(), 3);

    Log.clear();
    locked->SetExpanded(true);
    EXPECT_FALSE(locked->Expanded());
    EXPECT_EQ(Log, (std::vector<std::string>{"expanding locked"}));

    // The keyboard expands too (right arrow on the selected node).
    TTreeNode* kid = dir->Item(1);
    kid->SetHasChildren(true);
    Tree->SetSelected(kid);
    SendMessage(Tree->Handle(), WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_TRUE(kid->Expanded());
    EXPECT_EQ(kid->Count(), 3);
}

TEST_F(GuiTreeViewTest, SelectionEventsComeInOrderAndCanBeVetoed)
{
    Make();
    TTreeNode* a = Tree->Items()->Add(nullptr, "a");
    TTreeNode* veto = Tree->Items()->Add(nullptr, "veto");
    TTreeNode* c = Tree->Items()->Add(nullptr, "c");
    Tree->OnChanging = TTVChangingEvent::Bind(this, &GuiTreeViewTest::Changing);
    Tree->OnChange = TTVChangedEvent::Bind(this, &GuiTreeViewTest::Changed);

    Tree->SetSelected(a);
    EXPECT_EQ(Log, (std::vector<std::string>{"changing a", "change a"}));
    Log.clear();
    veto->SetSelected(true);
    EXPECT_EQ(Log, (std::vector<std::string>{"changing veto"}));
    EXPECT_EQ(Tree->Selected(), a);
    EXPECT_TRUE(a->Selected());

    // A click on a row selects its node through the same events.
    Log.clear();
    TRect r = c->DisplayRect(true);
    ASSERT_GT(r.Width(), 0);
    LPARAM at = MAKELPARAM(r.left + 2, (r.top + r.bottom) / 2);
    SendMessage(Tree->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessage(Tree->Handle(), WM_LBUTTONUP, 0, at);
    EXPECT_EQ(Log, (std::vector<std::string>{"changing c", "change c"}));
    EXPECT_EQ(Tree->Selected(), c);

    // Deleting the selected node leaves no selection behind.
    c->Delete();
    EXPECT_EQ(Tree->Selected(), nullptr);
}

TEST_F(GuiTreeViewTest, LabelEditingIsAcceptedChangedOrCancelled)
{
    Make();
    TTreeNode* n = Tree->Items()->Add(nullptr, "old");
    TTreeNode* fixed = Tree->Items()->Add(nullptr, "fixed");
    Tree->OnEditing = TTVEditingEvent::Bind(this, &GuiTreeViewTest::Editing);
    Tree->OnEdited = TTVEditedEvent::Bind(this, &GuiTreeViewTest::Edited);
    Tree->OnCancelEdit = TTVExpandedEvent::Bind(this, &GuiTreeViewTest::Cancelled);

    struct Case {
        bool cancel;
        const char* typed;
        const char* result;
        const char* log;
    } cases[] = {
        {false, "new", "new!", "edited old -> new"},
        {true, "ignored", "new!", "cancel new!"},
    };
    for (const Case& c : cases) {
        Log.clear();
        ASSERT_TRUE(n->EditText());
        EXPECT_TRUE(Tree->IsEditing());
        HWND editor = reinterpret_cast<HWND>(SendMessage(Tree->Handle(), TVM_GETEDITCONTROL, 0, 0));
        ASSERT_NE(editor, nullptr);
        SetWindowText(editor, c.typed);
        n->EndEdit(c.cancel);
        EXPECT_FALSE(Tree->IsEditing());
        EXPECT_EQ(n->Text(), c.result);
        EXPECT_EQ(Log, std::vector<std::string>{c.log});
    }
    EXPECT_EQ(NativeOrder(), "new!,fixed");

    EXPECT_FALSE(fixed->EditText());
    Tree->SetReadOnly(true);
    EXPECT_FALSE(n->EditText());
    EXPECT_FALSE(Tree->IsEditing());
}

TEST_F(GuiTreeViewTest, SortingOrdersNodesAndTheWindow)
{
    Make();
    TTreeNodes* items = Tree->Items();
    TTreeNode* m = items->Add(nullptr, "m");
    items->Add(nullptr, "B");
    items->Add(nullptr, "a");
    items->AddChild(m, "z");
    items->AddChild(m, "y");
    Tree->AlphaSort(false);
    EXPECT_EQ(WrapperOrder(), "a,B,m,-z,-y");
    EXPECT_EQ(NativeOrder(), WrapperOrder());
    Tree->AlphaSort(true);
    EXPECT_EQ(NativeOrder(), "a,B,m,-y,-z");

    Tree->OnCompare = TTVCompareEvent::Bind(this, &GuiTreeViewTest::Reverse);
    m->AlphaSort();
    EXPECT_EQ(NativeOrder(), "a,B,m,-z,-y");
    Tree->CustomSort(nullptr, 0, true);
    EXPECT_EQ(WrapperOrder(), "m,-z,-y,B,a");
    EXPECT_EQ(NativeOrder(), WrapperOrder());
    Tree->CustomSort([](LPARAM a, LPARAM b, LPARAM) {
        return static_cast<int>(reinterpret_cast<TTreeNode*>(a)->Text().size()) -
               static_cast<int>(reinterpret_cast<TTreeNode*>(b)->Text().size()); }, 0, false);
    EXPECT_EQ(NativeOrder(), "m,-z,-y,B,a");

    // A comparison that fails leaves the order as it was.
    Tree->OnCompare = TTVCompareEvent::Bind(this, &GuiTreeViewTest::Throwing);
    EXPECT_THROW(Tree->AlphaSort(true), EInvalidOperation);
    EXPECT_EQ(WrapperOrder(), "m,-z,-y,B,a");
    EXPECT_EQ(NativeOrder(), WrapperOrder());

    // Sorted by text: new nodes and new texts find their places.
    Tree->OnCompare = nullptr;
    Tree->SetSortType(stText);
    EXPECT_EQ(WrapperOrder(), "a,B,m,-y,-z");
    items->Add(nullptr, "c");
    m->Item(0)->SetText("zz");
    EXPECT_EQ(NativeOrder(), "a,B,c,m,-z,-zz");
    items->BeginUpdate();
    items->Add(nullptr, "0");
    EXPECT_EQ(WrapperOrder(), "a,B,c,m,-z,-zz,0");
    items->EndUpdate();
    EXPECT_EQ(NativeOrder(), "0,a,B,c,m,-z,-zz");
}

TEST_F(GuiTreeViewTest, CustomDrawMarksTheSelectedNode)
{
    Make();
    TTreeNode* a = Tree->Items()->Add(nullptr, "a");
    TTreeNode* b = Tree->Items()->Add(nullptr, "b");
    (void)a;
    Tree->OnAdvancedCustomDrawItem = TTVAdvancedCustomDrawItemEvent::Bind(this, &GuiTreeViewTest::DrawItem);
    Tree->SetSelected(b);
    Tree->Repaint();
    ASSERT_EQ(Drawn.size(), 2u);
    EXPECT_TRUE(Drawn["b"].Contains(cdsSelected));
    EXPECT_FALSE(Drawn["a"].Contains(cdsSelected));
}

TEST_F(GuiTreeViewTest, ItemDrawingCanReplaceTheNativeOne)
{
    Make();
    Tree->Items()->Add(nullptr, "painted");
    struct Painter {
        static void Draw(void*, TCustomTreeView* tv, TTreeNode* n, TCustomDrawState, bool& def)
        {
            TRect r = n->DisplayRect(false);
            tv->Canvas()->Brush()->SetColor(clRed);
            tv->Canvas()->FillRect(r);
            def = false;
        }
    };
    Tree->OnCustomDrawItem = TTVCustomDrawItemEvent::Bind(nullptr, &Painter::Draw);
    Tree->Repaint();
    TRect r = Tree->Items()->GetFirstNode()->DisplayRect(false);
    TPoint p = Tree->ClientToScreen(TPoint(r.left + 30, (r.top + r.bottom) / 2));
    EXPECT_EQ(HeadlessBackend().Pixel(p.x, p.y), RGB(255, 0, 0));
}

TEST_F(GuiTreeViewTest, ScrollMessagesMoveTheTopNode)
{
    Make(true, 100);
    std::vector<TTreeNode*> nodes;
    for (int i = 0; i < 40; ++i)
        nodes.push_back(Tree->Items()->Add(nullptr, "n" + std::to_string(i)));
    int visible = static_cast<int>(SendMessage(Tree->Handle(), TVM_GETVISIBLECOUNT, 0, 0));
    ASSERT_GT(visible, 0);
    ASSERT_LT(visible, 40);
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(Tree->Handle(), SB_VERT, &si));
    EXPECT_EQ(si.nMax, 39);
    EXPECT_EQ(static_cast<int>(si.nPage), visible);

    SendMessage(Tree->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 12), 0);
    EXPECT_EQ(Tree->TopItem(), nodes[12]);
    SendMessage(Tree->Handle(), WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
    EXPECT_EQ(Tree->TopItem(), nodes[13]);
    Tree->SetTopItem(nodes[3]);
    EXPECT_EQ(GetScrollPos(Tree->Handle(), SB_VERT), 3);
}

TEST_F(GuiTreeViewTest, DeletionTellsEveryNodeChildrenFirst)
{
    Make();
    Tree->OnDeletion = TTVExpandedEvent::Bind(this, &GuiTreeViewTest::Deleted);
    TTreeNode* p = Tree->Items()->Add(nullptr, "p");
    TTreeNode* c = Tree->Items()->AddChild(p, "c");
    Tree->Items()->AddChild(c, "g");
    Tree->Items()->Add(nullptr, "q");
    p->Delete();
    EXPECT_EQ(Log, (std::vector<std::string>{"delete g", "delete c", "delete p"}));
    EXPECT_EQ(NativeOrder(), "q");
    EXPECT_EQ(Tree->Items()->Count(), 1);

    // Items the window drops by itself (a collapse that resets) take their
    // nodes along.
    Log.clear();
    TTreeNode* q = Tree->Items()->GetFirstNode();
    Tree->Items()->AddChild(q, "q1");
    Tree->Items()->AddChild(q, "q2");
    q->Expand(false);
    SendMessage(Tree->Handle(), TVM_EXPAND, TVE_COLLAPSE | TVE_COLLAPSERESET, reinterpret_cast<LPARAM>(q->ItemId()));
    EXPECT_EQ(q->Count(), 0);
    EXPECT_EQ(Tree->Items()->Count(), 1);
    EXPECT_EQ(Log.size(), 2u);

    Log.clear();
    Tree->Items()->Clear();
    EXPECT_EQ(Log, (std::vector<std::string>{"delete q"}));
    EXPECT_EQ(Tree->Items()->Count(), 0);
    EXPECT_EQ(SendMessage(Tree->Handle(), TVM_GETCOUNT, 0, 0), 0);
}

TEST_F(GuiTreeViewTest, NodesSurviveRecreatingTheWindow)
{
    Make(true, 60);
    TTreeNodes* items = Tree->Items();
    int data = 7;
    TTreeNode* a = items->AddObject(nullptr, "a", &data);
    for (int i = 0; i < 6; ++i)
        items->AddChild(a, "a" + std::to_string(i));
    TTreeNode* b = items->Add(nullptr, "b");
    TTreeNode* b0 = items->AddChild(b, "b0");
    b0->SetImageIndex(3);
    a->Expand(false);
    TTreeNode* sel = a->Item(4);
    Tree->SetSelected(sel);
    Tree->SetTopItem(a->Item(2));
    TTreeNode* top = Tree->TopItem();
    ASSERT_EQ(top, a->Item(2));
    Tree->OnChange = TTVChangedEvent::Bind(this, &GuiTreeViewTest::Changed);
    Tree->OnExpanded = TTVExpandedEvent::Bind(this, &GuiTreeViewTest::Expanded);
    Tree->OnDeletion = TTVExpandedEvent::Bind(this, &GuiTreeViewTest::Deleted);

    HWND before = Tree->Handle();
    Tree->RecreateWnd();
    ASSERT_TRUE(Tree->HandleAllocated());
    EXPECT_NE(Tree->Handle(), before);
    EXPECT_TRUE(Log.empty());
    EXPECT_EQ(NativeOrder(), "a,-a0,-a1,-a2,-a3,-a4,-a5,b,-b0");
    EXPECT_EQ(items->Count(), 9);
    EXPECT_TRUE(a->Expanded());
    EXPECT_FALSE(b->Expanded());
    EXPECT_EQ(Tree->Selected(), sel);
    EXPECT_EQ(Tree->TopItem(), top);
    EXPECT_EQ(a->Data(), &data);
    EXPECT_EQ(b0->ImageIndex(), 3);
    TVITEM it;
    it.mask = TVIF_IMAGE;
    it.hItem = b0->ItemId();
    ASSERT_TRUE(SendMessage(Tree->Handle(), TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&it)));
    EXPECT_EQ(it.iImage, 3);

    // Without a window the state is still answered.
    Tree->SetParent(nullptr);
    EXPECT_FALSE(Tree->HandleAllocated());
    EXPECT_EQ(Tree->Selected(), sel);
    EXPECT_TRUE(a->Expanded());
    Tree->SetParent(Form);
    Pump();
    EXPECT_EQ(Tree->Selected(), sel);
}

}  // namespace

namespace {

TEST_F(GuiTreeViewTest, ReadsItsPropertiesFromADescription)
{
    Make();
    RegisterTreeViewsClasses();
    ReadComponentText(Tree, "object Folders: TTreeView\n"
                            "  ShowLines = False\n"
                            "  ReadOnly = True\n"
                            "  Indent = 25\n"
                            "  SortType = stText\n"
                            "  NodeData = (0 'videos' 1 2 1 'b' 0 0 2 'deep' 0 0 1 'a' 0 0 0 'music' 0 0)\n"
                            "end\n");
    EXPECT_EQ(Tree->Name(), "Folders");
    EXPECT_EQ(NativeOrder(), "music,videos,-a,-b,--deep");
    EXPECT_EQ(Tree->Items()->Item(1)->ImageIndex(), 1);
    EXPECT_EQ(Tree->Items()->Item(1)->SelectedIndex(), 2);
    // Written back and read again, the same nodes come out.
    auto* copy = new TTreeView(Owner);
    ReadComponentText(copy, WriteComponentText(Tree));
    std::string copied;
    for (TTreeNode* n = copy->Items()->GetFirstNode(); n; n = n->GetNext())
        copied += (copied.empty() ? "" : ",") + std::string(static_cast<std::size_t>(n->Level()), '-') + n->Text() +
                  std::to_string(n->ImageIndex()) + std::to_string(n->SelectedIndex());
    EXPECT_EQ(copied, "music00,videos12,-a00,-b00,--deep00");
    EXPECT_FALSE(Tree->ShowLines());
    EXPECT_TRUE(Tree->ReadOnly());
    EXPECT_EQ(Tree->Indent(), 25);
    EXPECT_EQ(Tree->SortType(), stText);
    DWORD style = static_cast<DWORD>(GetWindowLong(Tree->Handle(), GWL_STYLE));
    EXPECT_EQ(style & (TVS_HASLINES | TVS_EDITLABELS), 0u);
    EXPECT_EQ(SendMessage(Tree->Handle(), TVM_GETINDENT, 0, 0), 25);
    auto* other = new TTreeView(Form);
    EXPECT_THROW(ReadComponentText(other, "object T: TTreeView\n  SortType = 3\nend\n"), EReadError);
    EXPECT_THROW(ReadComponentText(other, "object T: TTreeView\n  NodeData = (0 'a' 0 0 2 'b' 0 0)\nend\n"),
                 EReadError);
    EXPECT_THROW(ReadComponentText(other, "object T: TTreeView\n  NodeData = (0 'a' 0)\nend\n"), EReadError);
    EXPECT_EQ(other->Items()->Count(), 0);
}

}  // namespace
