// Backend-neutral forms and controls. A form declares its controls as members with their
// documented names, builds them in its constructor and wires their events to its handlers.
// The backend (win32 or sim) creates a native peer per control, if any, and keeps it in step.
#pragma once
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/platform.h"

namespace kv {

class Control;
class Form;
class MenuItem;
class PopupMenu;
class WindowHook;

enum class Prop { Bounds, Visible, Enabled, Caption, Hint, Font, Color, Cells, Selection, Position, Picture, Items, Layout, Drawing };

// What a user's scroll of a scroll bar was (the platform's scroll request codes).
enum class ScrollCode { LineUp, LineDown, PageUp, PageDown, Position, Track, Top, Bottom, EndScroll };

// Shift state bits of keyboard and mouse events.
enum Shift : unsigned { ShiftKey = 1, AltKey = 2, CtrlKey = 4, LeftButton = 8, RightButton = 16 };
enum class MouseButton { Left, Right, Middle };
enum class WindowState { Normal, Minimized, Maximized };

// Virtual key codes the windows use.
namespace vk {
constexpr int Back = 8, Tab = 9, Return = 13, Escape = 27, Space = 32, Prior = 33, Next = 34,
              End = 35, Home = 36, Left = 37, Up = 38, Right = 39, Down = 40, Delete = 46,
              Apps = 93, F1 = 112, F10 = 121;
}

struct Font {
    std::string name = "MS Sans Serif";
    int size = 8;  // points
    int pixelsPerInch = 0;  // the scale of the points; 0: the screen's
    bool bold = false;
    uint32_t color = 0;  // COLORREF
    bool operator==(const Font&) const = default;
};

// System colour indexes (as the platform numbers them), used as colours with the high bit set.
namespace syscolor {
constexpr int Window = 5, WindowText = 8, Highlight = 13, BtnFace = 15;
}
constexpr uint32_t SysColor(int index) { return 0x80000000u | static_cast<uint32_t>(index); }

using NotifyEvent = std::function<void(Control* sender)>;
using KeyEvent = std::function<void(Control* sender, int& key, unsigned shift)>;
using KeyPressEvent = std::function<void(Control* sender, char& key)>;
using MouseEvent = std::function<void(Control* sender, MouseButton button, unsigned shift, int x, int y)>;
// A user's scroll, before the position changes: the handler may change pos.
using ScrollEvent = std::function<void(Control* sender, ScrollCode code, int& pos)>;

// What a backend does for the objects: peers, modal loops, popups, text measurement.
class UiBackend {
public:
    virtual ~UiBackend() = default;
    virtual void realize(Control& c) = 0;            // create the peer (parent's peer exists)
    virtual void changed(Control& c, Prop what) = 0;  // keep the peer in step
    virtual void release(Control& c) = 0;            // destroy the peer
    virtual ModalResult showModal(Form& f) = 0;
    // A modeless form: shown and left to the host's message loop; showing activates it.
    virtual void show(Form& f) = 0;
    // Deletes a form once the event being handled has ended (a form that frees itself).
    virtual void releaseLater(Form& f) = 0;
    virtual void popup(PopupMenu& menu, int x, int y) = 0;
    virtual void processMessages() = 0;
    // Paints what is pending of a form and its controls at once, running no other message:
    // the user's input waits for the loop that runs next.
    virtual void paintNow(Form&) {}
    virtual int textWidth(const Font& font, const std::string& text) = 0;
    // The widest of many texts (a list's entries), measured in one go.
    virtual int maxTextWidth(const Font& font, const std::vector<const std::string*>& texts);
    virtual void setFocus(Control& c) = 0;
    // The platform's font dialog (fonts of the ANSI character set, sizes minSize..maxSize),
    // starting from `font`; true with the chosen font on OK.
    virtual bool fontDialog(Font& font, int minSize, int maxSize);
    // Minimised, maximised or normal (a sizeable window's state).
    virtual WindowState windowState(Form& f);
    virtual void setWindowState(Form& f, WindowState s);
    virtual Control* focusedControl() = 0;  // the control that has the keyboard focus, if any
    virtual bool loadPicture(Control& image, const std::string& file) = 0;
    // The platform's colour dialog, starting from `color` (an RGB value), with its custom
    // colour part open when `fullOpen`. Returns false when the user cancelled; otherwise the
    // chosen colour is in `color`.
    virtual bool colorDialog(uint32_t& color, bool fullOpen) = 0;
    // The native window of a control (0 without one), and its client-area drawing surface,
    // taken and given back.
    virtual uintptr_t windowHandle(Control&) { return 0; }
    virtual uintptr_t takeSurface(Control&) { return 0; }
    virtual void releaseSurface(Control&, uintptr_t) {}
    // A length of the control's layout (the pixels of a 96 dots-per-inch screen, which the
    // forms are laid out in) in the pixels of the screen its window is on: what a drawing
    // surface of it measures.
    virtual int screenPixels(Control&, int layout) { return layout; }
    // Puts a form's window behind the other windows.
    virtual void sendToBack(Form&) {}
};

// What the application does with an error that a handler lets escape: the standard error
// message dialog with the error's text.
void showError(const std::exception& e);
UiBackend& ui();
void setUi(UiBackend* backend);

class Control {
public:
    Control(Control* parent, std::string name);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return name_; }
    Control* parent() const { return parent_; }
    const std::vector<Control*>& children() const { return children_; }
    Form* form();
    virtual const char* className() const { return "Control"; }

