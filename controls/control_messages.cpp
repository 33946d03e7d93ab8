#include "controls/control_messages.h"

namespace lumetra {
namespace {
UINT Register(const char* name) { return RegisterWindowMessageA(name); }
}  // namespace

const ListMessages& XListMessages() {
    static const ListMessages messages{
        Register("WM_XLISTCTRL_SELECT"),
        Register("WM_XLISTCTRL_CHECKBOX_CLICKED"),
        Register("WM_XLISTCTRL_BUTTON_CLICKED"),
        Register("WM_XLISTCTRL_SUBITEM_HOVER_ENTER"),
        Register("WM_XLISTCTRL_SUBITEM_HOVER_LEAVE"),
        Register("WM_XLISTCTRL_COMBO_SELECTION"),
        Register("WM_XLISTCTRL_DATECAL_SELECTION"),
        Register("WM_XLISTCTRL_TIMECLK_SELECTION"),
        Register("WM_XLISTCTRL_EDITTXT_UPDATE"),
    };
    return messages;
}

const EditorMessages& XEditorMessages() {
    static const EditorMessages messages{
        Register("WM_XCOMBOLIST_VK_RETURN"), Register("WM_XCOMBOLIST_VK_ESCAPE"),
        Register("WM_XCOMBOLIST_KEYDOWN"),   Register("WM_XCOMBOLIST_LBUTTONUP"),
        Register("WM_XDATECAL_VK_RETURN"),   Register("WM_XDATECAL_VK_ESCAPE"),
        Register("WM_XDATECAL_KEYDOWN"),     Register("WM_XDATECAL_LBUTTONUP"),
        Register("NEAR WM_XEDITTXT_VK_RETURN"), Register("NEAR WM_XEDITTXT_VK_ESCAPE"),
        Register("WM_XTIMECLK_VK_RETURN"),   Register("WM_XTIMECLK_VK_ESCAPE"),
        Register("WM_XTIMECLK_KEYDOWN"),     Register("WM_XTIMECLK_LBUTTONUP"),
    };
    return messages;
}

namespace {
// Registered when the program starts, so every window agrees on the numbers from the beginning.
const UINT kListRegistered = XListMessages().select;
const UINT kEditorsRegistered = XEditorMessages().comboReturn;
}  // namespace

}  // namespace lumetra
