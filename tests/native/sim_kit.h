// Small helpers the native tests share for acting on controls as the user's keyboard does.
#pragma once
#include "framework/controls.h"

namespace sim_test {

// A key pressed with the given shift state on a control (its form's key preview runs first);
// returns what is left of the key afterwards (0 once a handler took it).
inline int press(kv::Control* c, int key, unsigned shift = 0) {
    c->keyDown(key, shift);
    return key;
}
inline int press(kv::Control& c, int key, unsigned shift = 0) { return press(&c, key, shift); }

}  // namespace sim_test
