#pragma once
// The native controls' interface: class names, styles, messages,
// notifications and the records they exchange, with the platform's values
// (the skin library compares and sends them). The scroll information every
// window keeps is in platform/user/ScrollInfo.h, included here.
//
// Texts are UTF-8; character positions (EM_GETSEL and friends) are byte
// offsets into the UTF-8 text and always fall on character boundaries.
#include "platform/user/ScrollInfo.h"
#include "platform/user/UserTypes.h"

// ---- Class names -----------------------------------------------------------
inline constexpr const char* WC_EDIT = "EDIT";
inline constexpr const char* WC_LISTBOX = "LISTBOX";
inline constexpr const char* WC_TABCONTROL = "SysTabControl32";
inline constexpr const char* UPDOWN_CLASS = "msctls_updown32";

// Registers the native control classes (idempotent; window creation of one
// of these names also registers them).
void InitCommonControls();
struct INITCOMMONCONTROLSEX {
    DWORD dwSize = sizeof(INITCOMMONCONTROLSEX);
    DWORD dwICC = 0;
};
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* icc);

// ---- Notifications ----------------------------------------------------------------
struct NMHDR {
    HWND hwndFrom = nullptr;
    UINT_PTR idFrom = 0;
    UINT code = 0;
};
using TNMHdr = NMHDR;
constexpr UINT NM_FIRST = 0;
constexpr UINT NM_OUTOFMEMORY = NM_FIRST - 1;
constexpr UINT NM_CLICK = NM_FIRST - 2;
constexpr UINT NM_DBLCLK = NM_FIRST - 3;
constexpr UINT NM_RETURN = NM_FIRST - 4;
constexpr UINT NM_RCLICK = NM_FIRST - 5;
constexpr UINT NM_RDBLCLK = NM_FIRST - 6;
constexpr UINT NM_SETFOCUS = NM_FIRST - 7;
constexpr UINT NM_KILLFOCUS = NM_FIRST - 8;
constexpr UINT NM_CUSTOMDRAW = NM_FIRST - 12;
constexpr UINT NM_HOVER = NM_FIRST - 13;

// Custom draw.
constexpr DWORD CDDS_PREPAINT = 0x00000001;
constexpr DWORD CDDS_POSTPAINT = 0x00000002;
constexpr DWORD CDDS_PREERASE = 0x00000003;
constexpr DWORD CDDS_POSTERASE = 0x00000004;
constexpr DWORD CDDS_ITEM = 0x00010000;
constexpr DWORD CDDS_ITEMPREPAINT = CDDS_ITEM | CDDS_PREPAINT;
constexpr DWORD CDDS_ITEMPOSTPAINT = CDDS_ITEM | CDDS_POSTPAINT;
constexpr DWORD CDDS_SUBITEM = 0x00020000;
constexpr LRESULT CDRF_DODEFAULT = 0x00000000;
constexpr LRESULT CDRF_NEWFONT = 0x00000002;
constexpr LRESULT CDRF_SKIPDEFAULT = 0x00000004;
constexpr LRESULT CDRF_NOTIFYPOSTPAINT = 0x00000010;
constexpr LRESULT CDRF_NOTIFYITEMDRAW = 0x00000020;
constexpr LRESULT CDRF_NOTIFYSUBITEMDRAW = 0x00000020;
constexpr LRESULT CDRF_NOTIFYPOSTERASE = 0x00000040;
constexpr UINT CDIS_SELECTED = 0x0001;
constexpr UINT CDIS_GRAYED = 0x0002;
constexpr UINT CDIS_DISABLED = 0x0004;
constexpr UINT CDIS_CHECKED = 0x0008;
constexpr UINT CDIS_FOCUS = 0x0010;
constexpr UINT CDIS_DEFAULT = 0x0020;
constexpr UINT CDIS_HOT = 0x0040;
constexpr UINT CDIS_MARKED = 0x0080;
constexpr UINT CDIS_INDETERMINATE = 0x0100;
struct NMCUSTOMDRAW {
    NMHDR hdr;
    DWORD dwDrawStage = 0;
    HDC hdc = nullptr;
    RECT rc{};
    DWORD_PTR dwItemSpec = 0;
    UINT uItemState = 0;
    LPARAM lItemlParam = 0;
};

// ---- Owner drawing ----------------------------------------------------------------
constexpr UINT ODT_MENU = 1;
constexpr UINT ODT_LISTBOX = 2;
constexpr UINT ODT_COMBOBOX = 3;
constexpr UINT ODT_BUTTON = 4;
constexpr UINT ODT_STATIC = 5;
constexpr UINT ODT_HEADER = 100;
constexpr UINT ODT_TAB = 101;
constexpr UINT ODT_LISTVIEW = 102;
constexpr UINT ODA_DRAWENTIRE = 0x0001;
constexpr UINT ODA_SELECT = 0x0002;
constexpr UINT ODA_FOCUS = 0x0004;
constexpr UINT ODS_SELECTED = 0x0001;
constexpr UINT ODS_GRAYED = 0x0002;
constexpr UINT ODS_DISABLED = 0x0004;
constexpr UINT ODS_CHECKED = 0x0008;
constexpr UINT ODS_FOCUS = 0x0010;
constexpr UINT ODS_DEFAULT = 0x0020;
constexpr UINT ODS_HOTLIGHT = 0x0040;
constexpr UINT ODS_INACTIVE = 0x0080;
constexpr UINT ODS_NOACCEL = 0x0100;
constexpr UINT ODS_NOFOCUSRECT = 0x0200;
constexpr UINT ODS_COMBOBOXEDIT = 0x1000;
struct DRAWITEMSTRUCT {
    UINT CtlType = 0;
    UINT CtlID = 0;
    UINT itemID = 0;
    UINT itemAction = 0;
    UINT itemState = 0;
    HWND hwndItem = nullptr;
    HDC hDC = nullptr;
    RECT rcItem{};
    DWORD_PTR itemData = 0;
};
using TDrawItemStruct = DRAWITEMSTRUCT;
struct MEASUREITEMSTRUCT {
    UINT CtlType = 0;
    UINT CtlID = 0;
    UINT itemID = 0;
    UINT itemWidth = 0;
    UINT itemHeight = 0;
    DWORD_PTR itemData = 0;
};
using TMeasureItemStruct = MEASUREITEMSTRUCT;

