// Uncompressed video files made for the tests and the demo: each frame a solid colour that
// tells its number, optionally with a PCM audio track (a quiet tone).
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

namespace kv::kit {

struct TestVideo {
    int width = 320, height = 240;
    int frames = 50;
    int fps = 25;
    bool audio = false;  // 8 kHz, 8-bit mono PCM alongside the frames
};

// The colour of frame k: its low four bits in red, the next four in green; unique for the
// first 256 frames and repeating after that.
COLORREF aviFrameColor(int k);

// Writes the file (32-bit frames, which the platform's video device draws as they are, and
// an index); false when it cannot be written.
bool writeTestAvi(const std::string& path, const TestVideo& video);

}  // namespace kv::kit
