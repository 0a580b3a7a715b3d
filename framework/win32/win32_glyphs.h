// Small pictures drawn on the buttons that have a picture instead of a caption.
#pragma once
#include <windows.h>

#include <string>

namespace kv::win32 {

// Draws the built-in picture of this name centred on (cx, cy), greyed when disabled; a name
// without a picture draws nothing.
void drawGlyph(HDC dc, const std::string& name, int cx, int cy, bool disabled);
// The same, each of its pixels drawn as a square of `multiple` pixels on a background of
// colour `back` (for screens of a higher resolution).
void drawGlyph(HDC dc, const std::string& name, int cx, int cy, bool disabled, int multiple, COLORREF back);

}  // namespace kv::win32
