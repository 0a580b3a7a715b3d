#include "tools/host/editor_action.h"

#include <windows.h>

#include <cstdint>

#include "include/kavrin.h"
#include "tests/e2e/kit/kit.h"
#include "tests/e2e/kit/kit_script.h"

namespace kv::host {

namespace {

// Gives every picture slide of the demo script after the first a thumbnail index and makes
// its thumbnail, as the host does after a catalogue update: pictures of at most 64 x 64 in the
// proportions of a landscape or a portrait.
void addDemoThumbnails(const std::string& script, const std::string& appDir) {
    const char* digits = "0123456789ABCDEFGHIJKLMNOPQRSTUV";
    for (int i = 2; i <= 40; ++i) {
        const std::string section = std::to_string(i);
        char f[MAX_PATH] = {};
        GetPrivateProfileStringA(section.c_str(), "F", "", f, sizeof f, script.c_str());
        std::string name = f;
        name = name.substr(0, name.find(','));
        const size_t dot = name.rfind('.');
        const bool picture = !name.empty() && (dot == std::string::npos || lstrcmpiA(name.c_str() + dot, ".BMP") == 0);
        if (!picture) continue;
        std::string index;
        for (int v = i; v; v /= 32) index.insert(index.begin(), digits[v % 32]);
        WritePrivateProfileStringA(section.c_str(), "T", index.c_str(), script.c_str());
        const bool portrait = i % 3 == 0;
        kit::writeTestBitmap(appDir + "\\DEMO0" + index + ".BMP", portrait ? 44 : 64, portrait ? 64 : 42,
                             RGB(20 + i * 5, 60 + i * 3, 200 - i * 4), RGB(250 - i * 3, 180, 40 + i * 4));
    }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, script.c_str());
}

// Makes (once per run) the demo: a folder of slide files, a script of 40 slides ending with a
// nested script, and the host folder with the thumbnail of the first slide.
void prepareDemo() {
    char tmp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, tmp);
    std::string base = std::string(tmp) + "Kavrin demo show";
    std::string appDir = base + "\\Host folder";
    std::string slides = base + "\\Holiday pictures";
    CreateDirectoryA(base.c_str(), nullptr);
    CreateDirectoryA(appDir.c_str(), nullptr);
    CreateDirectoryA(slides.c_str(), nullptr);
    kit::writeTestBitmap(appDir + "\\DEMO01.BMP", 64, 48, RGB(30, 90, 200), RGB(250, 200, 60));
    kit::TestScript s = kit::writeTestScript(slides, appDir, 40, true, "DEMO0");
    addDemoThumbnails(s.path, appDir);
    kit::writeKey(KAVRIN_KEY_AVL_FILE, s.path);
    kit::writeKey(KAVRIN_KEY_AVL_NOW, s.path);
    kit::writeKey(KAVRIN_KEY_AVL_TMP, base + "\\Run this.avl");
    kit::writeKey(KAVRIN_KEY_APP_DIR, appDir);
}

std::string meaning(int32_t r) {
    switch (r) {
        case KAVRIN_EDITOR_RUN: return " (play the script written to AVLTMP)";
        case KAVRIN_EDITOR_UPDATE: return " (make the thumbnails of the saved script)";
        case KAVRIN_EDITOR_VIEW_TAGS: return " (show the slides of the tag list)";
        case KAVRIN_EDITOR_CLOSED: return " (nothing to do)";
        default: return "";
    }
}

}  // namespace

std::string editorAction() {
    auto editor = reinterpret_cast<KavrinIntProc>(kit::exportAddress("EditorWin95"));
    if (!editor) return "not exported";
    if (kit::readKey("AVLFIL").empty()) prepareDemo();
    const int32_t r = editor();
    return std::to_string(r) + meaning(r);
}

}  // namespace kv::host
