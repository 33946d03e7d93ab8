#pragma once
// The pop-up menus of the main window are built from lists of texts.
#include <string>
#include <vector>

namespace lumetra {

enum class MenuItemKind { Plain, Separator, Title, Marked };

struct MenuItem {
    MenuItemKind kind = MenuItemKind::Plain;
    std::string text;  // without the "TITLE:" prefix
    int command = 0;   // index + 1
};

// "SEPERATOR" makes a separator, a text starting "TITLE:" a greyed heading of the rest, the item at
// markedIndex (when not -1) is added disabled; item commands are their index + 1.
std::vector<MenuItem> BuildMenuItems(const std::vector<std::string>& texts, int markedIndex = -1);

}  // namespace lumetra
