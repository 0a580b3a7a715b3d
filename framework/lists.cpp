#include "framework/lists.h"

#include <algorithm>

#include "framework/platform.h"
#include "framework/text.h"

namespace kv {

namespace {
const std::string kNoText;

unsigned char lowerByte(unsigned char c) { return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c; }
}  // namespace

// ---- ListBox ---------------------------------------------------------------------------

ListBox::ListBox(Control* parent, std::string name) : Control(parent, std::move(name)) {
    setColor(SysColor(syscolor::Window));
}

bool ListBox::lessText(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = lowerByte(static_cast<unsigned char>(a[i]));
        unsigned char y = lowerByte(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y;
    }
    return a.size() < b.size();
}

void ListBox::itemsChanged() {
    if (updating_) dirty_ = true;
    else notify(Prop::Items);
}

void ListBox::endUpdate() {
    if (updating_ > 0 && --updating_ == 0 && dirty_) {
        dirty_ = false;
        notify(Prop::Items);
    }
}

void ListBox::setMultiSelect(bool v) {
    if (v == multiSelect_) return;
    multiSelect_ = v;
    if (!v) {
        for (size_t i = 0; i < items_.size(); ++i) items_[i].selected = static_cast<int>(i) == itemIndex_;
    }
    notify(Prop::Layout);
}

void ListBox::setColumns(int n) {
    n = std::max(0, n);
    if (n == columns_) return;
    columns_ = n;
    notify(Prop::Layout);
}

void ListBox::setColumnWidth(int w) {
    if (w == columnWidth_) return;
    columnWidth_ = w;
    notify(Prop::Layout);
}

const std::string& ListBox::item(int i) const {
    if (i < 0 || i >= count()) return kNoText;
    return items_[static_cast<size_t>(i)].text;
}

int ListBox::picture(int i) const {
    if (i < 0 || i >= count()) return -1;
    return items_[static_cast<size_t>(i)].picture;
}

int ListBox::add(const std::string& text, int pic) {
    size_t at = items_.size();
    if (sorted)
        at = static_cast<size_t>(std::upper_bound(items_.begin(), items_.end(), text,
                                                  [](const std::string& t, const Item& it) { return lessText(t, it.text); }) -
                                 items_.begin());
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(at), Item{text, pic, false});
    if (itemIndex_ >= static_cast<int>(at)) ++itemIndex_;
    itemsChanged();
    return static_cast<int>(at);
}

void ListBox::setItem(int i, const std::string& text) {
    if (i < 0 || i >= count()) return;
    if (items_[static_cast<size_t>(i)].text == text) return;
    items_[static_cast<size_t>(i)].text = text;
    itemsChanged();
}

void ListBox::assign(std::vector<Item> items) {
    items_ = std::move(items);
    itemIndex_ = -1;
    topIndex_ = 0;
    if (!multiSelect_)
        for (auto& it : items_) it.selected = false;
    itemsChanged();
}

void ListBox::clear() {
    if (items_.empty() && itemIndex_ == -1) return;
    items_.clear();
    itemIndex_ = -1;
    topIndex_ = 0;
    itemsChanged();
}

bool ListBox::selected(int i) const {
    if (i < 0 || i >= count()) return false;
    return items_[static_cast<size_t>(i)].selected;
}

void ListBox::setSelected(int i, bool v) {
    if (i < 0 || i >= count()) return;
    if (!multiSelect_) {
        // A single-selection list selects through its current row.
        if (v) setItemIndex(i);
        else if (i == itemIndex_) {
            items_[static_cast<size_t>(i)].selected = false;
            itemIndex_ = -1;
            notify(Prop::Selection);
        }
        return;
    }
    if (items_[static_cast<size_t>(i)].selected == v) return;
    items_[static_cast<size_t>(i)].selected = v;
    notify(Prop::Selection);
}

void ListBox::selectWhere(const std::function<bool(const Item&)>& pick) {
    if (!multiSelect_) return;
    bool changed = false;
    for (auto& it : items_) {
        const bool v = pick(it);
        changed = changed || v != it.selected;
        it.selected = v;
    }
    if (changed) notify(Prop::Selection);
}

int ListBox::selCount() const {
    int n = 0;
    for (auto& it : items_) n += it.selected ? 1 : 0;
    return n;
}

void ListBox::setItemIndex(int i) {
    if (i < -1 || i >= count()) i = -1;
    if (!multiSelect_) {
        for (auto& it : items_) it.selected = false;
        if (i >= 0) items_[static_cast<size_t>(i)].selected = true;
    }
    itemIndex_ = i;
    notify(Prop::Selection);
}

void ListBox::setTopIndex(int i) {
    i = std::clamp(i, 0, std::max(0, count() - 1));
    if (i == topIndex_) return;
    topIndex_ = i;
    notify(Prop::Selection);
}

void ListBox::clickItem(int i, unsigned shift) {
    if (!enabled() || i < 0 || i >= count()) return;
    if (multiSelect_ && (shift & CtrlKey)) {
        items_[static_cast<size_t>(i)].selected = !items_[static_cast<size_t>(i)].selected;
        itemIndex_ = i;
    } else if (multiSelect_ && (shift & ShiftKey) && itemIndex_ >= 0) {
        int a = std::min(itemIndex_, i), b = std::max(itemIndex_, i);
        for (int k = 0; k < count(); ++k) items_[static_cast<size_t>(k)].selected = k >= a && k <= b;
        itemIndex_ = i;
    } else {
        for (auto& it : items_) it.selected = false;
        items_[static_cast<size_t>(i)].selected = true;
        itemIndex_ = i;
    }
    notify(Prop::Selection);
    click();
}

