// Loading and saving an 1800-slide script under Windows (or Wine): key by key through the
// platform's profile API (GetPrivateProfileStringA / WritePrivateProfileStringA, what a script
// reader and writer built on it does) against the editor's way (the whole file read once and
// parsed by the INI engine; built in memory and written in one piece, then the profile cache
// flushed), side by side in one run. The editor's own LoadFile and SaveFile run in-process over
// the Win32 file system and profile ports, with the sim backend's headless user for the UI.
// Also checks that the key-by-key writer produces the same bytes as SaveFile.
//
//   win32_script_bench [rounds]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "bench/script_bench_table.h"
#include "editor/editor_form.h"
#include "framework/ini.h"
#include "framework/platform.h"
#include "framework/settings.h"
#include "framework/sim/sim_ui.h"
#include "framework/text.h"
#include "framework/win32/win32_ports.h"

using namespace kv::editor;

namespace {

const char kWarning[] = "Too many slides ?\nUp to 1800 slides are supported\ndepending on script complexity.";


bool writeWholeFile(const std::string& path, const std::string& bytes) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD wrote = 0;
    BOOL ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr);
    CloseHandle(h);
    return ok && wrote == bytes.size();
}

std::string readWholeFile(const std::string& path) {
    std::string bytes;
    kv::ports().fs->readFile(path, bytes);
    return bytes;
}

struct Entry {
    std::string section, key, value;
};

// Every key of a script in file order.
std::vector<Entry> entriesOf(const std::string& bytes) {
    std::vector<Entry> out;
    kv::IniDocument doc = kv::IniDocument::parse(bytes);
    for (const std::string& s : doc.sectionNames()) {
        for (const std::string& e : doc.sectionValues(s)) {
            size_t eq = e.find('=');
            out.push_back({s, e.substr(0, eq), eq == std::string::npos ? std::string() : e.substr(eq + 1)});
        }
    }
    return out;
}

// What a reader built on the profile API reads from a version 7 script: the header, the
// directory section and every key of every slide section.
size_t readKeyByKey(const std::string& file) {
    char buf[1024];
    size_t n = 0;
    const char* f = file.c_str();
    n += GetPrivateProfileStringA("Header", "Ver", "", buf, sizeof buf, f);
    n += GetPrivateProfileStringA("Header", "Cat", "", buf, sizeof buf, f);
    GetPrivateProfileStringA("Header", "N", "0", buf, sizeof buf, f);
    const int rows = std::atoi(buf);
    static char section[32768];
    n += GetPrivateProfileSectionA("Directory", section, sizeof section, f);
    for (int i = 1; i < rows; ++i) {
        const std::string s = std::to_string(i);
        for (const char* k : kv::bench::kSlideKeys)
            n += GetPrivateProfileStringA(s.c_str(), k, "", buf, sizeof buf, f);
    }
    return n;
}