    int left() const { return left_; }
    int top() const { return top_; }
    int width() const { return width_; }
    int height() const { return height_; }
    void setBounds(int left, int top, int width, int height);
    void setLeft(int v) { setBounds(v, top_, width_, height_); }
    void setTop(int v) { setBounds(left_, v, width_, height_); }
    void setWidth(int v) { setBounds(left_, top_, v, height_); }
    void setHeight(int v) { setBounds(left_, top_, width_, v); }
    // Client size: what the control's children and drawing may use.
    virtual int clientWidth() const { return width_; }
    virtual int clientHeight() const { return height_; }

    bool visible() const { return visible_; }
    void setVisible(bool v);
    bool showing() const;  // visible and every parent visible
    bool enabled() const { return enabled_; }
    void setEnabled(bool v);
    const std::string& caption() const { return caption_; }
    void setCaption(const std::string& v);
    const std::string& hint() const { return hint_; }
    void setHint(const std::string& v);
    const Font& font() const { return font_; }
    void setFont(const Font& f);  // children that follow this control's font follow it
    uint32_t color() const { return color_; }
    void setColor(uint32_t c);
    void setFocus();
    bool focused() const;  // has the keyboard focus

    NotifyEvent onClick;
    NotifyEvent onDblClick;
    KeyEvent onKeyDown;
    KeyEvent onKeyUp;
    KeyPressEvent onKeyPress;
    MouseEvent onMouseDown;
    MouseEvent onMouseUp;
    // The control held the mouse for a button pressed on it and lost it before the button
    // came up (another window took the mouse, the user switched windows, a mode was
    // cancelled): what the press began ends as cancelled, and no release will come.
    NotifyEvent onMouseCaptureLost;

    // What the user's input does (called by the backend, or by a scripted user in tests).
    virtual void click();
    void dblClick();
    void keyDown(int& key, unsigned shift);  // runs the form's key preview first
    void keyUp(int& key, unsigned shift);    // runs the form's key preview first
    void keyPress(char& key);
    void mouseDown(MouseButton b, unsigned shift, int x, int y);
    void mouseUp(MouseButton b, unsigned shift, int x, int y);
    void mouseCaptureLost();

    void* peer = nullptr;  // backend's native object

protected:
    void notify(Prop what);

private:
    void applyFont(const Font& f);

    std::string name_;
    Control* parent_;
    std::vector<Control*> children_;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = true, enabled_ = true;
    std::string caption_, hint_;
    Font font_;
    uint32_t color_ = SysColor(syscolor::BtnFace);
    bool fontFromParent_ = true;
};

enum class Align { None, Top, Bottom, Client };
enum class Alignment { Left, Center, Right };

