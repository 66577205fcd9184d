#pragma once
// The objects of a skinned frame: caption buttons, the caption, user-drawn
// areas. Each is made from one entry of the skin's object list (or, for the
// skinless frame, with no entry) and lives in its form component's object
// list until the next skin change. Coordinates are window coordinates: (0, 0)
// is the window's top-left corner, frame included.
#include "platform/gui/Graphics.h"
#include "platform/gui/Menus.h"
#include "skin/core/SkinObjects.h"
#include "skin/core/SkinTextObjects.h"

#include <string>

class TspFormSkinner;
class TspLayerManager;
class TspSkinData;
class TspBitmap;
class TspSkinPopupMenu;

// The hover morph moves in fifths: five timer steps each way, ending at
// exactly 0 or 5 (a factor of 0 or 1), so no rounding error leaves a sixth.
class TspMorphSteps {
public:
    double Kf() const { return FStep / 5.0; }
    int Step() const { return FStep; }
    // Clamps to 0 .. 1 and keeps the nearest fifth.
    void SetKf(double Value);
    void Toward(bool Active) { FStep = Active ? (FStep < 5 ? FStep + 1 : 5) : (FStep > 0 ? FStep - 1 : 0); }
    bool AtEnd(bool Active) const { return Active ? FStep == 5 : FStep == 0; }

private:
    int FStep = 0;
};

class TspActiveSkinObject : public TObject {
public:
    TspActiveSkinObject(TspFormSkinner* AParent, TspDataSkinObject* AData);

    TspFormSkinner* Parent;
    TBitmap* Picture = nullptr;        // borrowed from the skin
    TBitmap* ActivePicture = nullptr;  // borrowed
    TBitmap* ActiveMaskPicture = nullptr;
    TspSkinData* SD = nullptr;
    std::string IDName, Hint;
    TRect SkinRect, ActiveSkinRect, InActiveSkinRect;
    bool Morphing = false;
    TMorphKind MorphKind = mkDefault;
    TRect ObjectRect;
    bool Active = false;
    bool Enabled = true;
    int CursorIndex = -1;
    bool RollUp = false;
    bool Visible = true;
    bool SkinRectInAPicture = false;
    int GlowLayerPictureIndex = -1, GlowLayerMaskPictureIndex = -1;
    int GlowLayerOffsetX = 0, GlowLayerOffsetY = 0, GlowLayerAlphaBlendValue = 255;

    double MorphKf() const { return FMorph.Kf(); }
    void SetMorphKf(double Value) { FMorph.SetKf(Value); }
    bool MouseIn() const { return FMouseIn; }

    virtual bool IsPointInMask(int X, int Y);
    // Draws the object opaque onto a 32-bit picture (a full layered border's
    // top strip), at its ObjectRect.
    virtual void DrawAlpha(TspBitmap* ABitMap);
    virtual void ShowLayer();
    virtual void HideLayer();
    virtual void Draw(TCanvas* Cnvs, bool UpDate);
    virtual void DblClick() {}
    virtual void MouseDown(int X, int Y, TMouseButton Button);
    virtual void MouseUp(int X, int Y, TMouseButton Button);
    virtual void MouseMove(int X, int Y);
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual bool CanMorphing();

    bool EnableMorphing();
    void DoMorphing();
    void ReDraw();

protected:
    // The layer manager this object's glow shows in.
    virtual TspLayerManager* GlowLayerManager() const;
    // The mouse flags and Active, and the enter or leave event; no drawing.
    void SetHover(bool In);
    bool GlowLayerEnabled() const;
    // Copies rectangle R of Pic to ObjectRect; nothing for an empty R or no picture.
    void CopyLook(TCanvas* Cnvs, TBitmap* Pic, const TRect& R);
    // The morph of two looks by MorphKf with the effect MorphKind names.
    void DrawMorph(TCanvas* Cnvs, TBitmap* NormalPic, const TRect& Normal, const TRect& Hot);
    // Two looks of the object's size blended by MorphKf, drawn at ObjectRect.
    void BlendLooks(TCanvas* Cnvs, TBitmap* Normal, TBitmap* Hot);
    bool SkinLoaded() const;

    TspMorphSteps FMorph;
    bool FMouseIn = false;
};

class TspUserObject : public TspActiveSkinObject {
public:
    using TspActiveSkinObject::TspActiveSkinObject;
    void Draw(TCanvas* Cnvs, bool UpDate) override;
};

class TspSkinButtonObject : public TspActiveSkinObject {
public:
    TspSkinButtonObject(TspFormSkinner* AParent, TspDataSkinObject* AData);
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    // Neither pressed nor under the pointer, without drawing.
    void ClearPressAndHover() { FDown = FMouseIn = false; }
    TRect DownRect, DisableSkinRect;
    int GroupIndex = -1;
    TMenuItem* MenuItem = nullptr;

