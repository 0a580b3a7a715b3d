// The Win32 backend object and what ties windows to control objects: the ties and names of
// windows, handler scopes and delayed releases, the application window, message processing,
// text measurement, pictures from bitmap files, and the user port's message dialog.
#include "framework/win32/win32_backend.h"

#include <algorithm>
#include <mutex>

namespace kv::win32 {

namespace detail {

HINSTANCE moduleInstance() {
    static HINSTANCE inst = [] {
        HMODULE m = nullptr;
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCSTR>(&moduleInstance), &m);
        return static_cast<HINSTANCE>(m);
    }();
    return inst;
}

namespace {
struct Ties {
    std::mutex lock;
    std::unordered_map<HWND, Control*> controls;
    std::unordered_map<HWND, WNDPROC> oldProcs;
};
Ties& ties() {
    static Ties t;
    return t;
}
}  // namespace

void tieControl(HWND hwnd, Control* c) {
    std::lock_guard<std::mutex> g(ties().lock);
    ties().controls[hwnd] = c;
}

void untieControl(HWND hwnd) {
    std::lock_guard<std::mutex> g(ties().lock);
    ties().controls.erase(hwnd);
}

void tieOldProc(HWND hwnd, WNDPROC proc) {
    std::lock_guard<std::mutex> g(ties().lock);
    ties().oldProcs[hwnd] = proc;
}

WNDPROC tiedOldProc(HWND hwnd) {
    std::lock_guard<std::mutex> g(ties().lock);
    auto it = ties().oldProcs.find(hwnd);
    return it == ties().oldProcs.end() ? nullptr : it->second;
}

void untieOldProc(HWND hwnd) {
    std::lock_guard<std::mutex> g(ties().lock);
    ties().oldProcs.erase(hwnd);
}

// The name atoms are made once per name and kept for the life of the process: a window
// of a name that was seen before costs no trip to the atom table, neither when it is made
// nor when it goes (the editor alone makes and destroys some forty named windows).
void setWindowName(HWND hwnd, const std::string& name) {
    static std::mutex lock;
    static std::unordered_map<std::string, ATOM> atoms;
    ATOM atom;
    {
        std::lock_guard<std::mutex> g(lock);
        ATOM& a = atoms[name];
        if (!a) a = GlobalAddAtomA(name.c_str());
        atom = a;
    }
    SetPropA(hwnd, kNameProp, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(atom)));
}

void clearWindowName(HWND hwnd) { RemovePropA(hwnd, kNameProp); }

void reportError(const char* what) {
    if (UserPort* u = ports().user) u->messageDialog(what, DialogKind::Error, BtnOK);
}

namespace {
int g_handlerDepth = 0;
}  // namespace
std::vector<Form*> g_heldForms;

HandlerScope::HandlerScope() { ++g_handlerDepth; }

HandlerScope::~HandlerScope() {
    if (--g_handlerDepth > 0 || g_heldForms.empty()) return;
    std::vector<Form*> held;
    held.swap(g_heldForms);
    for (Form* f : held) releaseLater(*f);
}

bool handlersRunning() { return g_handlerDepth > 0; }

void releaseWhenIdle(Form& f) {
    if (std::find(g_heldForms.begin(), g_heldForms.end(), &f) == g_heldForms.end()) g_heldForms.push_back(&f);
    // Closed: nothing of it takes input or shows while it waits.
    if (HWND h = hwndOf(f)) {
        EnableWindow(h, FALSE);
        ShowWindow(h, SW_HIDE);
    }
}

void pokeModalLoop(Control& c) {
    Form* f = c.form();
    if (f && f->peer) PostMessageA(peerOf(*f)->hwnd, WM_KV_CHECK, 0, 0);
}

void registerWindowClass(HINSTANCE inst, const char* name, WNDPROC proc, UINT style) {
    WNDCLASSA wc{};
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = name;
    RegisterClassA(&wc);
}


Win32Ui& backend() {
    static Win32Ui b;
    return b;
}

void applyPendingBounds(Form& f) {
    Peer* p = peerOf(f);
    if (!p || !p->boundsPending) return;
    p->boundsPending = false;
    backend().applyBounds(f);
}

void followFormWindow(Form& f) { backend().followWindow(f); }

void followFormScreen(Form& f, int dpi, const RECT& suggested) { backend().followScreen(f, dpi, suggested); }

}  // namespace detail

using namespace detail;

HWND applicationWindow() {
    static HWND app = nullptr;
    if (!app || !IsWindow(app)) {
        registerClasses();
        app = CreateWindowExA(WS_EX_TOOLWINDOW, kAppClass, "Kavrin", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              moduleInstance(), nullptr);
    }
    return app;
}

