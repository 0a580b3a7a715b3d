// The slide table both script benchmarks load and save, and their timer: 1800 slides over 12 folders, mostly
// pictures with a spread of attributes, some videos, sounds and CD tracks, as a large show has.
#pragma once
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "editor/catalog_id.h"
#include "editor/editor_form.h"

namespace kv::bench {

constexpr int kSlides = 1800;

// Fills the form's table; `onFile` is called with every slide file's path (to create it).
inline void fillScriptTable(editor::TEditorForm& f, const std::string& root,
                            const std::function<void(const std::string&)>& onFile) {
    using namespace editor;
    auto& g = *f.Grid;
    g.setRowCount(kSlides + 1);
    for (int i = 1; i <= kSlides; ++i) {
        g.setRow(i);
        const std::string dir = root + "trip" + std::to_string(i % 12) + "\\";
        std::string name;
        if (i % 50 == 0) {
            g.setCell(FilePath, i, BlankMarker);
            f.SetUpAudio();
            g.setCell(Param, i, std::to_string(i % 99 + 1));
        } else if (i % 17 == 0) {
            name = "clip" + std::to_string(i) + ".avi";
            g.setCell(FilePath, i, dir + name);
            f.SetUpAVI();
            g.setCell(Zoom, i, "150");
        } else if (i % 23 == 0) {
            name = "tune" + std::to_string(i) + ".wav";
            g.setCell(FilePath, i, dir + name);
            f.SetUpAudio();
        } else {
            name = "img" + std::to_string(i) + (i % 3 ? ".jpg" : ".bmp");
            g.setCell(FilePath, i, dir + name);
            f.SetUpGraphic();
            g.setCell(Param, i, std::to_string(i % 30));
            g.setCell(EffectName, i, effectName(i % 30));
            g.setCell(Wait, i, std::to_string(i % 9));
            if (i % 5 == 0) g.setCell(Gamma, i, "120");
            if (i % 7 == 0) {
                g.setCell(HorzPos, i, "Left");
                g.setCell(VertPos, i, std::to_string(i % 200));
            }
            g.setCell(ThumbIndex, i, StripLeadingZeros(EncodeBase32(static_cast<uint32_t>(i))));
        }
        g.setCell(SlideNo, i, std::to_string(i));
        g.setCell(DisplayName, i, name);
        if (!name.empty() && onFile) onFile(dir + name);
    }
}

// Median time of `rounds` runs of the work, in milliseconds.
inline double medianMs(int rounds, const std::function<void()>& work) {
    std::vector<double> t;
    for (int i = 0; i < rounds; ++i) {
        auto a = std::chrono::steady_clock::now();
        work();
        auto b = std::chrono::steady_clock::now();
        t.push_back(std::chrono::duration<double, std::milli>(b - a).count());
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

// The keys a load reads from each slide section of a version 7 script.
inline const char* const kSlideKeys[] = {"F", "B", "X", "W", "T", "P", "G", "Z", "L", "S"};

}  // namespace kv::bench
