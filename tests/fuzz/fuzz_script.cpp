// Fuzzes the slideshow script reader and writer: any bytes as a script file are loaded into
// the slide table, which is then saved and loaded again. Nothing may crash, hang or leak; the
// table never has more rows than the file has slide sections; and a script that the editor
// wrote loads back completely, without a complaint, with as many slides as were saved.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "editor/editor_form.h"
#include "framework/sim/sim_platform.h"

namespace {

using namespace kv::editor;

struct World {
    kv::SimPlatform sim;
    TEditorForm* form = nullptr;
    World() {
        sim.fs.createDirectory("c:\\shows");
        form = new TEditorForm();
    }
    ~World() { delete form; }
};

World& world() {
    static World w;
    return w;
}

void reset(World& w) {
    editorState() = EditorState{};
    editorState().AppDir = "C:\\SHOWAPP\\";
    editorState().CurrentScript = "c:\\shows\\in.avl";
    w.form->SetUpClear();
    w.sim.user.dialogs.clear();
    w.sim.user.unexpected.clear();
    w.sim.user.cursorHistory.clear();
}

// Loads the script; returns how many error messages it showed.
size_t load(World& w, const std::string& path) {
    editorState().CurrentScript = path;
    w.form->LoadFile(true);
    size_t shown = 0;
    for (const auto& d : w.sim.user.dialogs) shown += d.kind == kv::DialogKind::Error;
    w.sim.user.dialogs.clear();
    w.sim.user.unexpected.clear();
    return shown;
}

std::string save(World& w, const std::string& path) {
    editorState().TempScript = path;
    w.form->SaveFile(true);
    w.sim.user.dialogs.clear();
    w.sim.user.unexpected.clear();
    return w.sim.readFile(path);
}

// Upper bound of slide sections: every one needs at least "[1]" and a line end.
size_t maxRows(const std::string& bytes) {
    size_t n = 0;
    for (char c : bytes) n += c == '[';
    return n + 2;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    World& w = world();
    reset(w);
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    w.sim.writeFile("c:\\shows\\in.avl", bytes);

    load(w, "c:\\shows\\in.avl");
    if (static_cast<size_t>(w.form->Grid->rowCount()) > maxRows(bytes)) std::abort();

    const int rows = w.form->Grid->rowCount();
    save(w, "c:\\shows\\one.avl");
    w.form->SetUpClear();
    const size_t shown = load(w, "c:\\shows\\one.avl");
    if (shown != 0 || w.form->Grid->rowCount() != rows) std::abort();
    return 0;
}
