#include "framework/sim/sim_platform.h"

#include <atomic>
#include <filesystem>
#include <system_error>

#include <unistd.h>

namespace kv {

namespace fsys = std::filesystem;

static std::string freshRoot() {
    static std::atomic<int> counter{0};
    fsys::path p = fsys::temp_directory_path() /
                   ("kvsim-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::error_code ec;
    fsys::remove_all(p, ec);
    fsys::create_directories(p);
    return p.string();
}

SimPlatform::SimPlatform() : root_(freshRoot()) {
    fs.mapDrive('C', root_);
    saved_ = ports();
    ports() = Ports{&profile, &fs, &user, &host, &system, &printer, &media, &user};
    setUi(&user);
    setPainter(&painter);
}

SimPlatform::~SimPlatform() {
    ports() = saved_;
    setUi(nullptr);
    setPainter(nullptr);
    std::error_code ec;
    fsys::remove_all(root_, ec);
}

void SimPlatform::writeFile(const std::string& path, const std::string& bytes) {
    // Create the folders on the way, as a test's fixture would on a real disk.
    for (size_t i = 3; i < path.size(); ++i)
        if (path[i] == '\\') fs.createDirectory(path.substr(0, i));
    fs.writeFileAtomic(path, bytes);
}

std::string SimPlatform::readFile(const std::string& path) {
    std::string bytes;
    fs.readFile(path, bytes);
    return bytes;
}

}  // namespace kv
