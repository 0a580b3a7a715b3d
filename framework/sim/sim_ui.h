// The sim backend's user side: a scripted user who answers message dialogs by their text,
// acts on modal forms and popup menus, and a record of everything the library asked of the
// platform (cursor changes, host messages, help, program starts).
#pragma once
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "framework/controls.h"
#include "framework/platform.h"

namespace kv {

struct ShownDialog {
    std::string text;
    DialogKind kind;
    unsigned buttons;
    ModalResult answer;
};

class SimUser : public UserPort, public MetricsPort, public UiBackend {
public:
    // --- the script ---
    // The next message dialog must have exactly this text; the user answers r.
    void answer(const std::string& text, ModalResult r);
    // What the user does when a form of this name is shown modally (one action per showing).
    void onModal(const std::string& formName, std::function<void(Form&)> act);
    // Acting on a modal form (inside onModal): the user types into the edit box of this name
    // (giving it the focus first, which selects its text when it selects on focus), presses a
    // key in it, clicks the button, moves the scroll bar or clicks an item of the radio group.
    // A control that is missing or of another kind fails the test (recorded as unexpected).
    void typeInto(Form& f, const std::string& edit, const std::string& chars);
    void pressKeyIn(Form& f, const std::string& edit, int key);
    void clickButton(Form& f, const std::string& button);
    void scrollBar(Form& f, const std::string& bar, ScrollCode code, int pos = 0);
    void clickRadioItem(Form& f, const std::string& group, int item);
    // The user's next answer in the colour dialog: a colour, or cancel (nullopt).
    void answerColor(std::optional<uint32_t> color);
    struct ColorDialogCall {
        uint32_t start;
        bool fullOpen;
    };
    std::vector<ColorDialogCall> colorDialogs;
    // What happens while a message dialog is up, before it is answered: the dialog's message
    // loop delivers timer ticks, the host's calls and the user's input, and a test makes its
    // moment here. Runs for every dialog; the dialog's text is given.
    std::function<void(const std::string&)> whileDialogUp;
    // What the user does when a popup menu of this name opens (default: closes it).
    void onPopup(const std::string& menuName, std::function<void(PopupMenu&)> act);

    // --- the record ---
    std::vector<ShownDialog> dialogs;
    std::vector<std::string> unexpected;  // dialogs and modal forms the script did not expect
    std::vector<std::string> popups;      // names of menus opened, in order
    int popupX = 0, popupY = 0;           // where the last popup opened
    std::vector<CursorKind> cursorHistory;
    std::vector<std::string> modalForms;  // names of forms shown modally
    std::vector<std::string> shownForms;  // names of forms shown modelessly
    // The font dialog's answer: given the starting font, sizes allowed; false = Cancel
    // (default when none is set). Each call is recorded.
    std::function<bool(Font&)> fontAnswer;
    struct FontAsked {
        Font start;
        int minSize, maxSize;
    };
    std::vector<FontAsked> fontDialogs;
    int processMessagesCalls = 0;
    Control* focused = nullptr;

    // --- the simulated screen ---
    int screenW = 800, screenH = 600;
    int mouseX = 100, mouseY = 100;
    std::map<int, int> metrics{{9, 17}, {10, 17}};  // system metric index -> value
    int charWidth = 6;                     // deterministic text metrics: per character (+1 bold)

    // UserPort
    void setCursor(CursorKind kind) override;
    CursorKind cursor() override { return cursor_; }
    void cursorPos(int& x, int& y) override;
    ModalResult messageDialog(const std::string& text, DialogKind kind, unsigned buttons) override;
    int screenWidth() override { return screenW; }
    int screenHeight() override { return screenH; }
    int systemMetric(int index) override;
    uint32_t systemColor(int index) override;
    void beep() override { ++beeps; }
    int beeps = 0;