// The same reads through the engine over the file read once.
size_t readWithEngine(const std::string& file) {
    std::string bytes;
    kv::ports().fs->readFile(file, bytes);
    kv::IniDocument doc = kv::IniDocument::parse(bytes);
    size_t n = doc.readString("Header", "Ver", "").size() + doc.readString("Header", "Cat", "").size();
    const int rows = kv::strToIntDef(doc.readString("Header", "N", "0"), 0);
    n += doc.sectionValues("Directory").size();
    for (int i = 1; i < rows; ++i) {
        const std::string s = kv::intToStr(i);
        for (const char* k : kv::bench::kSlideKeys) n += doc.readString(s, k, "").size();
    }
    return n;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const int slowRounds = std::max(1, rounds / 3);

    kv::win32::installPorts();
    static kv::SimUser user;  // headless: no windows, scripted answers
    kv::ports().user = &user;
    kv::setUi(&user);

    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    const std::string root = std::string(tmp) + "kvscriptbench" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(root.c_str(), nullptr);

    editorState() = EditorState{};
    editorState().AppDir = root;
    editorState().CatalogId = "7P4S8";
    TEditorForm form;
    std::vector<std::string> files;
    kv::bench::fillScriptTable(form, root, [&](const std::string& f) { files.push_back(f); });
    for (const std::string& f : files) {
        CreateDirectoryA(kv::folderPart(f).c_str(), nullptr);
        writeWholeFile(f, "x");
    }
    // The table holds short lower-case paths, as the editor keeps them.
    for (int i = 1; i < form.Grid->rowCount(); ++i) {
        const std::string p = form.Grid->cell(FilePath, i);
        if (p == BlankMarker) continue;
        char s[MAX_PATH];
        DWORD n = GetShortPathNameA(p.c_str(), s, MAX_PATH);
        if (n > 0 && n < MAX_PATH) form.Grid->setCell(FilePath, i, kv::lower(s));
    }

    const std::string ours = root + "ours.avl";
    const std::string kbk = root + "keybykey.avl";
    const std::string raw = root + "raw.avl";

    // ---- save ----
    editorState().TempScript = ours;
    const double saveOurs = kv::bench::medianMs(rounds, [&] { form.SaveFile(true); });
    const std::string bytes = readWholeFile(ours);
    const std::vector<Entry> entries = entriesOf(bytes);
    // A minute per round under Wine: one round.
    const double saveKbk = kv::bench::medianMs(1, [&] {
        DeleteFileA(kbk.c_str());
        for (const Entry& e : entries)
            WritePrivateProfileStringA(e.section.c_str(), e.key.c_str(), e.value.c_str(), kbk.c_str());
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, kbk.c_str());
    });
    // The same bytes as one file: replaced the same way (temporary file, flush, rename), and
    // plainly overwritten.
    const double saveRaw = kv::bench::medianMs(rounds, [&] { kv::ports().fs->writeFileAtomic(raw, bytes); });
    const double savePlain = kv::bench::medianMs(rounds, [&] { writeWholeFile(raw, bytes); });
    const bool sameBytes = readWholeFile(kbk) == bytes;
    // The engine's part of a save: the document built key by key in memory and its bytes.
    const double build = kv::bench::medianMs(rounds, [&] {
        kv::IniBuilder b;
        for (const Entry& e : entries) b.add(e.section, e.key, e.value);
        if (b.bytes().size() != bytes.size()) std::abort();
    });

    // ---- load ----
    editorState().CurrentScript = ours;
    kv::IniFile(kv::SettingsFileName).writeString(kv::SettingsSection, "AVLNOW", ours);
    const double loadOurs = kv::bench::medianMs(rounds, [&] {
        user.answer(kWarning, kv::ModalResult::OK);
        form.LoadFile(true);
    });
    const bool loadedAll = form.Grid->rowCount() == kv::bench::kSlides + 1;
    size_t check1 = 0, check2 = 0;
    const double readEngine = kv::bench::medianMs(rounds, [&] { check1 = readWithEngine(ours); });
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, ours.c_str());
    const double readKbk = kv::bench::medianMs(slowRounds, [&] { check2 = readKeyByKey(ours); });
    const double readRaw = kv::bench::medianMs(rounds, [&] { (void)readWholeFile(ours); });

    std::printf("script of %d slides, %zu bytes, %zu keys; median of %d rounds (key by key: save 1, load %d)\n",
                kv::bench::kSlides, bytes.size(), entries.size(), rounds, slowRounds);
    std::printf("save  key by key %9.1f ms | SaveFile %7.1f ms | one-file write %6.2f ms (plain overwrite %.2f ms)\n",
                saveKbk, saveOurs, saveRaw, savePlain);
    std::printf("      SaveFile is %.0fx faster than key by key; %.1fx the one-file write (%.1fx the plain one)\n",
                saveKbk / saveOurs, saveOurs / saveRaw, saveOurs / savePlain);
    std::printf("      of which building the bytes in memory %.2f ms\n", build);
    std::printf("      key-by-key file has the same bytes as SaveFile's: %s\n", sameBytes ? "yes" : "NO");
    std::printf("load  key by key %9.1f ms | engine over the file %7.2f ms | one-file read %6.2f ms\n",
                readKbk, readEngine, readRaw);
    std::printf("      the engine is %.0fx faster than key by key; %.1fx the one-file read\n",
                readKbk / readEngine, readEngine / readRaw);
    std::printf("      LoadFile as a whole (with short and long names of every slide file) %.1f ms%s\n",
                loadOurs, loadedAll ? "" : " (NOT ALL ROWS LOADED)");
    std::printf("      same reads: %s\n", check1 > 0 && check2 > 0 ? "done" : "FAILED");

    for (const std::string& f : files) DeleteFileA(f.c_str());
    for (int i = 0; i < 12; ++i) RemoveDirectoryA((root + "trip" + std::to_string(i)).c_str());
    for (const std::string& f : {ours, kbk, raw}) DeleteFileA(f.c_str());
    RemoveDirectoryA(root.c_str());
    return sameBytes && loadedAll ? 0 : 1;
}