class Panel : public Control {
public:
    using Control::Control;
    const char* className() const override { return "Panel"; }
    Alignment alignment = Alignment::Center;
    int bevel = 1;  // outer bevel width; 0 for none
    bool lowered = false;  // the bevel is sunk instead of raised
    // Paints over the panel's colour each time the panel is painted (a drawing surface of
    // its client area); a panel that shows a picture someone else draws repaints it here.
    std::function<void(Control*, uintptr_t surface)> onPaint;
};

class Label : public Control {
public:
    using Control::Control;
    const char* className() const override { return "Label"; }
    Alignment alignment = Alignment::Left;  // of the text within the label
    bool showAccelChar = false;  // "&X" draws X underlined instead of the '&'
    // The control that Alt and the label's underlined letter give the focus to (Form::labelKey).
    Control* focusControl = nullptr;
};

class Button : public Control {
public:
    using Control::Control;
    const char* className() const override { return "Button"; }
    ModalResult modalResult = ModalResult::None;  // set on the form when clicked
    bool cancel = false;                           // Esc clicks it
    bool isDefault = false;                        // Enter clicks it (unless a button has the focus)
    std::string glyph;                             // name of a built-in picture, if any
    void click() override;
};

class Image : public Control {
public:
    using Control::Control;
    const char* className() const override { return "Image"; }
    bool center = false;
    bool stretch = false;
    bool transparent = true;  // without a picture (or around it) the parent shows; else its colour
    std::string pictureFile;  // file the picture was loaded from; empty for none
    bool loadFromFile(const std::string& file);
    void clear();
};

class Gauge : public Control {
public:
    using Control::Control;
    const char* className() const override { return "Gauge"; }
    int minValue() const { return min_; }
    int maxValue() const { return max_; }
    int progress() const { return progress_; }
    void setRange(int min, int max);
    void setProgress(int v);

private:
    int min_ = 0, max_ = 100, progress_ = 0;
};

class ScrollBar : public Control {
public:
    using Control::Control;
    const char* className() const override { return "ScrollBar"; }
    int minValue() const { return min_; }
    int maxValue() const { return max_; }
    int position() const { return position_; }
    void setRange(int min, int max);
    void setPosition(int v);  // clipped to the range; runs onChange when it changes
    int largeChange = 1, smallChange = 1;  // page step, arrow step
    NotifyEvent onChange;
    ScrollEvent onScroll;  // a user's scroll, before the position changes

    // What the user does (called by the backend, or by a scripted user): an arrow or page
    // step, a jump to an end, or dragging the thumb to `pos` (Track while dragging, Position
    // when released). Runs onScroll with the position it asks for, then moves there.
    void scroll(ScrollCode code, int pos = 0);
    // The mouse-button events of a left click on the bar: by default onMouseDown comes when
    // the button goes down, before the platform tracks the mouse on the bar; with this set it
    // comes after the tracking ended, just before onMouseUp and onClick.
    bool mouseDownAfterTracking = false;

private:
    int min_ = 0, max_ = 100, position_ = 0;
};

// A drop-down list: the user picks one of its items; there is no free text. Setting the
// items or the index from code runs no event; the user's choice (select) runs onChange.
class ComboBox : public Control {
public:
    using Control::Control;
    const char* className() const override { return "ComboBox"; }
    const std::vector<std::string>& items() const { return items_; }
    void setItems(std::vector<std::string> items);  // the index goes to -1
    void addItem(const std::string& item);
    void clear();
    int itemIndex() const { return index_; }  // -1 when nothing is chosen
    void setItemIndex(int i);                 // out of range: -1
    // The chosen item's text, or "" when none is chosen.
    const std::string& text() const;
    // Chooses the first item equal to t (letters compared without regard to case); none: -1.
    void setText(const std::string& t);
    // As the user choosing item i: sets the index and runs onChange when it changed.
    void select(int i);
    int dropDownCount = 8;  // items the opened list shows without scrolling
    NotifyEvent onChange;

private:
    std::vector<std::string> items_;
    int index_ = -1;
};

// A check box with its caption. Changing the state, from code or by the user's click, runs
// onClick, as the platform's check box reports every change of its state.
class CheckBox : public Control {
public:
    using Control::Control;
    const char* className() const override { return "CheckBox"; }
    bool checked() const { return checked_; }
    void setChecked(bool v);
    void click() override;  // as the user's click: toggles; nothing when disabled

private:
    bool checked_ = false;
};

