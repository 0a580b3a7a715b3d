// List controls: a list box whose items carry a picture (several columns, multiple selection),
// the drive box and the folder list that hold a current drive and folder, and the window hook
// component (a callback before each message of a form's window).
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/controls.h"

namespace kv {

// A list of text items, each drawn after its picture. With `columns` above 0 the items flow
// down and across in columns of `columnWidth` pixels (a multi-column list that scrolls
// sideways); with 0 they form one column that scrolls down.
class ListBox : public Control {
public:
    ListBox(Control* parent, std::string name);
    const char* className() const override { return "ListBox"; }

    struct Item {
        std::string text;
        int picture = -1;  // index into `pictures`; -1 for none
        bool selected = false;
    };

    // Names of the built-in pictures the items refer to by index ("file", "folder", ...).
    std::vector<std::string> pictures;
    bool sorted = false;  // add() inserts in order (case-insensitive, by bytes otherwise)
    int itemHeight = 16;

    bool multiSelect() const { return multiSelect_; }
    void setMultiSelect(bool v);
    int columns() const { return columns_; }
    void setColumns(int n);  // 0: one column without column layout
    int columnWidth() const { return columnWidth_; }
    void setColumnWidth(int w);

    int count() const { return static_cast<int>(items_.size()); }
    const std::vector<Item>& items() const { return items_; }
    const std::string& item(int i) const;  // "" outside the list
    int picture(int i) const;
    // Adds an item (in order when sorted) and returns its index.
    int add(const std::string& text, int picture = -1);
    void setItem(int i, const std::string& text);  // in place, without sorting again
    void assign(std::vector<Item> items);          // the whole list at once, as given
    void clear();
    // Changes between these two are shown once, at the end.
    void beginUpdate() { ++updating_; }
    void endUpdate();

    bool selected(int i) const;
    void setSelected(int i, bool v);
    // Selects exactly the items `pick` accepts, shown as one change (a multiple-selection
    // list; thousands of rows would otherwise be redrawn once per row).
    void selectWhere(const std::function<bool(const Item&)>& pick);
    int selCount() const;
    // The current row (the focus row; in a single-selection list also the selected one);
    // -1 for none. Setting it in a single-selection list selects that row only.
    int itemIndex() const { return itemIndex_; }
    void setItemIndex(int i);
    int topIndex() const { return topIndex_; }
    void setTopIndex(int i);

    // The user clicks item i (shift: ShiftKey or CtrlKey extend a multiple selection): the
    // selection changes as in the platform's list and onClick runs.
    void clickItem(int i, unsigned shift = 0);
    // The user double-clicks item i.
    void dblClickItem(int i);

    // Called by the backend when the user changed the selection in the native list.
    void selectionFromPeer(std::vector<int> selectedRows, int current);

    // Compares as the sorted list does.
    static bool lessText(const std::string& a, const std::string& b);

private:
    void itemsChanged();
    std::vector<Item> items_;
    bool multiSelect_ = false;
    int columns_ = 0, columnWidth_ = 0;
    int itemIndex_ = -1, topIndex_ = 0;
    int updating_ = 0;
    bool dirty_ = false;
};

// A drop-down list whose items carry a picture, drawn before the item's text.
class PictureComboBox : public ComboBox {
public:
    using ComboBox::ComboBox;
    const char* className() const override { return "PictureComboBox"; }
    // Items with their pictures (built-in picture names; "" for none). The index goes to -1.
    void setItems(std::vector<std::string> items, std::vector<std::string> pictures);
    const std::string& picture(int i) const;

private:
    std::vector<std::string> pictures_;
};

// The drives of the machine and the current one (a drive combo box; each entry "c: [label]"
// with the drive's picture).
class DriveComboBox : public Control {
public:
    DriveComboBox(Control* parent, std::string name);
    const char* className() const override { return "DriveComboBox"; }
    // Reads the drives again from the file system port.
    void refresh();
    struct Entry {
        char letter;
        std::string text;
        std::string picture;  // "drive-fixed", "drive-floppy", "drive-cd", "drive-net", "drive-ram"
    };
    const std::vector<Entry>& entries() const { return entries_; }
    char drive() const { return drive_; }
    // Makes the drive current when it exists (lower case); runs onChange when it changed.
    void setDrive(char letter);
    int itemIndex() const;  // of the current drive
    NotifyEvent onChange;

private:
    std::vector<Entry> entries_;
    char drive_ = 'c';
};

// The current folder and the folders around it, as a folder list shows them: the drive root
// at index 0, then each folder of the path, then the subfolders of the current folder.
// Changing the folder also changes the process's current directory.
class DirectoryListBox : public Control {
public:
    DirectoryListBox(Control* parent, std::string name);
    const char* className() const override { return "DirectoryListBox"; }
    const std::string& directory() const { return directory_; }
    // Changes to an existing folder (its stored case) and runs onChange; false, with nothing
    // changed, when it is not a folder.
    bool setDirectory(const std::string& path);
    // Reads the folder's subfolders again.
    void update();
    const std::vector<std::string>& entries() const { return entries_; }
    int itemIndex() const { return level_; }  // of the current folder
    std::string picture(int i) const;          // "folder-open" up to the current, then "folder"
    NotifyEvent onChange;

private:
    void rebuild();
    std::string directory_ = "c:\\";
    std::vector<std::string> entries_;
    int level_ = 0;
};

// The window hook component: a callback that sees each message of its form's window before
// the form handles it (message number and first parameter).
class WindowHook {
public:
    explicit WindowHook(Form* form);
    ~WindowHook();
    WindowHook(const WindowHook&) = delete;
    WindowHook& operator=(const WindowHook&) = delete;
    std::function<void(uint32_t msg, uintptr_t wparam)> onBeforeMessage;
    bool active = true;

    // Runs the hooks of a form (called by the backend for each message of the form's window,
    // and by tests as the platform would).
    static void beforeMessage(Form& form, uint32_t msg, uintptr_t wparam);

private:
    Form* form_;
};

// Window message numbers the hooks look at.
namespace wm {
constexpr uint32_t Activate = 0x0006;
}

// The platform's font dialog: starts from `font`; only fonts of the ANSI character set and
// sizes minSize..maxSize are offered. True with the chosen font when the user pressed OK.
bool chooseFont(Font& font, int minSize, int maxSize);

}  // namespace kv
