#include "framework/controls.h"

#include <algorithm>
#include <stdexcept>

#include "framework/text.h"

namespace kv {

namespace {
UiBackend* g_ui = nullptr;
}

UiBackend& ui() {
    if (!g_ui) throw std::logic_error("no user-interface backend installed");
    return *g_ui;
}

void setUi(UiBackend* backend) { g_ui = backend; }

bool UiBackend::fontDialog(Font&, int, int) { return false; }

int UiBackend::maxTextWidth(const Font& font, const std::vector<const std::string*>& texts) {
    int w = 0;
    for (const std::string* t : texts) w = std::max(w, textWidth(font, *t));
    return w;
}

WindowState UiBackend::windowState(Form&) { return WindowState::Normal; }

void UiBackend::setWindowState(Form&, WindowState) {}

void showError(const std::exception& e) {
    if (UserPort* u = ports().user) u->messageDialog(e.what(), DialogKind::Error, BtnOK);
}

// ---- Control ---------------------------------------------------------------------------

Control::Control(Control* parent, std::string name) : name_(std::move(name)), parent_(parent) {
    if (parent_) {
        parent_->children_.push_back(this);
        font_ = parent_->font_;
    }
}

Control::~Control() {
    // Children first, so peers go before their parent's peer.
    while (!children_.empty()) delete children_.back();
    if (peer && g_ui) g_ui->release(*this);
    if (parent_) {
        auto& sib = parent_->children_;
        sib.erase(std::remove(sib.begin(), sib.end(), this), sib.end());
    }
}

Form* Control::form() {
    Control* c = this;
    while (c->parent_) c = c->parent_;
    return dynamic_cast<Form*>(c);
}

void Control::notify(Prop what) {
    if (peer && g_ui) g_ui->changed(*this, what);
}

void Control::setBounds(int left, int top, int width, int height) {
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    notify(Prop::Bounds);
}

void Control::setVisible(bool v) {
    if (v == visible_) return;
    visible_ = v;
    notify(Prop::Visible);
}

bool Control::showing() const {
    for (const Control* c = this; c; c = c->parent_)
        if (!c->visible_) return false;
    return true;
}

void Control::setEnabled(bool v) {
    if (v == enabled_) return;
    enabled_ = v;
    notify(Prop::Enabled);
}

void Control::setCaption(const std::string& v) {
    if (v == caption_) return;
    caption_ = v;
    notify(Prop::Caption);
}

void Control::setHint(const std::string& v) {
    hint_ = v;
    notify(Prop::Hint);
}

void Control::setFont(const Font& f) {
    if (parent_) fontFromParent_ = false;
    applyFont(f);
}

void Control::applyFont(const Font& f) {
    font_ = f;
    notify(Prop::Font);
    for (Control* c : children_)
        if (c->fontFromParent_) c->applyFont(f);
}

void Control::setColor(uint32_t c) {
    if (c == color_) return;
    color_ = c;
    notify(Prop::Color);
}

void Control::setFocus() {
    if (g_ui) g_ui->setFocus(*this);
}

bool Control::focused() const { return g_ui && g_ui->focusedControl() == this; }

void Control::click() {
    if (!enabled_) return;
    if (onClick) onClick(this);
}

void Control::dblClick() {
    if (enabled_ && onDblClick) onDblClick(this);
}

void Control::keyDown(int& key, unsigned shift) {
    Form* f = form();
    if (f && f != this && f->keyPreview && f->onKeyDown) {
        f->onKeyDown(f, key, shift);
        if (key == 0) return;
    }
    if (onKeyDown) onKeyDown(this, key, shift);
}

void Control::keyUp(int& key, unsigned shift) {
    Form* f = form();
    if (f && f != this && f->keyPreview && f->onKeyUp) {
        f->onKeyUp(f, key, shift);
        if (key == 0) return;
    }
    if (onKeyUp) onKeyUp(this, key, shift);
}

void Control::keyPress(char& key) {
    Form* f = form();
    if (f && f != this && f->keyPreview && f->onKeyPress) {
        f->onKeyPress(f, key);
        if (key == 0) return;
    }
    if (onKeyPress) onKeyPress(this, key);
}

void Control::mouseDown(MouseButton b, unsigned shift, int x, int y) {
    if (onMouseDown) onMouseDown(this, b, shift, x, y);
}

void Control::mouseUp(MouseButton b, unsigned shift, int x, int y) {
    if (onMouseUp) onMouseUp(this, b, shift, x, y);
}

void Control::mouseCaptureLost() {
    if (onMouseCaptureLost) onMouseCaptureLost(this);
}

// ---- Button, Image, Gauge, ScrollBar, Notebook ----------------------------------------

void Button::click() {
    if (!enabled()) return;
    if (onClick) onClick(this);
    if (modalResult != ModalResult::None)
        if (Form* f = form()) f->setModalResult(modalResult);
}

bool Image::loadFromFile(const std::string& file) {
    bool ok = g_ui ? g_ui->loadPicture(*this, file) : false;
    pictureFile = ok ? file : std::string();
    notify(Prop::Picture);
    return ok;
}

void Image::clear() {
    pictureFile.clear();
    notify(Prop::Picture);
}

void Gauge::setRange(int min, int max) {
    min_ = min;
    max_ = std::max(min, max);
    progress_ = std::clamp(progress_, min_, max_);
    notify(Prop::Position);
}

void Gauge::setProgress(int v) {
    v = std::clamp(v, min_, max_);
    if (v == progress_) return;
    progress_ = v;
    notify(Prop::Position);
}

void ScrollBar::setRange(int min, int max) {
    min_ = min;
    max_ = std::max(min, max);
    int p = std::clamp(position_, min_, max_);
    notify(Prop::Position);
    if (p != position_) setPosition(p);
}

void ScrollBar::setPosition(int v) {
    v = std::clamp(v, min_, max_);
    if (v == position_) return;
    position_ = v;
    notify(Prop::Position);
    if (onChange) onChange(this);
}

void ScrollBar::scroll(ScrollCode code, int pos) {
    if (!enabled()) return;
    switch (code) {
        case ScrollCode::LineUp: pos = position_ - smallChange; break;
        case ScrollCode::LineDown: pos = position_ + smallChange; break;
        case ScrollCode::PageUp: pos = position_ - largeChange; break;
        case ScrollCode::PageDown: pos = position_ + largeChange; break;
        case ScrollCode::Top: pos = min_; break;
        case ScrollCode::Bottom: pos = max_; break;
        case ScrollCode::EndScroll: pos = position_; break;
        case ScrollCode::Position:
        case ScrollCode::Track: break;
    }
    pos = std::clamp(pos, min_, max_);
    if (onScroll) onScroll(this, code, pos);
    setPosition(pos);
}

// ---- Edit --------------------------------------------------------------------------------

void Edit::setText(const std::string& v) {
    if (v == text()) return;
    selStart_ = 0;
    selLength_ = 0;
    setCaption(v);
    if (onChange) onChange(this);
}

void Edit::setMaxLength(int n) {
    maxLength_ = std::max(0, n);
    notify(Prop::Layout);
}

void Edit::setReadOnly(bool v) {
    readOnly_ = v;
    notify(Prop::Layout);
}

std::string Edit::selText() const { return text().substr(static_cast<size_t>(selStart_), static_cast<size_t>(selLength_)); }

void Edit::setSelection(int start, int length) {
    int n = static_cast<int>(text().size());
    selStart_ = std::clamp(start, 0, n);
    selLength_ = std::clamp(length, 0, n - selStart_);
    notify(Prop::Selection);
}

void Edit::userChangedText(const std::string& v, int selStart, int selLength) {
    int n = static_cast<int>(v.size());
    selStart_ = std::clamp(selStart, 0, n);
    selLength_ = std::clamp(selLength, 0, n - selStart_);
    if (v == text()) return;
    setCaption(v);  // the backend sees the box already shows it
    if (onChange) onChange(this);
}

void Edit::insertText(const std::string& s) {
    std::string t = text();
    std::string add = s;
    if (maxLength_ > 0) {
        int room = maxLength_ - (static_cast<int>(t.size()) - selLength_);
        if (room <= 0) {
            if (UserPort* u = ports().user) u->beep();
            return;
        }
        if (static_cast<int>(add.size()) > room) add.resize(static_cast<size_t>(room));
    }
    t.replace(static_cast<size_t>(selStart_), static_cast<size_t>(selLength_), add);
    userChangedText(t, selStart_ + static_cast<int>(add.size()), 0);
}

void Edit::type(const std::string& chars) {
    for (char ch : chars) {
        if (!enabled()) return;
        int key = 0;
        if (ch >= 'a' && ch <= 'z') key = ch - 'a' + 'A';
        else if ((ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == ' ') key = ch;
        else if (ch == '\b') key = vk::Back;
        else if (ch == '\r') key = vk::Return;
        else if (ch == 27) key = vk::Escape;
        unsigned shift = (ch >= 'A' && ch <= 'Z') ? static_cast<unsigned>(ShiftKey) : 0u;
        if (key == vk::Return || key == vk::Escape) {
            pressKey(key, shift);
            continue;
        }
        int down = key;
        keyDown(down, shift);
        char c = ch;
        keyPress(c);
        if (c != 0 && !readOnly_) {
            if (c == '\b') {
                std::string t = text();
                if (selLength_ > 0) {
                    t.erase(static_cast<size_t>(selStart_), static_cast<size_t>(selLength_));
                    userChangedText(t, selStart_, 0);
                } else if (selStart_ > 0) {
                    t.erase(static_cast<size_t>(selStart_ - 1), 1);
                    userChangedText(t, selStart_ - 1, 0);
                }
            } else if (static_cast<unsigned char>(c) >= ' ') {
                insertText(std::string(1, c));
            }
        }
        int up = key;
        keyUp(up, shift);
    }
}

void Edit::pressKey(int key, unsigned shift) {
    if (!enabled()) return;
    int k = key;
    keyDown(k, shift);
    if (k != 0) {
        int n = static_cast<int>(text().size());
        switch (k) {
            case vk::Return:
            case vk::Escape:
                if (Form* f = form()) f->dialogKey(k);
                break;
            case vk::Delete:
                if (!readOnly_) {
                    std::string t = text();
                    if (selLength_ > 0) t.erase(static_cast<size_t>(selStart_), static_cast<size_t>(selLength_));
                    else if (selStart_ < n) t.erase(static_cast<size_t>(selStart_), 1);
                    userChangedText(t, selStart_, 0);
                }
                break;
            case vk::Home: setSelection(0, 0); break;
            case vk::End: setSelection(n, 0); break;
            case vk::Left: setSelection(selLength_ > 0 ? selStart_ : selStart_ - 1, 0); break;
            case vk::Right: setSelection(selLength_ > 0 ? selStart_ + selLength_ : selStart_ + 1, 0); break;
            default: break;
        }
    }
    int up = key;
    keyUp(up, shift);
}

// ---- RadioGroup --------------------------------------------------------------------------

void RadioGroup::setItems(std::vector<std::string> items) {
    items_ = std::move(items);
    itemIndex_ = -1;
    notify(Prop::Items);
}

void RadioGroup::setItem(int i, const std::string& caption) {
    if (i < 0 || i >= static_cast<int>(items_.size())) return;
    if (items_[static_cast<size_t>(i)] == caption) return;
    items_[static_cast<size_t>(i)] = caption;
    notify(Prop::Items);
}

void RadioGroup::setColumns(int n) {
    columns_ = std::max(1, n);
    notify(Prop::Layout);
}

void RadioGroup::setItemIndex(int i) {
    i = std::clamp(i, -1, static_cast<int>(items_.size()) - 1);
    if (i == itemIndex_) return;
    itemIndex_ = i;
    notify(Prop::Selection);
}

void RadioGroup::clickItem(int i) {
    if (!enabled() || i < 0 || i >= static_cast<int>(items_.size()) || i == itemIndex_) return;
    setItemIndex(i);
    if (onClick) onClick(this);
}

Panel* Notebook::addPage(const std::string& name, const std::string& caption) {
    Panel* p = make<Panel>(this, name);
    p->setCaption(caption);
    p->bevel = 0;
    p->setVisible(pages_.empty());
    pages_.push_back(p);
    notify(Prop::Items);
    return p;
}

void Notebook::setPageIndex(int i) {
    if (i < 0 || i >= static_cast<int>(pages_.size())) return;
    bool change = i != pageIndex_;
    pageIndex_ = i;
    for (size_t k = 0; k < pages_.size(); ++k) pages_[k]->setVisible(static_cast<int>(k) == i);
    notify(Prop::Selection);
    if (change && onClick) onClick(this);
}

// ---- ComboBox, CheckBox ---------------------------------------------------------------

void ComboBox::setItems(std::vector<std::string> items) {
    items_ = std::move(items);
    index_ = -1;
    notify(Prop::Items);
}

void ComboBox::addItem(const std::string& item) {
    items_.push_back(item);
    notify(Prop::Items);
}

void ComboBox::clear() { setItems({}); }

void ComboBox::setItemIndex(int i) {
    if (i < 0 || i >= static_cast<int>(items_.size())) i = -1;
    if (i == index_) return;
    index_ = i;
    notify(Prop::Selection);
}

const std::string& ComboBox::text() const {
    static const std::string none;
    return index_ < 0 ? none : items_[static_cast<size_t>(index_)];
}

static bool sameText(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto low = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        return low(x) == low(y);
    });
}

