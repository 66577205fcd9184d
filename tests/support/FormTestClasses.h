#pragma once
// Small component classes for the form reader and writer tests: controls with
// every kind of published property, a container, a non-visual component and
// a form with members and handlers. Each object counts itself alive, so that
// a test can tell that a failed reading left nothing behind.
#include "platform/classes/ClassRegistry.h"
#include "platform/classes/Collections.h"
#include "platform/classes/Component.h"
#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/classes/PropertyTables.h"
#include "platform/classes/Streams.h"
#include "platform/classes/StringList.h"
#include "platform/rtl/Exceptions.h"

#include <algorithm>
#include <string>
#include <vector>

namespace formtest {

inline int& LiveObjects()
{
    static int count = 0;
    return count;
}

// What happened, in order ("Loaded Button1", "OnCreate").
inline std::vector<std::string>& Journal()
{
    static std::vector<std::string> journal;
    return journal;
}

struct TLive {
    TLive() { ++LiveObjects(); }
    ~TLive() { --LiveObjects(); }
    TLive(const TLive&) = delete;
    TLive& operator=(const TLive&) = delete;
};

}  // namespace formtest

enum TFtAlign { ftaNone, ftaTop, ftaBottom, ftaClient };
ENUM_NAMES(TFtAlign, ftaNone, ftaTop, ftaBottom, ftaClient)

enum TFtFontStyle { ftsBold, ftsItalic, ftsUnderline, ftsStrikeOut };
ENUM_NAMES(TFtFontStyle, ftsBold, ftsItalic, ftsUnderline, ftsStrikeOut)

// A set class of its own (not TSet), as a font's styles are.
class TFtFontStyles {
public:
    TFtFontStyles() = default;
    TFtFontStyles(std::initializer_list<TFtFontStyle> styles)
    {
        for (TFtFontStyle s : styles)
            Include(s);
    }
    bool Contains(TFtFontStyle s) const { return (FBits >> s) & 1u; }
    TFtFontStyles& Include(TFtFontStyle s)
    {
        FBits |= 1u << s;
        return *this;
    }
    friend bool operator==(TFtFontStyles a, TFtFontStyles b) { return a.FBits == b.FBits; }

private:
    unsigned char FBits = 0;
};

enum class TFtBorder { None, Single, Double };
ENUM_NAMES(TFtBorder, TFtBorder::None, TFtBorder::Single, TFtBorder::Double)
using TFtBorders = TSet<TFtBorder>;

inline const TIdentMap& FtColorIdents()
{
    static const TIdentMap map{{0x000000, "clBlack"}, {0xFFFFFF, "clWhite"}, {0xFF00000F, "clBtnFace"}};
    return map;
}

class TFtFont : public TPersistent {
public:
    int Height() const { return FHeight; }
    void SetHeight(int v) { FHeight = v; }
    const std::string& Name() const { return FName; }
    void SetName(const std::string& v) { FName = v; }
    TFtFontStyles Style() const { return FStyle; }
    void SetStyle(TFtFontStyles v) { FStyle = v; }
    unsigned Color() const { return FColor; }
    void SetColor(unsigned v) { FColor = v; }

    PUBLISHED(TFtFont, TPersistent)
    {
        P.Property("Height", &TFtFont::Height, &TFtFont::SetHeight, -11);
        P.Property("Name", &TFtFont::Name, &TFtFont::SetName, "Tahoma");
        P.Property("Style", &TFtFont::Style, &TFtFont::SetStyle, TFtFontStyles{});
        P.Property("Color", &TFtFont::Color, &TFtFont::SetColor, 0u).WithIdents(&FtColorIdents());
    }

private:
    int FHeight = -11;
    std::string FName = "Tahoma";
    TFtFontStyles FStyle;
    unsigned FColor = 0;
};