// ---- Edit ----------------------------------------------------------------------------
constexpr DWORD ES_LEFT = 0x0000;
constexpr DWORD ES_CENTER = 0x0001;
constexpr DWORD ES_RIGHT = 0x0002;
constexpr DWORD ES_MULTILINE = 0x0004;
constexpr DWORD ES_UPPERCASE = 0x0008;
constexpr DWORD ES_LOWERCASE = 0x0010;
constexpr DWORD ES_PASSWORD = 0x0020;
constexpr DWORD ES_AUTOVSCROLL = 0x0040;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr DWORD ES_NOHIDESEL = 0x0100;
constexpr DWORD ES_OEMCONVERT = 0x0400;
constexpr DWORD ES_READONLY = 0x0800;
constexpr DWORD ES_WANTRETURN = 0x1000;
constexpr DWORD ES_NUMBER = 0x2000;
constexpr UINT EM_GETSEL = 0x00B0;
constexpr UINT EM_SETSEL = 0x00B1;
constexpr UINT EM_GETRECT = 0x00B2;
constexpr UINT EM_SETRECT = 0x00B3;
constexpr UINT EM_SETRECTNP = 0x00B4;
constexpr UINT EM_SCROLL = 0x00B5;
constexpr UINT EM_LINESCROLL = 0x00B6;
constexpr UINT EM_SCROLLCARET = 0x00B7;
constexpr UINT EM_GETMODIFY = 0x00B8;
constexpr UINT EM_SETMODIFY = 0x00B9;
constexpr UINT EM_GETLINECOUNT = 0x00BA;
constexpr UINT EM_LINEINDEX = 0x00BB;
constexpr UINT EM_LINELENGTH = 0x00C1;
constexpr UINT EM_REPLACESEL = 0x00C2;
constexpr UINT EM_GETLINE = 0x00C4;
constexpr UINT EM_LIMITTEXT = 0x00C5;
constexpr UINT EM_SETLIMITTEXT = EM_LIMITTEXT;
constexpr UINT EM_CANUNDO = 0x00C6;
constexpr UINT EM_UNDO = 0x00C7;
constexpr UINT EM_LINEFROMCHAR = 0x00C9;
constexpr UINT EM_SETPASSWORDCHAR = 0x00CC;
constexpr UINT EM_EMPTYUNDOBUFFER = 0x00CD;
constexpr UINT EM_GETFIRSTVISIBLELINE = 0x00CE;
constexpr UINT EM_SETREADONLY = 0x00CF;
constexpr UINT EM_GETPASSWORDCHAR = 0x00D2;
constexpr UINT EM_SETMARGINS = 0x00D3;
constexpr UINT EM_GETMARGINS = 0x00D4;
constexpr UINT EM_GETLIMITTEXT = 0x00D5;
constexpr UINT EM_POSFROMCHAR = 0x00D6;
constexpr UINT EM_CHARFROMPOS = 0x00D7;
constexpr WPARAM EC_LEFTMARGIN = 0x0001;
constexpr WPARAM EC_RIGHTMARGIN = 0x0002;
constexpr WORD EC_USEFONTINFO = 0xFFFF;
constexpr WORD EN_SETFOCUS = 0x0100;
constexpr WORD EN_KILLFOCUS = 0x0200;
constexpr WORD EN_CHANGE = 0x0300;
constexpr WORD EN_UPDATE = 0x0400;
constexpr WORD EN_ERRSPACE = 0x0500;
constexpr WORD EN_MAXTEXT = 0x0501;
constexpr WORD EN_HSCROLL = 0x0601;
constexpr WORD EN_VSCROLL = 0x0602;

// ---- List box --------------------------------------------------------------------
constexpr DWORD LBS_NOTIFY = 0x0001;
constexpr DWORD LBS_SORT = 0x0002;
constexpr DWORD LBS_NOREDRAW = 0x0004;
constexpr DWORD LBS_MULTIPLESEL = 0x0008;
constexpr DWORD LBS_OWNERDRAWFIXED = 0x0010;
constexpr DWORD LBS_OWNERDRAWVARIABLE = 0x0020;
constexpr DWORD LBS_HASSTRINGS = 0x0040;
constexpr DWORD LBS_USETABSTOPS = 0x0080;
constexpr DWORD LBS_NOINTEGRALHEIGHT = 0x0100;
constexpr DWORD LBS_MULTICOLUMN = 0x0200;
constexpr DWORD LBS_WANTKEYBOARDINPUT = 0x0400;
constexpr DWORD LBS_EXTENDEDSEL = 0x0800;
constexpr DWORD LBS_DISABLENOSCROLL = 0x1000;
constexpr DWORD LBS_NODATA = 0x2000;
constexpr DWORD LBS_NOSEL = 0x4000;
constexpr UINT LB_ADDSTRING = 0x0180;
constexpr UINT LB_INSERTSTRING = 0x0181;
constexpr UINT LB_DELETESTRING = 0x0182;
constexpr UINT LB_RESETCONTENT = 0x0184;
constexpr UINT LB_SETSEL = 0x0185;
constexpr UINT LB_SETCURSEL = 0x0186;
constexpr UINT LB_GETSEL = 0x0187;
constexpr UINT LB_GETCURSEL = 0x0188;
constexpr UINT LB_GETTEXT = 0x0189;
constexpr UINT LB_GETTEXTLEN = 0x018A;
constexpr UINT LB_GETCOUNT = 0x018B;
constexpr UINT LB_SELECTSTRING = 0x018C;
constexpr UINT LB_GETTOPINDEX = 0x018E;
constexpr UINT LB_FINDSTRING = 0x018F;
constexpr UINT LB_GETSELCOUNT = 0x0190;
constexpr UINT LB_GETSELITEMS = 0x0191;
constexpr UINT LB_SETCOLUMNWIDTH = 0x0195;
constexpr UINT LB_SETTOPINDEX = 0x0197;
constexpr UINT LB_GETITEMRECT = 0x0198;
constexpr UINT LB_GETITEMDATA = 0x0199;
constexpr UINT LB_SETITEMDATA = 0x019A;
constexpr UINT LB_SELITEMRANGE = 0x019B;
constexpr UINT LB_SETANCHORINDEX = 0x019C;
constexpr UINT LB_GETANCHORINDEX = 0x019D;
constexpr UINT LB_SETCARETINDEX = 0x019E;
constexpr UINT LB_GETCARETINDEX = 0x019F;
constexpr UINT LB_SETITEMHEIGHT = 0x01A0;
constexpr UINT LB_GETITEMHEIGHT = 0x01A1;
constexpr UINT LB_FINDSTRINGEXACT = 0x01A2;
constexpr UINT LB_ITEMFROMPOINT = 0x01A9;
constexpr LRESULT LB_OKAY = 0;
constexpr LRESULT LB_ERR = -1;
constexpr LRESULT LB_ERRSPACE = -2;
constexpr WORD LBN_SELCHANGE = 1;
constexpr WORD LBN_DBLCLK = 2;
constexpr WORD LBN_SELCANCEL = 3;
constexpr WORD LBN_SETFOCUS = 4;
constexpr WORD LBN_KILLFOCUS = 5;
// How long the keys typed into a list box make one search text.
constexpr UINT LB_TYPEAHEAD_MS = 1000;

