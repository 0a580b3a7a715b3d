#include "framework/sim/sim_fs.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include "framework/names.h"
#include "framework/text.h"

namespace kv {

namespace fsys = std::filesystem;

namespace {

// Files the object writes before renaming them over their target; never listed.
const char kTempPrefix[] = ".kvsim-tmp-";

bool isTemp(const std::string& name) {
    return name.compare(0, sizeof(kTempPrefix) - 1, kTempPrefix) == 0;
}

bool shortNameChar(unsigned char c) {
    if (c >= 128) return true;
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
    return std::strchr("$%'-_@~`!(){}^#&", c) != nullptr && c != 0;
}

bool hostIsDir(const std::string& host) {
    struct stat st;
    return ::stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool hostExists(const std::string& host) {
    struct stat st;
    return ::lstat(host.c_str(), &st) == 0;
}

}  // namespace

bool SimFileSystem::isShortName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    size_t dot = name.find('.');
    std::string base = name.substr(0, dot);
    std::string ext = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    if (base.empty() || base.size() > 8) return false;
    if (dot != std::string::npos && (ext.empty() || ext.size() > 3)) return false;
    for (char c : base)
        if (!shortNameChar(static_cast<unsigned char>(c))) return false;
    for (char c : ext)
        if (!shortNameChar(static_cast<unsigned char>(c))) return false;
    return true;
}

// A name Windows would accept for a new file: no reserved characters, not a device name.
bool SimFileSystem::validNewName(const std::string& name) {
    if (name.empty() || name == "." || name == ".." || name.size() > 255) return false;
    for (char ch : name) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c < 32 || std::strchr("<>:\"/\\|?*", c)) return false;
    }
    std::string base = upper(name.substr(0, name.find('.')));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    static const char* devices[] = {"CON", "PRN", "AUX", "NUL"};
    for (const char* d : devices)
        if (base == d) return false;
    if (base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
        base[3] >= '1' && base[3] <= '9')
        return false;
    return true;
}

void SimFileSystem::mapDrive(char letter, const std::string& hostFolder) {
    std::string h = hostFolder;
    while (h.size() > 1 && h.back() == '/') h.pop_back();
    std::error_code ec;
    fsys::create_directories(h, ec);
    drives_[static_cast<char>(upper(std::string(1, letter))[0])] = h;
}

SimFileSystem::Parsed SimFileSystem::parse(const std::string& path) const {
    Parsed p;
    if (path.empty()) return p;
    std::string s = path;
    std::replace(s.begin(), s.end(), '/', '\\');
    if (s.size() >= 2 && s[0] == '\\' && s[1] == '\\') return p;  // no network paths here
    std::string rest;
    bool absolute;
    if (s.size() >= 2 && s[1] == ':' && std::isalpha(static_cast<unsigned char>(s[0]))) {
        p.drive = upper(s.substr(0, 1))[0];
        rest = s.substr(2);
        absolute = !rest.empty() && rest[0] == '\\';
        if (!absolute && p.drive == curDrive_) p.comps = curComps_;
    } else {
        p.drive = curDrive_;
        rest = s;
        absolute = !rest.empty() && rest[0] == '\\';
        if (!absolute) p.comps = curComps_;
    }
    if (!drives_.count(p.drive)) return p;
    size_t i = 0;
    while (i <= rest.size()) {
        size_t j = rest.find('\\', i);
        if (j == std::string::npos) j = rest.size();
        std::string t = rest.substr(i, j - i);
        bool last = rest.find_first_not_of('\\', j) == std::string::npos;
        i = j + 1;
        if (t.empty()) continue;
        if (t == ".") continue;
        if (t == "..") {
            if (!p.comps.empty()) p.comps.pop_back();
            continue;
        }
        // Windows drops trailing dots and blanks of a component.
        while (!t.empty() && (t.back() == '.' || t.back() == ' ')) t.pop_back();
        if (t.empty()) continue;
        for (char ch : t) {
            unsigned char c = static_cast<unsigned char>(ch);
            if (c < 32 || std::strchr("<>:\"|", c)) return p;
            if (c == '*' || c == '?') {
                if (!last) return p;
                p.wild = true;
            }
        }
        p.comps.push_back(t);
    }
    p.trailingSep = !rest.empty() && rest.back() == '\\' && !p.comps.empty();
    p.ok = true;
    return p;
}

