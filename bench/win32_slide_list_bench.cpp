// Sorting an 1800-slide script, its tags and tagged files, and adding 5,000 slides under Windows (or Wine): the editor's
// procedures in-process over the Win32 file system and profile ports, with the sim backend's
// headless user for the UI (the grid is not painted here).
//
//   win32_slide_list_bench [rounds]
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "bench/slide_list_bench.h"
#include "framework/win32/win32_ports.h"

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    kv::win32::installPorts();
    static kv::SimUser user;
    kv::ports().user = &user;
    kv::setUi(&user);
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    const std::string root = std::string(tmp) + "kvlistbench" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(root.c_str(), nullptr);
    CreateDirectoryA((root + "Moved away").c_str(), nullptr);
    kv::bench::slideListBench(root, rounds, user);
    DeleteFileA((root + "tag.lst").c_str());
    DeleteFileA((root + "bare.lst").c_str());
    RemoveDirectoryA((root + "Moved away").c_str());
    RemoveDirectoryA(root.c_str());
    return 0;
}