// ---- Up-down -------------------------------------------------------------------------
constexpr DWORD UDS_WRAP = 0x0001;
constexpr DWORD UDS_SETBUDDYINT = 0x0002;
constexpr DWORD UDS_ALIGNRIGHT = 0x0004;
constexpr DWORD UDS_ALIGNLEFT = 0x0008;
constexpr DWORD UDS_AUTOBUDDY = 0x0010;
constexpr DWORD UDS_ARROWKEYS = 0x0020;
constexpr DWORD UDS_HORZ = 0x0040;
constexpr DWORD UDS_NOTHOUSANDS = 0x0080;
constexpr DWORD UDS_HOTTRACK = 0x0100;
constexpr UINT UDM_SETRANGE = WM_USER + 101;
constexpr UINT UDM_GETRANGE = WM_USER + 102;
constexpr UINT UDM_SETPOS = WM_USER + 103;
constexpr UINT UDM_GETPOS = WM_USER + 104;
constexpr UINT UDM_SETBUDDY = WM_USER + 105;
constexpr UINT UDM_GETBUDDY = WM_USER + 106;
constexpr UINT UDM_SETACCEL = WM_USER + 107;
constexpr UINT UDM_GETACCEL = WM_USER + 108;
constexpr UINT UDM_SETBASE = WM_USER + 109;
constexpr UINT UDM_GETBASE = WM_USER + 110;
constexpr UINT UDM_SETRANGE32 = WM_USER + 111;
constexpr UINT UDM_GETRANGE32 = WM_USER + 112;
constexpr UINT UDM_SETPOS32 = WM_USER + 113;
constexpr UINT UDM_GETPOS32 = WM_USER + 114;
constexpr UINT UDN_FIRST = 0U - 721U;
constexpr UINT UDN_DELTAPOS = UDN_FIRST - 1;
struct NMUPDOWN {
    NMHDR hdr;
    int iPos = 0;
    int iDelta = 0;
};
using TNMUpDown = NMUPDOWN;

