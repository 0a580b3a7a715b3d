// Popup menus: a native menu of the visible items, tracked, and the chosen item's click.
#include "framework/win32/win32_backend.h"


namespace kv::win32::detail {

namespace {

// A native popup menu of the visible items; an item with items of its own opens a submenu.
HMENU buildMenu(const std::vector<std::unique_ptr<MenuItem>>& items, std::vector<MenuItem*>& byId) {
    HMENU hm = CreatePopupMenu();
    for (auto& item : items) {
        if (!item->visible()) continue;
        UINT flags = item->isSeparator() ? MF_SEPARATOR : MF_STRING;
        if (!item->enabled()) flags |= MF_GRAYED;
        if (item->checked()) flags |= MF_CHECKED;
        if (item->newColumn) flags |= MF_MENUBARBREAK;
        std::string text = item->caption();
        if (!item->shortcut().empty()) text += "\t" + item->shortcut();
        UINT_PTR id;
        if (!item->items().empty()) {
            flags |= MF_POPUP;
            id = reinterpret_cast<UINT_PTR>(buildMenu(item->items(), byId));
        } else {
            byId.push_back(item.get());
            id = byId.size();
        }
        AppendMenuA(hm, flags, id, item->isSeparator() ? nullptr : text.c_str());
    }
    return hm;
}

}  // namespace

void Win32Ui::popup(PopupMenu& menu, int x, int y) {
    HandlerScope running;  // the menu and its owner stay while the chosen item's handler runs
    std::vector<MenuItem*> byId;
    HMENU hm = buildMenu(menu.items(), byId);
    HWND owner = menu.owner() ? hwndOf(*menu.owner()) : nullptr;
    if (!owner) owner = GetActiveWindow();
    if (!owner) owner = applicationWindow();
    const Scale s = scaleOf(owner);
    int cmd = TrackPopupMenu(hm, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_NONOTIFY, s.px(x),
                             s.px(y), 0, owner, nullptr);
    forgetSentModifiers();  // the menu's loop may have taken their key-ups
    DestroyMenu(hm);
    PostMessageA(owner, WM_NULL, 0, 0);
    if (cmd > 0 && static_cast<size_t>(cmd) <= byId.size()) {
        MenuItem* chosen = byId[static_cast<size_t>(cmd) - 1];
        showingErrors([&] { chosen->click(); });
        if (menu.owner()) pokeModalLoop(*menu.owner());
    }
}

}  // namespace kv::win32::detail