void ComboBox::setText(const std::string& t) {
    auto it = std::find_if(items_.begin(), items_.end(), [&](const std::string& s) { return sameText(s, t); });
    setItemIndex(it == items_.end() ? -1 : static_cast<int>(it - items_.begin()));
}

void ComboBox::select(int i) {
    if (!enabled() || i < 0 || i >= static_cast<int>(items_.size())) return;
    bool change = i != index_;
    setItemIndex(i);
    if (change && onChange) onChange(this);
}

void CheckBox::setChecked(bool v) {
    if (v == checked_) return;
    checked_ = v;
    notify(Prop::Selection);
    if (onClick) onClick(this);
}

void CheckBox::click() {
    if (enabled()) setChecked(!checked_);
}

// ---- StringGrid ------------------------------------------------------------------------

StringGrid::StringGrid(Control* parent, std::string name, int cols, int rows)
    : Control(parent, std::move(name)),
      cells_(static_cast<size_t>(std::max(rows, 2)), std::vector<std::string>(static_cast<size_t>(cols))),
      widths_(static_cast<size_t>(cols), 64) {
    setColor(SysColor(syscolor::Window));
}

static const std::string kEmpty;

const std::string& StringGrid::cell(int col, int row) const {
    if (row < 0 || row >= rowCount() || col < 0 || col >= colCount()) return kEmpty;
    return cells_[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

void StringGrid::cellsChanged() {
    if (updating_) dirty_ = true;
    else notify(Prop::Cells);
}

void StringGrid::holdDrawing() {
    if (drawingHeld_) return;
    drawingHeld_ = true;
    notify(Prop::Drawing);
}

void StringGrid::releaseDrawing() {
    if (!drawingHeld_) return;
    drawingHeld_ = false;
    notify(Prop::Drawing);
}

void StringGrid::endUpdate() {
    if (updating_ > 0 && --updating_ == 0 && dirty_) {
        dirty_ = false;
        notify(Prop::Cells);
    }
}

void StringGrid::setCell(int col, int row, const std::string& text) {
    if (row < 0 || row >= rowCount() || col < 0 || col >= colCount()) return;
    auto& c = cells_[static_cast<size_t>(row)][static_cast<size_t>(col)];
    if (c == text) return;
    if (log_) log_->cellChanging(col, row, c);
    c = text;
    cellsChanged();
}

void StringGrid::setRowCells(int row, std::vector<std::string> cells) {
    if (row < 0 || row >= rowCount()) return;
    cells.resize(static_cast<size_t>(colCount()));
    auto& old = cells_[static_cast<size_t>(row)];
    if (log_) log_->add(GridChange{GridChange::Row, row, 0, {}, std::move(old)});
    old = std::move(cells);
    cellsChanged();
}

void StringGrid::resizeRows(int n) {
    cells_.resize(static_cast<size_t>(n), std::vector<std::string>(static_cast<size_t>(colCount())));
    if (row_ >= n) row_ = n - 1;
    if (topRow_ >= n) topRow_ = std::max(fixedRows, n - 1);
    cellsChanged();
    notify(Prop::Selection);
}

void StringGrid::setRowCount(int n) {
    n = std::max(n, fixedRows + 1);
    if (n == rowCount()) return;
    if (log_) {
        // The rows that go are logged first, so that taking the change back makes them
        // again and then puts their cells back.
        for (int r = rowCount() - 1; r >= n; --r)
            log_->add(GridChange{GridChange::Row, r, 0, {}, std::move(cells_[static_cast<size_t>(r)])});
        log_->add(GridChange{GridChange::RowCount, rowCount(), 0, {}, {}});
    }
    resizeRows(n);
}

void StringGrid::moveCells(int from, int to) {
    auto r = std::move(cells_[static_cast<size_t>(from)]);
    cells_.erase(cells_.begin() + from);
    cells_.insert(cells_.begin() + to, std::move(r));
    cellsChanged();
}

void StringGrid::moveRow(int from, int to) {
    if (from < fixedRows || to < fixedRows || from >= rowCount() || to >= rowCount() || from == to) return;
    if (log_) log_->add(GridChange{GridChange::RowMove, from, to, {}, {}});
    moveCells(from, to);
    if (onRowMoved) onRowMoved(this, from, to);
}

void StringGrid::apply(GridChange& c, bool back) {
    const auto valid = [this](int r) { return r >= 0 && r < rowCount(); };
    switch (c.kind) {
        case GridChange::Cell:
            if (valid(c.row) && c.col >= 0 && c.col < colCount()) {
                std::swap(cells_[static_cast<size_t>(c.row)][static_cast<size_t>(c.col)], c.text);
                cellsChanged();
            }
            break;
        case GridChange::Row:
            if (valid(c.row)) {
                c.cells.resize(static_cast<size_t>(colCount()));
                std::swap(cells_[static_cast<size_t>(c.row)], c.cells);
                cellsChanged();
            }
            break;
        case GridChange::RowCount: {
            const int n = std::max(c.row, fixedRows + 1);
            c.row = rowCount();
            resizeRows(n);
            break;
        }
        case GridChange::RowMove:
            if (valid(c.row) && valid(c.col) && c.row >= fixedRows && c.col >= fixedRows) {
                if (back) moveCells(c.col, c.row);
                else moveCells(c.row, c.col);
            }
            break;
    }
}

void StringGrid::setColWidth(int col, int w) {
    if (col < 0 || col >= colCount() || widths_[static_cast<size_t>(col)] == w) return;
    widths_[static_cast<size_t>(col)] = w;
    notify(Prop::Layout);
}

int StringGrid::visibleRowCount() const {
    int h = defaultRowHeight + 1;
    int fixedH = fixedRows * h;
    return std::max(1, (height() - fixedH) / h);
}

void StringGrid::setRow(int r) {
    r = std::clamp(r, fixedRows, rowCount() - 1);
    if (r == row_) return;
    row_ = r;
    if (row_ < topRow_) topRow_ = row_;
    else if (row_ >= topRow_ + visibleRowCount()) topRow_ = std::max(fixedRows, row_ - visibleRowCount() + 1);
    notify(Prop::Selection);
    if (onSelectCell) onSelectCell(this);
}

void StringGrid::setCol(int c) {
    c = std::clamp(c, fixedCols, colCount() - 1);
    if (c == col_) return;
    col_ = c;
    notify(Prop::Selection);
    if (onSelectCell) onSelectCell(this);
}

void StringGrid::setTopRow(int r) {
    r = std::clamp(r, fixedRows, std::max(fixedRows, rowCount() - 1));
    if (r == topRow_) return;
    topRow_ = r;
    notify(Prop::Selection);
}

// ---- Menus -----------------------------------------------------------------------------

MenuItem::MenuItem(PopupMenu* owner, std::string name, std::string caption, std::string shortcut)
    : owner_(owner), name_(std::move(name)), caption_(std::move(caption)), shortcut_(std::move(shortcut)) {}

void MenuItem::click() {
    if (enabled_ && visible_ && onClick) onClick(nullptr);
}

MenuItem* PopupMenu::add(std::string name, std::string caption, std::string shortcut) {
    items_.push_back(std::make_unique<MenuItem>(this, std::move(name), std::move(caption), std::move(shortcut)));
    return items_.back().get();
}

MenuItem* MenuItem::add(std::string name, std::string caption, std::string shortcut) {
    items_.push_back(std::make_unique<MenuItem>(owner_, std::move(name), std::move(caption), std::move(shortcut)));
    return items_.back().get();
}

static MenuItem* findItem(const std::vector<std::unique_ptr<MenuItem>>& items, const std::string& name) {
    for (auto& i : items) {
        if (i->name() == name) return i.get();
        if (MenuItem* sub = findItem(i->items(), name)) return sub;
    }
    return nullptr;
}

MenuItem* PopupMenu::find(const std::string& name) { return findItem(items_, name); }

void PopupMenu::popup(int x, int y) {
    if (onPopup) onPopup(nullptr);
    ui().popup(*this, x, y);
}

// ---- Form ------------------------------------------------------------------------------

Form::Form(std::string name) : Control(nullptr, std::move(name)) {}

Form::~Form() {
    // The form's peer goes first: the backend can take the controls' peers with it in one
    // go. Children are then deleted by Control's destructor.
    if (peer && g_ui) g_ui->release(*this);
}

void Form::setClientSize(int w, int h) {
    clientWidthValue = w;
    clientHeightValue = h;
    notify(Prop::Bounds);
}

ModalResult Form::showModal() {
    modalResult_ = ModalResult::None;
    return ui().showModal(*this);
}

void Form::show() {
    closed_ = false;
    minimized_ = false;
    ui().show(*this);
}

void Form::minimize() {
    if (minimized_) return;
    minimized_ = true;
    notify(Prop::Visible);
}

void Form::release() { ui().releaseLater(*this); }

WindowState Form::windowState() {
    if (minimized_) return WindowState::Minimized;
    return g_ui ? g_ui->windowState(*this) : WindowState::Normal;
}

void Form::setWindowState(WindowState s) {
    if (s != WindowState::Minimized) minimized_ = false;
    if (g_ui) g_ui->setWindowState(*this, s);
}

void Form::activate() {
    if (onActivate) onActivate(this);
    activated_ = true;
}

bool Form::closeQuery() {
    bool can = true;
    if (onCloseQuery) onCloseQuery(this, can);
    return can;
}

void Form::doClose() {
    if (closed_) return;
    closed_ = true;
    if (onClose) onClose(this);
}

bool Form::checkModalEnd() {
    if (closed_) return true;
    if (modalResult_ == ModalResult::None) return false;
    if (!closeQuery()) {
        modalResult_ = ModalResult::None;
        return false;
    }
    doClose();
    return true;
}

bool Form::close() {
    if (closed_) return true;
    if (modal_) {
        modalResult_ = ModalResult::Cancel;
        return checkModalEnd();
    }
    if (!closeQuery()) return false;
    doClose();
    return true;
}

static Control* findIn(Control* c, const std::string& name) {
    if (c->name() == name) return c;
    for (Control* k : c->children())
        if (Control* r = findIn(k, name)) return r;
    return nullptr;
}

Control* Form::findControl(const std::string& name) { return findIn(this, name); }

static bool usable(Control& c) {
    for (Control* p = &c; p; p = p->parent())
        if (!p->visible() || !p->enabled()) return false;
    return true;
}

static Button* findButtonIn(Control& c, bool Button::*flag) {
    if (auto* b = dynamic_cast<Button*>(&c))
        if (b->*flag && usable(*b)) return b;
    for (Control* k : c.children())
        if (Button* r = findButtonIn(*k, flag)) return r;
    return nullptr;
}

static char asciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// A caption's mnemonic, upper-cased (ASCII); 0 for none.
static char underlinedLetter(const std::string& caption) { return asciiUpper(accelChar(caption)); }

static Label* findLabelIn(Control& c, char up) {
    if (auto* l = dynamic_cast<Label*>(&c))
        if (l->showAccelChar && l->focusControl && l->showing() && underlinedLetter(l->caption()) == up) return l;
    for (Control* k : c.children())
        if (Label* r = findLabelIn(*k, up)) return r;
    return nullptr;
}

bool Form::labelKey(char letter) {
    const char up = asciiUpper(letter);
    Label* l = up ? findLabelIn(*this, up) : nullptr;
    if (!l || !usable(*l->focusControl)) return false;
    l->focusControl->setFocus();
    return true;
}

bool Form::dialogKey(int key) {
    if (key == vk::Return) {
        if (Button* b = findButtonIn(*this, &Button::isDefault)) {
            b->click();
            return true;
        }
        return false;
    }
    if (key == vk::Escape) {
        if (Button* b = findButtonIn(*this, &Button::cancel)) {
            b->click();
            return true;
        }
        if (modal_) {
            modalResult_ = ModalResult::Cancel;
            return true;
        }
    }
    return false;
}

PopupMenu* Form::addMenu(const std::string& name) {
    menus.push_back(std::make_unique<PopupMenu>(this, name));
    return menus.back().get();
}

PopupMenu* Form::findMenu(const std::string& name) {
    for (auto& m : menus)
        if (m->name() == name) return m.get();
    return nullptr;
}

}  // namespace kv