// ---- Tab control ---------------------------------------------------------------------
using HIMAGELIST = HIMAGELIST_TAG;
constexpr DWORD TCS_SCROLLOPPOSITE = 0x0001;
constexpr DWORD TCS_BOTTOM = 0x0002;
constexpr DWORD TCS_RIGHT = 0x0002;
constexpr DWORD TCS_MULTISELECT = 0x0004;
constexpr DWORD TCS_FLATBUTTONS = 0x0008;
constexpr DWORD TCS_FORCEICONLEFT = 0x0010;
constexpr DWORD TCS_FORCELABELLEFT = 0x0020;
constexpr DWORD TCS_HOTTRACK = 0x0040;
constexpr DWORD TCS_VERTICAL = 0x0080;
constexpr DWORD TCS_TABS = 0x0000;
constexpr DWORD TCS_BUTTONS = 0x0100;
constexpr DWORD TCS_SINGLELINE = 0x0000;
constexpr DWORD TCS_MULTILINE = 0x0200;
constexpr DWORD TCS_RIGHTJUSTIFY = 0x0000;
constexpr DWORD TCS_FIXEDWIDTH = 0x0400;
constexpr DWORD TCS_RAGGEDRIGHT = 0x0800;
constexpr DWORD TCS_FOCUSONBUTTONDOWN = 0x1000;
constexpr DWORD TCS_OWNERDRAWFIXED = 0x2000;
constexpr DWORD TCS_TOOLTIPS = 0x4000;
constexpr DWORD TCS_FOCUSNEVER = 0x8000;
constexpr UINT TCM_FIRST = 0x1300;
constexpr UINT TCM_GETIMAGELIST = TCM_FIRST + 2;
constexpr UINT TCM_SETIMAGELIST = TCM_FIRST + 3;
constexpr UINT TCM_GETITEMCOUNT = TCM_FIRST + 4;
constexpr UINT TCM_GETITEM = TCM_FIRST + 5;
constexpr UINT TCM_SETITEM = TCM_FIRST + 6;
constexpr UINT TCM_INSERTITEM = TCM_FIRST + 7;
constexpr UINT TCM_DELETEITEM = TCM_FIRST + 8;
constexpr UINT TCM_DELETEALLITEMS = TCM_FIRST + 9;
constexpr UINT TCM_GETITEMRECT = TCM_FIRST + 10;
constexpr UINT TCM_GETCURSEL = TCM_FIRST + 11;
constexpr UINT TCM_SETCURSEL = TCM_FIRST + 12;
constexpr UINT TCM_HITTEST = TCM_FIRST + 13;
constexpr UINT TCM_ADJUSTRECT = TCM_FIRST + 40;
constexpr UINT TCM_SETITEMSIZE = TCM_FIRST + 41;
constexpr UINT TCM_SETPADDING = TCM_FIRST + 43;
constexpr UINT TCM_GETROWCOUNT = TCM_FIRST + 44;
constexpr UINT TCM_GETCURFOCUS = TCM_FIRST + 47;
constexpr UINT TCM_SETCURFOCUS = TCM_FIRST + 48;
constexpr UINT TCM_SETMINTABWIDTH = TCM_FIRST + 49;
// This platform's own: wParam 1 makes the owner show the scroller of an
// overflowing single line (no child is made; WM_HSCROLL with lParam 0 and
// SB_THUMBPOSITION scrolls); TCM_GETSCROLLSTATE gives (largest first tab << 16) | first
// tab shown, or -1 while the tabs fit.
constexpr UINT TCM_SETOWNERSCROLLER = TCM_FIRST + 60;
constexpr UINT TCM_GETSCROLLSTATE = TCM_FIRST + 61;
constexpr UINT TCIF_TEXT = 0x0001;
constexpr UINT TCIF_IMAGE = 0x0002;
constexpr UINT TCIF_RTLREADING = 0x0004;
constexpr UINT TCIF_PARAM = 0x0008;
constexpr UINT TCIF_STATE = 0x0010;
struct TCITEM {
    UINT mask = 0;
    DWORD dwState = 0;
    DWORD dwStateMask = 0;
    char* pszText = nullptr;
    int cchTextMax = 0;
    int iImage = -1;
    LPARAM lParam = 0;
};
using TTCItem = TCITEM;
constexpr UINT TCHT_NOWHERE = 0x0001;
constexpr UINT TCHT_ONITEMICON = 0x0002;
constexpr UINT TCHT_ONITEMLABEL = 0x0004;
constexpr UINT TCHT_ONITEM = TCHT_ONITEMICON | TCHT_ONITEMLABEL;
struct TCHITTESTINFO {
    POINT pt{};
    UINT flags = 0;
};
using TTCHitTestInfo = TCHITTESTINFO;
constexpr UINT TCN_FIRST = 0U - 550U;
constexpr UINT TCN_KEYDOWN = TCN_FIRST - 0;
constexpr UINT TCN_SELCHANGE = TCN_FIRST - 1;
constexpr UINT TCN_SELCHANGING = TCN_FIRST - 2;

