// The player window's controls and menu, its layout and the fit of the picture.
//
//   +-------------------------------------+
//   |            VideoWinBack             |   black; VideoWin inside it holds the
//   |        +-------------------+        |   picture, fitted and centred
//   |        |     VideoWin      |        |
//   |        +-------------------+        |
//   +--------+------------------+---------+
//   | > []   | <=====seek=====> |   ...   |   Panel4: MediaPanel, Panel2, MenuPanel
//   +--------+------------------+---------+
//   | Ready                               |   Status
//   +-------------------------------------+
#include "video/video_form.h"

#include <algorithm>
#include <cmath>

#include "framework/fit.h"
#include "video/video_state.h"

namespace kv::video {

namespace {

constexpr int kInitialWidth = 216, kInitialHeight = 265;
constexpr int kBarHeight = 28, kStatusHeight = 21;
constexpr int kMediaPanelWidth = 68, kMenuPanelWidth = 31;
constexpr uint32_t kBlack = 0x000000;

const char* const kUpdateNames[6] = {"mnuUpdate1000", "mnuUpdate500", "mnuUpdate333",
                                     "mnuUpdate250", "mnuUpdate200", "mnuUpdate167"};
const char* const kUpdateCaptions[6] = {"1:1 sec.", "2:1 sec.", "3:1 sec.", "4:1 sec.", "5:1 sec.", "6:1 sec."};

Panel* panel(Control* parent, const char* name, uint32_t color, int bevel = 0) {
    Panel* p = make<Panel>(parent, name);
    p->bevel = bevel;
    p->setColor(color);
    return p;
}

}  // namespace

const char* modeName(MediaMode m) {
    switch (m) {
        case MediaMode::NotReady: return "Not ready";
        case MediaMode::Stopped: return "Stopped";
        case MediaMode::Playing: return "Playing";
        case MediaMode::Recording: return "Recording";
        case MediaMode::Seeking: return "Seeking";
        case MediaMode::Paused: return "Paused";
        case MediaMode::Open: return "Open";
    }
    return "Unknown";  // a mode the table does not name
}

TVideoForm::TVideoForm() : Form("VideoForm") {
    setCaption("Video");
    borderStyle = BorderStyle::Sizeable;
    stayOnTop = true;
    keyPreview = true;
    setColor(kBlack);
    Font f = font();
    f.bold = true;
    setFont(f);

    VideoWinBack = panel(this, "VideoWinBack", kBlack);
    VideoWin = panel(VideoWinBack, "VideoWin", kBlack);
    Panel4 = panel(this, "Panel4", SysColor(syscolor::BtnFace));
    MediaPanel = panel(Panel4, "MediaPanel", SysColor(syscolor::BtnFace));
    MediaPlayer1 = make<TMediaBar>(MediaPanel, "MediaPlayer1");
    MediaPlayer1->setVisible(false);
    Panel2 = panel(Panel4, "Panel2", SysColor(syscolor::BtnFace));
    XScrollbar1 = make<TXScrollbar>(Panel2, "XScrollbar1");
    MenuPanel = panel(Panel4, "MenuPanel", SysColor(syscolor::BtnFace));
    MenuButton = make<Button>(MenuPanel, "MenuButton");
    MenuButton->glyph = "mmenu";
    MenuButton->setHint("Options");
    MenuButton->setVisible(false);
    Status = panel(this, "Status", SysColor(syscolor::BtnFace), 1);
    Status->lowered = true;
    Status->alignment = Alignment::Left;
    Status->setCaption("Ready");

    MenuOptions = addMenu("MenuOptions");
    ZoomWindow1 = MenuOptions->add("ZoomWindow1", "Zoom Window");
    mnuZoom100 = ZoomWindow1->add("mnuZoom100", "100%  Ctrl+1");
    mnuZoom200 = ZoomWindow1->add("mnuZoom200", "200%  Ctrl+2");
    mnuZoom300 = ZoomWindow1->add("mnuZoom300", "300%  Ctrl+3");
    mnuZoom400 = ZoomWindow1->add("mnuZoom400", "400%  Ctrl+4");
    mnuOptimize = MenuOptions->add("mnuOptimize", "&Optimize Window", "Ctrl+O");
    DisplayStatus = MenuOptions->add("DisplayStatus", "Video Status Bar");
    DisplayStatus->setChecked(true);
    MenuOptions->add("N3", "-");
    StatusUpdate1 = MenuOptions->add("StatusUpdate1", "Status &Update");
    for (int i = 0; i < 6; ++i) mnuUpdate[i] = StatusUpdate1->add(kUpdateNames[i], kUpdateCaptions[i]);
    mnuUpdate[1]->setChecked(true);
    mnuConfigure = MenuOptions->add("mnuConfigure", "Configure Video");
    MenuOptions->add("N2", "-");
    VideoOptions1 = MenuOptions->add("VideoOptions1", "Playbac&k");
    mnuVidSpeed = VideoOptions1->add("mnuVidSpeed", "&Speed");
    mnuVidVolume = VideoOptions1->add("mnuVidVolume", "&Volume");
    mnuQuietPlayback = MenuOptions->add("mnuQuietPlayback", "&Quiet Playback", "Ctrl+Q");
    mnuPlaybackLoop = MenuOptions->add("mnuPlaybackLoop", "&Loop Playback");
    MenuOptions->add("N1", "-");
    mnuPlay = MenuOptions->add("mnuPlay", "&Play", "Shift+Ins");
    mnuPause = MenuOptions->add("mnuPause", "Pau&se", "Shift+Del");
    mnuGrab = MenuOptions->add("mnuGrab", "&Grab Frame");
    mnuExit = MenuOptions->add("mnuExit", "Close and E&xit ");

    // Centred on the screen at its design size.
    if (UserPort* u = ports().user)
        setBounds((u->screenWidth() - kInitialWidth) / 2, (u->screenHeight() - kInitialHeight) / 2, kInitialWidth,
                  kInitialHeight);
    const VideoState& s = state();
    SetClientArea(kInitialWidth - s.frameOverheadWidth, kInitialHeight - s.frameOverheadHeight);

    // ---- events ----
    onActivate = [this](Control* c) { FormActivate(c); };
    onResize = [this](Control* c) {
        LayoutBars();
        FormResize(c);
    };
    onClose = [this](Control* c) { FormClose(c); };
    onClick = [this](Control* c) { FormClick(c); };
    onKeyDown = [this](Control* c, int& k, unsigned sh) { FormKeyDown(c, k, sh); };
    onPaletteChanged = [this](Control* c, uintptr_t w) { FormPaletteChanged(c, w); };
    VideoWin->onClick = [this](Control* c) { FormClick(c); };
    VideoWinBack->onClick = [this](Control* c) { FormClick(c); };
    // A repaint of the picture's panel (uncovered, restored) shows the current frame again.
    VideoWin->onPaint = [this](Control*, uintptr_t surface) {
        if (MediaPort* m = ports().media; m && m->isOpen() && !state().closing)
            m->update(surface, 0, 0, VideoWin->clientWidth(), VideoWin->clientHeight());
    };
    Timer1.onTimer = [this](Timer*) { Timer1Timer(this); };
    MediaPlayer1->onButton = [this](MediaBtn b) { MediaPlayer1Click(b); };
    XScrollbar1->onChange = [this](Control* c) { XScrollbar1Change(c); };
    XScrollbar1->onScroll = [this](Control* c, ScrollCode code, int& pos) { XScrollbar1Scroll(c, code, pos); };
    XScrollbar1->onMouseDown = [this](Control* c, MouseButton b, unsigned sh, int x, int y) {
        XScrollbar1MouseDown(c, b, sh, x, y);
    };
    MenuButton->onClick = [this](Control* c) { MenuButtonClick(c); };
    mnuZoom100->onClick = [this](Control*) { ZoomVideo(1); };
    mnuZoom200->onClick = [this](Control*) { ZoomVideo(2); };
    mnuZoom300->onClick = [this](Control*) { ZoomVideo(3); };
    mnuZoom400->onClick = [this](Control*) { ZoomVideo(4); };
    mnuOptimize->onClick = [this](Control*) { mnuOptimizeClick(); };
    DisplayStatus->onClick = [this](Control*) { DisplayStatusClick(); };
    for (int i = 0; i < 6; ++i) mnuUpdate[i]->onClick = [this, i](Control*) { mnuUpdateClick(i); };
    mnuConfigure->onClick = [this](Control*) { mnuConfigureClick(); };
    mnuVidSpeed->onClick = [this](Control*) { mnuVidSpeedClick(mnuVidSpeed); };
    mnuVidVolume->onClick = [this](Control*) { mnuVidSpeedClick(mnuVidVolume); };
    mnuQuietPlayback->onClick = [this](Control*) { mnuQuietPlaybackClick(); };
    mnuPlaybackLoop->onClick = [this](Control*) { mnuPlaybackLoopClick(); };
    mnuPlay->onClick = [this](Control*) { mnuPlayClick(); };
    mnuPause->onClick = [this](Control*) { mnuPauseClick(); };
    mnuGrab->onClick = [this](Control*) { mnuGrabClick(); };
    mnuExit->onClick = [this](Control*) { mnuExitClick(); };
}

TVideoForm::~TVideoForm() {
    Timer1.setEnabled(false);
    VideoState& s = state();
    if (s.form == this) s.form = nullptr;
}

bool TVideoForm::deviceOpen() const {
    MediaPort* m = ports().media;
    return m && m->isOpen();
}

void TVideoForm::SetClientArea(int width, int height) {
    const VideoState& s = state();
    setClientSize(std::max(width, 0), std::max(height, 0));
    setBounds(left(), top(), clientWidth() + s.frameOverheadWidth, clientHeight() + s.frameOverheadHeight);
    LayoutBars();
}

void TVideoForm::LayoutBars() {
    const int w = clientWidth(), h = clientHeight();
    const int statusH = Status->visible() ? kStatusHeight : 0;
    Status->setBounds(0, h - kStatusHeight, w, kStatusHeight);
    Panel4->setBounds(0, h - statusH - kBarHeight, w, kBarHeight);
    VideoWinBack->setBounds(0, 0, w, std::max(0, h - statusH - kBarHeight));
    MediaPanel->setBounds(0, 0, kMediaPanelWidth, kBarHeight);
    MenuPanel->setBounds(std::max(kMediaPanelWidth, w - kMenuPanelWidth), 0, kMenuPanelWidth, kBarHeight);
    Panel2->setBounds(kMediaPanelWidth, 0, std::max(0, w - kMediaPanelWidth - kMenuPanelWidth), kBarHeight);
    MediaPlayer1->setBounds(0, 2, MediaPlayer1->width(), kBarHeight - 4);
    MediaPlayer1->arrange();
    XScrollbar1->setBounds(2, 5, XScrollbar1->width(), 17);
    MenuButton->setBounds(2, 2, kMenuPanelWidth - 4, kBarHeight - 4);
}

// The largest rectangle with the video's proportions in the background panel, centred; a
// panel one pixel larger than the background sits at -1.
void TVideoForm::FitVideo() {
    if (!deviceOpen()) return;
    UserPort* u = ports().user;
    u->setCursor(CursorKind::HourGlass);
    const VideoState& s = state();
    if (s.videoWidth == 0 || s.videoHeight == 0) {  // no picture to fit
        u->setCursor(CursorKind::Default);
        return;
    }
    const int bw = VideoWinBack->width(), bh = VideoWinBack->height();
    FitRecord r{bw + 1, bh + 1, s.videoWidth, s.videoHeight};
    FitRect(r);
    VideoWin->setBounds(static_cast<int>(std::floor((bw - r.width) / 2.0)),
                        static_cast<int>(std::floor((bh - r.height) / 2.0)), r.width, r.height);
    u->setCursor(CursorKind::Default);
}

}  // namespace kv::video
