// Helpers the explorer's native tests share: the fixture with its settings and selection list
// keys, the dialog run by a scripted user, and the modeless window.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "dialogs/compress_dialog.h"
#include "explorer/explorer_dialog.h"
#include "explorer/file_form.h"
#include "framework/settings.h"
#include "framework/sim/sim_platform.h"
#include "host/entry.h"

namespace explorer_test {

using kv::explorer::TFileForm;
using Strings = std::vector<std::string>;

// A fresh explorer state on a 1024 x 768 screen, the selection list at c:\kavrin.tmp, the
// files `files` written and `folder` as LastDir. A test fails on any dialog its script did
// not expect; a window left open is closed.
class ExplorerTest : public ::testing::Test {
protected:
    ExplorerTest(std::string folder, Strings files) : folder_(std::move(folder)), files_(std::move(files)) {}
    void SetUp() override {
        kv::explorer::state() = {};
        kv::explorer::setDefaults();
        sim.user.screenW = 1024;
        sim.user.screenH = 768;
        for (const auto& f : files_) sim.writeFile(folder_ + f);
        set("LastDir", folder_);
        set("Win95Tmp", "c:\\kavrin.tmp");
    }
    void TearDown() override {
        kv::dialogs::setCompressionHandler({});
        if (kv::explorer::state().form && !kv::explorer::state().dialog) kv::entry::RemoteWinClose95();
        sim.user.freeReleased();
        for (const auto& u : sim.user.unexpected) ADD_FAILURE() << "unexpected " << u;
    }

    void set(const std::string& k, const std::string& v) {
        kv::IniFile(kv::SettingsFileName).writeString(kv::SettingsSection, k, v);
    }
    std::string key(const std::string& k) {
        return kv::IniFile(kv::SettingsFileName).readString(kv::SettingsSection, k, "<none>");
    }
    std::string list(const std::string& section, const std::string& k) {
        return kv::IniFile("c:\\kavrin.tmp").readString(section, k, "<none>");
    }
    // Runs the dialog; `act` is what the user does (once, then the dialog must have ended).
    int32_t dialog(int32_t mode, int32_t option, std::function<void(TFileForm&)> act) {
        sim.user.onModal("FileForm", [act](kv::Form& f) { act(static_cast<TFileForm&>(f)); });
        return kv::explorer::ShowDialogForm(mode, option);
    }
    // Runs the dialog; the user does `act`, then presses Cancel.
    int32_t browse(int32_t mode, int32_t option, std::function<void(TFileForm&)> act) {
        return dialog(mode, option, [act](TFileForm& f) {
            act(f);
            f.BtnExit->click();
        });
    }
    // Opens the modeless window for host window 0x1234.
    TFileForm& openWindow(int32_t option = 0) {
        kv::entry::RemoteWin95(0x1234, option);
        return *kv::explorer::state().form;
    }
    void closeWindow() {
        kv::entry::RemoteWinClose95();
        sim.user.freeReleased();
    }
    static int rowOf(TFileForm& f, const std::string& text) {
        for (int i = 0; i < f.XFiles->count(); ++i)
            if (f.XFiles->item(i) == text) return i;
        return -1;
    }
    // Presses `key` on the file list.
    static void press(TFileForm& f, int key, unsigned shift = 0) { f.XFiles->keyDown(key, shift); }

    kv::SimPlatform sim;

private:
    std::string folder_;
    Strings files_;
};

}  // namespace explorer_test