// A one-line edit box. Its text is its caption; a change by the program (setText) or by the
// user runs onChange. Keys typed in it reach onKeyDown, onKeyPress and onKeyUp (after the
// form's key preview); Enter and Esc then go to the form's default and cancel buttons.
class Edit : public Control {
public:
    using Control::Control;
    const char* className() const override { return "Edit"; }
    const std::string& text() const { return caption(); }
    void setText(const std::string& v);  // runs onChange when the text changes; caret at 0
    int maxLength() const { return maxLength_; }
    void setMaxLength(int n);  // characters the user may enter; 0 for no limit
    bool readOnly() const { return readOnly_; }
    void setReadOnly(bool v);
    bool autoSelect = true;  // the whole text is selected when the box gets the focus

    // The selection (the caret when its length is 0), 0-based.
    int selStart() const { return selStart_; }
    int selLength() const { return selLength_; }
    std::string selText() const;
    void setSelection(int start, int length);
    void selectAll() { setSelection(0, static_cast<int>(text().size())); }

    NotifyEvent onChange;

    // What the user does (called by a scripted user; the Win32 backend has the real box):
    // types characters at the caret, replacing the selection (key down, key press, the
    // change, key up for each; Backspace as '\b'), or presses a key that is not a character
    // (Delete, Home, End, Left, Right edit the text or move the caret; Enter and Esc reach
    // the form's default and cancel buttons).
    void type(const std::string& chars);
    void pressKey(int key, unsigned shift = 0);
    // Called by the backend when the user changed the text in the native box.
    void userChangedText(const std::string& v, int selStart, int selLength);

private:
    void insertText(const std::string& s);
    int maxLength_ = 0;
    bool readOnly_ = false;
    int selStart_ = 0, selLength_ = 0;
};

// A group of radio buttons under a caption, laid out in columns (top to bottom, then the next
// column). A user's click on an item that is not the selected one selects it and runs onClick.
class RadioGroup : public Control {
public:
    using Control::Control;
    const char* className() const override { return "RadioGroup"; }
    const std::vector<std::string>& items() const { return items_; }
    void setItems(std::vector<std::string> items);  // the selection is cleared
    void setItem(int i, const std::string& caption);
    int columns() const { return columns_; }
    void setColumns(int n);  // at least 1
    int itemIndex() const { return itemIndex_; }  // -1 for none
    void setItemIndex(int i);  // clipped to -1 .. items - 1; runs no event

    // What the user does (the backend, or a scripted user): clicks item i.
    void clickItem(int i);

private:
    std::vector<std::string> items_;
    int columns_ = 1, itemIndex_ = -1;
};

// Tabbed notebook: page captions and the page shown; each page is a child panel.
class Notebook : public Control {
public:
    using Control::Control;
    const char* className() const override { return "Notebook"; }
    Panel* addPage(const std::string& name, const std::string& caption);
    const std::vector<Panel*>& pages() const { return pages_; }
    int pageIndex() const { return pageIndex_; }
    void setPageIndex(int i);  // runs onClick like a user's tab click
    Font tabFont;

private:
    std::vector<Panel*> pages_;
    int pageIndex_ = 0;
};

// A string grid: rows of text cells; the grid control only draws them.
// One change of a string grid's cells as a change log keeps it: what the change overwrote.
// Applying it exchanges that with what the table holds now, so that a change applied once
// is taken back and applied again is made again; changes are taken back last first.
struct GridChange {
    enum Kind : unsigned char { Cell, Row, RowCount, RowMove };
    Kind kind = Cell;
    int row = 0;  // Cell, Row: the row; RowCount: the other row count; RowMove: the row moved
    int col = 0;  // Cell: the column; RowMove: where the row went
    std::string text;                // Cell: the other text
    std::vector<std::string> cells;  // Row: the other cells
};

// Where a string grid reports each change of its cells, before the change is made.
class GridChangeLog {
public:
    // A cell's text is about to be replaced: the log may take it (the grid then assigns).
    virtual void cellChanging(int col, int row, std::string& text) = 0;
    // Any other change, as the change that puts back what it replaces.
    virtual void add(GridChange&& change) = 0;

protected:
    ~GridChangeLog() = default;
};

