// The player's options menu and its keyboard: zoom, fit, status bar, update rate, the
// device's configuration, quiet and loop playback, speed and volume, play and pause, the
// frame grab for the host, and closing.
#include "dialogs/value_dialog.h"
#include "framework/error.h"
#include "framework/settings.h"
#include "video/video_form.h"
#include "video/video_state.h"

namespace kv::video {

namespace {

constexpr int kUpdateIntervals[6] = {1000, 500, 333, 250, 200, 167};
constexpr int VK_INSERT = 45, VK_DELETE = 46;

UserPort& user() { return *ports().user; }

}  // namespace

// ---- window size ---------------------------------------------------------------------------

// The window's size changes under the program's hand: the timer and (with redraw option 8)
// playback wait, size changes are not re-layouts of their own, then one re-layout follows.
void TVideoForm::Resize(const std::function<void()>& change) {
    VideoState& s = state();
    user().setCursor(CursorKind::HourGlass);
    Timer1.setEnabled(false);
    guardedDevice([&] { PauseForRelayout(); });
    if (state().form != this) return;
    s.relayout = true;
    change();
    s.relayout = false;
    FormResize(this);
    if (state().form != this) return;
    Timer1.setEnabled(true);
    user().setCursor(CursorKind::Default);
}

int TVideoForm::BarsHeight() const { return Panel4->height() + (Status->visible() ? Status->height() : 0); }

void TVideoForm::ZoomVideo(int n) {
    const VideoState& s = state();
    Resize([&] {
        const int w = n * s.videoWidth + s.frameOverheadWidth;
        const int h = n * s.videoHeight + s.frameOverheadHeight + BarsHeight();
        // A window larger than the screen is refused: its size stays.
        if (user().screenWidth() >= w && user().screenHeight() >= h)
            SetClientArea(w - s.frameOverheadWidth, h - s.frameOverheadHeight);
    });
}

// The window shrinks around the fitted picture and loses its black margins.
void TVideoForm::mnuOptimizeClick() {
    Resize([&] { SetClientArea(VideoWin->width(), VideoWin->height() + BarsHeight()); });
}

// The window keeps its size; the picture's area grows or shrinks.
void TVideoForm::DisplayStatusClick() {
    Resize([&] {
        Status->setVisible(!Status->visible());
        DisplayStatus->setChecked(Status->visible());
        LayoutBars();
    });
}

// ---- status update rate ------------------------------------------------------------------

void TVideoForm::UpdateReset() {
    Timer1.setEnabled(false);
    for (MenuItem* i : mnuUpdate) i->setChecked(false);
}

void TVideoForm::mnuUpdateClick(int index) {
    UpdateReset();
    mnuUpdate[index]->setChecked(true);
    Timer1.setInterval(kUpdateIntervals[index]);
    Timer1.setEnabled(true);
}

// ---- the device ----------------------------------------------------------------------------

void TVideoForm::mnuConfigureClick() {
    if (!deviceOpen()) return;
    guardedDevice([&] {
        Timer1.setEnabled(false);
        if (MediaMode m{}; device().mode(m) == 0 && m == MediaMode::Playing) check(device().pause());
        MediaPlayer1->setVisibleButtons(buttons(MediaBtn::Play, MediaBtn::Step));
        user().setCursor(CursorKind::HourGlass);
        check(device().configure());
        Timer1.setEnabled(true);
        ui().processMessages();
        if (state().form != this) return;
        if (state().playMode == 1) FormResize(this);
        user().setCursor(CursorKind::Default);
    });
}

void TVideoForm::mnuQuietPlaybackClick() {
    if (!deviceOpen()) return;
    guardedDevice([&] {
        user().setCursor(CursorKind::HourGlass);
        if (mnuQuietPlayback->checked()) {
            check(device().setAudio(true));
            mnuQuietPlayback->setChecked(false);
        } else {
            check(device().setAudio(false));
            mnuQuietPlayback->setChecked(true);
        }
        user().setCursor(CursorKind::Default);
        ui().processMessages();
    });
}

void TVideoForm::mnuPlaybackLoopClick() { mnuPlaybackLoop->setChecked(!mnuPlaybackLoop->checked()); }

// Speed and volume are asked in per cent and kept per mille; they reach the device the next
// time play starts. 0 % stands for the normal value.
void TVideoForm::mnuVidSpeedClick(MenuItem* sender) {
    if (!deviceOpen()) return;
    VideoState& s = state();
    guardedDevice([&] {
        Timer1.setEnabled(false);
        MediaMode m{};
        check(device().mode(m));
        if (m == MediaMode::Playing) {
            check(device().pause());
            MediaPlayer1->setVisibleButtons(buttons(MediaBtn::Play, MediaBtn::Step));
        }
    });
    if (state().form != this) return;
    const bool speed = sender == mnuVidSpeed;
    const int32_t answer =
        speed ? dialogs::ShowValueDialog("Video Speed Factor (%)", 25, 200, s.speedFactor / 10, 25, 1, 25, 50, 75, 125, 150, 200)
              : dialogs::ShowValueDialog("Audio Volume Factor (%)", 0, 100, s.volumeFactor / 10, 10, 1, 0, 20, 40, 50, 60, 80);
    if (answer == dialogs::ValueCancelled) return;
    int32_t factor = answer * 10;
    if (factor == 0) factor = 1000;
    (speed ? s.speedFactor : s.volumeFactor) = factor;
}

// ---- frame grab, closing, the options button, keys -----------------------------------------

// The host grabs the frame: the video panel's place in the client area goes to the settings
// file, then the host gets the client area's drawing surface to copy it from.
void TVideoForm::mnuGrabClick() {
    mnuPauseClick();
    if (state().form != this) return;
    IniFile ini(SettingsFileName);
    // In the pixels of the surface the host copies from.
    UiBackend& u = ui();
    ini.writeInteger(SettingsSection, "prL", u.screenPixels(*VideoWin, VideoWin->left()));
    ini.writeInteger(SettingsSection, "prT", u.screenPixels(*VideoWin, VideoWin->top()));
    ini.writeInteger(SettingsSection, "prW", u.screenPixels(*VideoWin, VideoWin->clientWidth()));
    ini.writeInteger(SettingsSection, "prH", u.screenPixels(*VideoWin, VideoWin->clientHeight()));
    const uintptr_t surface = ui().takeSurface(*this);
    if (HostPort* h = ports().host) h->send(state().hostWindow, kGrabMessage, 0, static_cast<intptr_t>(surface));
    ui().releaseSurface(*this, surface);
}

void TVideoForm::mnuExitClick() {
    state().closeRequest = true;
    close();
}

void TVideoForm::MenuButtonClick(Control*) {
    MenuOptions->popup(left() + width() / 2, top() + height() / 4);
}

void TVideoForm::FormKeyDown(Control*, int& key, unsigned shift) {
    const unsigned mods = shift & (ShiftKey | CtrlKey | AltKey);
    auto is = [&](int k, unsigned m) { return key == k && mods == m; };
    if (is(vk::Escape, 0)) {
        key = 0;
        if (state().closeRequest) close();
        else state().closeRequest = true;
    } else if (is(VK_INSERT, ShiftKey)) {
        key = 0;
        mnuPlayClick();
    } else if (is(VK_DELETE, ShiftKey)) {
        key = 0;
        mnuPauseClick();
    } else if (mods == CtrlKey && key >= '1' && key <= '4') {
        const int n = key - '0';
        key = 0;
        ZoomVideo(n);
    } else if (is('M', CtrlKey)) {
        key = 0;
        MenuButtonClick(this);
    } else if (is('O', CtrlKey)) {
        key = 0;
        mnuOptimizeClick();
    } else if (is('Q', CtrlKey)) {
        key = 0;
        mnuQuietPlaybackClick();
    }
}

}  // namespace kv::video