    void Draw(TCanvas* Cnvs, bool UpDate) override;
    void MouseDown(int X, int Y, TMouseButton Button) override;
    void MouseUp(int X, int Y, TMouseButton Button) override;
    void MouseEnter() override;
    void MouseLeave() override;
    bool CanMorphing() override;

protected:
    TspLayerManager* GlowLayerManager() const override;
    void DrawButtonLook(TCanvas* Cnvs, bool UpDate);
    void ReleaseGroup();
    // Hands the menu to the form's menu chain (opened by the menus layer).
    void ShowMenu();
    bool FDown = false;
    bool FPopupUp = false;
};

class TspSkinStdButtonObject : public TspSkinButtonObject {
public:
    TspSkinStdButtonObject(TspFormSkinner* AParent, TspDataSkinObject* AData);

    bool FSkinSupport = false;
    TStdCommand Command = cmClose;
    TRect RestoreRect, RestoreActiveRect, RestoreDownRect, RestoreInActiveRect;
    std::string RestoreHint, FTempHint;

    bool IsPointInMask(int X, int Y) override;
    void ShowLayer() override;
    void HideLayer() override;
    void Draw(TCanvas* Cnvs, bool UpDate) override;
    void DblClick() override;
    void MouseDown(int X, int Y, TMouseButton Button) override;
    void MouseUp(int X, int Y, TMouseButton Button) override;
    void MouseEnter() override;
    void MouseLeave() override;
    bool CanMorphing() override;

    void DefaultDraw(TCanvas* Cnvs);
    // Whether the button shows its restore look now.
    bool CommandStateOn() const;
    void DoCommand();
    // A caption command run for Obj; the caption buttons hide their glow first.
    static void RunCommand(TspActiveSkinObject* Obj, TStdCommand Command, bool AHideLayer);

private:
    bool IsIconSysMenu() const;
    bool InactiveLookShown() const;
};

// The caption: the form's text in the skin's font with its effects, and the
// quick buttons at its left.
class TspSkinCaptionObject : public TspActiveSkinObject {
public:
    TspSkinCaptionObject(TspFormSkinner* AParent, TspDataSkinObject* AData);

    std::string Caption;
    bool DefaultCaption = false;
    std::string FontName;
    int FontHeight = 0;
    TFontStyles FontStyle;
    TColor FontColor = 0, ActiveFontColor = 0, ShadowColor = 0, ActiveShadowColor = 0;
    bool Shadow = false, Light = false;
    TColor LightColor = 0, ActiveLightColor = 0;
    TAlignment Alignment = taLeftJustify;
    TRect TextRct;
    bool StretchEffect = false;
    bool GlowEffect = false, GlowInActiveEffect = false;
    int GlowSize = 0, GlowOffset = 0;
    TColor GlowColor = 0, GlowActiveColor = 0;
    bool ReflectionEffect = false;
    TColor ReflectionColor = 0, ReflectionActiveColor = 0;
    int ReflectionOffset = 0;
    TRect AnimateSkinRect;
    int FrameCount = 0, AnimateInterval = 0;
    bool InActiveAnimation = false;
    int CurrentFrame = 0;
    int FIncTime = 0;
    // The text plate behind the text, its fixed ends and where the text sits in it.
    TRect FrameRect, ActiveFrameRect, FrameTextRect;
    int FrameLeftOffset = 0, FrameRightOffset = 0;
    bool FullFrame = false;
    bool VistaGlowEffect = false, VistaGlowInActiveEffect = false;
    // The divider left of the quick buttons.
    TRect DividerRect, InActiveDividerRect;
    bool DividerTransparent = false;
    TColor DividerTransparentColor = 0;
    int QuickButtonAlphaMaskPictureIndex = -1;
    int ActiveQuickButton = -1, OldActiveQuickButton = -1, MouseCaptureQuickButton = -1, PopupMenuQuickButton = -1;

    void Draw(TCanvas* Cnvs, bool UpDate) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDown(int X, int Y, TMouseButton Button) override;
    void MouseUp(int X, int Y, TMouseButton Button) override;
    void MouseMove(int X, int Y) override;
    bool CanMorphing() override { return false; }
    bool EnableAnimation() const;
    // Quick buttons take part: a frame in the non-client area, items and images.
    bool QuickButtonsInUse() const;
    // How far the text moves right for the quick buttons (and the divider).
    int QuickButtonsWidth() const;
    // Finds the quick button under window point (X, Y) and repaints on a change.
    void TrackQuickButtons(int X, int Y);
    void RepaintCaption();
    // Drops Menu down under the quick button at R (window coordinates).
    void ShowQuickButtonMenu(const TRect& R, TspSkinPopupMenu* Menu);
    // The chain closed: the quick button whose menu was open comes up.
    void ReleaseMenuQuickButton();

private:
    // The caption's band of the skin from rectangle R of Src, at the object's size.
    void CaptionImage(TBitmap& Dst, TBitmap* Src, const TRect& R, bool AnimationFrame) const;
    // The text and its effects onto C at offset (OX, OY) in the looks of ALook.
    void DrawContent(TCanvas* C, int OX, int OY, TRect TR, bool ALook);
    void DrawQuickButtons(TCanvas* C);
    TRect TextRect() const;
    TBitmap* DividerPicture(TRect& R) const;
};