void ListBox::dblClickItem(int i) {
    if (!enabled() || i < 0 || i >= count()) return;
    if (itemIndex_ != i) clickItem(i);
    dblClick();
}

void ListBox::selectionFromPeer(std::vector<int> rows, int current) {
    for (auto& it : items_) it.selected = false;
    for (int r : rows)
        if (r >= 0 && r < count()) items_[static_cast<size_t>(r)].selected = true;
    itemIndex_ = (current >= 0 && current < count()) ? current : -1;
}

// ---- PictureComboBox ------------------------------------------------------------------

void PictureComboBox::setItems(std::vector<std::string> items, std::vector<std::string> pictures) {
    pictures.resize(items.size());
    pictures_ = std::move(pictures);
    ComboBox::setItems(std::move(items));
}

const std::string& PictureComboBox::picture(int i) const {
    if (i < 0 || i >= static_cast<int>(pictures_.size())) return kNoText;
    return pictures_[static_cast<size_t>(i)];
}

// ---- DriveComboBox ---------------------------------------------------------------------

DriveComboBox::DriveComboBox(Control* parent, std::string name) : Control(parent, std::move(name)) {
    setVisible(false);
}

void DriveComboBox::refresh() {
    entries_.clear();
    FileSystemPort* fs = ports().fs;
    if (!fs) return;
    for (const DriveInfo& d : fs->drives()) {
        Entry e;
        e.letter = d.letter;
        e.text = std::string(1, d.letter) + ":";
        switch (d.type) {
            case DriveType::Removable: e.picture = "drive-floppy"; break;
            case DriveType::CDRom: e.picture = "drive-cd"; break;
            case DriveType::Remote: e.picture = "drive-net"; break;
            case DriveType::RamDisk: e.picture = "drive-ram"; break;
            default: e.picture = "drive-fixed"; break;
        }
        if (!d.label.empty()) e.text += " [" + lower(d.label) + "]";
        entries_.push_back(e);
    }
}

void DriveComboBox::setDrive(char letter) {
    letter = lower(std::string(1, letter))[0];
    if (entries_.empty()) refresh();
    bool known = std::any_of(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.letter == letter; });
    if (!known || letter == drive_) return;
    drive_ = letter;
    notify(Prop::Selection);
    if (onChange) onChange(this);
}

int DriveComboBox::itemIndex() const {
    for (size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].letter == drive_) return static_cast<int>(i);
    return -1;
}

// ---- DirectoryListBox ------------------------------------------------------------------

DirectoryListBox::DirectoryListBox(Control* parent, std::string name) : Control(parent, std::move(name)) {
    setVisible(false);
}

bool DirectoryListBox::setDirectory(const std::string& path) {
    FileSystemPort* fs = ports().fs;
    if (!fs || path.empty()) return false;
    std::string p = path;
    if (p.size() == 2 && p[1] == ':') p += '\\';
    if (!fs->isDirectory(p)) return false;
    if (!fs->setCurrentDirectory(p)) return false;
    // The folder as the file system names it: the current directory, long names as stored.
    std::string now = fs->currentDirectory();
    if (now.empty()) now = p;
    if (now.size() >= 2 && now[1] == ':') now[0] = lower(std::string(1, now[0]))[0];
    bool changed = !sameText(now, directory_) || now != directory_;
    directory_ = now;
    rebuild();
    notify(Prop::Items);
    if (changed && onChange) onChange(this);
    return true;
}

void DirectoryListBox::update() {
    rebuild();
    notify(Prop::Items);
}

void DirectoryListBox::rebuild() {
    entries_.clear();
    std::string d = directory_;
    // Root, then each folder of the path.
    entries_.push_back(copy(d, 1, 3));
    std::string rest = copyFrom(d, 4);
    while (!rest.empty()) {
        int b = pos("\\", rest);
        std::string comp = b > 0 ? copy(rest, 1, b - 1) : rest;
        rest = b > 0 ? copyFrom(rest, b + 1) : std::string();
        if (!comp.empty()) entries_.push_back(comp);
    }
    level_ = static_cast<int>(entries_.size()) - 1;
    FileSystemPort* fs = ports().fs;
    if (!fs) return;
    std::vector<std::string> subs;
    for (const DirEntry& e : fs->list(d, "*.*"))
        if (e.directory && e.longName != "." && e.longName != "..") subs.push_back(e.longName);
    std::sort(subs.begin(), subs.end(), ListBox::lessText);
    entries_.insert(entries_.end(), subs.begin(), subs.end());
}

std::string DirectoryListBox::picture(int i) const {
    if (i < 0 || i >= static_cast<int>(entries_.size())) return {};
    return i <= level_ ? "folder-open" : "folder";
}

// ---- WindowHook ------------------------------------------------------------------------

WindowHook::WindowHook(Form* form) : form_(form) {
    if (form_) form_->windowHooks.push_back(this);
}

WindowHook::~WindowHook() {
    if (!form_) return;
    auto& v = form_->windowHooks;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
}

void WindowHook::beforeMessage(Form& form, uint32_t msg, uintptr_t wparam) {
    // A copy: a hook may remove itself.
    std::vector<WindowHook*> hooks = form.windowHooks;
    for (WindowHook* h : hooks)
        if (h->active && h->onBeforeMessage) h->onBeforeMessage(msg, wparam);
}

// ---- font dialog -----------------------------------------------------------------------

bool chooseFont(Font& font, int minSize, int maxSize) { return ui().fontDialog(font, minSize, maxSize); }

}  // namespace kv