SimFileSystem::SimFileSystem() {
    // Folder tables follow the host folders through change notifications, so a lookup costs
    // no directory scan; without them every lookup scans the folder again.
    notify_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
}

SimFileSystem::~SimFileSystem() {
    if (notify_ >= 0) ::close(notify_);
}

SimFileSystem::Folder& SimFileSystem::folder(const std::string& hostFolder) {
    applyChanges();
    auto it = folders_.find(hostFolder);
    if (it == folders_.end() || it->second.watch < 0 || it->second.dirty) return rescan(hostFolder);
    return it->second;
}

void SimFileSystem::applyChanges() {
    if (notify_ < 0) return;
    alignas(inotify_event) char buf[65536];
    for (;;) {
        ssize_t n = ::read(notify_, buf, sizeof buf);
        if (n <= 0) return;
        for (ssize_t off = 0; off < n;) {
            const auto* ev = reinterpret_cast<const inotify_event*>(buf + off);
            off += static_cast<ssize_t>(sizeof(inotify_event) + ev->len);
            if (ev->mask & IN_Q_OVERFLOW) {
                for (auto& [_, f] : folders_) f.dirty = true;
                continue;
            }
            auto w = watchFolder_.find(ev->wd);
            if (w == watchFolder_.end()) continue;
            const std::string host = w->second;
            auto fit = folders_.find(host);
            if (ev->mask & IN_IGNORED) {  // the folder went away; its watch with it
                if (fit != folders_.end() && fit->second.watch == ev->wd) folders_.erase(fit);
                watchFolder_.erase(w);
                continue;
            }
            if (fit == folders_.end()) continue;
            Folder& f = fit->second;
            if (ev->mask & (IN_DELETE_SELF | IN_MOVE_SELF)) {
                // Moved by this object: the table already sits under the new path.
                if (!hostIsDir(host)) f.dirty = true;
                continue;
            }
            if (ev->len == 0) continue;
            std::string name = ev->name;
            if (isTemp(name)) continue;
            // Each change is checked against the folder as it is now, so changes already
            // seen by a scan or made by this object are not applied twice.
            bool there = hostExists(host + "/" + name);
            if (there && !f.items.count(name)) {
                generation_++;
                addItem(f, name);
            } else if (!there && f.items.count(name)) {
                forgetItem(f, name);
            }
        }
    }
}

