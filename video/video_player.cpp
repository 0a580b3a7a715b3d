// The player window's life: the exports, opening, the first activation, the re-layout, the
// status timer, the button bar, the seek bar and closing.
#include <algorithm>

#include "framework/error.h"
#include "framework/settings.h"
#include "framework/text.h"
#include "host/entry.h"
#include "video/video_form.h"
#include "video/video_state.h"

namespace kv::video {

namespace {

// The platform's errors for an unknown device name and for a file type no device handles.
constexpr uint32_t kErrUnknownDevice = 263, kErrNoDeviceForType = 281;

UserPort& user() { return *ports().user; }

MediaMode currentMode() {
    MediaMode m{};
    check(device().mode(m));
    return m;
}

// The name the caption shows: the long name of the file's last part when the file is on
// disk, else what follows the last backslash or colon.
std::string displayName(const std::string& file) {
    if (FileSystemPort* fs = ports().fs)
        if (auto e = fs->findEntry(file)) return e->longName;
    return namePart(file);
}

}  // namespace

VideoState& state() {
    static VideoState s;
    return s;
}

int32_t statusWord(const VideoState& s) {
    return static_cast<int32_t>(static_cast<uint32_t>(s.openFlag) << 8) | s.playMode;
}

// ---- opening and activation ------------------------------------------------------------

void TVideoForm::FormActivate(Control*) {
    VideoState& s = state();
    if (s.openFlag == 1 || s.closing) return;
    guardedDevice([&] {
        Font f = font();
        f.color = user().systemColor(syscolor::WindowText);
        setFont(f);
        ui().processMessages();
        MediaPlayer1->setEnabledButtons(buttons(MediaBtn::Play, MediaBtn::Pause, MediaBtn::Stop, MediaBtn::Prev, MediaBtn::Step));
        MediaPlayer1->setVisibleButtons(buttons(MediaBtn::Play, MediaBtn::Stop));
        user().setCursor(CursorKind::HourGlass);
        s.relayout = true;
        MediaPort& m = device();
        check(m.setDisplayWindow(ui().windowHandle(*VideoWin)));
        check(m.setTimeFormatFrames());
        MediaPlayer1->stepFrames = 1;
        int w = 0, h = 0;
        check(m.sourceSize(w, h));
        s.videoWidth = static_cast<uint16_t>(w);
        s.videoHeight = static_cast<uint16_t>(h);
        check(m.length(s.frameCount));
        ui().processMessages();
        const int32_t max = countsTens(s) ? (s.frameCount - 1) / 10 : s.frameCount - 1;
        // A scroll bar cannot end below its start: a video without frames cannot be shown.
        if (max < 0) throw Error("The video has no frames.");
        s.seekMax = static_cast<int16_t>(max);
        XScrollbar1->setRange(0, s.seekMax);
        SetClientArea(s.videoWidth, s.videoHeight + Status->height() + Panel4->height());
        check(m.stop());
        const bool mode2 = s.playMode == 2;
        VideoOptions1->setEnabled(!mode2);
        mnuQuietPlayback->setVisible(!mode2);
        RelayoutVideo();
        MediaPlayer1->setVisible(true);
        MenuButton->setVisible(true);
        user().setCursor(CursorKind::Default);
    });
}

void TVideoForm::FormResize(Control*) {
    VideoState& s = state();
    if (!deviceOpen() || s.relayout || s.closing) return;
    guardedDevice([&] {
        user().setCursor(CursorKind::HourGlass);
        s.relayout = true;
        PauseForRelayout();
        for (int i = 0; i < 4; ++i) ui().processMessages();
        if (state().form != this) return;  // closed while the messages ran
        RelayoutVideo();
        user().setCursor(CursorKind::Default);
    });
    s.relayout = false;
}

void TVideoForm::RelayoutVideo() {
    XScrollbar1->setVisible(false);
    XScrollbar1->setWidth(Panel2->width() - 4);
    MediaPlayer1->setWidth(MediaPanel->width());
    FitVideo();
    ui().processMessages();
    XScrollbar1->setVisible(true);
    ReSeek();
    UpdateVideo();
    state().relayout = false;
}

void TVideoForm::PauseForRelayout() {
    const VideoState& s = state();
    if (s.redrawOption != 8 || !deviceOpen() || currentMode() != MediaMode::Playing) return;
    MediaPlayer1Click(MediaBtn::Play);
    check(device().pause());
}

void TVideoForm::ReSeek() {
    const VideoState& s = state();
    if (s.redrawOption != 8 || !deviceOpen()) return;
    user().setCursor(CursorKind::HourGlass);
    check(device().seek(barFrame(s, XScrollbar1->position())));
    user().setCursor(CursorKind::Default);
    ui().processMessages();
    MediaPlayer1->setVisibleButtons(buttons(MediaBtn::Play, MediaBtn::Step));
}

void TVideoForm::UpdateVideo() {
    if (!deviceOpen()) return;
    Timer1.setEnabled(false);
    check(device().realize());
    ShowInVideoWin();
}

void TVideoForm::ShowInVideoWin() {
    MediaPort& m = device();
    check(m.setDisplayWindow(ui().windowHandle(*VideoWin)));
    check(m.setDisplayRect(0, 0, VideoWin->clientWidth(), VideoWin->clientHeight()));
    Timer1.setEnabled(true);
}

void TVideoForm::UpdateVideoBkgd() {
    if (!deviceOpen()) return;
    Timer1.setEnabled(false);
    MediaPort& m = device();
    const uintptr_t surface = ui().takeSurface(*VideoWin);
    const uint32_t r = m.update(surface, 0, 0, VideoWin->clientWidth(), VideoWin->clientHeight());
    ui().releaseSurface(*VideoWin, surface);
    check(r);
    ShowInVideoWin();
}

void TVideoForm::FormClick(Control*) {
    guardedDevice([&] { UpdateVideo(); });
}

void TVideoForm::FormPaletteChanged(Control*, uintptr_t changer) {
    const VideoState& s = state();
    if (s.closing || s.playMode == 2) return;
    if (changer == ui().windowHandle(*VideoWin)) return;  // our own picture: default handling
    guardedDevice([&] { UpdateVideoBkgd(); });
}

// ---- the status timer ------------------------------------------------------------------

void TVideoForm::ShowPosition(const std::string& separator) {
    VideoState& s = state();
    const MediaMode mode = currentMode();
    int32_t p = 0;
    check(device().position(p));
    s.barUpdate = true;
    s.framePosition = p;
    XScrollbar1->setPosition(barPosition(s, p));
    s.barUpdate = false;
    Status->setCaption(modeName(mode) + separator + intToStr(p));
}

void TVideoForm::Timer1Timer(Control*) {
    VideoState& s = state();
    if (s.closing || !deviceOpen()) return;
    guardedDevice([&] {
        const MediaMode mode = currentMode();
        if (mode == MediaMode::Stopped) Timer1.setEnabled(false);
        ShowPosition(" Frame:");
        if (mode == MediaMode::Stopped) {
            if (s.seekMax > XScrollbar1->position() && s.playMode != 2) {
                // Stopped before the end.
                MediaPlayer1->setVisibleButtons(buttons(MediaBtn::Play, MediaBtn::Step));
            } else if (mnuPlaybackLoop->checked()) {
                if (s.playMode == 2) check(device().seekToStart());
                MediaPlayer1Click(MediaBtn::Play);
                if (state().form == this) MediaPlayer1->act(MediaBtn::Play);
            } else if (s.playMode == 2 && s.firstPlay) {
                s.firstPlay = false;
            } else {
                MediaPlayer1->setVisibleButtons(buttons(MediaBtn::Stop, MediaBtn::Prev));
            }
        }
    });
    if (state().form == this && state().closeRequest) close();
}

// ---- the button bar ----------------------------------------------------------------------

void TVideoForm::MediaPlayer1Click(MediaBtn button) {
    VideoState& s = state();
    switch (button) {
        case MediaBtn::Play:
            MediaPlayer1->setVisibleButtons(buttons(MediaBtn::Pause, MediaBtn::Stop));
            Timer1.setEnabled(true);
            if (s.playMode != 2)
                guardedDevice([&] {
                    check(device().setVolume(s.volumeFactor));
                    check(device().setSpeed(s.speedFactor));
                });
            break;
        case MediaBtn::Pause:
            MediaPlayer1->setVisibleButtons(buttons(MediaBtn::Play, MediaBtn::Step));
            Timer1.setEnabled(false);
            break;
        case MediaBtn::Stop:
            user().setCursor(CursorKind::HourGlass);
            s.closeRequest = true;
            Timer1.setEnabled(true);  // its next tick closes the window
            break;
        case MediaBtn::Prev:
            MediaPlayer1->setVisibleButtons(buttons(MediaBtn::Play, MediaBtn::Step));
            XScrollbar1->setPosition(0);
            Status->setCaption("Ready");
            break;
        case MediaBtn::Step:
            // The position before the step is made.
            guardedDevice([&] { ShowPosition("Frame:"); });
            break;
        default: break;
    }
}

void TVideoForm::MediaPlayer1Notify() { ui().processMessages(); }

void TVideoForm::mnuPlayClick() {
    guardedDevice([&] {
        const MediaMode mode = currentMode();
        if (mode != MediaMode::Stopped && mode != MediaMode::Paused) return;
        MediaPlayer1Click(MediaBtn::Play);
        if (state().form == this) MediaPlayer1->act(MediaBtn::Play);
    });
}

void TVideoForm::mnuPauseClick() {
    guardedDevice([&] {
        if (currentMode() != MediaMode::Playing) return;
        MediaPlayer1Click(MediaBtn::Pause);
        check(device().pause());
    });
}

// ---- the seek bar ------------------------------------------------------------------------

void TVideoForm::XScrollbar1Change(Control*) {
    const VideoState& s = state();
    if (s.barUpdate) return;
    Status->setCaption("Seek Frame:" + intToStr(barFrame(s, XScrollbar1->position())));
}

void TVideoForm::XScrollbar1Scroll(Control*, ScrollCode, int&) {
    if (!deviceOpen()) return;
    guardedDevice([&] {
        if (currentMode() != MediaMode::Playing) return;
        Timer1.setEnabled(false);
        check(device().pause());
        MediaPlayer1->setVisibleButtons(buttons(MediaBtn::Play, MediaBtn::Step));
    });
}

void TVideoForm::XScrollbar1MouseDown(Control*, MouseButton, unsigned, int, int) {
    if (!deviceOpen()) return;
    guardedDevice([&] {
        user().setCursor(CursorKind::HourGlass);
        check(device().seek(barFrame(state(), XScrollbar1->position())));
        user().setCursor(CursorKind::Default);
        MediaPlayer1->setVisibleButtons(buttons(MediaBtn::Play, MediaBtn::Step));
    });
}

// ---- failures and closing ------------------------------------------------------------------

void TVideoForm::ReportMediaError(const std::string& what) {
    VideoState& s = state();
    user().setCursor(CursorKind::Default);
    if (s.closing || closed()) return;
    // The status timer stops before the box: its ticks while the box is up would meet the same
    // failure and stack a box each. The window closes after this one.
    Timer1.setEnabled(false);
    ui().sendToBack(*this);
    MediaPort* m = ports().media;
    const std::string text = m && (s.lastError != 0 || what.empty()) ? m->errorText(s.lastError) : what;
    user().messageDialog(text, DialogKind::Error, BtnOK);
    if (state().form == this) close();
}

void TVideoForm::FormClose(Control*) {
    VideoState& s = state();
    user().setCursor(CursorKind::HourGlass);
    s.closing = true;
    Timer1.setEnabled(false);
    // The device goes whatever it answers: a window that closes over a failed device must
    // still let it go.
    if (MediaPort* m = ports().media; m && m->isOpen()) {
        MediaMode mode = MediaMode::NotReady;
        if (m->mode(mode) != 0 || mode != MediaMode::Stopped) m->stop();
        m->close();
    }
    s.closing = false;
    s.closeRequest = false;
    s.playMode = 0;
    s.openFlag = 0;
    if (s.form == this) s.form = nullptr;
    release();
    user().setCursor(CursorKind::Default);
    if (HostPort* h = ports().host) h->broadcast(kClosedMessage, 0, 0);
}

}  // namespace kv::video

