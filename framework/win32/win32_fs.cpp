#include "framework/win32/win32_fs.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "framework/text.h"
#include "framework/win32/win32_ports.h"

namespace kv {

namespace {

DirEntry entryOf(const WIN32_FIND_DATAA& fd) {
    DirEntry e;
    e.longName = fd.cFileName;
    e.shortName = fd.cAlternateFileName;
    e.directory = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    e.hidden = (fd.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
    e.system = (fd.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM) != 0;
    e.size = (static_cast<uint64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
    // FILETIME counts 100 ns steps from 1601; the entry wants seconds from 1970.
    uint64_t t = (static_cast<uint64_t>(fd.ftLastWriteTime.dwHighDateTime) << 32) |
                 fd.ftLastWriteTime.dwLowDateTime;
    e.modified = static_cast<int64_t>(t / 10000000ull) - 11644473600ll;
    return e;
}

// Calls a Win32 function that fills a buffer and returns the characters it needs.
template <class Fill>
std::string filled(Fill&& fill) {
    std::string buf(MAX_PATH + 1, '\0');
    DWORD n = fill(buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return {};
    if (n >= buf.size()) {
        buf.assign(n + 1, '\0');
        n = fill(buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0 || n >= buf.size()) return {};
    }
    buf.resize(n);
    return buf;
}

class Win32FileSystem : public FileSystemPort {
public:
    bool exists(const std::string& path) override {
        return !path.empty() && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    bool isDirectory(const std::string& path) override {
        if (path.empty()) return false;
        DWORD a = GetFileAttributesA(path.c_str());
        return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
    }

    std::optional<DirEntry> findEntry(const std::string& path) override {
        if (path.empty()) return std::nullopt;
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA(path.c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE) return std::nullopt;
        FindClose(h);
        return entryOf(fd);
    }

    std::vector<DirEntry> list(const std::string& folder, const std::string& pattern) override {
        std::vector<DirEntry> out;
        if (pattern.empty()) return out;
        std::string search = folder;
        if (!search.empty() && search.back() != '\\' && search.back() != ':') search += '\\';
        search += pattern;
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA(search.c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE) return out;
        do {
            out.push_back(entryOf(fd));
        } while (FindNextFileA(h, &fd));
        FindClose(h);
        return out;
    }

    std::optional<std::string> shortPath(const std::string& path) override {
        if (path.empty()) return std::nullopt;
        std::string s = filled([&](char* buf, DWORD size) {
            return GetShortPathNameA(path.c_str(), buf, size);
        });
        if (s.empty()) return std::nullopt;
        return s;
    }

    bool readFile(const std::string& path, std::string& bytes) override {
        HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        std::string data;
        char buf[65536];
        DWORD got = 0;
        bool ok = true;
        for (;;) {
            if (!ReadFile(h, buf, sizeof buf, &got, nullptr)) {
                ok = false;
                break;
            }
            if (got == 0) break;
            data.append(buf, got);
        }
        CloseHandle(h);
        if (ok) bytes = std::move(data);
        return ok;
    }

    bool createNewFile(const std::string& path, const std::string& bytes) override {
        // CREATE_NEW fails on an existing name, also one that is the 8.3 alias of a file.
        HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        DWORD n = 0;
        const bool ok = bytes.empty() || (WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr) &&
                                          n == bytes.size());
        CloseHandle(h);
        if (!ok) DeleteFileA(path.c_str());
        return ok;
    }

    bool writeFileAtomic(const std::string& path, const std::string& bytes,
                         uint64_t* written = nullptr) override {
        if (written) *written = 0;
        if (path.empty()) return false;
        // Replace the file under its stored long name: the path may use its short alias, and
        // renaming onto the alias would leave the file with the short name only.
        std::string target = path;
        if (auto e = findEntry(path)) {
            if (e->directory) return false;
            target = folderPart(path) + e->longName;
            // A read-only file is refused as a write to it would be: the rename below would
            // replace it where the platform lets a rename over it pass (Wine does).
            const DWORD attributes = GetFileAttributesA(target.c_str());
            if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return false;
        }
        // Write a temporary file beside the target, then rename it over the target: a
        // failure at any point leaves the old file as it was.
        const std::string folder = folderPart(target);
        static unsigned counter = 0;
        std::string tmp;
        HANDLE h = INVALID_HANDLE_VALUE;
        for (int attempt = 0; attempt < 16 && h == INVALID_HANDLE_VALUE; ++attempt) {
            tmp = folder + "~kv" + hexText((GetCurrentProcessId() << 8) ^ (GetTickCount() << 4) ^ ++counter) + ".tmp";
            h = CreateFileA(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
            if (h == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) return false;
        }
        if (h == INVALID_HANDLE_VALUE) return false;
        bool ok = true;
        size_t done = 0;
        while (ok && done < bytes.size()) {
            DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
            DWORD wrote = 0;
            if (!WriteFile(h, bytes.data() + done, chunk, &wrote, nullptr) || wrote != chunk) ok = false;
            done += wrote;
        }
        if (written) *written = done;
        if (ok && !FlushFileBuffers(h)) ok = false;
        if (!CloseHandle(h)) ok = false;
        if (ok && !MoveFileExA(tmp.c_str(), target.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            ok = false;
        if (!ok) DeleteFileA(tmp.c_str());
        return ok;
    }

    bool moveFile(const std::string& from, const std::string& to) override {
        return !from.empty() && !to.empty() && MoveFileA(from.c_str(), to.c_str());
    }

    bool deleteFile(const std::string& path) override {
        return !path.empty() && DeleteFileA(path.c_str());
    }

    std::string currentDirectory() override {
        return filled([](char* buf, DWORD size) { return GetCurrentDirectoryA(size, buf); });
    }

    bool setCurrentDirectory(const std::string& path) override {
        return !path.empty() && SetCurrentDirectoryA(path.c_str());
    }

    std::vector<DriveInfo> drives() override {
        std::vector<DriveInfo> out;
        DWORD mask = GetLogicalDrives();
        for (int i = 0; i < 26; ++i) {
            if (!(mask & (1u << i))) continue;
            DriveInfo d;
            d.letter = static_cast<char>('a' + i);
            char root[4] = {static_cast<char>('A' + i), ':', '\\', 0};
            switch (GetDriveTypeA(root)) {
                case DRIVE_REMOVABLE: d.type = DriveType::Removable; break;
                case DRIVE_FIXED: d.type = DriveType::Fixed; break;
                case DRIVE_REMOTE: d.type = DriveType::Remote; break;
                case DRIVE_CDROM: d.type = DriveType::CDRom; break;
                case DRIVE_RAMDISK: d.type = DriveType::RamDisk; break;
                default: d.type = DriveType::Unknown; break;
            }
            // Only drives that answer at once are asked for their label (a floppy or a CD
            // drive would spin up, or ask for a medium).
            if (d.type == DriveType::Fixed || d.type == DriveType::RamDisk) {
                char label[MAX_PATH + 1] = {};
                UINT old = SetErrorMode(SEM_FAILCRITICALERRORS);
                if (GetVolumeInformationA(root, label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0))
                    d.label = label;
                SetErrorMode(old);
            }
            out.push_back(d);
        }
        return out;
    }

    bool driveReady(char letter) override {
        char root[4] = {letter, ':', '\\', 0};
        UINT old = SetErrorMode(SEM_FAILCRITICALERRORS);
        DWORD spc, bps, freeClusters, total;
        BOOL ok = GetDiskFreeSpaceA(root, &spc, &bps, &freeClusters, &total);
        SetErrorMode(old);
        return ok != FALSE;
    }

    std::string windowsDirectory() override {
        return filled([](char* buf, DWORD size) { return GetWindowsDirectoryA(buf, size); });
    }
};

}  // namespace

FileSystemPort& win32FileSystem() {
    static Win32FileSystem fs;
    return fs;
}

namespace win32 {
FileSystemPort& fileSystemPort() { return win32FileSystem(); }
}  // namespace win32

}  // namespace kv