// ---- Tree view -------------------------------------------------------------------------
inline constexpr const char* WC_TREEVIEW = "SysTreeView32";
struct _TREEITEM;
using HTREEITEM = _TREEITEM*;
inline HTREEITEM const TVI_ROOT = reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x10000));
inline HTREEITEM const TVI_FIRST = reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x0FFFF));
inline HTREEITEM const TVI_LAST = reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x0FFFE));
inline HTREEITEM const TVI_SORT = reinterpret_cast<HTREEITEM>(static_cast<std::intptr_t>(-0x0FFFD));
constexpr DWORD TVS_HASBUTTONS = 0x0001;
constexpr DWORD TVS_HASLINES = 0x0002;
constexpr DWORD TVS_LINESATROOT = 0x0004;
constexpr DWORD TVS_EDITLABELS = 0x0008;
constexpr DWORD TVS_DISABLEDRAGDROP = 0x0010;
constexpr DWORD TVS_SHOWSELALWAYS = 0x0020;
constexpr DWORD TVS_RTLREADING = 0x0040;
constexpr DWORD TVS_NOTOOLTIPS = 0x0080;
constexpr DWORD TVS_CHECKBOXES = 0x0100;
constexpr DWORD TVS_TRACKSELECT = 0x0200;
constexpr DWORD TVS_SINGLEEXPAND = 0x0400;
constexpr DWORD TVS_INFOTIP = 0x0800;
constexpr DWORD TVS_FULLROWSELECT = 0x1000;
constexpr DWORD TVS_NOSCROLL = 0x2000;
constexpr DWORD TVS_NONEVENHEIGHT = 0x4000;
constexpr UINT TV_FIRST = 0x1100;
constexpr UINT TVM_INSERTITEM = TV_FIRST + 0;
constexpr UINT TVM_DELETEITEM = TV_FIRST + 1;
constexpr UINT TVM_EXPAND = TV_FIRST + 2;
constexpr UINT TVM_GETITEMRECT = TV_FIRST + 4;
constexpr UINT TVM_GETCOUNT = TV_FIRST + 5;
constexpr UINT TVM_GETINDENT = TV_FIRST + 6;
constexpr UINT TVM_SETINDENT = TV_FIRST + 7;
constexpr UINT TVM_GETIMAGELIST = TV_FIRST + 8;
constexpr UINT TVM_SETIMAGELIST = TV_FIRST + 9;
// Image lists of a tree: its nodes' pictures, and state pictures drawn left
// of them by the node's state image index (TVIS_STATEIMAGEMASK, 0 none).
constexpr WPARAM TVSIL_NORMAL = 0;
constexpr WPARAM TVSIL_STATE = 2;
constexpr UINT TVM_GETNEXTITEM = TV_FIRST + 10;
constexpr UINT TVM_SELECTITEM = TV_FIRST + 11;
constexpr UINT TVM_GETITEM = TV_FIRST + 12;
constexpr UINT TVM_SETITEM = TV_FIRST + 13;
constexpr UINT TVM_EDITLABEL = TV_FIRST + 14;
constexpr UINT TVM_GETEDITCONTROL = TV_FIRST + 15;
constexpr UINT TVM_GETVISIBLECOUNT = TV_FIRST + 16;
constexpr UINT TVM_HITTEST = TV_FIRST + 17;
constexpr UINT TVM_SORTCHILDREN = TV_FIRST + 19;
constexpr UINT TVM_ENSUREVISIBLE = TV_FIRST + 20;
constexpr UINT TVM_SORTCHILDRENCB = TV_FIRST + 21;
constexpr UINT TVM_ENDEDITLABELNOW = TV_FIRST + 22;
constexpr UINT TVM_SETITEMHEIGHT = TV_FIRST + 27;
constexpr UINT TVM_GETITEMHEIGHT = TV_FIRST + 28;
// The tree's background (COLORREF; -1: the system window colour); the old one back.
constexpr UINT TVM_SETBKCOLOR = TV_FIRST + 29;
constexpr UINT TVM_GETBKCOLOR = TV_FIRST + 31;
constexpr UINT TVGN_ROOT = 0x0000;
constexpr UINT TVGN_NEXT = 0x0001;
constexpr UINT TVGN_PREVIOUS = 0x0002;
constexpr UINT TVGN_PARENT = 0x0003;
constexpr UINT TVGN_CHILD = 0x0004;
constexpr UINT TVGN_FIRSTVISIBLE = 0x0005;
constexpr UINT TVGN_NEXTVISIBLE = 0x0006;
constexpr UINT TVGN_PREVIOUSVISIBLE = 0x0007;
constexpr UINT TVGN_DROPHILITE = 0x0008;
constexpr UINT TVGN_CARET = 0x0009;
constexpr UINT TVGN_LASTVISIBLE = 0x000A;
constexpr UINT TVE_COLLAPSE = 0x0001;
constexpr UINT TVE_EXPAND = 0x0002;
constexpr UINT TVE_TOGGLE = 0x0003;
constexpr UINT TVE_COLLAPSERESET = 0x8000;
constexpr UINT TVIF_TEXT = 0x0001;
constexpr UINT TVIF_IMAGE = 0x0002;
constexpr UINT TVIF_PARAM = 0x0004;
constexpr UINT TVIF_STATE = 0x0008;
constexpr UINT TVIF_HANDLE = 0x0010;
constexpr UINT TVIF_SELECTEDIMAGE = 0x0020;
constexpr UINT TVIF_CHILDREN = 0x0040;
constexpr UINT TVIS_SELECTED = 0x0002;
constexpr UINT TVIS_CUT = 0x0004;
constexpr UINT TVIS_DROPHILITED = 0x0008;
constexpr UINT TVIS_BOLD = 0x0010;
constexpr UINT TVIS_EXPANDED = 0x0020;
constexpr UINT TVIS_EXPANDEDONCE = 0x0040;
constexpr UINT TVIS_OVERLAYMASK = 0x0F00;
constexpr UINT TVIS_STATEIMAGEMASK = 0xF000;
constexpr int I_CHILDRENCALLBACK = -1;
constexpr UINT TVC_UNKNOWN = 0x0000;
constexpr UINT TVC_BYMOUSE = 0x0001;
constexpr UINT TVC_BYKEYBOARD = 0x0002;
constexpr UINT TVHT_NOWHERE = 0x0001;
constexpr UINT TVHT_ONITEMICON = 0x0002;
constexpr UINT TVHT_ONITEMLABEL = 0x0004;
constexpr UINT TVHT_ONITEMINDENT = 0x0008;
constexpr UINT TVHT_ONITEMBUTTON = 0x0010;
constexpr UINT TVHT_ONITEMRIGHT = 0x0020;
constexpr UINT TVHT_ONITEMSTATEICON = 0x0040;
constexpr UINT TVHT_ONITEM = TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON;
constexpr UINT TVHT_ABOVE = 0x0100;
constexpr UINT TVHT_BELOW = 0x0200;
constexpr UINT TVHT_TORIGHT = 0x0400;
constexpr UINT TVHT_TOLEFT = 0x0800;
struct TVITEM {
    UINT mask = 0;
    HTREEITEM hItem = nullptr;
    UINT state = 0;
    UINT stateMask = 0;
    char* pszText = nullptr;
    int cchTextMax = 0;
    int iImage = 0;
    int iSelectedImage = 0;
    int cChildren = 0;
    LPARAM lParam = 0;
};
using TTVItem = TVITEM;
struct TVINSERTSTRUCT {
    HTREEITEM hParent = nullptr;
    HTREEITEM hInsertAfter = nullptr;
    TVITEM item;
};
using TTVInsertStruct = TVINSERTSTRUCT;
struct TVHITTESTINFO {
    POINT pt{};
    UINT flags = 0;
    HTREEITEM hItem = nullptr;
};
using TTVHitTestInfo = TVHITTESTINFO;
using PFNTVCOMPARE = int (*)(LPARAM, LPARAM, LPARAM);
struct TVSORTCB {
    HTREEITEM hParent = nullptr;
    PFNTVCOMPARE lpfnCompare = nullptr;
    LPARAM lParam = 0;
};
constexpr UINT TVN_FIRST = 0U - 400U;
constexpr UINT TVN_SELCHANGING = TVN_FIRST - 1;
constexpr UINT TVN_SELCHANGED = TVN_FIRST - 2;
constexpr UINT TVN_GETDISPINFO = TVN_FIRST - 3;
constexpr UINT TVN_SETDISPINFO = TVN_FIRST - 4;
constexpr UINT TVN_ITEMEXPANDING = TVN_FIRST - 5;
constexpr UINT TVN_ITEMEXPANDED = TVN_FIRST - 6;
constexpr UINT TVN_BEGINDRAG = TVN_FIRST - 7;
constexpr UINT TVN_BEGINRDRAG = TVN_FIRST - 8;
constexpr UINT TVN_DELETEITEM = TVN_FIRST - 9;
constexpr UINT TVN_BEGINLABELEDIT = TVN_FIRST - 10;
constexpr UINT TVN_ENDLABELEDIT = TVN_FIRST - 11;
constexpr UINT TVN_KEYDOWN = TVN_FIRST - 12;
struct NMTREEVIEW {
    NMHDR hdr;
    UINT action = 0;
    TVITEM itemOld;
    TVITEM itemNew;
    POINT ptDrag{};
};
using TNMTreeView = NMTREEVIEW;
struct NMTVDISPINFO {
    NMHDR hdr;
    TVITEM item;
};
using TTVDispInfo = NMTVDISPINFO;
struct NMTVCUSTOMDRAW {
    NMCUSTOMDRAW nmcd;
    COLORREF clrText = 0;
    COLORREF clrTextBk = 0;
    int iLevel = 0;
};
using TNMTVCustomDraw = NMTVCUSTOMDRAW;

