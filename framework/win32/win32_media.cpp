// The media device port over the platform's media control interface (winmm): one device at
// a time, opened on a file whose type chooses the device, positions and lengths in frames.
#include <windows.h>
#include <digitalv.h>
#include <mmsystem.h>

#include "framework/win32/win32_ports.h"
#include "framework/win32/win32_scale.h"

namespace kv::win32 {

namespace {

class Win32Media final : public MediaPort {
public:
    uint32_t open(const std::string& file) override {
        if (id_) return MCIERR_DEVICE_OPEN;
        MCI_OPEN_PARMSA p{};
        p.lpstrElementName = file.c_str();
        // The device type comes from the file's extension; the video gets no window of the
        // device's own until it is given one.
        const MCIERROR e = mciSendCommandA(0, MCI_OPEN, MCI_OPEN_ELEMENT | MCI_WAIT, reinterpret_cast<DWORD_PTR>(&p));
        if (e == 0) id_ = p.wDeviceID;
        shownFrame_ = -1;
        return e;
    }
    bool isOpen() override { return id_ != 0; }
    uint32_t close() override {
        if (!id_) return MCIERR_INVALID_DEVICE_ID;
        MCI_GENERIC_PARMS p{};
        const MCIERROR e = send(MCI_CLOSE, MCI_WAIT, &p);
        id_ = 0;  // a device that refused to close is given up all the same
        return e;
    }
    std::string errorText(uint32_t error) override {
        char text[256] = {};
        if (!mciGetErrorStringA(error, text, sizeof text)) return "Unknown media error.";
        return text;
    }
    uint32_t setTimeFormatFrames() override {
        MCI_SET_PARMS p{};
        p.dwTimeFormat = MCI_FORMAT_FRAMES;
        return send(MCI_SET, MCI_SET_TIME_FORMAT | MCI_WAIT, &p);
    }
    uint32_t setDisplayWindow(uintptr_t window) override {
        MCI_DGV_WINDOW_PARMSA p{};
        p.hWnd = reinterpret_cast<HWND>(window);
        if (window != window_) shownFrame_ = -1;
        window_ = window;
        return send(MCI_WINDOW, MCI_DGV_WINDOW_HWND | MCI_WAIT, &p);
    }
    // Places are in layout pixels, as the window's are; the device draws in the screen's.
    uint32_t setDisplayRect(int left, int top, int width, int height) override {
        const detail::Scale s{detail::windowDpi(reinterpret_cast<HWND>(window_))};
        left = s.px(left);
        top = s.px(top);
        width = s.px(width);
        height = s.px(height);
        MCI_DGV_PUT_PARMS p{};
        p.rc = {left, top, width, height};  // the interface's rectangles hold width and height
        if (MCIERROR e = send(MCI_PUT, MCI_DGV_PUT_DESTINATION | MCI_DGV_RECT | MCI_WAIT, &p)) return e;
        // A picture given a new place shows its frame there at once, unless it is playing or
        // that frame already stands in that place (showing one costs a frame's time).
        const RECT now{left, top, width, height};
        const bool samePlace = EqualRect(&now, &put_);
        put_ = now;
        int32_t m = 0, at = -1;
        if (status(MCI_STATUS_MODE, m) != 0 || m == MCI_MODE_PLAY) return 0;
        if (samePlace && status(MCI_STATUS_POSITION, at) == 0 && at == shownFrame_) return 0;
        showFrame();
        return 0;
    }
    uint32_t sourceSize(int& width, int& height) override {
        MCI_DGV_RECT_PARMS p{};
        const MCIERROR e = send(MCI_WHERE, MCI_DGV_WHERE_SOURCE | MCI_WAIT, &p);
        if (e == 0) {
            width = p.rc.right;
            height = p.rc.bottom;
        }
        return e;
    }
    uint32_t length(int32_t& frames) override { return status(MCI_STATUS_LENGTH, frames); }
    uint32_t position(int32_t& frame) override { return status(MCI_STATUS_POSITION, frame); }
    uint32_t mode(MediaMode& m) override {
        int32_t v = 0;
        const MCIERROR e = status(MCI_STATUS_MODE, v);
        if (e == 0) m = static_cast<MediaMode>(v - MCI_MODE_NOT_READY);
        return e;
    }
    uint32_t play(uintptr_t notifyWindow) override {
        MCI_PLAY_PARMS p{};
        p.dwCallback = notifyWindow;
        return send(MCI_PLAY, notifyWindow ? MCI_NOTIFY : 0, &p);
    }
    uint32_t pause() override { return generic(MCI_PAUSE); }
    uint32_t resume() override { return generic(MCI_RESUME); }
    uint32_t stop() override { return generic(MCI_STOP); }
    uint32_t seekToStart() override {
        MCI_SEEK_PARMS p{};
        if (MCIERROR e = send(MCI_SEEK, MCI_SEEK_TO_START | MCI_WAIT, &p)) return e;
        showFrame();
        return 0;
    }
    uint32_t seek(int32_t frame) override {
        MCI_SEEK_PARMS p{};
        p.dwTo = static_cast<DWORD>(frame < 0 ? 0 : frame);
        if (MCIERROR e = send(MCI_SEEK, MCI_TO | MCI_WAIT, &p)) return e;
        showFrame();
        return 0;
    }
    uint32_t step(int32_t frames) override {
        MCI_DGV_STEP_PARMS p{};
        DWORD flags = MCI_DGV_STEP_FRAMES | MCI_WAIT;
        if (frames < 0) {
            flags |= MCI_DGV_STEP_REVERSE;
            frames = -frames;
        }
        p.dwFrames = static_cast<DWORD>(frames);
        if (MCIERROR e = send(MCI_STEP, flags, &p)) return e;
        showFrame();
        return 0;
    }
    uint32_t setAudio(bool on) override {
        MCI_SET_PARMS p{};
        p.dwAudio = MCI_SET_AUDIO_ALL;
        return send(MCI_SET, MCI_SET_AUDIO | (on ? MCI_SET_ON : MCI_SET_OFF) | MCI_WAIT, &p);
    }
    uint32_t setVolume(int32_t perMille) override {
        MCI_DGV_SETAUDIO_PARMSA p{};
        p.dwItem = MCI_DGV_SETAUDIO_VOLUME;
        p.dwValue = static_cast<DWORD>(perMille);
        return send(MCI_SETAUDIO, MCI_DGV_SETAUDIO_ITEM | MCI_DGV_SETAUDIO_VALUE | MCI_WAIT, &p);
    }
    uint32_t setSpeed(int32_t perMille) override {
        MCI_DGV_SET_PARMS p{};
        p.dwSpeed = static_cast<DWORD>(perMille);
        return send(MCI_SET, MCI_DGV_SET_SPEED | MCI_WAIT, &p);
    }
    uint32_t realize() override {
        MCI_GENERIC_PARMS p{};
        return send(MCI_REALIZE, MCI_DGV_REALIZE_NORM | MCI_WAIT, &p);
    }
    uint32_t update(uintptr_t surface, int left, int top, int width, int height) override {
        MCI_DGV_UPDATE_PARMS p{};
        p.hDC = reinterpret_cast<HDC>(surface);
        const detail::Scale s{detail::windowDpi(WindowFromDC(p.hDC))};
        p.rc = {s.px(left), s.px(top), s.px(width), s.px(height)};
        return send(MCI_UPDATE, MCI_DGV_UPDATE_HDC | MCI_DGV_RECT | MCI_WAIT, &p);
    }
    uint32_t configure() override {
        MCI_GENERIC_PARMS p{};
        return send(MCI_CONFIGURE, MCI_WAIT, &p);
    }

private:
    // Some video devices (Wine's) move to a frame without drawing it: the frame the device
    // now stands at is played on its own, so the picture shows where the device stands.
    void showFrame() {
        int32_t at = 0, len = 0;
        if (status(MCI_STATUS_POSITION, at) != 0 || status(MCI_STATUS_LENGTH, len) != 0 || at >= len) return;
        MCI_PLAY_PARMS p{};
        p.dwFrom = static_cast<DWORD>(at);
        p.dwTo = static_cast<DWORD>(at + 1);
        if (send(MCI_PLAY, MCI_FROM | MCI_TO | MCI_WAIT, &p) != 0) return;
        MCI_SEEK_PARMS back{};
        back.dwTo = static_cast<DWORD>(at);
        send(MCI_SEEK, MCI_TO | MCI_WAIT, &back);
        shownFrame_ = at;
    }

    template <class P>
    MCIERROR send(UINT msg, DWORD flags, P* parms) {
        if (!id_) return MCIERR_INVALID_DEVICE_ID;
        return mciSendCommandA(id_, msg, flags, reinterpret_cast<DWORD_PTR>(parms));
    }
    MCIERROR generic(UINT msg) {
        MCI_GENERIC_PARMS p{};
        return send(msg, MCI_WAIT, &p);
    }
    MCIERROR status(DWORD item, int32_t& value) {
        MCI_STATUS_PARMS p{};
        p.dwItem = item;
        const MCIERROR e = send(MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, &p);
        if (e == 0) value = static_cast<int32_t>(p.dwReturn);
        return e;
    }
    MCIDEVICEID id_ = 0;
    uintptr_t window_ = 0;  // the display window last given
    RECT put_{};            // the display rectangle last given
    int32_t shownFrame_ = -1;  // the frame last shown on its own in that window, or -1
};

}  // namespace

MediaPort& mediaPort() {
    static Win32Media p;
    return p;
}

}  // namespace kv::win32
