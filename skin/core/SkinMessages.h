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


// The other messages of the skin library, kept here so that no two parts of
// it give one number two meanings.
constexpr UINT WM_SKINMENUCLOSE = 1228;          // a popup menu closed
constexpr UINT WM_SKINMENUCOMMAND = 1229;        // a popup menu item chosen
constexpr UINT WM_MDICHILDFILL = 1230;           // MDI children and their main form
constexpr UINT WM_MDICHILDMAXIMIZED = 1231;
constexpr UINT WM_MDICHILDRESTORED = 1232;
constexpr UINT WM_MDICHILDCHANGED = 1233;
constexpr UINT WM_MDIRESTOREALL = 1234;
constexpr UINT WM_MDIRESTOREALLEXCEPT = 1235;
constexpr UINT WM_MDIISMAXIMIZED = 1236;
constexpr UINT WM_CHECKPARENTBG = 1284;          // the parent's background changed
constexpr UINT WM_SHOWBUTTONLAYER = 1424;        // glow layer of a button on
constexpr UINT WM_HIDEBUTTONLAYER = 1425;        // and off
constexpr UINT WM_RESTOREFROMTRAY = 1426;
constexpr UINT WM_TRAYICONNOTIFY = 2048;
constexpr UINT WM_SKINQUERYFRAME = 45490;
constexpr UINT WM_SKINEFFECTSHOWBEGIN = 45491;
constexpr UINT WM_SKINEFFECTSHOWEND = 45492;
constexpr UINT WM_SKINPAINTHEADER = 45512;
constexpr UINT WM_SKINPAINTFRAME = 45513;
constexpr UINT WM_SKINPAINTFRAMEEX = 48203;
