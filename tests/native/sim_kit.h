// Small helpers the native tests share: a folder of the host for a simulated drive, and
// acting on controls as the user's keyboard does.
#pragma once
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <string>

#include "framework/controls.h"

namespace sim_test {

// A fresh, empty folder of the host under the temporary folder, named for this process and
// `hint`, removed with everything in it when the object goes.
class HostFolder {
public:
    explicit HostFolder(const std::string& hint) {
        static std::atomic<int> n{0};
        path_ = (std::filesystem::temp_directory_path() /
                 ("kv-" + hint + "-" + std::to_string(::getpid()) + "-" + std::to_string(n++)))
                    .string();
        std::filesystem::remove_all(path_);
    }
    ~HostFolder() { std::filesystem::remove_all(path_); }
    HostFolder(const HostFolder&) = delete;
    HostFolder& operator=(const HostFolder&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// A key pressed with the given shift state on a control (its form's key preview runs first);
// returns what is left of the key afterwards (0 once a handler took it).
inline int press(kv::Control* c, int key, unsigned shift = 0) {
    c->keyDown(key, shift);
    return key;
}
inline int press(kv::Control& c, int key, unsigned shift = 0) { return press(&c, key, shift); }

}  // namespace sim_test
