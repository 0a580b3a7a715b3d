// The Win32 user-interface backend: every control object becomes a native window, modal
// forms run their own message loop, popup menus are native menus, and the standard message
// dialog is a modal window of the library's own.
#pragma once
#include <windows.h>

#include <string>
#include <utility>

#include "framework/controls.h"
#include "framework/lists.h"
#include "framework/paint_box.h"

namespace kv::win32 {

// Installs the backend into kv::setUi() and routes the user port's message dialog to the
// library's own dialog window. Call after installPorts().
void installUi();

// The backend object (created on first use).
UiBackend& uiBackend();

// The native window of a realised control, or nullptr.
HWND hwndOf(const Control& c);
// The control whose window this is, or nullptr.
Control* controlOf(HWND hwnd);

// The library's hidden application window, owner of every form.
HWND applicationWindow();

// The standard message dialog: titled by kind, the text, the buttons asked for (in the order
// Yes, No, OK, Cancel, Abort, Retry, Ignore, All, Help); returns the answer. Cancel (or No,
// or OK, when there is no Cancel) is also the answer to Esc and to closing the window.
ModalResult showMessageDialog(const std::string& text, DialogKind kind, unsigned buttons);

// Window property that names every window for automation (a global atom of the name).
inline constexpr const char* kNameProp = "KvName";

// ---- internals shared by the backend's files ---------------------------------------

namespace detail {

// The styles that make a form's frame and caption for its border style (win32_metrics.cpp).
DWORD frameStyle(BorderStyle style, DWORD* ex);
// Draws a system control in the classic style whatever visual style the desktop has.
void classicLook(HWND h);
// Gives a window its automation name (the KvName property).
void setWindowName(HWND hwnd, const std::string& name);
// Takes the name from a window that stays (its atom is kept for the next window of that name).
void clearWindowName(HWND hwnd);

// Ties a window of ours to its control object (controlOf finds it), or unties it. The ties
// live in the process rather than in window properties: under Wine every property read is a
// round trip to the window server, and the control is looked up for nearly every message.
void tieControl(HWND hwnd, Control* c);
void untieControl(HWND hwnd);
// The procedure a window had before we subclassed it (edit boxes, radio items), kept likewise.
void tieOldProc(HWND hwnd, WNDPROC proc);
WNDPROC tiedOldProc(HWND hwnd);
void untieOldProc(HWND hwnd);

// Converts a control colour (a COLORREF or a system colour index with the high bit set).
COLORREF colorRef(uint32_t c);
// A solid brush of the colour, from a cache of bounded size (never delete it).
HBRUSH brushFor(COLORREF color);
// Answers WM_PAINT: `draw` paints the window's client rectangle on the painting context.
template <class Draw>
void paintClient(HWND hwnd, Draw&& draw) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);
    draw(dc, rc);
    EndPaint(hwnd, &ps);
}
// The GDI font of a framework font for a screen of `dpi` dots per inch, 0 for the system's
// (cached; never delete it). A window given it keeps it only through its peer (the cache
// keeps a font some peer sent its window); use it at once otherwise.
HFONT fontOf(const Font& f, int dpi = 0);
// A top-down 32-bit device-independent bitmap of w x h pixels, drawn into by this process
// rather than by the display; its pixels in *bits when asked for. Null when it cannot be made.
HBITMAP createTopDownDib(int w, int h, void** bits = nullptr);
// Shift state (Shift, Ctrl, Alt) of the key message being handled: the thread's key state,
// plus modifier keys whose key-down message was sent or posted to one of our windows without
// the keyboard (automation) and not yet released.
unsigned keyShift();
// Runs a framework callback; an error that escapes it is shown in the error dialog.
template <class F>
void showingErrors(F&& f);
void reportError(const char* what);
// Key handling common to every window of a form: key preview, Esc, Enter, Tab. Returns
// whether the key was consumed.
bool handleKeyDown(Control& c, HWND hwnd, WPARAM wp);
bool handleChar(Control& c, WPARAM wp);
// Alt+letter: clicks the form's button whose caption has that mnemonic.
bool handleSysChar(Control& c, WPARAM wp);
// Wakes the modal loop so that it checks whether the form has ended.
void pokeModalLoop(Control& c);
// Records a modifier key's state from a key message that reached one of our windows.
void trackModifier(UINT msg, WPARAM wp);
// Drops the modifiers remembered from sent key messages (after a modal loop that may have
// taken their key-ups, and when the focus moves).
void forgetSentModifiers();

