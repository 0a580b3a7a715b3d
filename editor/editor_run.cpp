#include "editor/editor_run.h"

#include <memory>

#include "editor/editor_form.h"
#include "framework/platform.h"
#include "framework/settings.h"
#include "framework/names.h"

namespace kv::editor {

namespace {

int32_t resultCode(ModalResult r) {
    switch (r) {
        case ModalResult::All: return -1;   // Run: play the temporary script
        case ModalResult::OK: return 1;     // catalogue update: make the thumbnails
        case ModalResult::Retry: return 2;  // view tagged slides: show the tag list
        default: return 0;
    }
}

}  // namespace

int32_t runEditor() {
    UserPort& user = *ports().user;
    user.setCursor(CursorKind::HourGlass);
    try {
        EditorState& st = editorState();
        const IniFile ini(SettingsFileName);
        st.CurrentScript = ini.readString(SettingsSection, "AVLFIL", "*");
        st.TempScript = ini.readString(SettingsSection, "AVLTMP", "ERROR");
        st.AppDir = ini.readString(SettingsSection, "AppDir", "ERROR");
        if (st.AppDir != "ERROR") st.AppDir = AddTrailingBackslash(st.AppDir);

        auto form = std::make_unique<TEditorForm>();
        // Laid out for the screen before it shows: its windows are made where they stay.
        form->LayoutForScreen();
        const ModalResult r = form->showModal();
        form.reset();
        return resultCode(r);
    } catch (...) {
        // The window is gone; do not leave the hourglass behind.
        user.setCursor(CursorKind::Default);
        throw;
    }
}

}  // namespace kv::editor