// ---- Header ------------------------------------------------------------------------------
inline constexpr const char* WC_HEADER = "SysHeader32";
constexpr DWORD HDS_HORZ = 0x0000;
constexpr DWORD HDS_BUTTONS = 0x0002;
constexpr DWORD HDS_HIDDEN = 0x0008;
constexpr UINT HDM_FIRST = 0x1200;
constexpr UINT HDM_GETITEMCOUNT = HDM_FIRST + 0;
constexpr UINT HDM_INSERTITEM = HDM_FIRST + 1;
constexpr UINT HDM_DELETEITEM = HDM_FIRST + 2;
constexpr UINT HDM_GETITEM = HDM_FIRST + 3;
constexpr UINT HDM_SETITEM = HDM_FIRST + 4;
constexpr UINT HDM_LAYOUT = HDM_FIRST + 5;
constexpr UINT HDM_HITTEST = HDM_FIRST + 6;
constexpr UINT HDM_GETITEMRECT = HDM_FIRST + 7;
// Sections are never reordered here: the order array is 0, 1, 2, ...
constexpr UINT HDM_ORDERTOINDEX = HDM_FIRST + 15;
constexpr UINT HDM_GETORDERARRAY = HDM_FIRST + 17;
constexpr UINT HDI_WIDTH = 0x0001;
constexpr UINT HDI_HEIGHT = HDI_WIDTH;
constexpr UINT HDI_TEXT = 0x0002;
constexpr UINT HDI_FORMAT = 0x0004;
constexpr UINT HDI_LPARAM = 0x0008;
constexpr UINT HDI_BITMAP = 0x0010;
constexpr UINT HDI_IMAGE = 0x0020;
constexpr UINT HDI_ORDER = 0x0080;
constexpr int HDF_LEFT = 0x0000;
constexpr int HDF_RIGHT = 0x0001;
constexpr int HDF_CENTER = 0x0002;
constexpr int HDF_JUSTIFYMASK = 0x0003;
constexpr int HDF_STRING = 0x4000;
struct HDITEM {
    UINT mask = 0;
    int cxy = 0;
    char* pszText = nullptr;
    HBITMAP hbm = nullptr;
    int cchTextMax = 0;
    int fmt = 0;
    LPARAM lParam = 0;
    int iImage = 0;
    int iOrder = 0;
};
using THDItem = HDITEM;
struct HDLAYOUT {
    RECT* prc = nullptr;
    WINDOWPOS* pwpos = nullptr;
};
struct HDHITTESTINFO {
    POINT pt{};
    UINT flags = 0;
    int iItem = -1;
};
constexpr UINT HHT_NOWHERE = 0x0001;
constexpr UINT HHT_ONHEADER = 0x0002;
constexpr UINT HHT_ONDIVIDER = 0x0004;
constexpr UINT HDN_FIRST = 0U - 300U;
constexpr UINT HDN_ITEMCHANGING = HDN_FIRST - 0;
constexpr UINT HDN_ITEMCHANGED = HDN_FIRST - 1;
constexpr UINT HDN_ITEMCLICK = HDN_FIRST - 2;
struct NMHEADER {
    NMHDR hdr;
    int iItem = -1;
    int iButton = 0;
    HDITEM* pitem = nullptr;
};