// ---- the exports -----------------------------------------------------------------------------

namespace kv::entry {

int32_t VideoWinPlayer95(uintptr_t hostWindow, int32_t playMode, uint16_t redrawOption) {
    using namespace kv::video;
    VideoState& s = state();
    // One player at a time: a window still open is closed (as its own close does) before the
    // new video opens, so two windows never share the module state.
    if (s.form) {
        s.form->close();
        ui().processMessages();
    }
    UserPort& u = *ports().user;
    s.hostWindow = hostWindow;
    s.redrawOption = redrawOption;
    s.playMode = playMode;
    u.setCursor(CursorKind::HourGlass);
    s.speedFactor = 1000;
    s.volumeFactor = 1000;
    // The player counts its frame one border line shorter than a sizeable frame's: its window
    // and the picture's area are sized by that figure.
    const FrameSize frame = frameOverhead(BorderStyle::Sizeable);
    s.frameOverheadHeight = static_cast<int16_t>(frame.height - ports().metrics->borderHeight());
    s.frameOverheadWidth = static_cast<int16_t>(frame.width);
    int32_t safePlay = 0;
    {
        IniFile ini(SettingsFileName);
        s.fileName = ini.readString(SettingsSection, "SaveName", "ERROR");
        safePlay = ini.readInteger(SettingsSection, "SafePLAY", 0);
    }
    auto* form = new TVideoForm();
    s.form = form;
    if ((safePlay & 0xFFFF) != 0) form->mnuGrab->setVisible(false);
    s.firstPlay = true;
    u.setCursor(CursorKind::HourGlass);
    form->MediaPlayer1->fileName = s.fileName;
    form->MediaPlayer1->notifyWindow = ui().windowHandle(*form);
    ui().processMessages();
    try {
        form->MediaPlayer1->open();
    } catch (const Error&) {
        u.setCursor(CursorKind::Default);
        const uint32_t e = s.lastError;
        const std::string suffix = (e == kErrUnknownDevice || e == kErrNoDeviceForType)
                                       ? std::string("\nPlease see README file.")
                                       : "ErrCode=" + intToStr(e);
        MediaPort* m = ports().media;
        u.messageDialog((m ? m->errorText(e) : std::string()) + suffix, DialogKind::Error, BtnOK);
        // Freed without its close handling: nothing is broadcast. No player runs, so the
        // status word reads 0 again rather than the play mode that was asked for.
        s.form = nullptr;
        s.playMode = 0;
        delete form;
        return 0;
    }
    ui().processMessages();
    u.setCursor(CursorKind::Default);
    form->setCaption(displayName(s.fileName));
    form->show();
    ui().processMessages();
    // The first activation may have failed and closed the window: then it is left alone.
    if (s.form != form) return 1;
    s.openFlag = 1;
    u.setCursor(CursorKind::Default);
    if (s.playMode == 1) {
        s.volumeFactor = 500;
        form->mnuPlaybackLoop->setVisible(false);
    }
    return 1;
}

int32_t VideoWinStatus95() { return video::statusWord(video::state()); }

// The first close request is recorded and carried out by the player's status timer; a second
// one while the window is still open closes it at once. With no window the request waits for
// the next player window, which then closes at its first tick.
void VideoWinClose95() {
    video::VideoState& s = video::state();
    s.playMode = 0;
    if (s.closeRequest && s.openFlag != 0 && s.form) {
        s.form->close();
        return;
    }
    s.closeRequest = true;
}

}  // namespace kv::entry
