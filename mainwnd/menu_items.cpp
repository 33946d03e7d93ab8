#include "mainwnd/menu_items.h"

namespace lumetra {

std::vector<MenuItem> BuildMenuItems(const std::vector<std::string>& texts, int markedIndex) {
    static const std::string kTitle = "TITLE:";
    std::vector<MenuItem> items;
    for (size_t i = 0; i < texts.size(); ++i) {
        MenuItem item;
        item.command = static_cast<int>(i) + 1;
        item.text = texts[i];
        if (texts[i] == "SEPERATOR") {
            item.kind = MenuItemKind::Separator;
        } else if (texts[i].compare(0, kTitle.size(), kTitle) == 0) {
            item.kind = MenuItemKind::Title;
            item.text = texts[i].substr(kTitle.size());
        } else if (static_cast<int>(i) == markedIndex) {
            item.kind = MenuItemKind::Marked;
        }
        items.push_back(item);
    }
    return items;
}

}  // namespace lumetra
