#include "video/video_state.h"

#include "framework/controls.h"
#include "host/entry.h"

namespace kv::video {

VideoState& state() {
    static VideoState s;
    return s;
}

int32_t statusWord(const VideoState& s) {
    return static_cast<int32_t>(static_cast<uint32_t>(s.openFlag) << 8) | s.playMode;
}

}  // namespace kv::video

namespace kv::entry {

// The player window is not built yet: nothing is opened and the state is left as it is. The
// result 0 is the player's "could not start" answer, so a host takes no further step.
int32_t VideoWinPlayer95(uintptr_t, int32_t, uint16_t) { return 0; }

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
