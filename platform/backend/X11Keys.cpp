#include "platform/backend/X11Keys.h"

#include "platform/user/Input.h"

#include <X11/keysym.h>

WORD X11KeysymToVk(unsigned long ks)
{
    if (ks >= XK_a && ks <= XK_z)
        return static_cast<WORD>('A' + (ks - XK_a));
    if (ks >= XK_A && ks <= XK_Z)
        return static_cast<WORD>('A' + (ks - XK_A));
    if (ks >= XK_0 && ks <= XK_9)
        return static_cast<WORD>('0' + (ks - XK_0));
    if (ks >= XK_F1 && ks <= XK_F24)
        return static_cast<WORD>(VK_F1 + (ks - XK_F1));
    if (ks >= XK_KP_0 && ks <= XK_KP_9)
        return static_cast<WORD>(VK_NUMPAD0 + (ks - XK_KP_0));
    switch (ks) {
    case XK_BackSpace: return VK_BACK;
    case XK_Tab:
    case XK_ISO_Left_Tab:
    case XK_KP_Tab: return VK_TAB;
    case XK_Clear: return VK_CLEAR;
    case XK_Return:
    case XK_KP_Enter: return VK_RETURN;
    case XK_Pause: return VK_PAUSE;
    case XK_Scroll_Lock: return VK_SCROLL;
    case XK_Escape: return VK_ESCAPE;
    case XK_Delete:
    case XK_KP_Delete: return VK_DELETE;
    case XK_Home:
    case XK_KP_Home: return VK_HOME;
    case XK_Left:
    case XK_KP_Left: return VK_LEFT;
    case XK_Up:
    case XK_KP_Up: return VK_UP;
    case XK_Right:
    case XK_KP_Right: return VK_RIGHT;
    case XK_Down:
    case XK_KP_Down: return VK_DOWN;
    case XK_Prior:
    case XK_KP_Prior: return VK_PRIOR;
    case XK_Next:
    case XK_KP_Next: return VK_NEXT;
    case XK_End:
    case XK_KP_End: return VK_END;
    case XK_KP_Begin: return VK_CLEAR;
    case XK_Insert:
    case XK_KP_Insert: return VK_INSERT;
    case XK_Select: return VK_SELECT;
    case XK_Print: return VK_SNAPSHOT;
    case XK_Execute: return VK_EXECUTE;
    case XK_Help: return VK_HELP;
    case XK_Menu: return VK_APPS;
    case XK_Num_Lock: return VK_NUMLOCK;
    case XK_Caps_Lock: return VK_CAPITAL;
    case XK_Shift_L:
    case XK_Shift_R: return VK_SHIFT;
    case XK_Control_L:
    case XK_Control_R: return VK_CONTROL;
    case XK_Alt_L:
    case XK_Alt_R:
    case XK_Meta_L:
    case XK_Meta_R:
    case XK_ISO_Level3_Shift: return VK_MENU;
    case XK_Super_L: return VK_LWIN;
    case XK_Super_R: return VK_RWIN;
    case XK_space:
    case XK_KP_Space: return VK_SPACE;
    case XK_KP_Multiply: return VK_MULTIPLY;
    case XK_KP_Add: return VK_ADD;
    case XK_KP_Separator: return VK_SEPARATOR;
    case XK_KP_Subtract: return VK_SUBTRACT;
    case XK_KP_Decimal: return VK_DECIMAL;
    case XK_KP_Divide: return VK_DIVIDE;
    case XK_semicolon:
    case XK_colon: return VK_OEM_1;
    case XK_equal:
    case XK_plus: return VK_OEM_PLUS;
    case XK_comma:
    case XK_less: return VK_OEM_COMMA;
    case XK_minus:
    case XK_underscore: return VK_OEM_MINUS;
    case XK_period:
    case XK_greater: return VK_OEM_PERIOD;
    case XK_slash:
    case XK_question: return VK_OEM_2;
    case XK_grave:
    case XK_asciitilde: return VK_OEM_3;
    case XK_bracketleft:
    case XK_braceleft: return VK_OEM_4;
    case XK_backslash:
    case XK_bar: return VK_OEM_5;
    case XK_bracketright:
    case XK_braceright: return VK_OEM_6;
    case XK_apostrophe:
    case XK_quotedbl: return VK_OEM_7;
    default: return 0;
    }
}

char32_t X11KeysymToChar(unsigned long ks)
{
    // Latin-1 symbols are their own code points; symbols made from a code
    // point carry it with 0x01000000 added.
    if ((ks >= 0x20 && ks <= 0x7E) || (ks >= 0xA0 && ks <= 0xFF))
        return static_cast<char32_t>(ks);
    if (ks >= 0x01000100 && ks <= 0x0110FFFF) {
        char32_t c = static_cast<char32_t>(ks - 0x01000000);
        if (c >= 0xD800 && c <= 0xDFFF)
            return 0;
        return c;
    }
    if (ks == XK_EuroSign)
        return 0x20AC;
    return 0;
}
