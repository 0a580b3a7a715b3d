// libFuzzer target for the bitmap file reader (thumbnail files come from outside the
// library): any bytes either give a picture whose pixels match its size, which writes and
// reads back the same, or raise the library's error; never a crash, a hang or a huge
// allocation. The reader works out its offsets in 64 bits whatever the build, so this 64-bit
// target meets the arithmetic of the 32-bit library too (a header size near 4 GB among the
// seeds).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "framework/error.h"
#include "framework/paint_box.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string in(reinterpret_cast<const char*>(data), size);
    kv::PixelMap m;
    try {
        m = kv::decodeBitmap(in);
    } catch (const kv::Error&) {
        return 0;
    }
    if (m.empty() || m.pixels.size() != static_cast<size_t>(m.width) * static_cast<size_t>(m.height)) std::abort();
    kv::PixelMap back = kv::decodeBitmap(kv::encodeBitmap(m));
    if (back.width != m.width || back.height != m.height || back.pixels != m.pixels) std::abort();
    return 0;
}
