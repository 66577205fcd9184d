#pragma once
// What the skinned tree and list views share. Both stand on a native view
// created without scroll bars; one or two skinned bars beside the view stand
// in for them and are kept in step after every size, paint, key, click and
// selection change. Selected rows are drawn on a list-box piece.
#include "platform/gui/Controls.h"
#include "platform/gui/Graphics.h"
#include "skin/controls/SkinScrollBars.h"
#include "skin/core/SkinEditPieces.h"

#include <string>

// The skin's active picture at Index; null without one.
TBitmap* SkinPictureAt(const TspSkinData* Data, int Index);

// A view's bar setter: the bar is remembered with a free notification, and
// a new bar is enabled, hidden and reports its moves to OnChange.
void AttachViewBar(TComponent* View, TspSkinScrollBar*& Field, TspSkinScrollBar* Value, TNotifyEvent OnChange);

// Shows or hides Bar with Guard set around the change; true when the bar's
// visibility changed. Nothing without a bar.
bool SetViewBarVisible(TspSkinScrollBar* Bar, bool Visible, bool& Guard);

// The end of every bar update: the horizontal bar takes its corner look
// while the vertical one shows, and an aligned view has its parent re-align
// when a bar came or went (with Guard set, so the view's own sizing does not
// start another update).
void FinishViewBars(TControl* View, TspSkinScrollBar* VBar, TspSkinScrollBar* HBar, bool Changed, bool& Guard);

// Each bar's Align set again to its own value, so the parent re-aligns it.
void RealignViewBars(TspSkinScrollBar* VBar, TspSkinScrollBar* HBar);

// The view's font from a skin piece (name, style and height with
// UseSkinFont, else DefaultFont's; the piece's colour) with the string
// table's character set.
void ApplyViewSkinFont(TFont* Font, TFont* DefaultFont, bool UseSkinFont, const std::string& Name, TFontStyles Style,
                       int Height, TColor Color, const TspSkinData* Data);
// DefaultFont's character set unless the skin has a string table.
void ApplyViewCharset(TFont* Font, TFont* DefaultFont, const TspSkinData* Data);

// The list-box piece named Name when the skin has one of that kind (null
// otherwise, and then the native drawing stays).
TspDataSkinListBox* FindItemPiece(const TspSkinData* Data, const std::string& Name);

// B (already sized) becomes a selected row: the focused or the active item
// picture stretched around its text part, the canvas font Font in the
// matching colour over a clear brush.
void DrawSelectedItemBack(TBitmap* B, const TspDataSkinListBox& Item, TBitmap* Picture, bool Focused, TFont* Font);
