// Module state of the video player (at most one player window; kept between export calls).
#pragma once
#include <cstdint>
#include <string>

namespace kv {
class Form;
}

namespace kv::video {

struct VideoState {
    Form* form = nullptr;        // the player window while it exists
    uintptr_t hostWindow = 0;    // receives the frame-grab message
    int32_t playMode = 0;        // low bits of the status word; 0 after VideoWinClose95
    uint16_t redrawOption = 0;   // 8: pause before a re-layout and re-seek afterwards
    uint16_t openFlag = 0;       // 1 once the window is shown; bits 8 and up of the status word
    bool closeRequest = false;   // the status timer closes the window at its next tick
    bool closing = false;        // the window's close handler runs
    bool relayout = false;       // the program sizes the window: size changes are ignored
    bool firstPlay = false;      // play mode 2: the first stop the timer sees changes nothing
    bool barUpdate = false;      // the timer moves the seek bar: not a seek
    int32_t speedFactor = 1000;  // per mille, sent when play starts
    int32_t volumeFactor = 1000;
    uint16_t videoWidth = 0, videoHeight = 0;  // the video's own size
    int32_t frameCount = 0;
    int32_t framePosition = 0;   // at the last status update
    int16_t seekMax = 0;         // frames - 1, or (frames - 1) div 10 above 32760 frames
    int16_t frameOverheadWidth = 0, frameOverheadHeight = 0;  // window minus client size
    std::string fileName;        // SaveName
    uint32_t lastError = 0;      // the device's result of the last command

    bool operator==(const VideoState&) const = default;
};

VideoState& state();

// The status word: open flag in bits 8 and up, play mode in the low bits.
int32_t statusWord(const VideoState& s);

// Above this many frames the seek bar counts tens of frames (a scroll bar's 32767 limit).
inline constexpr int32_t kFramesCountedSingly = 32760;
inline bool countsTens(const VideoState& s) { return s.frameCount > kFramesCountedSingly; }
// The seek bar position that shows frame f, and the frame that position p stands for.
inline int barPosition(const VideoState& s, int32_t f) { return countsTens(s) ? (f - 1) / 10 : f; }
inline int32_t barFrame(const VideoState& s, int p) { return countsTens(s) ? p * 10 : p; }

// Messages to the host.
inline constexpr uint32_t kGrabMessage = 2323;    // lParam: the player's client drawing surface
inline constexpr uint32_t kClosedMessage = 2309;  // to every top-level window, as the player closes

}  // namespace kv::video
