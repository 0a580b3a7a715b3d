#include "tests/e2e/kit/kit_avi.h"

#include <cstdio>
#include <vector>

namespace kv::kit {

namespace {

// A growing RIFF file in memory: chunks and lists with their sizes filled in when they end.
class Riff {
public:
    void fourcc(const char* c) { bytes_.append(c, 4); }
    void u32(uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes_ += static_cast<char>((v >> (8 * i)) & 0xFF);
    }
    void u16(uint16_t v) {
        bytes_ += static_cast<char>(v & 0xFF);
        bytes_ += static_cast<char>(v >> 8);
    }
    void raw(const std::string& b) { bytes_ += b; }
    // Opens a chunk ("avih") or a list ("LIST" + "hdrl"); returns where its size goes.
    size_t begin(const char* id, const char* listType = nullptr) {
        fourcc(id);
        const size_t at = bytes_.size();
        u32(0);
        if (listType) fourcc(listType);
        return at;
    }
    void end(size_t at) {
        const uint32_t size = static_cast<uint32_t>(bytes_.size() - at - 4);
        for (int i = 0; i < 4; ++i) bytes_[at + i] = static_cast<char>((size >> (8 * i)) & 0xFF);
        if (size & 1) bytes_ += '\0';
    }
    size_t size() const { return bytes_.size(); }
    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
};

void streamHeader(Riff& r, const char* type, const char* handler, uint32_t scale, uint32_t rate, uint32_t length,
                  uint32_t bufferSize, uint32_t sampleSize, int w, int h) {
    size_t at = r.begin("strh");
    r.fourcc(type);
    r.fourcc(handler);
    r.u32(0);      // flags
    r.u16(0);      // priority
    r.u16(0);      // language
    r.u32(0);      // initial frames
    r.u32(scale);
    r.u32(rate);
    r.u32(0);      // start
    r.u32(length);
    r.u32(bufferSize);
    r.u32(0xFFFFFFFF);  // quality: default
    r.u32(sampleSize);
    r.u16(0);
    r.u16(0);
    r.u16(static_cast<uint16_t>(w));
    r.u16(static_cast<uint16_t>(h));
    r.end(at);
}

}  // namespace

COLORREF aviFrameColor(int k) {
    return RGB((k % 16) * 16 + 8, ((k / 16) % 16) * 16 + 8, 200);
}

bool writeTestAvi(const std::string& path, const TestVideo& s) {
    const int stride = s.width * 4;  // 32-bit pixels: rows need no padding
    const uint32_t frameBytes = static_cast<uint32_t>(stride * s.height);
    const uint32_t audioRate = 8000;
    const uint32_t audioPerFrame = audioRate / static_cast<uint32_t>(s.fps);
    const uint32_t streams = s.audio ? 2 : 1;

    Riff r;
    size_t riff = r.begin("RIFF", "AVI ");
    size_t hdrl = r.begin("LIST", "hdrl");
    size_t avih = r.begin("avih");
    r.u32(1000000 / static_cast<uint32_t>(s.fps));
    r.u32(frameBytes * static_cast<uint32_t>(s.fps));
    r.u32(0);
    r.u32(0x10);  // has an index
    r.u32(static_cast<uint32_t>(s.frames));
    r.u32(0);
    r.u32(streams);
    r.u32(frameBytes);
    r.u32(static_cast<uint32_t>(s.width));
    r.u32(static_cast<uint32_t>(s.height));
    for (int i = 0; i < 4; ++i) r.u32(0);
    r.end(avih);

    size_t strl = r.begin("LIST", "strl");
    streamHeader(r, "vids", "DIB ", 1, static_cast<uint32_t>(s.fps), static_cast<uint32_t>(s.frames), frameBytes, 0,
                 s.width, s.height);
    size_t strf = r.begin("strf");
    r.u32(40);
    r.u32(static_cast<uint32_t>(s.width));
    r.u32(static_cast<uint32_t>(s.height));
    r.u16(1);
    r.u16(32);
    r.u32(0);  // BI_RGB
    r.u32(frameBytes);
    r.u32(0);
    r.u32(0);
    r.u32(0);
    r.u32(0);
    r.end(strf);
    r.end(strl);
    if (s.audio) {
        strl = r.begin("LIST", "strl");
        streamHeader(r, "auds", "\0\0\0\0", 1, audioRate, audioPerFrame * static_cast<uint32_t>(s.frames),
                     audioPerFrame, 1, 0, 0);
        strf = r.begin("strf");
        r.u16(1);  // PCM
        r.u16(1);  // mono
        r.u32(audioRate);
        r.u32(audioRate);
        r.u16(1);  // block align
        r.u16(8);  // bits
        r.u16(0);
        r.end(strf);
        r.end(strl);
    }
    r.end(hdrl);

    struct Entry {
        const char* id;
        uint32_t offset, size;
    };
    std::vector<Entry> index;
    size_t movi = r.begin("LIST", "movi");
    const size_t moviData = movi - 4 + 8;  // offsets count from the "movi" type
    std::string frame(frameBytes, '\0');
    std::string tone(audioPerFrame, '\0');
    for (uint32_t i = 0; i < audioPerFrame; ++i) tone[i] = static_cast<char>((i / 10) % 2 ? 0x90 : 0x70);
    for (int k = 0; k < s.frames; ++k) {
        const COLORREF c = aviFrameColor(k);
        for (int y = 0; y < s.height; ++y)
            for (int x = 0; x < s.width; ++x) {
                char* p = &frame[static_cast<size_t>(y * stride + x * 4)];
                p[0] = static_cast<char>(GetBValue(c));
                p[1] = static_cast<char>(GetGValue(c));
                p[2] = static_cast<char>(GetRValue(c));
            }
        index.push_back({"00db", static_cast<uint32_t>(r.size() - moviData), frameBytes});
        size_t at = r.begin("00db");
        r.raw(frame);
        r.end(at);
        if (s.audio) {
            index.push_back({"01wb", static_cast<uint32_t>(r.size() - moviData), audioPerFrame});
            at = r.begin("01wb");
            r.raw(tone);
            r.end(at);
        }
    }
    r.end(movi);
    size_t idx1 = r.begin("idx1");
    for (const Entry& e : index) {
        r.fourcc(e.id);
        r.u32(0x10);  // key frame
        r.u32(e.offset);
        r.u32(e.size);
    }
    r.end(idx1);
    r.end(riff);

    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(r.bytes().data(), 1, r.size(), f) == r.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace kv::kit
