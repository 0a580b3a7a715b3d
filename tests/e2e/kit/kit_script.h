// Slideshow scripts and pictures made on the fly for the programs that drive the editor: the
// end-to-end tests, the benchmark and the reference host's demo.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace kv::kit {

// Writes a 24-bit Windows bitmap of w x h pixels with a colour ramp.
bool writeTestBitmap(const std::string& path, int w, int h, COLORREF from, COLORREF to);
// A 24-bit bitmap file whose pixel (x, y), y from the top, has the colour pixel(x, y).
bool writeBitmap(const std::string& path, int w, int h, const std::function<COLORREF(int x, int y)>& pixel);

// A script of every slide kind (version 7). Slide files are made in `folder`; `count` slides
// cycle through the kinds, with a nested script as the last slide when `nested`.
struct TestScript {
    std::string path;
    int slides = 0;
    std::vector<std::string> displayNames;  // long names shown in the table, slide order
};
TestScript writeTestScript(const std::string& folder, const std::string& appDir, int count, bool nested,
                           const std::string& catalog = "");

}  // namespace kv::kit
