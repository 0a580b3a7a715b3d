// A file system with Windows path rules over host folders, for native tests and tools.
//
// Drive letters map to host folders. Names are looked up without regard to case, and every
// long name that is not already a valid 8.3 name gets an 8.3 alias the way Windows gives one
// ("Holiday picture.bmp" -> "HOLIDA~1.BMP"); an alias can stand for its long name anywhere in
// a path. Aliases are kept for the life of the object, one table per folder, so a file keeps
// its alias until it is deleted or renamed. Tails are numbered in creation order: files made
// through the object or on the host while the object watches the folder get the next tail
// when they appear; files already there when a folder is first looked at are taken in name
// order. Fault injection lets tests make paths read-only, the disk full, or writes fail after
// a number of bytes.
#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "framework/platform.h"

namespace kv {

class SimFileSystem : public FileSystemPort {
public:
    SimFileSystem();
    ~SimFileSystem() override;
    SimFileSystem(const SimFileSystem&) = delete;
    SimFileSystem& operator=(const SimFileSystem&) = delete;

    // Drive `letter` is the host folder `hostFolder` (created when missing).
    void mapDrive(char letter, const std::string& hostFolder);
    // Default "C:\WINDOWS"; the folder is created when first asked for.
    void setWindowsDirectory(const std::string& path);
    // Creates a folder in an existing folder; false when it exists or cannot be made.
    bool createDirectory(const std::string& path);
    // Host path of an existing file or folder; empty when the path does not resolve.
    std::string hostPath(const std::string& path);

    // --- fault injection ---
    // Writes, moves and deletes of the path, and of anything beneath it, are refused.
    void setReadOnly(const std::string& path, bool readOnly);
    // A file held open by another program without sharing: it can be read, but writes,
    // renames and deletes of it are refused. Moved to another drive it is copied and then
    // cannot be removed, so the move fails with both copies left, as the platform's does.
    void setInUse(const std::string& path, bool inUse);
    // Gives an existing file or folder the hidden and system attributes (kept by host path).
    void setAttributes(const std::string& path, bool hidden, bool system);
    // A mapped drive that is not ready (its size cannot be read), or ready again.
    void setDriveReady(char letter, bool ready);
    // The type and label the drive reports (default: fixed, no label).
    void setDriveInfo(char letter, DriveType type, const std::string& label);
    // Every write fails (the old file stays as it was).
    void setDiskFull(bool full);
    // Writes to one drive fail, and so do copies to it.
    void setDriveFull(char letter, bool full);
    // Writes succeed for n more bytes in total, then fail part-way; negative: no limit.
    void failAfterBytes(int64_t n);

    // FileSystemPort
    bool exists(const std::string& path) override;
    bool isDirectory(const std::string& path) override;
    // Wildcards in the last component find the first matching entry, as find-first does.
    // A drive root or a path ending in a backslash has no entry.
    std::optional<DirEntry> findEntry(const std::string& path) override;
    // Entries whose long or short name matches the pattern (Windows wildcard rules, so
    // "*.*" matches every name and "*." names without a dot). A folder other than a drive
    // root also lists its "." and ".." entries first; the others follow sorted by name.
    std::vector<DirEntry> list(const std::string& folder, const std::string& pattern) override;
    // Absolute short path: each component's alias, or its stored name when it has none.
    std::optional<std::string> shortPath(const std::string& path) override;
    bool readFile(const std::string& path, std::string& bytes) override;
    bool writeFileAtomic(const std::string& path, const std::string& bytes,
                         uint64_t* written = nullptr) override;
    bool createNewFile(const std::string& path, const std::string& bytes) override;
    // Also renames folders. Renaming a file to its own name in another case changes the case.
    // A file moved to another drive is copied and the original removed; the copy is refused
    // on a full disk.
    bool moveFile(const std::string& from, const std::string& to) override;
    bool deleteFile(const std::string& path) override;
    std::string currentDirectory() override;
    bool setCurrentDirectory(const std::string& path) override;
    std::vector<DriveInfo> drives() override;
    bool driveReady(char letter) override;
    std::string windowsDirectory() override;

    // True when `name` is a valid 8.3 name, ignoring case ("readme.txt", "A~1.B").
    static bool isShortName(const std::string& name);

private:
    struct Parsed {
        bool ok = false;
        char drive = 0;
        std::vector<std::string> comps;
        bool trailingSep = false;
        bool wild = false;  // the last component holds '*' or '?'
    };
    struct Walk {
        bool parentOk = false;  // every component but the last is an existing folder
        bool found = false;     // the last component exists too
        bool isRoot = false;
        bool isDir = false;
        std::string parentHost;  // host folder that holds (or would hold) the last component
        std::string host;        // host path of the entry when found
        std::string hostName;    // its name as stored
        std::vector<std::string> shortNames;  // short form of each resolved component
    };
    struct Item {
        std::string alias;  // upper-case alias; empty for valid 8.3 names
        uint64_t seen = 0;
    };
    struct Folder {
        std::map<std::string, Item> items;                     // by stored name
        std::unordered_map<std::string, std::string> byUpper;  // upper long name -> stored name
        std::unordered_map<std::string, std::string> byAlias;  // alias -> stored name
        std::unordered_map<std::string, int> tailHint;         // basis -> lowest tail maybe free
        int watch = -1;        // change notification on the host folder; -1: none
        bool dirty = false;    // notifications were lost: scan again
    };

    Parsed parse(const std::string& path) const;
    Walk walk(const Parsed& p);
    Folder& folder(const std::string& hostFolder);  // brought up to date with the host folder
    Folder& rescan(const std::string& hostFolder);
    void applyChanges();  // the host's change notifications since the last call
    std::optional<std::string> lookup(const std::string& hostFolder, const std::string& name);
    void addItem(Folder& f, const std::string& name);
    void forgetItem(Folder& f, const std::string& name);
    void assignAlias(Folder& f, const std::string& name, Item& item);
    DirEntry entryOf(const std::string& hostFolder, const std::string& name);
    std::string roKey(const Parsed& p);
    bool refused(const Parsed& p);
    bool held(const Parsed& p);
    bool full(const Parsed& p) const;
    bool copyThenRemove(const Parsed& from, const Walk& fromWalk, const std::string& targetHost);
    static bool validNewName(const std::string& name);

    std::map<char, std::string> drives_;
    char curDrive_ = 'C';
    std::vector<std::string> curComps_;
    std::string windowsDir_ = "C:\\WINDOWS";
    std::map<std::string, Folder> folders_;  // by host folder path
    std::vector<std::string> readOnly_;      // keys from roKey
    std::vector<std::string> inUse_;         // keys from roKey
    bool diskFull_ = false;
    std::vector<char> fullDrives_;  // upper letters
    std::map<std::string, std::pair<bool, bool>> attributes_;  // host path -> hidden, system
    std::map<char, DriveInfo> driveInfo_;                       // upper letter -> type, label
    std::vector<char> notReady_;                                // upper letters
    int64_t byteBudget_ = -1;
    uint64_t generation_ = 0;
    uint64_t tempCounter_ = 0;
    int notify_ = -1;                       // change notification handle; -1: scan every time
    std::map<int, std::string> watchFolder_;  // watch -> host folder
};

}  // namespace kv
