// Sorting an 1800-slide script, the explorer's convert of 5,000 marked files and adding them,
// natively (sim platform over a temporary folder, headless user); also the tags on that script.
// With "steps": only the editor's largest steps and their undo and redo (edit_steps_bench.h).
//
//   native_slide_list_bench [rounds] [steps]
#include <algorithm>
#include <cstdlib>
#include <string>

#include "bench/edit_steps_bench.h"
#include "bench/slide_list_bench.h"
#include "framework/sim/sim_platform.h"

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    kv::SimPlatform sim;
    if (argc > 2 && std::string(argv[2]) == "steps") {
        kv::bench::editStepsBench(rounds, sim.user);
        return kv::bench::exitStatus();
    }
    sim.fs.createDirectory("c:\\bench");
    sim.fs.createDirectory("c:\\bench\\Moved away");
    kv::bench::slideListBench("c:\\bench\\", rounds, sim.user);
    return kv::bench::exitStatus();
}
