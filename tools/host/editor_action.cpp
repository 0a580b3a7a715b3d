#include "tools/host/editor_action.h"

#include <windows.h>

#include <cstdint>

#include "tests/e2e/kit/kit.h"
#include "tests/e2e/kit/kit_script.h"

namespace kv::host {

namespace {

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
    kit::writeKey("AVLFIL", s.path);
    kit::writeKey("AVLNOW", s.path);
    kit::writeKey("AVLTMP", base + "\\Run this.avl");
    kit::writeKey("AppDir", appDir);
}

std::string meaning(int32_t r) {
    switch (r) {
        case -1: return " (play the script written to AVLTMP)";
        case 1: return " (make the thumbnails of the saved script)";
        case 2: return " (show the slides of the tag list)";
        case 0: return " (nothing to do)";
        default: return "";
    }
}

}  // namespace

std::string editorAction() {
    auto editor = reinterpret_cast<int32_t(WINAPI*)()>(kit::exportAddress("EditorWin95"));
    if (!editor) return "not exported";
    if (kit::readKey("AVLFIL").empty()) prepareDemo();
    const int32_t r = editor();
    return std::to_string(r) + meaning(r);
}

}  // namespace kv::host