// ---- List view ---------------------------------------------------------------------------
inline constexpr const char* WC_LISTVIEW = "SysListView32";
constexpr DWORD LVS_ICON = 0x0000;
constexpr DWORD LVS_REPORT = 0x0001;
constexpr DWORD LVS_SMALLICON = 0x0002;
constexpr DWORD LVS_LIST = 0x0003;
constexpr DWORD LVS_TYPEMASK = 0x0003;
constexpr DWORD LVS_SINGLESEL = 0x0004;
constexpr DWORD LVS_SHOWSELALWAYS = 0x0008;
constexpr DWORD LVS_SORTASCENDING = 0x0010;
constexpr DWORD LVS_SORTDESCENDING = 0x0020;
constexpr DWORD LVS_SHAREIMAGELISTS = 0x0040;
constexpr DWORD LVS_NOLABELWRAP = 0x0080;
constexpr DWORD LVS_AUTOARRANGE = 0x0100;
constexpr DWORD LVS_EDITLABELS = 0x0200;
constexpr DWORD LVS_OWNERDRAWFIXED = 0x0400;
constexpr DWORD LVS_OWNERDATA = 0x1000;
constexpr DWORD LVS_NOSCROLL = 0x2000;
constexpr DWORD LVS_NOCOLUMNHEADER = 0x4000;
constexpr DWORD LVS_NOSORTHEADER = 0x8000;
constexpr UINT LVM_FIRST = 0x1000;
constexpr UINT LVM_GETIMAGELIST = LVM_FIRST + 2;
constexpr UINT LVM_SETIMAGELIST = LVM_FIRST + 3;
constexpr UINT LVM_GETITEMCOUNT = LVM_FIRST + 4;
constexpr UINT LVM_GETITEM = LVM_FIRST + 5;
constexpr UINT LVM_SETITEM = LVM_FIRST + 6;
constexpr UINT LVM_INSERTITEM = LVM_FIRST + 7;
constexpr UINT LVM_DELETEITEM = LVM_FIRST + 8;
constexpr UINT LVM_DELETEALLITEMS = LVM_FIRST + 9;
constexpr UINT LVM_GETNEXTITEM = LVM_FIRST + 12;
constexpr UINT LVM_FINDITEM = LVM_FIRST + 13;
constexpr UINT LVM_GETITEMRECT = LVM_FIRST + 14;
constexpr UINT LVM_HITTEST = LVM_FIRST + 18;
constexpr UINT LVM_ENSUREVISIBLE = LVM_FIRST + 19;
constexpr UINT LVM_SCROLL = LVM_FIRST + 20;
constexpr UINT LVM_REDRAWITEMS = LVM_FIRST + 21;
// Label editing: LVM_EDITLABEL (wParam the item, -1 cancels) lays an "EDIT"
// child over the label after LVN_BEGINLABELEDIT (answered non-zero: no
// edit); Enter or losing the focus accepts, Esc cancels, and
// LVN_ENDLABELEDIT (text null when cancelled) answered non-zero keeps the
// new text. Scrolling accepts; deleting the item cancels.
constexpr UINT LVM_EDITLABEL = LVM_FIRST + 23;
constexpr UINT LVM_GETEDITCONTROL = LVM_FIRST + 24;
constexpr UINT LVM_GETCOLUMN = LVM_FIRST + 25;
constexpr UINT LVM_SETCOLUMN = LVM_FIRST + 26;
constexpr UINT LVM_INSERTCOLUMN = LVM_FIRST + 27;
constexpr UINT LVM_DELETECOLUMN = LVM_FIRST + 28;
constexpr UINT LVM_GETCOLUMNWIDTH = LVM_FIRST + 29;
constexpr UINT LVM_SETCOLUMNWIDTH = LVM_FIRST + 30;
constexpr UINT LVM_GETHEADER = LVM_FIRST + 31;
constexpr UINT LVM_GETTOPINDEX = LVM_FIRST + 39;
constexpr UINT LVM_GETCOUNTPERPAGE = LVM_FIRST + 40;
constexpr UINT LVM_SETITEMSTATE = LVM_FIRST + 43;
constexpr UINT LVM_GETITEMSTATE = LVM_FIRST + 44;
constexpr UINT LVM_GETITEMTEXT = LVM_FIRST + 45;
constexpr UINT LVM_SETITEMTEXT = LVM_FIRST + 46;
constexpr UINT LVM_SETITEMCOUNT = LVM_FIRST + 47;
constexpr UINT LVM_SORTITEMS = LVM_FIRST + 48;
// Extended styles: wParam the bits to change (0: all), lParam their values;
// answers the old ones.
constexpr UINT LVM_SETEXTENDEDLISTVIEWSTYLE = LVM_FIRST + 54;
constexpr UINT LVM_GETEXTENDEDLISTVIEWSTYLE = LVM_FIRST + 55;
// Grid lines between the report's cells; check boxes left of the items
// (state image 1 unchecked, 2 checked; a click on the box or Space toggles
// it, announced as a state change); rows are selected whole here, with or
// without LVS_EX_FULLROWSELECT.
constexpr DWORD LVS_EX_GRIDLINES = 0x0001;
constexpr DWORD LVS_EX_CHECKBOXES = 0x0004;
constexpr DWORD LVS_EX_FULLROWSELECT = 0x0020;
constexpr UINT LVM_GETSELECTEDCOUNT = LVM_FIRST + 50;
constexpr UINT LVM_CANCELEDITLABEL = LVM_FIRST + 179;
constexpr int LVSIL_NORMAL = 0;
constexpr int LVSIL_SMALL = 1;
constexpr int LVSIL_STATE = 2;
constexpr UINT LVIF_TEXT = 0x0001;
constexpr UINT LVIF_IMAGE = 0x0002;
constexpr UINT LVIF_PARAM = 0x0004;
constexpr UINT LVIF_STATE = 0x0008;
constexpr UINT LVIF_INDENT = 0x0010;
constexpr UINT LVIS_FOCUSED = 0x0001;
constexpr UINT LVIS_SELECTED = 0x0002;
constexpr UINT LVIS_CUT = 0x0004;
constexpr UINT LVIS_DROPHILITED = 0x0008;
constexpr UINT LVIS_OVERLAYMASK = 0x0F00;
constexpr UINT LVIS_STATEIMAGEMASK = 0xF000;
constexpr UINT INDEXTOSTATEIMAGEMASK(UINT i) { return i << 12; }
constexpr int I_IMAGECALLBACK = -1;
inline char* const LPSTR_TEXTCALLBACK = reinterpret_cast<char*>(static_cast<std::intptr_t>(-1));
struct LVITEM {
    UINT mask = 0;
    int iItem = 0;
    int iSubItem = 0;
    UINT state = 0;
    UINT stateMask = 0;
    char* pszText = nullptr;
    int cchTextMax = 0;
    int iImage = 0;
    LPARAM lParam = 0;
    int iIndent = 0;
};
using TLVItem = LVITEM;
constexpr UINT LVCF_FMT = 0x0001;
constexpr UINT LVCF_WIDTH = 0x0002;
constexpr UINT LVCF_TEXT = 0x0004;
constexpr UINT LVCF_SUBITEM = 0x0008;
constexpr UINT LVCF_IMAGE = 0x0010;
constexpr UINT LVCF_ORDER = 0x0020;
constexpr int LVCFMT_LEFT = 0x0000;
constexpr int LVCFMT_RIGHT = 0x0001;
constexpr int LVCFMT_CENTER = 0x0002;
struct LVCOLUMN {
    UINT mask = 0;
    int fmt = 0;
    int cx = 0;
    char* pszText = nullptr;
    int cchTextMax = 0;
    int iSubItem = 0;
    int iImage = 0;
    int iOrder = 0;
};
using TLVColumn = LVCOLUMN;
constexpr UINT LVNI_ALL = 0x0000;
constexpr UINT LVNI_FOCUSED = 0x0001;
constexpr UINT LVNI_SELECTED = 0x0002;
constexpr UINT LVNI_ABOVE = 0x0100;
constexpr UINT LVNI_BELOW = 0x0200;
constexpr int LVIR_BOUNDS = 0;
constexpr int LVIR_ICON = 1;
constexpr int LVIR_LABEL = 2;
constexpr int LVIR_SELECTBOUNDS = 3;
constexpr UINT LVHT_NOWHERE = 0x0001;
constexpr UINT LVHT_ONITEMICON = 0x0002;
constexpr UINT LVHT_ONITEMLABEL = 0x0004;
constexpr UINT LVHT_ONITEMSTATEICON = 0x0008;
constexpr UINT LVHT_ONITEM = LVHT_ONITEMICON | LVHT_ONITEMLABEL | LVHT_ONITEMSTATEICON;
constexpr UINT LVHT_ABOVE = 0x0008;
constexpr UINT LVHT_BELOW = 0x0010;
constexpr UINT LVHT_TORIGHT = 0x0020;
constexpr UINT LVHT_TOLEFT = 0x0040;
struct LVHITTESTINFO {
    POINT pt{};
    UINT flags = 0;
    int iItem = -1;
    int iSubItem = 0;
};
using TLVHitTestInfo = LVHITTESTINFO;
constexpr UINT LVN_FIRST = 0U - 100U;
constexpr UINT LVN_ITEMCHANGING = LVN_FIRST - 0;
constexpr UINT LVN_ITEMCHANGED = LVN_FIRST - 1;
constexpr UINT LVN_INSERTITEM = LVN_FIRST - 2;
constexpr UINT LVN_DELETEITEM = LVN_FIRST - 3;
constexpr UINT LVN_DELETEALLITEMS = LVN_FIRST - 4;
constexpr UINT LVN_BEGINLABELEDIT = LVN_FIRST - 5;
constexpr UINT LVN_ENDLABELEDIT = LVN_FIRST - 6;
constexpr UINT LVN_COLUMNCLICK = LVN_FIRST - 8;
constexpr UINT LVN_GETDISPINFO = LVN_FIRST - 50;
constexpr UINT LVN_ODFINDITEM = LVN_FIRST - 52;
struct NMLISTVIEW {
    NMHDR hdr;
    int iItem = -1;
    int iSubItem = 0;
    UINT uNewState = 0;
    UINT uOldState = 0;
    UINT uChanged = 0;
    POINT ptAction{};
    LPARAM lParam = 0;
};
using TNMListView = NMLISTVIEW;
struct NMLVDISPINFO {
    NMHDR hdr;
    LVITEM item;
};
using TLVDispInfo = NMLVDISPINFO;
// Sorting: the callback gets the two items' lParam and the caller's value;
// negative, 0 or positive as for any comparison. The order is stable.
using PFNLVCOMPARE = int (*)(LPARAM, LPARAM, LPARAM);
// Finding: LVFI_STRING compares whole texts, LVFI_PARTIAL their beginnings
// (both case-insensitive), LVFI_PARAM the items' lParam; the search starts
// after the item in wParam (-1: at the first) and LVFI_WRAP goes on from
// the top. With owner data the parent answers LVN_ODFINDITEM instead.
constexpr UINT LVFI_PARAM = 0x0001;
constexpr UINT LVFI_STRING = 0x0002;
constexpr UINT LVFI_PARTIAL = 0x0008;
constexpr UINT LVFI_WRAP = 0x0020;
constexpr UINT LVFI_NEARESTXY = 0x0040;
struct LVFINDINFO {
    UINT flags = 0;
    const char* psz = nullptr;
    LPARAM lParam = 0;
    POINT pt{};
    UINT vkDirection = 0;
};
using TLVFindInfo = LVFINDINFO;
struct NMLVFINDITEM {
    NMHDR hdr;
    int iStart = 0;  // the first index to look at
    LVFINDINFO lvfi;
};
using TNMLVFindItem = NMLVFINDITEM;
struct NMLVCUSTOMDRAW {
    NMCUSTOMDRAW nmcd;
    COLORREF clrText = 0;
    COLORREF clrTextBk = 0;
    int iSubItem = 0;
};
using TNMLVCustomDraw = NMLVCUSTOMDRAW;

