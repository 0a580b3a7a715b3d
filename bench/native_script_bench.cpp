// Loading and saving an 1800-slide script natively (sim platform over a temporary folder),
// against reading and writing the same bytes as one file through the same file system port,
// side by side in one run. Prints each time and the ratio (target: within 3x).
//
//   native_script_bench [rounds]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "bench/script_bench_table.h"
#include "editor/editor_form.h"
#include "framework/ini.h"
#include "framework/settings.h"
#include "framework/sim/sim_platform.h"
#include "framework/text.h"
#include "framework/names.h"

using namespace kv::editor;
using kv::bench::kSlides;

namespace {

// Counts the file system calls that go through it (a load's file and name look-ups), passing
// each on to the port it wraps.
class CountingFileSystem : public kv::FileSystemPort {
public:
    explicit CountingFileSystem(kv::FileSystemPort& inner) : in_(inner) {}
    long calls = 0;
    bool exists(const std::string& p) override { return ++calls, in_.exists(p); }
    bool isDirectory(const std::string& p) override { return ++calls, in_.isDirectory(p); }
    std::optional<kv::DirEntry> findEntry(const std::string& p) override { return ++calls, in_.findEntry(p); }
    std::vector<kv::DirEntry> list(const std::string& f, const std::string& m) override { return ++calls, in_.list(f, m); }
    std::optional<std::string> shortPath(const std::string& p) override { return ++calls, in_.shortPath(p); }
    bool readFile(const std::string& p, std::string& b) override { return ++calls, in_.readFile(p, b); }
    bool writeFileAtomic(const std::string& p, const std::string& b, uint64_t* w) override {
        return ++calls, in_.writeFileAtomic(p, b, w);
    }
    bool createNewFile(const std::string& p, const std::string& b) override { return ++calls, in_.createNewFile(p, b); }
    bool moveFile(const std::string& a, const std::string& b) override { return ++calls, in_.moveFile(a, b); }
    bool deleteFile(const std::string& p) override { return ++calls, in_.deleteFile(p); }
    std::string currentDirectory() override { return ++calls, in_.currentDirectory(); }
    bool setCurrentDirectory(const std::string& p) override { return ++calls, in_.setCurrentDirectory(p); }
    std::vector<kv::DriveInfo> drives() override { return ++calls, in_.drives(); }
    bool driveReady(char l) override { return ++calls, in_.driveReady(l); }
    std::string windowsDirectory() override { return ++calls, in_.windowsDirectory(); }

private:
    kv::FileSystemPort& in_;
};

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    kv::SimPlatform sim;
    sim.fs.createDirectory("c:\\shows");
    editorState() = EditorState{};
    editorState().AppDir = "C:\\SHOWAPP\\";
    editorState().CatalogId = "7P4S8";
    TEditorForm form;

    std::printf("script of %d slides, median of %d rounds\n", kSlides, rounds);
    for (bool withFiles : {false, true}) {
        form.SetUpClear();
        kv::bench::fillScriptTable(form, "c:\\shows\\", [&](const std::string& f) {
            if (withFiles) sim.writeFile(f, "x");
        });
        const std::string target = "c:\\shows\\big.avl";
        editorState().TempScript = target;

        const double save = 1000.0 * kv::bench::medianMs(rounds, [&] { form.SaveFile(true); });
        const std::string bytes = sim.readFile(target);
        const double write = 1000.0 * kv::bench::medianMs(rounds, [&] { sim.fs.writeFileAtomic("c:\\shows\\raw.avl", bytes); });

        editorState().CurrentScript = target;
        kv::IniFile(kv::SettingsFileName).writeString(kv::SettingsSection, "AVLNOW", target);
        double load = 1000.0 * kv::bench::medianMs(rounds, [&] {
            sim.user.answer("Too many slides ?\nUp to 1800 slides are supported\ndepending on script complexity.",
                            kv::ModalResult::OK);
            form.LoadFile(true);
        });
        if (form.Grid->rowCount() != kSlides + 1) {
            std::fprintf(stderr, "load gave %d rows\n", form.Grid->rowCount());
            return 1;
        }
        // The calls into the file system one load makes (file and name look-ups).
        kv::FileSystemPort* const port = kv::ports().fs;
        CountingFileSystem counting(*port);
        kv::ports().fs = &counting;
        sim.user.answer("Too many slides ?\nUp to 1800 slides are supported\ndepending on script complexity.",
                        kv::ModalResult::OK);
        form.LoadFile(true);
        kv::ports().fs = port;
        const double perSlide = static_cast<double>(counting.calls) / kSlides;

        std::string sink;
        const double read = 1000.0 * kv::bench::medianMs(rounds, [&] { sim.fs.readFile(target, sink); });
        // The engine's part of a load: parse the file and read every key a load reads.
        const double parse = 1000.0 * kv::bench::medianMs(rounds, [&] {
            std::string b;
            sim.fs.readFile(target, b);
            kv::IniDocument doc = kv::IniDocument::parse(b);
            size_t n = 0;
            for (int i = 1; i <= kSlides; ++i) {
                const std::string s = kv::intToStr(i);
                for (const char* k : kv::bench::kSlideKeys)
                    n += doc.readString(s, k, "").size();
            }
            if (n == 0) std::abort();
        });

        // The file system's part of a load: the short path and long name of every slide file.
        const double names = 1000.0 * kv::bench::medianMs(rounds, [&] {
            size_t n = 0;
            for (int i = 1; i <= kSlides; ++i) {
                const std::string& p = form.Grid->cell(FilePath, i);
                if (p == BlankMarker) continue;
                n += kv::GetShortPath(p).size() + kv::GetLongFileName(p).size();
            }
            if (n == 0) std::abort();
        });

        std::printf("\nslide files %s (%zu bytes)\n", withFiles ? "present" : "absent", bytes.size());
        std::printf("  save: SaveFile %9.0f us   one-file write %7.0f us   ratio %5.2fx\n", save, write, save / write);
        std::printf("  load: LoadFile %9.0f us   one-file read  %7.0f us   ratio %5.2fx\n", load, read, load / read);
        std::printf("        read + parse + every key %7.0f us              ratio %5.2fx\n", parse, parse / read);
        std::printf("        short path + long name of every slide file %7.0f us\n", names);
        std::printf("        file system calls in one load: %ld = %.3f per slide\n", counting.calls, perSlide);
    }
    return 0;
}