class StringGrid : public Control {
public:
    StringGrid(Control* parent, std::string name, int cols, int rows);
    const char* className() const override { return "StringGrid"; }

    enum Option : unsigned {
        FixedVertLine = 1, FixedHorzLine = 2, VertLine = 4, HorzLine = 8, DrawFocusSelected = 16,
        ColSizing = 32, RowMoving = 64, ThumbTracking = 128, Editing = 256,
    };
    unsigned options = FixedVertLine | FixedHorzLine | VertLine | HorzLine;

    int colCount() const { return static_cast<int>(widths_.size()); }
    int rowCount() const { return static_cast<int>(cells_.size()); }
    void setRowCount(int n);  // new rows are empty; at least fixedRows + 1
    int fixedCols = 1, fixedRows = 1;
    int defaultRowHeight = 18;

    const std::string& cell(int col, int row) const;
    void setCell(int col, int row, const std::string& text);
    const std::vector<std::string>& rowCells(int row) const { return cells_.at(static_cast<size_t>(row)); }
    void setRowCells(int row, std::vector<std::string> cells);
    void moveRow(int from, int to);  // the row dragged by its number cell; runs onRowMoved

    int colWidth(int col) const { return widths_.at(static_cast<size_t>(col)); }
    void setColWidth(int col, int w);

    // Current cell; setting it scrolls it into view.
    int row() const { return row_; }
    int col() const { return col_; }
    void setRow(int r);
    void setCol(int c);
    int topRow() const { return topRow_; }
    void setTopRow(int r);
    int visibleRowCount() const;

    std::function<void(Control*, int from, int to)> onRowMoved;
    NotifyEvent onSelectCell;

    // The log told of every change of the cells from now on (none: nullptr). Applying a
    // logged change tells no log.
    void setChangeLog(GridChangeLog* log) { log_ = log; }
    void apply(GridChange& change, bool back);

    void beginUpdate() { ++updating_; }
    void endUpdate();

    // While drawing is held the window draws nothing, not its frame or scroll bars either,
    // and what lies under it shows: a table about to be filled paints once, with its rows,
    // rather than empty first and again at once.
    void holdDrawing();
    void releaseDrawing();
    bool drawingHeld() const { return drawingHeld_; }

private:
    std::vector<std::vector<std::string>> cells_;
    std::vector<int> widths_;
    int row_ = 1, col_ = 1, topRow_ = 1;
    int updating_ = 0;
    bool dirty_ = false;
    bool drawingHeld_ = false;
    GridChangeLog* log_ = nullptr;
    void cellsChanged();
    void resizeRows(int n);
    void moveCells(int from, int to);
};

class MenuItem {
public:
    MenuItem(PopupMenu* owner, std::string name, std::string caption, std::string shortcut = {});
    const std::string& name() const { return name_; }
    const std::string& caption() const { return caption_; }
    void setCaption(const std::string& v) { caption_ = v; }
    const std::string& shortcut() const { return shortcut_; }  // "Ctrl+L"
    bool enabled() const { return enabled_; }
    void setEnabled(bool v) { enabled_ = v; }
    bool visible() const { return visible_; }
    void setVisible(bool v) { visible_ = v; }
    bool checked() const { return checked_; }
    void setChecked(bool v) { checked_ = v; }
    bool isSeparator() const { return caption_ == "-"; }
    int tag = 0;             // a number the item's handler reads (menus of values)
    bool newColumn = false;  // the item begins a new column of its menu
    NotifyEvent onClick;
    void click();  // as the user choosing the item; nothing when disabled

    // The items of the submenu this item opens (none: a plain item).
    MenuItem* add(std::string name, std::string caption, std::string shortcut = {});
    const std::vector<std::unique_ptr<MenuItem>>& items() const { return items_; }

private:
    std::vector<std::unique_ptr<MenuItem>> items_;
    PopupMenu* owner_;
    std::string name_, caption_, shortcut_;
    bool enabled_ = true, visible_ = true, checked_ = false;
};

