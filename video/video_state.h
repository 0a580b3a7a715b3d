// Module state of the video player (at most one player window; kept between export calls).
#pragma once
#include <cstdint>

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

    bool operator==(const VideoState&) const = default;
};

VideoState& state();

// The status word: open flag in bits 8 and up, play mode in the low bits.
int32_t statusWord(const VideoState& s);

}  // namespace kv::video