// ---- Image lists ----------------------------------------------------------------------
constexpr UINT ILC_MASK = 0x0001;
constexpr UINT ILC_COLOR = 0x0000;
constexpr UINT ILC_COLORDDB = 0x00FE;
constexpr UINT ILC_COLOR4 = 0x0004;
constexpr UINT ILC_COLOR8 = 0x0008;
constexpr UINT ILC_COLOR16 = 0x0010;
constexpr UINT ILC_COLOR24 = 0x0018;
constexpr UINT ILC_COLOR32 = 0x0020;
constexpr UINT ILD_NORMAL = 0x0000;
constexpr UINT ILD_TRANSPARENT = 0x0001;
constexpr UINT ILD_MASK = 0x0010;
constexpr UINT ILD_BLEND25 = 0x0002;
constexpr UINT ILD_BLEND50 = 0x0004;
constexpr UINT ILD_FOCUS = ILD_BLEND25;
constexpr UINT ILD_SELECTED = ILD_BLEND50;
constexpr COLORREF CLR_NONE = 0xFFFFFFFF;
constexpr COLORREF CLR_DEFAULT = 0xFF000000;
HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow);
BOOL ImageList_Destroy(HIMAGELIST list);
// Adds the pieces of image (as many as its width holds); white pixels of
// the mask (or pixels of the mask colour) are transparent, and a 32-bit
// image with alpha keeps it. Returns the first new index, -1 on failure.
int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask);
int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF mask);
// i = -1 removes every picture.
BOOL ImageList_Remove(HIMAGELIST list, int i);
int ImageList_GetImageCount(HIMAGELIST list);
BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy);
COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF bk);
COLORREF ImageList_GetBkColor(HIMAGELIST list);
BOOL ImageList_Draw(HIMAGELIST list, int i, HDC dc, int x, int y, UINT style);
// dx, dy of 0 draw at the list's size; bk CLR_NONE leaves the background,
// CLR_DEFAULT uses the list's; ILD_BLEND25/50 mix in fg (CLR_DEFAULT: the
// highlight colour).
BOOL ImageList_DrawEx(HIMAGELIST list, int i, HDC dc, int x, int y, int dx, int dy, COLORREF bk, COLORREF fg,
                      UINT style);