class PopupMenu {
public:
    PopupMenu(Form* owner, std::string name) : owner_(owner), name_(std::move(name)) {}
    const std::string& name() const { return name_; }
    Form* owner() const { return owner_; }
    MenuItem* add(std::string name, std::string caption, std::string shortcut = {});
    MenuItem* find(const std::string& name);  // also in the submenus
    const std::vector<std::unique_ptr<MenuItem>>& items() const { return items_; }
    NotifyEvent onPopup;  // runs before the menu opens
    void popup(int x, int y);

private:
    Form* owner_;
    std::string name_;
    std::vector<std::unique_ptr<MenuItem>> items_;
};

enum class BorderStyle { Dialog, Sizeable, Single };

class Form : public Control {
public:
    explicit Form(std::string name);
    ~Form() override;
    const char* className() const override { return "Form"; }

    BorderStyle borderStyle = BorderStyle::Dialog;
    bool systemMenu = true;
    bool keyPreview = false;
    bool stayOnTop = false;  // kept above other windows
    int clientWidthValue = 0;  // client area size; the backend adds the frame
    int clientHeightValue = 0;
    int clientWidth() const override { return clientWidthValue; }
    int clientHeight() const override { return clientHeightValue; }
    void setClientSize(int w, int h);

    ModalResult modalResult() const { return modalResult_; }
    void setModalResult(ModalResult r) { modalResult_ = r; }
    ModalResult showModal();
    bool isModal() const { return modal_; }
    // Shows the form modeless: it runs in the host's message loop and its onActivate runs
    // when it is shown and whenever the focus comes to it from another modeless form of the
    // library. Closing it runs onCloseQuery and onClose; a form that frees itself on closing
    // calls release() there.
    void show();
    void release();
    // Minimises the shown window (an icon, or the task bar's button); show() brings it back.
    void minimize();
    bool minimized() const { return minimized_; }
    // Minimised, maximised or normal (a sizeable window's state).
    WindowState windowState();
    void setWindowState(WindowState s);
    // Closes like the user does: asks onCloseQuery, then runs onClose. Returns whether it closed.
    bool close();
    bool closed() const { return closed_; }

    NotifyEvent onCreate;
    NotifyEvent onActivate;
    // The window's size changed (the user sizing it, or the program); the client size is
    // already the new one.
    NotifyEvent onResize;
    // Another window (or one of the form's own) realised a palette: its native window.
    std::function<void(Control*, uintptr_t changer)> onPaletteChanged;
    std::function<void(Control*, bool& canClose)> onCloseQuery;
    NotifyEvent onClose;

    // Called by the backend's modal loop.
    void activate();
    bool closeQuery();
    void doClose();
    // After an event in the modal loop: when a modal result is set, asks onCloseQuery and
    // closes (true), or clears the result when the close is refused (false).
    bool checkModalEnd();
    void beginModal() { modal_ = true; closed_ = false; }
    void endModal() { modal_ = false; }

    // Every control of the form by name (the automation names).
    Control* findControl(const std::string& name);
    // Alt+letter on a label: the focus goes to the focus control of the showing label whose
    // underlined letter is `letter` (either case), when that control is showing and enabled
    // with its parents; true when it did.
    bool labelKey(char letter);
    template <class T>
    T* find(const std::string& name) { return dynamic_cast<T*>(findControl(name)); }
    // Enter and Esc as a dialog takes them: Enter clicks the default button, Esc the cancel
    // button (or ends a modal form with Cancel). Returns whether the key was used.
    bool dialogKey(int key);
    std::vector<std::unique_ptr<PopupMenu>> menus;
    PopupMenu* addMenu(const std::string& name);
    PopupMenu* findMenu(const std::string& name);
    std::string helpFile;
    // Window hook components attached to the form (framework/lists.h).
    std::vector<WindowHook*> windowHooks;

private:
    ModalResult modalResult_ = ModalResult::None;
    bool modal_ = false, closed_ = false, activated_ = false, minimized_ = false;
};

// Creates a child control owned by its parent: make<Button>(panel, "BtnSave").
template <class T, class... A>
T* make(Control* parent, std::string name, A&&... args) {
    return new T(parent, std::move(name), std::forward<A>(args)...);
}

}  // namespace kv