// Gives an image the picture of an icon (the message dialog's symbol).
void setImageIcon(Control& image, HICON icon);
// Creates the windows of a control and everything in it that has none yet.
void realizeTree(Control& c);

// Registers a window class of ours: the arrow cursor, no background brush.
void registerWindowClass(HINSTANCE inst, const char* name, WNDPROC proc, UINT style);

// The string grid window class (win32_grid.cpp).
void registerGridClass(HINSTANCE inst);
HWND createGrid(StringGrid& g, HWND parent);
void gridChanged(StringGrid& g, HWND hwnd, Prop what);
extern const char* const kGridClass;

// The list box with pictures (win32_list.cpp).
HWND createList(ListBox& lb, HWND parent);
// Keeps the list window in step; true when the change was handled (or the window made anew).
bool listChanged(ListBox& lb, HWND hwnd, Prop what);
void listNotify(ListBox& lb, HWND hwnd, int code);
void drawListItem(ListBox& lb, const DRAWITEMSTRUCT& di);
bool listMessage(ListBox& lb, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
HWND createPictureCombo(PictureComboBox& cb, HWND parent, DWORD childStyle);
void drawComboItem(PictureComboBox& cb, const DRAWITEMSTRUCT& di);
// Answers the item heights a picture box asks for while it is made; false for other asks.
bool measureComboItem(MEASUREITEMSTRUCT& mi);
// A list or a picture box whose form moved to a screen of another resolution: its item
// heights (and a list's column width) at that resolution.
void itemHeightsForScreen(Control& c, HWND hwnd);
// The platform's font dialog (win32_list.cpp).
bool fontDialog(Font& font, int minSize, int maxSize);
// Makes a control's window anew (after a change that a window cannot take once made).
void recreate(Control& c);
// The drop-down list and the check box (win32_choice.cpp): their window, keeping it in
// step (false when the property is not theirs to handle), and their WM_COMMAND codes.
HWND createChoice(Control& c, HWND parent, DWORD childStyle);
bool choiceChanged(Control& c, HWND h, Prop what);
bool choiceCommand(HWND from, UINT code);

// Modeless forms (win32_modeless.cpp): showing one (with the thread's key hook), whether
// its activation event runs for this activation (shown for the first time, or the focus came
// from another modeless form of ours), forgetting a form that is destroyed, and deleting a
// form from the message loop.
void showModeless(Form& f);
bool activatesModeless(Form& f, HWND previous, bool first);
void forgetModeless(Form& f);
void releaseLater(Form& f);

// Library code running for a message: every window procedure of ours, popup menu and timer
// holds one while it runs. A handler may run a message loop (a message box, a dialog, the
// host's answer to a notification), and that loop may deliver the deletion of a form that was
// released meanwhile; a released form is deleted only when no handler runs, so neither the
// handler nor the backend's work after it finds its form or a control of it gone. Code after a
// nested loop then sees a closed form, not freed memory.
class HandlerScope {
public:
    HandlerScope();
    ~HandlerScope();
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;
};
// Whether a handler of ours is on the stack.
bool handlersRunning();
// A released form whose deletion came while handlers ran: it takes no more input and is
// released again once the last handler has returned.
void releaseWhenIdle(Form& f);

// Edit boxes and radio groups (win32_inputs.cpp). The change functions return whether they
// kept the window in step with that property themselves.
HWND createEdit(Edit& e, HWND parent, DWORD childStyle);
bool editChanged(Edit& e, HWND hwnd, Prop what);
HWND createRadioGroup(RadioGroup& g, HWND parent, DWORD childStyle);
bool radioGroupChanged(RadioGroup& g, HWND hwnd, Prop what);
// The platform's colour dialog (ChooseColor), owned by the active window.
bool chooseColor(uint32_t& color, bool fullOpen);
// Alt+letter, or a letter typed outside a text box: clicks the radio item it underlines.
bool radioAccelerator(Form& f, char upper);
// Paint boxes (win32_paint.cpp): their window, and the painter of their text and of timers.
HWND createPaintBox(PaintBox& box, HWND parent, DWORD childStyle);
void installPainter();
// The messages every window of ours treats alike (keys, the cursor); true with *result when
// handled.
bool commonControlMessage(Control& c, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);

template <class F>
void showingErrors(F&& f) {
    try {
        f();
    } catch (const std::exception& e) {
        reportError(e.what());
    } catch (...) {
        reportError("Unexpected error");
    }
}

}  // namespace detail

}  // namespace kv::win32
