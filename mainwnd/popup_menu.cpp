#include "mainwnd/popup_menu.h"

#include "framework/handles.h"
#include "mainwnd/menu_items.h"

namespace lumetra {

int TrackTextMenu(HWND owner, const std::vector<std::string>& texts, const RECT* below, int markedIndex) {
    UniqueMenu menu(CreatePopupMenu());
    if (!menu.Get()) return -1;
    for (const MenuItem& item : BuildMenuItems(texts, markedIndex)) {
        switch (item.kind) {
        case MenuItemKind::Separator:
            AppendMenuA(menu.Get(), MF_SEPARATOR, 0, nullptr);
            break;
        case MenuItemKind::Title:
        case MenuItemKind::Marked:
            AppendMenuA(menu.Get(), MF_STRING | MF_GRAYED, static_cast<UINT_PTR>(item.command), item.text.c_str());
            break;
        case MenuItemKind::Plain:
            AppendMenuA(menu.Get(), MF_STRING, static_cast<UINT_PTR>(item.command), item.text.c_str());
            break;
        }
    }
    POINT at{};
    if (below) at = POINT{below->left, below->bottom};
    else GetCursorPos(&at);
    int command = TrackPopupMenu(menu.Get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y,
                                 0, owner, nullptr);
    return command > 0 ? command - 1 : -1;
}

}  // namespace lumetra
