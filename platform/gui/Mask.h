#pragma once
// Masked edits: an edit whose text follows an edit mask, one character per
// mask position, typed over in place with the caret skipping literals.
//
// An edit mask is "mask;save;blank":
//   mask   input positions  L letter, A letter or digit, C any character,
//                           0 digit (required); l, a, c, 9 the same, and
//                           # digit or sign (optional);
//          literals         : time separator, / date separator, _ a space,
//                           \x the character x, anything else itself;
//          modifiers        > upper case, < lower case, <> no case change
//                           (for the positions after them); ! optional
//                           positions are kept as leading blanks when a
//                           text without literals fills the mask.
//   save   0: Text leaves the literals out; anything else (the default)
//          keeps them.
//   blank  the character an empty input position shows ('_' by default).
// EditText is what the window shows (literals and blanks included); Text
// is the value: literals kept or left out by "save", empty positions as
// spaces. ValidateEdit (run when the edit loses the focus) raises
// EDBEditError while a required position is empty.
#include "platform/gui/StdCtrls.h"

#include <string>
#include <vector>

TARNELLO_EXCEPTION_CLASS(EDBEditError, Exception);

// The message of a masked edit left incomplete.
extern const char* const SMaskEditErr;

class TCustomMaskEdit : public TCustomEdit {
public:
    explicit TCustomMaskEdit(TComponent* AOwner);
    ~TCustomMaskEdit() override;

    const std::string& EditMask() const { return FEditMask; }
    void SetEditMask(const std::string& v);
    bool IsMasked() const { return !FPositions.empty(); }
    // The text as shown: every mask position, literals and blanks included.
    std::string EditText() const;
    void SetEditText(const std::string& v);
    // Raises EDBEditError (caret on the first empty required position) when
    // the text does not fill the mask.
    virtual void ValidateEdit();
    // Back to the text the edit had when editing began.
    void Reset();

    void WndProc(TMessage& Message) override;

    PUBLISHED(TCustomMaskEdit, TCustomEdit)
    {
        P.Property("EditMask", &TCustomMaskEdit::EditMask, &TCustomMaskEdit::SetEditMask, std::string());
    }

protected:
    std::string GetText() const override;
    void SetTextValue(const std::string& v) override;

private:
    struct TMaskPosition {
        bool Literal = false;
        char32_t Ch = 0;    // the literal
        char Kind = 0;      // the input class: L l A a C c 0 9 #
        int Case = 0;       // 1 upper, -1 lower
    };
    void ParseMask();
    std::u32string FormatValue(const std::string& value) const;
    std::string Unmask(const std::u32string& edit) const;
    std::u32string CurrentEdit() const;
    // Every position filled from raw edit text (wrong characters blank).
    std::u32string Normalize(const std::u32string& raw) const;
    bool Accepts(const TMaskPosition& p, char32_t& ch) const;
    int NextInput(int i) const;
    void Selection(int& a, int& b) const;
    void Apply(const std::u32string& edit, int caret, bool undoable = true);
    void ClearRange(std::u32string& e, int a, int b) const;
    // Puts ch at or after position p; false when it fits nowhere.
    bool PlaceChar(std::u32string& e, int& p, char32_t ch) const;
    void TypeChar(char32_t ch);
    void Backspace();
    void InsertText(const std::string& text);
    bool MaskKeyDown(WORD key, TShiftState shift);

    std::string FEditMask;
    std::vector<TMaskPosition> FPositions;
    bool FSaveLiterals = true;
    bool FLeadingBlanks = false;
    char32_t FBlank = '_';
    std::u32string FUndoEdit;
    bool FCanUndoMask = false;
    std::string FOldEditText;
    int FInvalidPos = -1;
};

class TMaskEdit : public TCustomMaskEdit {
public:
    explicit TMaskEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {}
    PUBLISHED(TMaskEdit, TCustomMaskEdit) {}
};

void RegisterMaskClasses();
