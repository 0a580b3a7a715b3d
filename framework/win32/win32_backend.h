// What the backend's files share: the peer kept beside each native window, the backend
// object, and the procedures and helpers that one of its files defines and others use.
#pragma once
#include "framework/win32/win32_scale.h"
#include "framework/win32/win32_ui.h"

#include <map>
#include <unordered_map>
#include <vector>

namespace kv::win32::detail {

constexpr const char* kFormClass = "KvForm";
constexpr const char* kPanelClass = "KvPanel";
constexpr const char* kLabelClass = "KvLabel";
constexpr const char* kImageClass = "KvImage";
constexpr const char* kAppClass = "KvApplication";
constexpr UINT WM_KV_CHECK = WM_APP + 0x4B0;  // wakes a modal loop to look at its form
constexpr UINT WM_KV_HIDE = WM_APP + 0x4B1;   // hides a form whose modal run has ended
constexpr UINT WM_KV_BOUNDS = WM_APP + 0x4B2; // applies the bounds a shown form was given
constexpr UINT_PTR kGaugeTimer = 0x4B3;       // tells a gauge the position it skipped
// A gauge redraws itself at once whenever its position changes, which costs about a
// millisecond a time under Wine; a load moving it a pixel at a time would spend most of its
// time drawing the bar. So the bar is told its position at most once per frame.
constexpr DWORD kGaugeFrameMs = 30;

// What the backend keeps beside each native window.
struct Peer {
    HWND hwnd = nullptr;
    WNDPROC oldProc = nullptr;  // of a subclassed system control
    HBITMAP bitmap = nullptr;   // picture of an image
    HICON icon = nullptr;       // icon of an image (message dialog)
    HWND tooltip = nullptr;     // of a form: the tooltip window of its controls
    bool tipAdded = false;      // of a control: the form's tooltip window has it as a tool
    bool activated = false;     // of a form: activate() has run
    bool syncing = false;       // the backend itself is writing the object's bounds
    RECT appliedOuter{};        // of a form: the window rectangle last applied
    int appliedClientW = -1, appliedClientH = -1;
    Control* pendingFocus = nullptr;  // of a form: focus asked for before the window existed
    HWND lastFocus = nullptr;         // of a form: its control that had the focus when it was deactivated
    int gaugeMin = 0, gaugeMax = -1, gaugePixel = -1;  // of a gauge: what the bar was told
    DWORD gaugeToldAt = 0;       // of a gauge: when the bar was last told its position
    bool gaugePending = false;   // of a gauge: a position is waiting for the next frame
    bool boundsPending = false;  // of a shown form: WM_KV_BOUNDS is on its way
    HFONT sentFont = nullptr;    // the font the window was last given
    int dpi = 0;                 // of a form: the resolution of its screen (0: the system's)
    uint32_t drawnFontColor = 0; // the font colour it was last drawn with
};

inline Peer* peerOf(const Control& c) { return static_cast<Peer*>(c.peer); }

// Brushes and fonts are made once per colour and per font and kept in caches of a bounded
// size (a slide show may have a colour per slide; the user picks fonts): those not asked for
// longest go. A font that a window still has (WM_SETFONT) is kept until no window has it; a
// brush or font selected into a device context is so only within one drawing, which asks for
// far fewer other brushes or fonts than the caches hold.
constexpr size_t kBrushCacheSize = 64, kFontCacheSize = 32;
extern std::unordered_map<HFONT, int> g_fontWindows;    // windows that have each font
extern std::map<HFONT, std::vector<int>> g_charWidths;  // each font's character widths, measured once

// The font a window was given is held while the window has it.
void setSentFont(Peer& p, HFONT f);
// The library's own module, the instance its window classes are registered with.
HINSTANCE moduleInstance();
// Forms released while handlers ran, waiting for them to return.
extern std::vector<Form*> g_heldForms;

// ---- drawing (win32_drawing.cpp) ----
// Colour a control's background takes: its own, or for labels its parent's.
COLORREF backColor(Control& c);
void paintPanel(Panel& p, HDC dc, const RECT& rc);
void paintLabel(Label& l, HDC dc, const RECT& rc);
void paintImage(Image& im, Peer& p, HDC dc, const RECT& rc);
void paintOwnerButton(Button& b, const DRAWITEMSTRUCT& di);

// ---- keys (win32_keys.cpp) ----
// A click on a button as the user makes it: the object's click, then the modal loop looks.
void clickButton(Button& b);

// ---- window procedures (win32_procs.cpp) ----
void registerClasses();
// The procedure every subclassed system control goes through first.
LRESULT CALLBACK subclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
// Gives a control's hint to the form's tooltip window.
void tellTip(Control& c, HWND h);
// The focus a form starts with: the control asked for, else the first tab stop.
void giveInitialFocus(Form& f);
// Runs a modal form's activation once.
void activateOnce(Form& f);

// ---- the backend object (win32_ui.cpp, win32_realize.cpp, win32_modal.cpp, win32_menus.cpp) ----
// The window style (and extended style) of a form.
DWORD formStyle(const Form& f, DWORD* ex);

class Win32Ui final : public UiBackend {
public:
    void realize(Control& c) override;
    void changed(Control& c, Prop what) override;
    void release(Control& c) override;
    ModalResult showModal(Form& f) override;
    void show(Form& f) override { showModeless(f); }
    void releaseLater(Form& f) override { detail::releaseLater(f); }
    void popup(PopupMenu& menu, int x, int y) override;
    void processMessages() override;
    void paintNow(Form& f) override;
    int textWidth(const Font& font, const std::string& text) override;
    int maxTextWidth(const Font& font, const std::vector<const std::string*>& texts) override;
    void setFocus(Control& c) override;
    bool fontDialog(Font& font, int minSize, int maxSize) override { return detail::fontDialog(font, minSize, maxSize); }
    WindowState windowState(Form& f) override;
    void setWindowState(Form& f, WindowState s) override;
    Control* focusedControl() override { return controlOf(GetFocus()); }
    bool colorDialog(uint32_t& color, bool fullOpen) override { return chooseColor(color, fullOpen); }
    bool loadPicture(Control& image, const std::string& file) override;
    uintptr_t windowHandle(Control& c) override { return reinterpret_cast<uintptr_t>(hwndOf(c)); }
    int screenPixels(Control& c, int layout) override { return scaleOf(c).px(layout); }
    uintptr_t takeSurface(Control& c) override {
        HWND h = hwndOf(c);
        return h ? reinterpret_cast<uintptr_t>(GetDC(h)) : 0;
    }
    void releaseSurface(Control& c, uintptr_t surface) override {
        if (surface) ReleaseDC(hwndOf(c), reinterpret_cast<HDC>(surface));
    }
    void sendToBack(Form& f) override {
        if (HWND h = hwndOf(f)) {
            SetWindowPos(h, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            SetWindowPos(h, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }

    void realizeTree(Control& c) {
        if (!c.peer) realize(c);
        for (Control* k : c.children()) realizeTree(*k);
    }

    void applyBounds(Form& f) {
        if (Peer* p = peerOf(f)) applyFormBounds(f, *p);
    }

    // The form takes the place and size its window has. Not while bounds the program gave
    // the form wait to be applied (they are applied next and win), nor while the window is
    // minimised (the form keeps its normal place).
    void followWindow(Form& f) {
        Peer* p = peerOf(f);
        if (!p || !p->hwnd || p->boundsPending || IsIconic(p->hwnd)) return;
        takeWindowBounds(f, *p);
    }

    // The form moved to a screen of another resolution: its controls take their places,
    // fonts and item heights at that resolution, and its window the rectangle the platform
    // suggests.
    void followScreen(Form& f, int dpi, const RECT& suggested);

    void setIcon(Control& c, HICON icon) {
        if (Peer* p = peerOf(c)) {
            p->icon = icon;
            InvalidateRect(p->hwnd, nullptr, TRUE);
        }
    }

private:
    void applyFormBounds(Form& f, Peer& p);
    void takeWindowBounds(Form& f, Peer& p);
    void syncHint(Control& c);
    void placeNotebookPages(Notebook& nb);
    std::map<Control*, HBITMAP> pictures_;  // loaded before the image had a window
};

Win32Ui& backend();
// Applies the bounds a shown form was given, once, from the message loop.
void applyPendingBounds(Form& f);
// The form takes the place and size its window has.
void followFormWindow(Form& f);
// The form's window is on a screen of `dpi` dots per inch now (WM_DPICHANGED).
void followFormScreen(Form& f, int dpi, const RECT& suggested);

}  // namespace kv::win32::detail