SimFileSystem::Folder& SimFileSystem::rescan(const std::string& hostFolder) {
    Folder& f = folders_[hostFolder];
    f.dirty = false;
    if (notify_ >= 0 && f.watch < 0) {
        f.watch = ::inotify_add_watch(notify_, hostFolder.c_str(),
                                      IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                          IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR);
        if (f.watch >= 0) {
            // A folder reached under two paths shares one watch; the newer path keeps it.
            auto old = watchFolder_.find(f.watch);
            if (old != watchFolder_.end() && old->second != hostFolder) {
                auto o = folders_.find(old->second);
                if (o != folders_.end()) o->second.watch = -1;
            }
            watchFolder_[f.watch] = hostFolder;
        }
    }
    const uint64_t gen = ++generation_;
    std::vector<std::string> fresh;
    std::error_code ec;
    for (fsys::directory_iterator it(hostFolder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (isTemp(name)) continue;
        auto found = f.items.find(name);
        if (found != f.items.end()) found->second.seen = gen;
        else fresh.push_back(name);
    }
    std::vector<std::string> gone;
    for (auto& [name, item] : f.items)
        if (item.seen != gen) gone.push_back(name);
    for (auto& name : gone) forgetItem(f, name);
    // Files that appeared behind the object's back are taken in name order, so the aliases
    // they get do not depend on the host's directory order.
    std::sort(fresh.begin(), fresh.end());
    for (auto& name : fresh) addItem(f, name);
    return f;
}

void SimFileSystem::addItem(Folder& f, const std::string& name) {
    Item& item = f.items[name];
    item.seen = generation_;
    f.byUpper.emplace(upper(name), name);
    if (!isShortName(name)) assignAlias(f, name, item);
}

void SimFileSystem::forgetItem(Folder& f, const std::string& name) {
    auto it = f.items.find(name);
    if (it == f.items.end()) return;
    const Item& item = it->second;
    if (!item.alias.empty()) {
        // The freed tail may be the lowest free one for any basis that shares its first
        // characters, so every search starts from 1 again.
        f.byAlias.erase(item.alias);
        f.tailHint.clear();
    }
    auto u = f.byUpper.find(upper(name));
    if (u != f.byUpper.end() && u->second == name) {
        f.byUpper.erase(u);
        // Another stored name that differs only in case takes over the long name.
        for (auto& [other, _] : f.items)
            if (other != name && sameText(other, name)) {
                f.byUpper.emplace(upper(other), other);
                break;
            }
    }
    f.items.erase(it);
}

// The alias of a long name: upper case; blanks and embedded dots dropped; leading dots
// dropped; + , ; = [ ] replaced by '_'; the part before the last dot cut so that it and the
// tail "~N" fill at most 8 characters; the first 3 characters after the last dot as the
// extension. N is the lowest number whose alias is free in the folder (no other alias and
// no long name equal to it), so aliases are numbered in creation order.
void SimFileSystem::assignAlias(Folder& f, const std::string& name, Item& item) {
    std::string u = upper(name);
    size_t start = u.find_first_not_of('.');
    if (start == std::string::npos) start = u.size();
    size_t lastDot = u.rfind('.');
    if (lastDot != std::string::npos && lastDot < start) lastDot = std::string::npos;
    auto clean = [](const std::string& s) {
        std::string r;
        for (char ch : s) {
            if (ch == ' ' || ch == '.') continue;
            r += std::strchr("+,;=[]", ch) && ch != 0 ? '_' : ch;
        }
        return r;
    };
    std::string primary =
        clean(u.substr(start, lastDot == std::string::npos ? std::string::npos : lastDot - start));
    std::string ext = lastDot == std::string::npos ? std::string() : clean(u.substr(lastDot + 1));
    if (primary.size() > 8) primary.resize(8);
    if (ext.size() > 3) ext.resize(3);
    std::string key = primary + "." + ext;
    int& hint = f.tailHint[key];
    for (int n = hint > 0 ? hint : 1; n <= 999999; ++n) {
        std::string tail = "~" + std::to_string(n);
        std::string alias = primary.substr(0, 8 - tail.size()) + tail;
        if (!ext.empty()) alias += "." + ext;
        if (f.byAlias.count(alias) || f.byUpper.count(alias)) continue;
        item.alias = alias;
        f.byAlias.emplace(alias, name);
        hint = n + 1;
        return;
    }
}

std::optional<std::string> SimFileSystem::lookup(const std::string& hostFolder,
                                                 const std::string& name) {
    Folder& f = folder(hostFolder);
    std::string u = upper(name);
    auto it = f.byUpper.find(u);
    if (it != f.byUpper.end()) return it->second;
    it = f.byAlias.find(u);
    if (it != f.byAlias.end()) return it->second;
    return std::nullopt;
}

SimFileSystem::Walk SimFileSystem::walk(const Parsed& p) {
    Walk w;
    if (!p.ok) return w;
    std::string host = drives_[p.drive];
    if (p.comps.empty()) {
        w.parentOk = w.found = w.isRoot = w.isDir = hostIsDir(host);
        w.host = host;
        return w;
    }
    for (size_t k = 0; k < p.comps.size(); ++k) {
        if (!hostIsDir(host)) return w;
        bool last = k + 1 == p.comps.size();
        if (last) {
            w.parentOk = true;
            w.parentHost = host;
        }
        if (last && p.wild) return w;
        auto stored = lookup(host, p.comps[k]);
        if (!stored) return w;
        const Item& item = folders_[host].items[*stored];
        w.shortNames.push_back(item.alias.empty() ? *stored : item.alias);
        host += "/" + *stored;
        if (last) {
            w.found = true;
            w.host = host;
            w.hostName = *stored;
            w.isDir = hostIsDir(host);
        }
    }
    return w;
}

DirEntry SimFileSystem::entryOf(const std::string& hostFolder, const std::string& name) {
    DirEntry e;
    e.longName = name;
    struct stat st;
    if (::stat((hostFolder + "/" + name).c_str(), &st) == 0) {
        e.directory = S_ISDIR(st.st_mode);
        e.size = e.directory ? 0 : static_cast<uint64_t>(st.st_size);
        e.modified = static_cast<int64_t>(st.st_mtime);
    }
    if (!attributes_.empty()) {
        auto a = attributes_.find(hostFolder + "/" + name);
        if (a != attributes_.end()) {
            e.hidden = a->second.first;
            e.system = a->second.second;
        }
    }
    if (name != "." && name != "..") {
        auto& items = folders_[hostFolder].items;
        auto it = items.find(name);
        if (it != items.end()) e.shortName = it->second.alias;
    }
    return e;
}

std::string SimFileSystem::hostPath(const std::string& path) {
    Walk w = walk(parse(path));
    return w.found ? w.host : std::string();
}

bool SimFileSystem::exists(const std::string& path) {
    Parsed p = parse(path);
    Walk w = walk(p);
    return w.found && (w.isDir || !p.trailingSep);
}

bool SimFileSystem::isDirectory(const std::string& path) {
    Walk w = walk(parse(path));
    return w.found && w.isDir;
}

std::optional<DirEntry> SimFileSystem::findEntry(const std::string& path) {
    Parsed p = parse(path);
    if (!p.ok || p.trailingSep || p.comps.empty()) return std::nullopt;
    if (p.wild) {
        std::string folderPath = std::string(1, p.drive) + ":";
        for (size_t k = 0; k + 1 < p.comps.size(); ++k) folderPath += "\\" + p.comps[k];
        auto all = list(folderPath + "\\", p.comps.back());
        if (all.empty()) return std::nullopt;
        return all.front();
    }
    Walk w = walk(p);
    if (!w.found) return std::nullopt;
    return entryOf(w.parentHost, w.hostName);
}

std::vector<DirEntry> SimFileSystem::list(const std::string& folderPath,
                                          const std::string& pattern) {
    std::vector<DirEntry> out;
    if (pattern.empty()) return out;
    Parsed p = parse(folderPath);
    if (p.wild) return out;
    Walk w = walk(p);
    if (!w.found || !w.isDir) return out;
    const std::string pat = DosPattern(pattern);
    if (!w.isRoot) {
        for (const char* dot : {".", ".."})
            if (DosMatch(pat, dot)) {
                DirEntry e;
                e.longName = dot;
                e.directory = true;
                struct stat st;
                if (::stat(w.host.c_str(), &st) == 0) e.modified = static_cast<int64_t>(st.st_mtime);
                out.push_back(e);
            }
    }
    Folder& f = folder(w.host);
    std::vector<std::pair<std::string, std::string>> hits;  // (upper name, stored name)
    for (auto& [name, item] : f.items)
        if (DosMatch(pat, name) || (!item.alias.empty() && DosMatch(pat, item.alias)))
            hits.emplace_back(upper(name), name);
    std::sort(hits.begin(), hits.end());
    for (auto& h : hits) out.push_back(entryOf(w.host, h.second));
    return out;
}

std::optional<std::string> SimFileSystem::shortPath(const std::string& path) {
    Parsed p = parse(path);
    Walk w = walk(p);
    if (!w.found || (p.trailingSep && !w.isDir)) return std::nullopt;
    // Keep the drive letter as the caller wrote it.
    std::string drive(1, p.drive);
    if (path.size() >= 2 && path[1] == ':') drive = path.substr(0, 1);
    std::string r = drive + ":";
    for (auto& s : w.shortNames) r += "\\" + s;
    if (w.isRoot || p.trailingSep) r += "\\";
    return r;
}

bool SimFileSystem::readFile(const std::string& path, std::string& bytes) {
    Parsed p = parse(path);
    Walk w = walk(p);
    if (!w.found || w.isDir || p.trailingSep) return false;
    FILE* f = std::fopen(w.host.c_str(), "rb");
    if (!f) return false;
    std::string data;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) data.append(buf, n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    if (ok) bytes = std::move(data);
    return ok;
}

std::string SimFileSystem::roKey(const Parsed& p) {
    std::string key = std::string(1, p.drive) + ":";
    std::string host = drives_.count(p.drive) ? drives_[p.drive] : std::string();
    bool resolving = !host.empty();
    for (auto& c : p.comps) {
        std::string name = c;
        if (resolving) {
            auto stored = hostIsDir(host) ? lookup(host, c) : std::nullopt;
            if (stored) {
                name = *stored;
                host += "/" + *stored;
            } else {
                resolving = false;
            }
        }
        key += "\\" + upper(name);
    }
    return key;
}

bool SimFileSystem::refused(const Parsed& p) {
    if (readOnly_.empty()) return false;
    std::string key = roKey(p);
    for (auto& ro : readOnly_)
        if (key == ro || key.compare(0, ro.size() + 1, ro + "\\") == 0) return true;
    return false;
}

void SimFileSystem::setReadOnly(const std::string& path, bool readOnly) {
    Parsed p = parse(path);
    if (!p.ok) return;
    std::string key = roKey(p);
    auto it = std::find(readOnly_.begin(), readOnly_.end(), key);
    if (readOnly && it == readOnly_.end()) readOnly_.push_back(key);
    if (!readOnly && it != readOnly_.end()) readOnly_.erase(it);
}

void SimFileSystem::setInUse(const std::string& path, bool inUse) {
    Parsed p = parse(path);
    if (!p.ok) return;
    std::string key = roKey(p);
    auto it = std::find(inUse_.begin(), inUse_.end(), key);
    if (inUse && it == inUse_.end()) inUse_.push_back(key);
    if (!inUse && it != inUse_.end()) inUse_.erase(it);
}

bool SimFileSystem::held(const Parsed& p) {
    return !inUse_.empty() && std::find(inUse_.begin(), inUse_.end(), roKey(p)) != inUse_.end();
}

void SimFileSystem::setDiskFull(bool full) { diskFull_ = full; }

void SimFileSystem::setDriveFull(char letter, bool full) {
    const char u = upper(std::string(1, letter))[0];
    fullDrives_.erase(std::remove(fullDrives_.begin(), fullDrives_.end(), u), fullDrives_.end());
    if (full) fullDrives_.push_back(u);
}

bool SimFileSystem::full(const Parsed& p) const {
    return diskFull_ || std::find(fullDrives_.begin(), fullDrives_.end(), p.drive) != fullDrives_.end();
}

void SimFileSystem::setAttributes(const std::string& path, bool hidden, bool system) {
    std::string host = hostPath(path);
    if (!host.empty()) attributes_[host] = {hidden, system};
}

void SimFileSystem::setDriveReady(char letter, bool ready) {
    char u = upper(std::string(1, letter))[0];
    notReady_.erase(std::remove(notReady_.begin(), notReady_.end(), u), notReady_.end());
    if (!ready) notReady_.push_back(u);
}

void SimFileSystem::setDriveInfo(char letter, DriveType type, const std::string& label) {
    char u = upper(std::string(1, letter))[0];
    DriveInfo& d = driveInfo_[u];
    d.letter = lower(std::string(1, u))[0];
    d.type = type;
    d.label = label;
}

std::vector<DriveInfo> SimFileSystem::drives() {
    std::vector<DriveInfo> out;
    for (auto& [letter, host] : drives_) {
        auto it = driveInfo_.find(letter);
        if (it != driveInfo_.end()) {
            out.push_back(it->second);
        } else {
            DriveInfo d;
            d.letter = lower(std::string(1, letter))[0];
            d.type = DriveType::Fixed;
            out.push_back(d);
        }
    }
    return out;
}

bool SimFileSystem::driveReady(char letter) {
    char u = upper(std::string(1, letter))[0];
    return drives_.count(u) && std::find(notReady_.begin(), notReady_.end(), u) == notReady_.end();
}

void SimFileSystem::failAfterBytes(int64_t n) { byteBudget_ = n < 0 ? -1 : n; }

bool SimFileSystem::writeFileAtomic(const std::string& path, const std::string& bytes,
                                    uint64_t* written) {
    if (written) *written = 0;
    Parsed p = parse(path);
    if (!p.ok || p.wild || p.trailingSep || p.comps.empty()) return false;
    Walk w = walk(p);
    if (!w.parentOk) return false;
    if (w.found && w.isDir) return false;
    std::string name = w.found ? w.hostName : p.comps.back();
    if (!w.found && !validNewName(name)) return false;
    if (refused(p) || held(p) || full(p)) return false;

    // Write everything to a temporary file beside the target, then rename it over the
    // target: a failure at any point leaves the old file as it was.
    std::string tmp = w.parentHost + "/" + kTempPrefix + std::to_string(++tempCounter_);
    FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) return false;
    size_t toWrite = bytes.size();
    bool fail = false;
    if (byteBudget_ >= 0) {
        if (static_cast<uint64_t>(byteBudget_) < toWrite) {
            toWrite = static_cast<size_t>(byteBudget_);
            fail = true;
        }
        byteBudget_ -= static_cast<int64_t>(toWrite);
    }
    if (toWrite && std::fwrite(bytes.data(), 1, toWrite, f) != toWrite) fail = true;
    else if (written) *written = toWrite;
    if (std::fclose(f) != 0) fail = true;
    std::string target = w.parentHost + "/" + name;
    std::error_code ec;
    if (!fail) {
        fsys::rename(tmp, target, ec);
        if (ec) fail = true;
    }
    if (fail) {
        fsys::remove(tmp, ec);
        return false;
    }
    if (!w.found) folder(w.parentHost);  // a new file takes the next alias now
    return true;
}