// A picture that remembers the file it was loaded from and its bytes.
class TFtPicture : public TPersistent {
public:
    void LoadFromFile(const std::string& FileName)
    {
        TFileStream stream(FileName, fmOpenRead);
        FData.resize(static_cast<std::size_t>(stream.Size()));
        stream.ReadBuffer(FData.data(), static_cast<std::int64_t>(FData.size()));
        FFileName = FileName;
    }
    const std::string& FileName() const { return FFileName; }
    const std::string& Data() const { return FData; }

    PUBLISHED(TFtPicture, TPersistent) {}

private:
    std::string FFileName;
    std::string FData;
};

class TFtControl;

class TFtColumn : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    int Width() const { return FWidth; }
    void SetWidth(int v) { FWidth = v; }
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& v) { FTitle = v; }
    TFtAlign Align() const { return FAlign; }
    void SetAlign(TFtAlign v) { FAlign = v; }
    TComponent* Link() const { return FLink; }
    void SetLink(TComponent* v) { FLink = v; }

    PUBLISHED(TFtColumn, TCollectionItem)
    {
        P.Property("Width", &TFtColumn::Width, &TFtColumn::SetWidth, 64);
        P.Property("Title", &TFtColumn::Title, &TFtColumn::SetTitle, "");
        P.Property("Align", &TFtColumn::Align, &TFtColumn::SetAlign, ftaNone);
        P.Property("Link", &TFtColumn::Link, &TFtColumn::SetLink);
    }

private:
    formtest::TLive FLive;
    int FWidth = 64;
    std::string FTitle;
    TFtAlign FAlign = ftaNone;
    TComponent* FLink = nullptr;
};

class TFtControl : public TComponent {
public:
    explicit TFtControl(TComponent* AOwner)
        : TComponent(AOwner), FColumns(this, &MakeCollectionItem<TFtColumn>)
    {
    }
    ~TFtControl() override
    {
        SetParentControl(nullptr);
        while (!FChildren.empty())
            FChildren.back()->SetParentControl(nullptr);
    }

