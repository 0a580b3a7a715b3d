// The reference host's frame-grab view: on message 2323 the host copies the rectangle prL,
// prT, prW, prH from the player's drawing surface it receives and shows the copy in a window
// of its own ("Grabbed frame"), as a real host keeps a grabbed frame.
#pragma once
#include <windows.h>

#include <string>

namespace kv::host {

// Copies the rectangle from the surface and shows it; returns a line for the host's log.
std::string grabFrame(HWND owner, HDC surface, int left, int top, int width, int height);

// A video for the demo and the tour (320 x 240, 25 fps, coloured frames) in the temporary
// folder; its path, or "" when it could not be written.
std::string demoVideo();

}  // namespace kv::host
