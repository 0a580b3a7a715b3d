#include "framework/sim/sim_ui.h"

#include <algorithm>
#include <cstdio>

#include "framework/text.h"

namespace kv {

void SimUser::answer(const std::string& text, ModalResult r) { answers_.emplace_back(text, r); }

void SimUser::onModal(const std::string& formName, std::function<void(Form&)> act) {
    modal_[formName].push_back(std::move(act));
}

void SimUser::onPopup(const std::string& menuName, std::function<void(PopupMenu&)> act) {
    popup_[menuName].push_back(std::move(act));
}

void SimUser::setCursor(CursorKind kind) {
    cursor_ = kind;
    cursorHistory.push_back(kind);
}

void SimUser::cursorPos(int& x, int& y) {
    x = mouseX;
    y = mouseY;
}

static ModalResult defaultAnswer(unsigned buttons) {
    if (buttons & BtnCancel) return ModalResult::Cancel;
    if (buttons & BtnNo) return ModalResult::No;
    return ModalResult::OK;
}

ModalResult SimUser::messageDialog(const std::string& text, DialogKind kind, unsigned buttons) {
    // Recorded before the test's moment runs, so a dialog raised during it comes after.
    dialogs.push_back({text, kind, buttons, ModalResult::None});
    const size_t at = dialogs.size() - 1;
    if (whileDialogUp) whileDialogUp(text);
    ModalResult r;
    if (!answers_.empty() && answers_.front().first == text) {
        r = answers_.front().second;
        answers_.pop_front();
    } else {
        // An unscripted dialog is a test failure; answer it as closing the box would.
        unexpected.push_back("dialog: " + text);
        r = defaultAnswer(buttons);
    }
    dialogs[at].answer = r;
    return r;
}

int SimUser::systemMetric(int index) {
    auto it = metrics.find(index);
    return it == metrics.end() ? 0 : it->second;
}

FrameSize SimUser::frameOverhead(BorderStyle style) {
    const int caption = systemMetric(kCaptionHeight);
    switch (style) {
        case BorderStyle::Dialog:
            return {2 * systemMetric(kDialogFrameWidth), caption + 2 * systemMetric(kDialogFrameHeight)};
        case BorderStyle::Sizeable:
            return {2 * systemMetric(kSizingFrameWidth), caption + 2 * systemMetric(kSizingFrameHeight)};
        case BorderStyle::Single: break;
    }
    return {2 * systemMetric(kBorderWidth), caption + 2 * systemMetric(kBorderHeight)};
}

uint32_t SimUser::systemColor(int index) {
    // The classic scheme: button face grey, window white, text black.
    switch (index) {
        case syscolor::BtnFace: return 0xC0C0C0;
        case syscolor::Window: return 0xFFFFFF;
        default: return 0;
    }
}

ModalResult SimUser::showModal(Form& f) {
    modalForms.push_back(f.name());
    f.beginModal();
    f.activate();
    auto& queue = modal_[f.name()];
    while (!f.checkModalEnd()) {
        if (queue.empty()) {
            unexpected.push_back("modal form left open: " + f.name());
            f.doClose();
            break;
        }
        auto act = std::move(queue.front());
        queue.pop_front();
        act(f);
    }
    f.endModal();
    // The focus leaves the form with it (as it goes back to the window below).
    if (focused && focused->form() == &f) focused = nullptr;
    return f.modalResult();
}

void SimUser::show(Form& f) {
    shownForms.push_back(f.name());
    // As in the message loop, an error that escapes the handler is shown in the error box.
    try {
        f.activate();
    } catch (const std::exception& e) {
        messageDialog(e.what(), DialogKind::Error, BtnOK);
    }
}

void SimUser::releaseLater(Form& f) {
    if (std::find(released_.begin(), released_.end(), &f) == released_.end()) released_.push_back(&f);
}

void SimUser::processMessages() {
    ++processMessagesCalls;
    auto forms = std::move(released_);
    released_.clear();
    for (Form* f : forms) delete f;
}

SimUser::~SimUser() {
    for (Form* f : released_) delete f;
}

void SimUser::popup(PopupMenu& menu, int x, int y) {
    popups.push_back(menu.name());
    popupX = x;
    popupY = y;
    auto& queue = popup_[menu.name()];
    if (queue.empty()) return;
    auto act = std::move(queue.front());
    queue.pop_front();
    act(menu);
}

void SimUser::setFocus(Control& c) {
    if (focused == &c) return;
    focused = &c;
    if (auto* e = dynamic_cast<Edit*>(&c); e && e->autoSelect) e->selectAll();
}

template <class T>
static T* controlFor(SimUser& u, Form& f, const std::string& name) {
    T* c = f.find<T>(name);
    if (!c) u.unexpected.push_back("no control " + name + " of the expected kind on " + f.name());
    return c;
}

void SimUser::typeInto(Form& f, const std::string& edit, const std::string& chars) {
    if (auto* e = controlFor<Edit>(*this, f, edit)) {
        e->setFocus();
        e->type(chars);
    }
}

void SimUser::pressKeyIn(Form& f, const std::string& edit, int key) {
    if (auto* e = controlFor<Edit>(*this, f, edit)) {
        e->setFocus();
        e->pressKey(key);
    }
}

void SimUser::clickButton(Form& f, const std::string& button) {
    if (auto* b = controlFor<Button>(*this, f, button)) b->click();
}

void SimUser::scrollBar(Form& f, const std::string& bar, ScrollCode code, int pos) {
    if (auto* s = controlFor<ScrollBar>(*this, f, bar)) s->scroll(code, pos);
}

void SimUser::clickRadioItem(Form& f, const std::string& group, int item) {
    if (auto* g = controlFor<RadioGroup>(*this, f, group)) g->clickItem(item);
}

void SimUser::answerColor(std::optional<uint32_t> color) { colors_.push_back(color); }

bool SimUser::colorDialog(uint32_t& color, bool fullOpen) {
    colorDialogs.push_back({color, fullOpen});
    if (colors_.empty()) {
        unexpected.push_back("colour dialog");
        return false;
    }
    auto answer = colors_.front();
    colors_.pop_front();
    if (!answer) return false;
    color = *answer & 0xFFFFFFu;
    return true;
}

int SimUser::textWidth(const Font& font, const std::string& text) {
    return static_cast<int>(text.size()) * (charWidth + (font.bold ? 1 : 0));
}

bool SimUser::loadPicture(Control&, const std::string& file) {
    FileSystemPort* fs = ports().fs;
    return fs && fs->exists(file) && !fs->isDirectory(file);
}


WindowState SimUser::windowState(Form& f) {
    auto it = windowStates.find(&f);
    return it == windowStates.end() ? WindowState::Normal : it->second;
}

void SimUser::setWindowState(Form& f, WindowState s) { windowStates[&f] = s; }

bool SimUser::fontDialog(Font& font, int minSize, int maxSize) {
    fontDialogs.push_back({font, minSize, maxSize});
    if (!fontAnswer) return false;
    return fontAnswer(font);
}

intptr_t SimHost::send(uintptr_t window, uint32_t msg, uintptr_t wparam, intptr_t lparam) {
    sent.push_back({window, msg, wparam, lparam, false});
    return 0;
}

void SimHost::broadcast(uint32_t msg, uintptr_t wparam, intptr_t lparam) {
    sent.push_back({0xFFFF, msg, wparam, lparam, true});
}

bool SimHost::isWindow(uintptr_t window) {
    for (auto w : windows)
        if (w == window) return true;
    return false;
}

bool SimSystem::help(const std::string& file, int context) {
    helpCalls.emplace_back(file, context);
    return true;
}

bool SimSystem::run(const std::string& commandLine, int showState) {
    if (!runOk) return false;
    programs.push_back(commandLine);
    programShows.push_back(showState);
    return true;
}

std::string SimSystem::dateTimeText(int64_t utcSeconds) {
    const int64_t days = utcSeconds >= 0 ? utcSeconds / 86400 : (utcSeconds - 86399) / 86400;
    const int64_t secs = utcSeconds - days * 86400;
    const CivilDate c = civilFromDays(days);
    const int h = static_cast<int>(secs / 3600), n = static_cast<int>(secs / 60 % 60), s = static_cast<int>(secs % 60);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%d/%d/%lld %d:%02d:%02d %s", c.month, c.day, static_cast<long long>(c.year),
                  h % 12 == 0 ? 12 : h % 12, n, s, h < 12 ? "AM" : "PM");
    return buf;
}

}  // namespace kv
