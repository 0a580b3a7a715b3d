// INI engine speed on a script-sized file: loading (parse and read every key a script load
// reads) against reading the file's bytes, saving (build and write) against writing the bytes.
// Prints the ratios; run from a Release build. Times are the thread's CPU time (best of many
// runs), so other work on the machine does not distort the ratios.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <time.h>

#include "framework/ini.h"

namespace {

double cpuMicros() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

struct Slide {
    std::vector<std::pair<std::string, std::string>> keys;
};

// 1800 slides shaped like the worked example: graphics with colour, effect, delay, position,
// gamma and thumbnail; videos with zoom and volume; a CD track now and then.
std::vector<Slide> makeScript() {
    std::vector<Slide> slides;
    for (int i = 1; i <= 1800; ++i) {
        Slide s;
        int kind = i % 10;
        if (kind == 9) {
            s.keys = {{"F", "------------------------------"}, {"X", std::to_string(i % 99 + 1)}};
        } else if (kind == 7) {
            s.keys = {{"F", "clip" + std::to_string(i) + ".avi,2"}, {"B", "0"}, {"X", "1"},
                      {"Z", "200"}, {"L", "50"}, {"S", "150"}};
        } else {
            s.keys = {{"F", "pic" + std::to_string(i) + ",1"}, {"B", "FF"}, {"X", std::to_string(i % 30)},
                      {"W", "5"}, {"P", "Left,Top"}, {"G", "78"}, {"T", "1A" + std::to_string(i % 32)}};
        }
        slides.push_back(std::move(s));
    }
    return slides;
}

std::string buildScript(const std::vector<Slide>& slides) {
    kv::IniBuilder b;
    b.reserve(slides.size() * 64, slides.size() * 8);
    b.add("Header", "Ver", "7");
    b.add("Header", "ScreenW", "800");
    b.add("Header", "ScreenH", "600");
    b.add("Header", "N", std::to_string(slides.size() + 1));
    b.add("Header", "Cat", "7P4S8");
    b.add("Directory", "0", "C:\\SHOWAPP\\");
    for (size_t i = 0; i < slides.size(); ++i) {
        std::string sec = std::to_string(i + 1);
        for (const auto& kv : slides[i].keys) b.add(sec, kv.first, kv.second);
    }
    b.add("Directory", "1", "c:\\photos\\");
    b.add("Directory", "2", "c:\\media\\");
    return b.bytes();
}

bool readFile(const char* path, std::string& out) {
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    std::fseek(f, 0, SEEK_END);
    long n = std::ftell(f);
    std::fseek(f, 0, SEEK_SET);
    out.resize(static_cast<size_t>(n));
    size_t got = n ? std::fread(&out[0], 1, out.size(), f) : 0;
    std::fclose(f);
    out.resize(got);
    return true;
}

bool writeFile(const char* path, const std::string& bytes) {
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

// Best of `runs` timings of f, in microseconds.
template <class F>
double best(int runs, F&& f) {
    double b = 1e18;
    for (int i = 0; i < runs; ++i) {
        double t0 = cpuMicros();
        f();
        b = std::min(b, cpuMicros() - t0);
    }
    return b;
}

}  // namespace

int main() {
    const char* path = "kv_ini_bench.avl";
    auto slides = makeScript();
    std::string bytes = buildScript(slides);
    size_t keys = 0;
    for (auto& s : slides) keys += s.keys.size();
    if (!writeFile(path, bytes)) {
        std::printf("cannot write %s\n", path);
        return 1;
    }
    const int runs = 200;
    volatile size_t sink = 0;
    static const char* slideKeys[] = {"F", "B", "X", "W", "P", "G", "Z", "L", "S", "T"};

    double tRead = best(runs, [&] {
        std::string b;
        readFile(path, b);
        sink = sink + b.size();
    });
    double tParse = best(runs, [&] {
        std::string b;
        readFile(path, b);
        auto d = kv::IniDocument::parse(std::move(b));
        sink = sink + d.exists();
    });
    double tLoad = best(runs, [&] {
        std::string b;
        readFile(path, b);
        auto d = kv::IniDocument::parse(std::move(b));
        size_t n = 0;
        int count = std::stoi(d.readString("Header", "N", "0"));
        n += d.readString("Header", "Cat", "").size();
        n += d.sectionValues("Directory").size();
        for (int i = 1; i < count; ++i) {
            std::string sec = std::to_string(i);
            for (const char* k : slideKeys) n += d.readString(sec, k, "").size();
        }
        sink = sink + n;
    });
    double tWrite = best(runs, [&] { writeFile(path, bytes); });
    double tBuild = best(runs, [&] {
        std::string b = buildScript(slides);
        sink = sink + b.size();
    });
    double tSave = best(runs, [&] { writeFile(path, buildScript(slides)); });
    std::remove(path);

    std::printf("script: %zu bytes, %zu slides, %zu slide keys\n", bytes.size(), slides.size(), keys);
    std::printf("read bytes           %8.1f us\n", tRead);
    std::printf("read + parse         %8.1f us  ratio %.2f\n", tParse, tParse / tRead);
    std::printf("load (parse, read %zu keys) %8.1f us  ratio %.2f\n", slides.size() * 10 + 3, tLoad,
                tLoad / tRead);
    std::printf("write bytes          %8.1f us\n", tWrite);
    std::printf("build script         %8.1f us  ratio %.2f\n", tBuild, tBuild / tWrite);
    std::printf("save (build + write) %8.1f us  ratio %.2f\n", tSave, tSave / tWrite);
    return 0;
}