HWND hwndOf(const Control& c) {
    Peer* p = peerOf(c);
    return p ? p->hwnd : nullptr;
}

Control* controlOf(HWND hwnd) {
    if (!hwnd) return nullptr;
    std::lock_guard<std::mutex> g(ties().lock);
    auto it = ties().controls.find(hwnd);
    return it == ties().controls.end() ? nullptr : it->second;
}

UiBackend& uiBackend() { return backend(); }

namespace detail {
void setImageIcon(Control& image, HICON icon) { backend().setIcon(image, icon); }
void realizeTree(Control& c) { backend().realizeTree(c); }
void recreate(Control& c) {
    backend().release(c);
    backend().realize(c);
}
}  // namespace detail

namespace detail {

void Win32Ui::processMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void Win32Ui::paintNow(Form& f) {
    if (HWND h = hwndOf(f)) RedrawWindow(h, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// Text is measured with the font as the screen shows it, and given in layout pixels (rounded
// up, so that a width made of it shows all of the text).
int Win32Ui::textWidth(const Font& font, const std::string& text) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, fontOf(font));
    SIZE sz{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &sz);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return systemScale().layoutCeil(sz.cx);
}

int Win32Ui::maxTextWidth(const Font& font, const std::vector<const std::string*>& texts) {
    // The font's character widths once, then sums: the platform measures text as the sum of
    // its characters' advance widths (no kerning), and ten thousand names cost nothing.
    std::map<HFONT, std::vector<int>>& widths = g_charWidths;
    HFONT hf = fontOf(font);
    auto it = widths.find(hf);
    if (it == widths.end()) {
        std::vector<int> w(256, 0);
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, hf);
        if (!GetCharWidth32A(dc, 0, 255, w.data())) {
            for (int ch = 0; ch < 256; ++ch) {
                char c = static_cast<char>(ch);
                SIZE sz{};
                GetTextExtentPoint32A(dc, &c, 1, &sz);
                w[static_cast<size_t>(ch)] = sz.cx;
            }
        }
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
        it = widths.emplace(hf, std::move(w)).first;
    }
    const std::vector<int>& cw = it->second;
    int best = 0;
    for (const std::string* t : texts) {
        int sum = 0;
        for (unsigned char ch : *t) sum += cw[ch];
        best = std::max(best, sum);
    }
    return systemScale().layoutCeil(best);
}

void Win32Ui::setFocus(Control& c) {
    HWND h = hwndOf(c);
    Form* f = c.form();
    if (h && IsWindowVisible(GetAncestor(h, GA_ROOT))) {
        SetFocus(h);
    } else if (f) {
        if (!f->peer) realize(*f);
        peerOf(*f)->pendingFocus = &c;
    }
}

bool Win32Ui::loadPicture(Control& image, const std::string& file) {
    HBITMAP bmp = static_cast<HBITMAP>(LoadImageA(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    Peer* p = peerOf(image);
    HBITMAP* slot = nullptr;
    if (p) {
        slot = &p->bitmap;
    } else {
        slot = &pictures_[&image];
    }
    if (*slot) DeleteObject(*slot);
    *slot = bmp;
    if (!p && !bmp) pictures_.erase(&image);
    if (p) InvalidateRect(p->hwnd, nullptr, TRUE);
    return bmp != nullptr;
}

namespace {

// The user port with its message dialog shown by the library's own dialog window; every
// other service is the installed port's.
class DialogUserPort final : public UserPort {
public:
    explicit DialogUserPort(UserPort* base) : base_(base) {}
    void setCursor(CursorKind kind) override { base_->setCursor(kind); }
    CursorKind cursor() override { return base_->cursor(); }
    void cursorPos(int& x, int& y) override { base_->cursorPos(x, y); }
    ModalResult messageDialog(const std::string& text, DialogKind kind, unsigned buttons) override {
        return showMessageDialog(text, kind, buttons);
    }
    int screenWidth() override { return base_->screenWidth(); }
    int screenHeight() override { return base_->screenHeight(); }
    int displayWidth() override { return base_->displayWidth(); }
    int displayHeight() override { return base_->displayHeight(); }
    int systemMetric(int index) override { return base_->systemMetric(index); }
    uint32_t systemColor(int index) override { return base_->systemColor(index); }
    void beep() override { base_->beep(); }

private:
    UserPort* base_;
};

}  // namespace

}  // namespace detail

void installUi() {
    setUi(&backend());
    installPainter();
    Ports& p = ports();
    static DialogUserPort* wrapped = nullptr;
    if (p.user && p.user != wrapped) {
        static DialogUserPort port(p.user);
        wrapped = &port;
        p.user = wrapped;
    }
}

}  // namespace kv::win32
