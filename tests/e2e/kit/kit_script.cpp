#include "tests/e2e/kit/kit_script.h"

#include <cstdio>
#include <cstring>

#include "tests/e2e/kit/kit.h"

namespace kv::kit {

bool writeTestBitmap(const std::string& path, int w, int h, COLORREF from, COLORREF to) {
    return writeBitmap(path, w, h, [&](int x, int y) {
        int t = (x + (h - 1 - y)) * 255 / (w + h);
        auto mix = [&](int a, int b) { return a + (b - a) * t / 255; };
        return RGB(mix(GetRValue(from), GetRValue(to)), mix(GetGValue(from), GetGValue(to)),
                   mix(GetBValue(from), GetBValue(to)));
    });
}

bool writeBitmap(const std::string& path, int w, int h, const std::function<COLORREF(int x, int y)>& pixel) {
    const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
    std::string bytes(54 + stride * static_cast<DWORD>(h), '\0');
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = 54;
    fh.bfSize = static_cast<DWORD>(bytes.size());
    BITMAPINFOHEADER ih{};
    ih.biSize = sizeof ih;
    ih.biWidth = w;
    ih.biHeight = h;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    memcpy(&bytes[0], &fh, sizeof fh);
    memcpy(&bytes[14], &ih, sizeof ih);
    for (int y = 0; y < h; ++y)  // rows bottom-up, as the file stores them
        for (int x = 0; x < w; ++x) {
            const COLORREF c = pixel(x, h - 1 - y);
            size_t o = 54 + static_cast<size_t>(y) * stride + static_cast<size_t>(x) * 3;
            bytes[o] = static_cast<char>(GetBValue(c));
            bytes[o + 1] = static_cast<char>(GetGValue(c));
            bytes[o + 2] = static_cast<char>(GetRValue(c));
        }
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD n = 0;
    BOOL ok = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
    CloseHandle(f);
    return ok && n == bytes.size();
}

TestScript writeTestScript(const std::string& folder, const std::string& appDir, int count, bool nested,
                           const std::string& catalog) {
    struct Kind {
        const char* name;  // long file name
        const char* keys;  // keys after F
    };
    static const Kind kinds[] = {
        {"Beach at sunset.jpg", "B=0\nX=3\nW=5\n"},
        {"Harbour lights.bmp", "B=FF\nX=0\nP=Left,Top\nG=78\n"},
        {"Holiday clip.avi", "B=0\nX=1\nZ=200\nL=50\n"},
        {"Mountain walk.jpg", "X=12\nW=2\n"},
        {"Street parade.mov", "B=0\nX=0\nL=50\n"},
        {"Spinning logo.fli", "B=C0C0C0\nX=2\nW=1\n"},
        {"Welcome music.wav", "X=1\nW=3\n"},
        {nullptr, "X=7\n"},  // CD track 7
        {"Old town square.jpg", "B=800000\nX=21\nW=4\nP=20,40\n"},
        {"Garden party.bmp", "X=29\nG=96\n"},
    };
    const int nk = sizeof kinds / sizeof kinds[0];
    TestScript s;
    std::string dir = folder;
    if (dir.back() != '\\') dir += '\\';
    std::string body = "[Header]\nVer=7\nScreenW=1024\nScreenH=768\nN=" + std::to_string(count + 1) +
                       "\nCat=" + catalog + "\n[Directory]\n0=" + appDir + "\n1=" + dir + "\n";
    for (int i = 1; i <= count; ++i) {
        const Kind& k = kinds[(i - 1) % nk];
        bool last = nested && i == count;
        std::string name = last ? "Second part.avl" : k.name ? k.name : "";
        body += "[" + std::to_string(i) + "]\n";
        if (name.empty()) {
            body += "F=------------------------------\n" + std::string(k.keys);
            s.displayNames.push_back("CD Track: 7");
            continue;
        }
        std::string full = dir + name;
        if (GetFileAttributesA(full.c_str()) == INVALID_FILE_ATTRIBUTES) {
            HANDLE f = CreateFileA(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
            CloseHandle(f);
        }
        std::string shortName = shortPath(full);
        shortName = shortName.substr(shortName.rfind('\\') + 1);
        if (shortName.size() > 4 && lstrcmpiA(shortName.substr(shortName.size() - 4).c_str(), ".JPG") == 0)
            shortName.resize(shortName.size() - 4);
        body += "F=" + shortName + ",1\n" + (last ? std::string() : std::string(k.keys));
        if (i == 1 && !catalog.empty()) body += "T=1\n";
        s.displayNames.push_back(name);
    }
    s.path = dir + "Holiday show.avl";
    FILE* f = fopen(s.path.c_str(), "wb");
    if (f) {
        fwrite(body.data(), 1, body.size(), f);
        fclose(f);
    }
    s.slides = count;
    return s;
}

}  // namespace kv::kit
