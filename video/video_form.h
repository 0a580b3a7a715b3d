// The video player "Video": a small modeless, always-on-top window that plays one video file
// through the media device, with a media button bar, a seek bar, a status bar and an options
// menu (zoom, fit, status bar, update rate, configuration, quiet and loop playback, speed
// and volume, frame grab). It lives in the host's message loop; VideoWinPlayer95 opens it,
// VideoWinStatus95 polls it and VideoWinClose95 ends it. It frees itself when it closes.
#pragma once
#include <functional>
#include <string>

#include "controls/xscroll.h"
#include "framework/controls.h"
#include "framework/error.h"
#include "framework/platform.h"
#include "framework/paint_box.h"
#include "video/media_bar.h"

namespace kv::video {

// Device mode names shown in the status bar, by mode number.
const char* modeName(MediaMode m);

class TVideoForm : public Form {
public:
    TVideoForm();
    ~TVideoForm() override;

    // ---- controls ----
    Panel* VideoWinBack;   // black, fills the client area above the bars
    Panel* VideoWin;       // the picture, fitted and centred in VideoWinBack
    Panel* Panel4;         // the control bar
    Panel* MediaPanel;
    TMediaBar* MediaPlayer1;
    Panel* Panel2;
    TXScrollbar* XScrollbar1;  // the seek bar
    Panel* MenuPanel;
    Button* MenuButton;
    Panel* Status;
    Timer Timer1{"Timer1", 500};

    // ---- the options menu ----
    PopupMenu* MenuOptions;
    MenuItem* ZoomWindow1;
    MenuItem* mnuZoom100;
    MenuItem* mnuZoom200;
    MenuItem* mnuZoom300;
    MenuItem* mnuZoom400;
    MenuItem* mnuOptimize;
    MenuItem* DisplayStatus;
    MenuItem* StatusUpdate1;
    MenuItem* mnuUpdate[6];  // mnuUpdate1000 ... mnuUpdate167
    MenuItem* mnuConfigure;
    MenuItem* VideoOptions1;
    MenuItem* mnuVidSpeed;
    MenuItem* mnuVidVolume;
    MenuItem* mnuQuietPlayback;
    MenuItem* mnuPlaybackLoop;
    MenuItem* mnuPlay;
    MenuItem* mnuPause;
    MenuItem* mnuGrab;
    MenuItem* mnuExit;

    // ---- handlers (the window) ----
    void FormActivate(Control*);
    void FormResize(Control*);
    void FormClose(Control*);
    void FormClick(Control*);
    void FormKeyDown(Control*, int& key, unsigned shift);
    void FormPaletteChanged(Control*, uintptr_t changer);
    void Timer1Timer(Control*);
    void MediaPlayer1Click(MediaBtn button);
    void MediaPlayer1Notify();
    void XScrollbar1Change(Control*);
    void XScrollbar1Scroll(Control*, ScrollCode, int&);
    void XScrollbar1MouseDown(Control*, MouseButton, unsigned, int, int);
    void MenuButtonClick(Control*);

    // ---- handlers (the options menu) ----
    void ZoomVideo(int n);
    void mnuOptimizeClick();
    void DisplayStatusClick();
    void UpdateReset();
    void mnuUpdateClick(int index);  // 0..5: 1000, 500, 333, 250, 200, 167 ms
    void mnuConfigureClick();
    void mnuQuietPlaybackClick();
    void mnuPlaybackLoopClick();
    void mnuVidSpeedClick(MenuItem* sender);
    void mnuPlayClick();
    void mnuPauseClick();
    void mnuGrabClick();
    void mnuExitClick();

    // ---- work shared by the handlers ----
    void FitVideo();
    void UpdateVideo();
    void UpdateVideoBkgd();
    // The device shows the video in VideoWin's client area; the status timer runs.
    void ShowInVideoWin();
    void PauseForRelayout();
    // The end of a re-layout: the bars take the window's width and the picture its place (the
    // seek bar hidden meanwhile), then the frame is sought and drawn again; the re-layout ends.
    void RelayoutVideo();
    void ReSeek();
    void ShowPosition(const std::string& separator);  // a tick's status, or Step's
    // Reports the device's error for its last result (or, when the device reported none,
    // what failed) and closes the window.
    void ReportMediaError(const std::string& what = {});
    // Places the bars and the picture's background in the client area (status bar at the very
    // bottom, the control bar above it, the background in the rest).
    void LayoutBars();
    // Sizes the window to this client area, keeping its place.
    void SetClientArea(int width, int height);
    // A size change by the program, then the re-layout.
    void Resize(const std::function<void()>& change);
    int BarsHeight() const;  // the control bar and, when shown, the status bar

    bool deviceOpen() const;

private:
    // Runs a handler's work; a device failure is reported and closes the window.
    template <class F>
    void guardedDevice(F&& work) {
        try {
            work();
        } catch (const Error& e) {
            ReportMediaError(e.what());
        }
    }
};

}  // namespace kv::video