    // MetricsPort: the sums the platform's metrics above give (0 for a metric not set).
    FrameSize frameOverhead(BorderStyle style) override;
    int borderWidth() override { return systemMetric(kBorderWidth); }
    int borderHeight() override { return systemMetric(kBorderHeight); }
    int menuBarHeight() override { return systemMetric(kMenuHeight); }
    int vScrollThumbHeight() override { return systemMetric(kVThumbHeight); }
    int hScrollThumbWidth() override { return systemMetric(kHThumbWidth); }
    // Indexes into `metrics`, as the platform numbers its metrics.
    static constexpr int kCaptionHeight = 4, kBorderWidth = 5, kBorderHeight = 6, kDialogFrameWidth = 7,
                         kDialogFrameHeight = 8, kVThumbHeight = 9, kHThumbWidth = 10, kMenuHeight = 15,
                         kSizingFrameWidth = 32, kSizingFrameHeight = 33;

    // UiBackend
    void realize(Control&) override {}
    void changed(Control&, Prop) override {}
    void release(Control&) override {}
    ModalResult showModal(Form& f) override;
    void popup(PopupMenu& menu, int x, int y) override;
    void show(Form& f) override;
    // Forms released wait for the message loop: processMessages() deletes them.
    void releaseLater(Form& f) override;
    void processMessages() override;
    ~SimUser() override;
    int textWidth(const Font& font, const std::string& text) override;
    void setFocus(Control& c) override;
    bool loadPicture(Control& image, const std::string& file) override;
    WindowState windowState(Form& f) override;
    void setWindowState(Form& f, WindowState s) override;
    // Frees the released forms now (as the message loop does).
    void freeReleased() { processMessages(); }
    std::map<const Form*, WindowState> windowStates;
    bool fontDialog(Font& font, int minSize, int maxSize) override;
    Control* focusedControl() override { return focused; }
    bool colorDialog(uint32_t& color, bool fullOpen) override;
    // Controls have no windows: a control's address stands for its window and its surface.
    uintptr_t windowHandle(Control& c) override { return reinterpret_cast<uintptr_t>(&c); }
    uintptr_t takeSurface(Control& c) override { ++surfacesTaken; return reinterpret_cast<uintptr_t>(&c) + 1; }
    void releaseSurface(Control&, uintptr_t) override { ++surfacesReleased; }
    void sendToBack(Form& f) override { sentToBack.push_back(f.name()); }
    int surfacesTaken = 0, surfacesReleased = 0;
    std::vector<std::string> sentToBack;

private:
    CursorKind cursor_ = CursorKind::Default;
    std::vector<Form*> released_;
    std::deque<std::pair<std::string, ModalResult>> answers_;
    std::deque<std::optional<uint32_t>> colors_;
    std::map<std::string, std::deque<std::function<void(Form&)>>> modal_;
    std::map<std::string, std::deque<std::function<void(PopupMenu&)>>> popup_;
};

struct SentMessage {
    uintptr_t window;
    uint32_t msg;
    uintptr_t wparam;
    intptr_t lparam;
    bool broadcast;
};

class SimHost : public HostPort {
public:
    std::vector<SentMessage> sent;
    std::vector<uintptr_t> windows{0x1234};  // windows that exist
    intptr_t send(uintptr_t window, uint32_t msg, uintptr_t wparam, intptr_t lparam) override;
    void broadcast(uint32_t msg, uintptr_t wparam, intptr_t lparam) override;
    bool isWindow(uintptr_t window) override;
};

class SimSystem : public SystemPort {
public:
    uint32_t pageFile = 64u << 20;
    bool flushOk = true;
    double clock = 45000.5;  // a fixed local date and time
    std::vector<std::pair<std::string, int>> helpCalls;
    std::vector<std::string> programs;  // command lines started, with their show states
    std::vector<int> programShows;
    bool runOk = true;
    uint32_t availablePageFile() override { return pageFile; }
    bool gdiFlush() override { return flushOk; }
    bool help(const std::string& file, int context) override;
    bool run(const std::string& commandLine, int showState) override;
    double now() override { return clock; }
    // The moment in UTC as "m/d/yyyy h:nn:ss AM" (the short date and long time of a United
    // States English system).
    std::string dateTimeText(int64_t utcSeconds) override;
};

}  // namespace kv
