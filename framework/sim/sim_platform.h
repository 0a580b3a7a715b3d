// Everything a native test needs in one object: a fresh temporary folder as drive C:, the
// simulated file system and profile service over it, the scripted user, the host, the system
// clock and the printer. Constructing it installs it as the platform; destroying it uninstalls it.
#pragma once
#include <memory>
#include <string>

#include "framework/platform.h"
#include "framework/sim/sim_fs.h"
#include "framework/sim/sim_media.h"
#include "framework/sim/sim_paint.h"
#include "framework/sim/sim_printer.h"
#include "framework/sim/sim_profile.h"
#include "framework/sim/sim_ui.h"

namespace kv {

class SimPlatform {
public:
    SimPlatform();
    ~SimPlatform();
    SimPlatform(const SimPlatform&) = delete;
    SimPlatform& operator=(const SimPlatform&) = delete;

    // Host folder that holds drive C:.
    const std::string& root() const { return root_; }
    // Writes a file on the simulated drives (folders are created), e.g. "c:\photos\a.bmp".
    void writeFile(const std::string& path, const std::string& bytes = "x");
    std::string readFile(const std::string& path);

    SimFileSystem fs;
    SimProfile profile{fs};
    SimUser user;
    SimHost host;
    SimSystem system;
    SimPrinter printer;
    SimMedia media;
    SimPainter painter;

private:
    std::string root_;
    Ports saved_;
};

}  // namespace kv
