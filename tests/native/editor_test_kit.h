// Helpers the editor's native tests share: building slide rows, reaching the settings file,
// and the fixture of the editor's tests.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "editor/editor_form.h"
#include "explorer/explorer_dialog.h"
#include "framework/settings.h"
#include "framework/sim/sim_platform.h"
#include "framework/text.h"

namespace editor_test {

using kv::editor::TEditorForm;

// Appends a slide row made by a kind's set-up procedure, as adding a file does; the first
// slide replaces the blank start row. Returns the slide's row.
inline int appendSlide(TEditorForm& form, const std::string& path, void (TEditorForm::*setUp)()) {
    using namespace kv::editor;
    kv::StringGrid& g = *form.Grid;
    int r = g.rowCount();
    if (r == 2 && g.cell(FilePath, 1).empty()) r = 1;
    else g.setRowCount(r + 1);
    g.setRow(r);
    g.setCell(SlideNo, r, std::to_string(r));
    g.setCell(FilePath, r, path);
    g.setCell(DisplayName, r, path == BlankMarker ? "" : kv::namePart(path));
    (form.*setUp)();
    return r;
}

inline void setSetting(const std::string& key, const std::string& value) {
    kv::IniFile(kv::SettingsFileName).writeString(kv::SettingsSection, key, value);
}

inline std::string setting(const std::string& key) {
    return kv::IniFile(kv::SettingsFileName).readString(kv::SettingsSection, key, "<none>");
}

// The editor's tests: a sim platform, the module state of a fresh start without a script
// ("*") in the application folder `appDir` (when not empty), and the form (made in SetUp unless `lazyForm`).
// A test fails on any dialog its script did not expect.
class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        kv::editor::editorState() = kv::editor::EditorState{};
        kv::editor::editorState().CurrentScript = "*";
        if (!appDir.empty()) kv::editor::editorState().AppDir = appDir;
        if (!lazyForm) form = std::make_unique<TEditorForm>();
    }
    void TearDown() override {
        form.reset();
        kv::explorer::setRemoteDlgHandler({});
        for (const auto& u : sim.user.unexpected) ADD_FAILURE() << "unexpected " << u;
    }

    kv::StringGrid& grid() { return *form->Grid; }
    const std::string& cell(int col, int row) { return form->Grid->cell(col, row); }
    // Appends a slide made by a kind's set-up procedure; the first replaces the blank start row.
    int add(const std::string& path, void (TEditorForm::*setUp)()) { return appendSlide(*form, path, setUp); }
    // Appends a slide of CD track `track`.
    int addCd(int track) {
        int r = add(kv::editor::BlankMarker, &TEditorForm::SetUpAudio);
        grid().setCell(kv::editor::Param, r, std::to_string(track));
        grid().setCell(kv::editor::DisplayName, r, "CD Track: " + std::to_string(track));
        return r;
    }
    // The cells of every slide row.
    std::vector<std::vector<std::string>> table() {
        std::vector<std::vector<std::string>> t;
        for (int r = 1; r < grid().rowCount(); ++r) t.push_back(grid().rowCells(r));
        return t;
    }
    // The cells of one column, slide by slide.
    std::vector<std::string> column(int col) {
        std::vector<std::string> c;
        for (int r = 1; r < grid().rowCount(); ++r) c.push_back(grid().cell(col, r));
        return c;
    }
    // The cells of one column joined with `sep`, slide by slide.
    std::string joined(int col, const std::string& sep) {
        std::string s;
        for (int r = 1; r < grid().rowCount(); ++r) s += (r > 1 ? sep : "") + grid().cell(col, r);
        return s;
    }
    // Loads the script `path` again into an emptied table, as the first activation does.
    void reload(const std::string& path) {
        form->SetUpClear();
        kv::editor::editorState().CurrentScript = path;
        form->LoadFile(true);
    }

    std::string appDir = "c:\\kavrin\\";
    bool lazyForm = false;
    kv::SimPlatform sim;
    std::unique_ptr<TEditorForm> form;
};

}  // namespace editor_test
