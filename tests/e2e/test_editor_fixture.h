// The fixture of the editor's end-to-end tests: a folder of its own with the application and
// slide folders, the settings keys the editor reads, and scripts made for each test.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

#include "tests/e2e/kit/kit.h"
#include "tests/e2e/test_editor_driver.h"

namespace kv::e2e {

// Paths compared as the file system does, without regard to case.
inline ::testing::AssertionResult samePath(const std::string& a, const std::string& b) {
    if (lstrcmpiA(a.c_str(), b.c_str()) == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << a << "\" is not \"" << b << "\"";
}

class EditorFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(kit::dll(), nullptr) << "cannot load " << kit::dllPath();
        appDir = folder.path() + "\\App";
        CreateDirectoryA(appDir.c_str(), nullptr);
        slides = folder.path() + "\\Slide files";
        CreateDirectoryA(slides.c_str(), nullptr);
        kit::writeKey("AVLFIL", "*");
        kit::writeKey("AVLTMP", folder.file("temp show.avl"));
        kit::writeKey("AppDir", appDir);
        kit::deleteKey("AVLNOW");
    }
    void TearDown() override {
        // Whatever happened, no editor window may outlive its test.
        if (HWND left = findNamed("EditorForm")) PostMessageA(left, WM_CLOSE, 0, 0);
    }

    // Opens on a script; `known` writes AVLNOW so that the loaded script counts as saved.
    TestScript openOn(int count, bool known) {
        TestScript s = writeTestScript(slides, appDir, count, false);
        kit::writeKey("AVLFIL", s.path);
        if (known) kit::writeKey("AVLNOW", s.path);
        return s;
    }

    // Calls EditorWin95 on this thread while `user` acts, from the driver thread, on the editor
    // once it has loaded its script (its window and slide table); returns the export's result.
    // The body does not run when no loaded editor came.
    int32_t runEditor(const std::function<void(HWND form, HWND grid)>& user) {
        Driver driver([&] {
            if (HWND form = waitEditorLoaded()) user(form, findNamedIn(form, "Grid"));
        });
        const int32_t r = editorWin95();
        driver.join();
        return r;
    }

    std::string profile(const std::string& file, const char* section, const char* key) {
        char buf[1024] = {};
        GetPrivateProfileStringA(section, key, "<none>", buf, sizeof buf, file.c_str());
        return buf;
    }

    kit::TempFolder folder;
    std::string appDir, slides;
};

}  // namespace kv::e2e
