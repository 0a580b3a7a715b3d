// Helpers the editor's native tests share: building slide rows and reaching the settings file.
#pragma once
#include <string>

#include "editor/editor_form.h"
#include "framework/settings.h"
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

}  // namespace editor_test
