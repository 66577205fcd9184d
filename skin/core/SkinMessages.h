#pragma once
// The window messages with which skin data tells the forms of a skin change,
// and the order in which it tells them (TspSkinData::SendSkinDataMessage):
// nothing in build mode; the owning form first unless layered borders are on;
// then every form of the screen, collected before the first message is sent,
// leaving out the layered border windows, walked backwards when the skin has
// a layered frame and layered borders are on.
#include "platform/rtl/Types.h"

// Message numbers of the skin changes; every message carries the skin data
// as WParam and 1000 as LParam.
constexpr UINT WM_SKINBEFORECHANGE = 1225;
constexpr UINT WM_SKINCHANGED = 1226;
constexpr UINT WM_SKINCHANGEDMDI = 1227;
constexpr UINT WM_SKINRESSTRCHANGED = 1274;
constexpr UINT WM_SKINNABLEFORMCHANGED = 1294;
constexpr UINT WM_LAYEREDBORDERSCHANGED = 1427;
constexpr UINT WM_AEROBLURCHANGED = 1428;

