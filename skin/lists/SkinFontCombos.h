#pragma once
// Font name and font size combo boxes filled from the platform's font
// enumeration. The name box lists the installed families (sorted, filtered by
// options) and draws each in the drop-down with a TrueType mark; it follows
// fonts being installed or removed (WM_FONTCHANGE) and keeps the chosen
// family. The size box lists the fixed sizes of a scalable family or the
// strikes of a bitmap family, and reads the typed size in its edit style.
// Fonts go by name: the character set picks no glyphs here.
#include "platform/classes/Sets.h"
#include "skin/lists/SkinComboBox.h"

#include <cstdint>
#include <string>

enum TspFontDevice : std::uint8_t { fdScreen, fdPrinter, fdBoth };
ENUM_NAMES(TspFontDevice, fdScreen, fdPrinter, fdBoth)

enum TspFontListOption : std::uint8_t {
    foAnsiOnly,
    foTrueTypeOnly,
    foFixedPitchOnly,
    foNoOEMFonts,
    foOEMFontsOnly,
    foScalableOnly,
    foNoSymbolFonts
};
ENUM_NAMES(TspFontListOption, foAnsiOnly, foTrueTypeOnly, foFixedPitchOnly, foNoOEMFonts, foOEMFontsOnly,
           foScalableOnly, foNoSymbolFonts)
using TspFontListOptions = TSet<TspFontListOption>;

class TspSkinFontComboBox : public TspSkinCustomComboBox {
public:
    explicit TspSkinFontComboBox(TComponent* AOwner);

    TspFontDevice Device() const { return FDevice; }
    void SetDevice(TspFontDevice Value);
    TspFontListOptions Options() const { return FOptions; }
    void SetOptions(TspFontListOptions Value);
    bool TrueTypeOnly() const { return FOptions.Contains(foTrueTypeOnly); }
    void SetTrueTypeOnly(bool Value);
    bool UseFonts() const { return FUseFonts; }
    void SetUseFonts(bool Value);
    std::string FontName() const { return Text(); }
    void SetFontName(const std::string& Value);

    void PopulateList();
    // Adds one enumerated family when the options accept it.
    void AddFamily(const LOGFONT& LogFont, DWORD FontType);
    void WndProc(TMessage& Message) override;

    PUBLISHED(TspSkinFontComboBox, TspSkinCustomComboBox);

protected:
    void CreateWnd() override;
    void Rebuild();
    bool IsValidFont(const LOGFONT& LogFont, DWORD FontType) const;
    void DrawListFontItem(TObject* Sender, TCanvas* Cnvs, int Index, int ItemWidth, int ItemHeight, TRect TextRect,
                          TOwnerDrawState State);
    void DrawComboFontItem(TObject* Sender, TCanvas* Cnvs, int Index, int ItemWidth, int ItemHeight, TRect TextRect,
                           TOwnerDrawState State);

    TspFontDevice FDevice = fdScreen;
    bool FUpdate = false;
    bool FUseFonts = false;
    TspFontListOptions FOptions;
};

// The "T" of the TrueType mark at (X, Y).
void DrawTrueTypeMark(TCanvas* Canvas, int X, int Y, TColor Color);

class TspSkinFontSizeComboBox : public TspSkinCustomComboBox {
public:
    explicit TspSkinFontSizeComboBox(TComponent* AOwner);

    int PixelsPerInch = 96;
    const std::string& FontName() const { return FFontName; }
    void SetFontName(const std::string& Value);
    int SizeValue();
    // Adds a size of the enumeration in ascending order (no repeats), or the
    // fixed list for a scalable family; false stops the enumeration.
    bool AddSize(const LOGFONT& LogFont, const TEXTMETRIC& Metric, DWORD FontType);

    PUBLISHED(TspSkinFontSizeComboBox, TspSkinCustomComboBox);

protected:
    void RebuildSizes();
    std::string FFontName;
};

// A signed decimal number (one leading minus at most, digits only).
bool IsValidNumber(const std::string& S);

void RegisterSkinFontCombosClasses();