bool SimFileSystem::moveFile(const std::string& from, const std::string& to) {
    Parsed pf = parse(from), pt = parse(to);
    if (!pf.ok || !pt.ok || pf.wild || pt.wild || pf.comps.empty() || pt.comps.empty())
        return false;
    Walk wf = walk(pf);
    if (!wf.found || (pf.trailingSep && !wf.isDir)) return false;
    Walk wt = walk(pt);
    if (!wt.parentOk) return false;
    bool sameEntry = wt.found && wt.host == wf.host;
    if (wt.found && !sameEntry) return false;
    std::string newName = pt.comps.back();
    if (!validNewName(newName)) return false;
    if (refused(pf) || refused(pt)) return false;
    if (sameEntry && newName == wf.hostName) return true;
    if (pf.drive != pt.drive && !wf.isDir) {
        if (full(pt)) return false;
        return copyThenRemove(pf, wf, wt.parentHost + "/" + newName);
    }
    if (held(pf)) return false;
    // A folder cannot move into itself or below itself.
    if (wf.isDir && (wt.parentHost == wf.host || wt.parentHost.compare(0, wf.host.size() + 1,
                                                                        wf.host + "/") == 0))
        return false;

    std::string target = wt.parentHost + "/" + newName;
    std::error_code ec;
    fsys::rename(wf.host, target, ec);
    if (ec) return false;

    // The entry leaves its old folder's table (freeing its alias) and gets an alias in the
    // new one; a change of case alone gets the alias it had back, as the lowest free tail.
    forgetItem(folders_[wf.parentHost], wf.hostName);
    folder(wt.parentHost);
    // Alias tables of folders inside a moved folder follow it to its new place.
    if (wf.isDir) {
        std::string oldPrefix = wf.host;
        std::vector<std::pair<std::string, Folder>> moved;
        for (auto it = folders_.begin(); it != folders_.end();) {
            const std::string& k = it->first;
            if (k == oldPrefix || k.compare(0, oldPrefix.size() + 1, oldPrefix + "/") == 0) {
                moved.emplace_back(target + k.substr(oldPrefix.size()), std::move(it->second));
                it = folders_.erase(it);
            } else {
                ++it;
            }
        }
        for (auto& m : moved) {
            if (m.second.watch >= 0) watchFolder_[m.second.watch] = m.first;
            folders_[m.first] = std::move(m.second);
        }
    }
    return true;
}