    int Left() const { return FLeft; }
    void SetLeft(int v) { FLeft = v; }
    int Width() const { return FWidth; }
    void SetWidth(int v)
    {
        if (v < 0)
            throw EInvalidOperation("Width must not be negative");
        FWidth = v;
    }
    std::int64_t Size() const { return FSize; }
    void SetSize(std::int64_t v) { FSize = v; }
    double Ratio() const { return FRatio; }
    void SetRatio(double v) { FRatio = v; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool v) { FVisible = v; }
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& v) { FCaption = v; }
    TFtAlign Align() const { return FAlign; }
    void SetAlign(TFtAlign v) { FAlign = v; }
    short Small() const { return FSmall; }
    void SetSmall(short v) { FSmall = v; }
    TFtBorders Borders() const { return FBorders; }
    void SetBorders(TFtBorders v) { FBorders = v; }
    int Count() const { return 3; }
    TFtFont* Font() { return &FFont; }
    TStrings* Items() const { return &FItems; }
    TCollection* Columns() { return &FColumns; }
    TFtPicture* Glyph() { return &FGlyph; }
    TFtControl* Buddy() const { return FBuddy; }
    void SetBuddy(TFtControl* v)
    {
        if (v)
            v->FreeNotification(this);
        FBuddy = v;
    }
    TComponent* Partner() const { return FPartner; }
    void SetPartner(TComponent* v) { FPartner = v; }

    TNotifyEvent OnClick;
    TMethodPtr<void(TObject* Sender, int Value)> OnChange;

    // Column widths kept apart from the columns, stored as a list.
    std::vector<int> Widths;
    // Bytes stored as hex.
    std::string Blob;

    TFtControl* ParentControl() const { return FParent; }
    const std::vector<TFtControl*>& Children() const { return FChildren; }
    void SetParentControl(TFtControl* p)
    {
        if (FParent == p)
            return;
        if (FParent) {
            auto& list = FParent->FChildren;
            list.erase(std::remove(list.begin(), list.end(), this), list.end());
        }
        FParent = p;
        if (p)
            p->FChildren.push_back(this);
    }

    void SetParentComponent(TComponent* Value) override
    {
        auto* p = dynamic_cast<TFtControl*>(Value);
        if (Value && !p)
            throw EInvalidOperation(Value->ClassName() + " cannot contain a control");
        SetParentControl(p);
    }
    TComponent* GetParentComponent() const override { return FParent; }
    bool HasParent() const override { return true; }
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override
    {
        for (TFtControl* c : FChildren)
            Proc(c);
    }
    void Loaded() override
    {
        TComponent::Loaded();
        LoadedSawLoading = true;
        formtest::Journal().push_back("Loaded " + Name());
    }
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        TComponent::Notification(AComponent, Operation);
        if (Operation == opRemove && AComponent == FBuddy)
            FBuddy = nullptr;
    }

    void DefineProperties(TFiler* Filer) override
    {
        Filer->DefineProperty(
            "Widths",
            [this](TReader* R) {
                Widths.clear();
                R->ReadListBegin();
                while (!R->EndOfList())
                    Widths.push_back(R->ReadInteger());
                R->ReadListEnd();
            },
            [this](TWriter* W) {
                W->WriteListBegin();
                for (int w : Widths)
                    W->WriteInteger(w);
                W->WriteListEnd();
            },
            !Widths.empty());
        Filer->DefineBinaryProperty(
            "Blob",
            [this](TStream* S) {
                Blob.resize(static_cast<std::size_t>(S->Size()));
                S->ReadBuffer(Blob.data(), static_cast<std::int64_t>(Blob.size()));
            },
            [this](TStream* S) { S->WriteBuffer(Blob.data(), static_cast<std::int64_t>(Blob.size())); },
            !Blob.empty());
    }

    bool LoadedSawLoading = false;

    PUBLISHED(TFtControl, TComponent)
    {
        P.Property("Left", &TFtControl::Left, &TFtControl::SetLeft, 0);
        P.Property("Width", &TFtControl::Width, &TFtControl::SetWidth, 100);
        P.Property("Size", &TFtControl::Size, &TFtControl::SetSize, std::int64_t{0});
        P.Property("Ratio", &TFtControl::Ratio, &TFtControl::SetRatio, 1.0);
        P.Property("Visible", &TFtControl::Visible, &TFtControl::SetVisible, true);
        P.Property("Caption", &TFtControl::Caption, &TFtControl::SetCaption, "");
        P.Property("Align", &TFtControl::Align, &TFtControl::SetAlign, ftaNone);
        P.Property("Small", &TFtControl::Small, &TFtControl::SetSmall, short{0});
        P.Property("Borders", &TFtControl::Borders, &TFtControl::SetBorders, TFtBorders{TFtBorder::Single});
        P.Property("Count", &TFtControl::Count, nullptr).NotStored();
        P.Property("Font", &TFtControl::Font);
        P.Property("Items", &TFtControl::Items);
        P.Property("Columns", &TFtControl::Columns);
        P.Property("Glyph", &TFtControl::Glyph);
        P.Property("Buddy", &TFtControl::Buddy, &TFtControl::SetBuddy);
        P.Property("Partner", &TFtControl::Partner, &TFtControl::SetPartner);
        P.Property("OnClick", &TFtControl::OnClick);
        P.Property("OnChange", &TFtControl::OnChange);
    }

private:
    formtest::TLive FLive;
    int FLeft = 0;
    int FWidth = 100;
    std::int64_t FSize = 0;
    double FRatio = 1.0;
    bool FVisible = true;
    std::string FCaption;
    TFtAlign FAlign = ftaNone;
    short FSmall = 0;
    TFtBorders FBorders{TFtBorder::Single};
    TFtFont FFont;
    mutable TStringList FItems;
    TOwnedCollection FColumns;
    TFtPicture FGlyph;
    TFtControl* FBuddy = nullptr;
    TComponent* FPartner = nullptr;
    TFtControl* FParent = nullptr;
    std::vector<TFtControl*> FChildren;
};

