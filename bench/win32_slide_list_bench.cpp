// Sorting an 1800-slide script, its tags and tagged files, the explorer's convert with 5,000
// files marked and adding those 5,000 slides under Windows (or Wine): the editor's and the
// explorer's procedures in-process over the Win32 file system and profile ports, with the sim
// backend's headless user for the UI (nothing is painted here; win32_explorer_bench paints).
//
// With "steps": only the editor's largest steps and their undo and redo (edit_steps_bench.h).
//
//   win32_slide_list_bench [rounds] [steps]
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "bench/edit_steps_bench.h"
#include "bench/slide_list_bench.h"
#include "framework/win32/win32_ports.h"

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    kv::win32::installPorts();
    static kv::SimUser user;
    kv::ports().user = &user;
    kv::setUi(&user);
    if (argc > 2 && std::string(argv[2]) == "steps") {
        kv::bench::editStepsBench(rounds, user);
        return kv::bench::exitStatus();
    }
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    const std::string root = std::string(tmp) + "kvlistbench" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(root.c_str(), nullptr);
    CreateDirectoryA((root + "Moved away").c_str(), nullptr);
    kv::bench::slideListBench(root, rounds, user, [](const std::string& path, const std::string& bytes) {
        HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD done = 0;
        WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
        CloseHandle(h);
    });
    DeleteFileA((root + "tag.lst").c_str());
    DeleteFileA((root + "bare.lst").c_str());
    RemoveDirectoryA((root + "Moved away").c_str());
    RemoveDirectoryA(root.c_str());
    return kv::bench::exitStatus();
}
