#include "video/media_bar.h"

#include "framework/error.h"
#include "framework/platform.h"
#include "video/video_state.h"

namespace kv::video {

namespace {

constexpr const char* kNames[] = {"BtnPlay", "BtnPause", "BtnStop", "BtnNext", "BtnPrev",
                                  "BtnStep", "BtnBack", "BtnRecord", "BtnEject"};
constexpr const char* kGlyphs[] = {"mplay", "mpause", "mstop", "mnext", "mprev",
                                   "mstep", "mback", "mrecord", "meject"};
constexpr const char* kHints[] = {"Play", "Pause", "Stop", "Next", "Prev", "Step", "Back", "Record", "Eject"};

}  // namespace

MediaPort& device() {
    MediaPort* m = ports().media;
    if (!m) throw Error("No media device.");
    return *m;
}

void check(uint32_t result) {
    state().lastError = result;
    if (result == 0) return;
    MediaPort* m = ports().media;
    throw Error(m ? m->errorText(result) : "Media error");
}

TMediaBar::TMediaBar(Control* parent, std::string name) : Panel(parent, std::move(name)) {
    bevel = 0;
    for (size_t i = 0; i < buttons_.size(); ++i) {
        Button* b = make<Button>(this, kNames[i]);
        b->glyph = kGlyphs[i];
        b->setHint(kHints[i]);
        const auto which = static_cast<MediaBtn>(i);
        b->onClick = [this, which](Control*) { press(which); };
        buttons_[i] = b;
    }
    setEnabledButtons(0);
    setVisibleButtons(0);
}

void TMediaBar::setEnabledButtons(MediaSet s) {
    enabled_ = s;
    for (size_t i = 0; i < buttons_.size(); ++i) buttons_[i]->setEnabled((s >> i) & 1u);
}

void TMediaBar::setVisibleButtons(MediaSet s) {
    visible_ = s;
    arrange();
}

void TMediaBar::arrange() {
    int shown = 0;
    for (size_t i = 0; i < buttons_.size(); ++i) shown += (visible_ >> i) & 1u;
    const int w = shown ? width() / shown : 0;
    int x = 0;
    for (size_t i = 0; i < buttons_.size(); ++i) {
        const bool v = (visible_ >> i) & 1u;
        if (v) {
            buttons_[i]->setBounds(x, 0, w, height());
            x += w;
        }
        buttons_[i]->setVisible(v);
    }
}

void TMediaBar::open() { check(device().open(fileName)); }

void TMediaBar::press(MediaBtn b) {
    const auto i = static_cast<unsigned>(b);
    if (!((enabled_ >> i) & 1u) || !((visible_ >> i) & 1u)) return;
    if (onButton) onButton(b);
    // The handler may have closed the window over a failed device.
    if (MediaPort* m = ports().media; m && m->isOpen()) act(b);
}

void TMediaBar::act(MediaBtn b) {
    MediaPort& m = device();
    switch (b) {
        case MediaBtn::Play: {
            // From where the device stands; from the start again when it stands at the end.
            int32_t pos = 0, len = 0;
            check(m.position(pos));
            check(m.length(len));
            if (len > 0 && pos >= len - 1) check(m.seekToStart());
            check(m.play(notifyWindow));
            break;
        }
        case MediaBtn::Pause: {
            MediaMode mode{};
            check(m.mode(mode));
            if (mode == MediaMode::Playing) check(m.pause());
            else if (mode == MediaMode::Paused) check(m.resume());
            break;
        }
        case MediaBtn::Stop: check(m.stop()); break;
        case MediaBtn::Prev: check(m.seekToStart()); break;
        case MediaBtn::Step: check(m.step(stepFrames)); break;
        case MediaBtn::Back: check(m.step(-stepFrames)); break;
        case MediaBtn::Next: {
            int32_t len = 0;
            check(m.length(len));
            check(m.seek(len > 0 ? len - 1 : 0));
            break;
        }
        case MediaBtn::Record:
        case MediaBtn::Eject: break;  // a video device neither records nor ejects
    }
}

}  // namespace kv::video