class TFtPanel : public TFtControl {
public:
    explicit TFtPanel(TComponent* AOwner) : TFtControl(AOwner) { SetWidth(185); }
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int v) { FBevelWidth = v; }

    // A panel redeclares Width with its own default.
    PUBLISHED(TFtPanel, TFtControl)
    {
        P.Property("BevelWidth", &TFtPanel::BevelWidth, &TFtPanel::SetBevelWidth, 1);
        P.Property("Width", &TFtPanel::Width, &TFtPanel::SetWidth, 185);
    }

private:
    int FBevelWidth = 1;
};

// A non-visual component: it has no parent and lives in the form's list.
class TFtTimer : public TComponent {
public:
    explicit TFtTimer(TComponent* AOwner) : TComponent(AOwner) {}
    int Interval() const { return FInterval; }
    void SetInterval(int v) { FInterval = v; }
    TNotifyEvent OnTimer;
    void Loaded() override
    {
        TComponent::Loaded();
        formtest::Journal().push_back("Loaded " + Name());
    }

    PUBLISHED(TFtTimer, TComponent)
    {
        P.Property("Interval", &TFtTimer::Interval, &TFtTimer::SetInterval, 1000);
        P.Property("OnTimer", &TFtTimer::OnTimer);
    }

private:
    formtest::TLive FLive;
    int FInterval = 1000;
};

// A component whose constructor always fails.
class TFtBroken : public TComponent {
public:
    explicit TFtBroken(TComponent* AOwner) : TComponent(AOwner) { throw EInvalidOperation("TFtBroken cannot be made"); }
};

class TFtForm : public TFtControl {
public:
    explicit TFtForm(TComponent* AOwner) : TFtControl(AOwner) {}

    TFtControl* Button1 = nullptr;
    TFtPanel* Panel1 = nullptr;
    TFtControl* Label1 = nullptr;
    TFtTimer* Timer1 = nullptr;
    TNotifyEvent OnCreate;
    int Clicks = 0;
    int Changes = 0;
    int Creates = 0;

    void Button1Click(TObject* Sender) { ++Clicks; }
    void ValueChange(TObject* Sender, int Value) { Changes += Value; }
    void FormCreate(TObject* Sender) { ++Creates; }

    void AfterConstruction() override
    {
        formtest::Journal().push_back("AfterConstruction");
        if (OnCreate)
            OnCreate(this);
    }
    // The form lists its non-visual components, then its controls.
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override
    {
        for (int i = 0; i < ComponentCount(); ++i)
            if (!Components(i)->HasParent())
                Proc(Components(i));
        TFtControl::GetChildren(Proc, Root);
    }

    PUBLISHED(TFtForm, TFtControl)
    {
        P.Property("OnCreate", &TFtForm::OnCreate);
        P.Member("Button1", &TFtForm::Button1);
        P.Member("Panel1", &TFtForm::Panel1);
        P.Member("Label1", &TFtForm::Label1);
        P.Member("Timer1", &TFtForm::Timer1);
        P.Handler("Button1Click", &TFtForm::Button1Click);
        P.Handler("ValueChange", &TFtForm::ValueChange);
        P.Handler("FormCreate", &TFtForm::FormCreate);
    }
};

// A second form class, for references across forms.
class TFtOtherForm : public TFtForm {
public:
    using TFtForm::TFtForm;
    PUBLISHED(TFtOtherForm, TFtForm) {}
};

inline void RegisterFormTestClasses()
{
    RegisterClasses<TFtControl, TFtPanel, TFtTimer, TFtForm, TFtOtherForm, TFtBroken>();
}