bool SimFileSystem::copyThenRemove(const Parsed& pf, const Walk& wf, const std::string& target) {
    std::error_code ec;
    fsys::copy_file(wf.host, target, ec);
    if (ec) {
        fsys::remove(target, ec);
        return false;
    }
    folder(fsys::path(target).parent_path().string());
    if (held(pf)) return false;  // the copy stays, the original cannot be removed
    if (!fsys::remove(wf.host, ec) || ec) return false;
    forgetItem(folders_[wf.parentHost], wf.hostName);
    return true;
}

bool SimFileSystem::createNewFile(const std::string& path, const std::string& bytes) {
    return !exists(path) && writeFileAtomic(path, bytes);
}

bool SimFileSystem::deleteFile(const std::string& path) {
    Parsed p = parse(path);
    if (!p.ok || p.wild || p.trailingSep) return false;
    Walk w = walk(p);
    if (!w.found || w.isDir) return false;
    if (refused(p) || held(p)) return false;
    std::error_code ec;
    if (!fsys::remove(w.host, ec) || ec) return false;
    forgetItem(folders_[w.parentHost], w.hostName);
    return true;
}

bool SimFileSystem::createDirectory(const std::string& path) {
    Parsed p = parse(path);
    if (!p.ok || p.wild || p.comps.empty()) return false;
    Walk w = walk(p);
    if (!w.parentOk || w.found) return false;
    if (!validNewName(p.comps.back()) || refused(p)) return false;
    std::error_code ec;
    if (!fsys::create_directory(w.parentHost + "/" + p.comps.back(), ec) || ec) return false;
    folder(w.parentHost);
    return true;
}

bool SimFileSystem::setCurrentDirectory(const std::string& path) {
    Parsed p = parse(path);
    Walk w = walk(p);
    if (!w.found || !w.isDir) return false;
    curDrive_ = p.drive;
    curComps_ = p.comps;
    return true;
}

std::string SimFileSystem::currentDirectory() {
    std::string r = std::string(1, curDrive_) + ":";
    for (auto& c : curComps_) r += "\\" + c;
    if (curComps_.empty()) r += "\\";
    return r;
}

void SimFileSystem::setWindowsDirectory(const std::string& path) { windowsDir_ = path; }

std::string SimFileSystem::windowsDirectory() {
    if (!isDirectory(windowsDir_)) createDirectory(windowsDir_);
    return windowsDir_;
}

}  // namespace kv
