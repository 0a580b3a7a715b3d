// Slideshow scripts ("AV List Slideshow", .avl): moving a script between its file and the
// slide table.
//
// A script is an INI file. It is read once, whole, and parsed by the INI engine with the
// profile service's rules, and written in one pass from a document built in memory with the
// same bytes as writing it key by key into a new file. Writing goes to a temporary file beside
// the target that then replaces it, so a failed save leaves the previous script as it was;
// the profile service's cached copy of the file is dropped afterwards.
#include <algorithm>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "editor/catalog_id.h"
#include "editor/editor_form.h"
#include "editor/profile_values.h"
#include "explorer/explorer_dialog.h"
#include "framework/error.h"
#include "framework/ini.h"
#include "framework/platform.h"
#include "framework/settings.h"
#include "framework/text.h"
#include "framework/names.h"

namespace kv::editor {

namespace {

const char kBadScript[] = "Bad AVL file.";
const char kSaveAborted[] = "Save aborted at slide #";
const char kSaveAbortedReason[] = "Too many slides or features.";
const char kTooManySlides[] =
    "Too many slides ?\nUp to 1800 slides are supported\ndepending on script complexity.";

// Above this many rows a loaded script gets the too-many-slides warning.
constexpr int kWarnRows = 1600;
// The version SaveFile writes; from 4 on a script has N and Directory, from 6 on B and G
// are hexadecimal.
constexpr int kVersionWritten = 7;

constexpr const char* kMediaExtensions = ".FLI.FLC.FLX.AVI.MOV.MPG.DAT.WAV.MID.AVL";
constexpr const char* kVideoExtensions = ".AVI.MOV.MPG.DAT";
constexpr const char* kAudioExtensions = ".WAV.MID";
constexpr const char* kAnimationExtensions = ".FLI.FLC.FLX";
constexpr const char* kScriptExtensions = ".AVL";
// Kinds whose effect cell shows a loop count.
constexpr const char* kLoopExtensions = ".AVI.MOV.MPG.FLI.FLC.FLX.DAT";

enum class Kind { CdTrack, Graphic, Video, Audio, Animation, Script };

// Substring test of an upper-cased extension in a list; an empty extension never occurs.
bool occursIn(const std::string& ext, const char* list) { return pos(ext, list) > 0; }

Kind kindOf(const std::string& path, const std::string& ext) {
    if (path == BlankMarker) return Kind::CdTrack;
    if (!occursIn(ext, kMediaExtensions)) return Kind::Graphic;
    if (occursIn(ext, kVideoExtensions)) return Kind::Video;
    if (occursIn(ext, kAudioExtensions)) return Kind::Audio;
    if (occursIn(ext, kAnimationExtensions)) return Kind::Animation;
    if (occursIn(ext, kScriptExtensions)) return Kind::Script;
    return Kind::Graphic;  // not reached: every extension in the media list is in one group
}

}  // namespace

// Where the profile service keeps a file: a name without any folder lies in the Windows
// directory. Scripts are read and written at that place so that a name given without a folder
// (a missing AVLTMP reads as "ERROR") means the same file as through the profile service.
std::string profileFilePath(const std::string& file) {
    if (file.find_first_of("\\/:") != std::string::npos) return file;
    std::string dir = ports().fs->windowsDirectory();
    if (!dir.empty() && dir.back() != '\\') dir += '\\';
    return dir + file;
}

// Integer value of a profile value: "0x" followed by something is hexadecimal, anything that
// is not an integer gives def.
int32_t profileInteger(const std::string& s, int32_t def) {
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) return strToIntDef("$" + s.substr(2), def);
    return strToIntDef(s, def);
}

namespace {

// Decimal text of a hexadecimal value; empty optional when it is not hexadecimal.
std::optional<std::string> hexToDecimal(const std::string& s) {
    auto v = strToInt("$" + s);
    if (!v) return std::nullopt;
    return intToStr(*v);
}

// Restores the cursor and hides the gauge however a load or save ends.
struct BusyScope {
    Gauge* gauge;
    explicit BusyScope(Gauge* g) : gauge(g) { ports().user->setCursor(CursorKind::HourGlass); }
    ~BusyScope() {
        gauge->setVisible(false);
        ports().user->setCursor(CursorKind::Default);
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;
};

// The directory table of a script being read: entries "key=value" looked up by key, without
// regard to case, the first entry of a key winning.
class DirectoryLookup {
public:
    explicit DirectoryLookup(const std::vector<std::string>& entries) {
        for (const std::string& e : entries) {
            size_t eq = e.find('=');
            if (eq == std::string::npos) continue;
            byKey_.emplace(upper(std::string_view(e).substr(0, eq)), e.substr(eq + 1));
        }
    }
    std::string find(int32_t number) const {
        auto it = byKey_.find(intToStr(number));
        return it == byKey_.end() ? std::string() : it->second;
    }

private:
    std::unordered_map<std::string, std::string> byKey_;
};

// Short paths and long names of slide files, as GetShortPath and GetLongFileName give them.
// Looking a file up through the path services walks every folder of its path, twice: a dozen
// directory searches per slide, which on some platforms is most of the time a large script
// takes to load. So the short form of each folder is found once, a file is found by one
// search in its folder, and once several slides have come from one folder, the folder is
// listed once and its entries answer for the files found in it. Files not found that way,
// and paths of unusual form, are still looked up through the services, so the answers are
// the same either way.
class SlideNames {
public:
    // lower-case short path and long file name of an existing or missing file
    void resolve(const std::string& path, std::string& shortLower, std::string& longName) {
        if (plainPath(path)) {
            const std::string folder = folderPart(path), name = namePart(path);
            Folder& f = folders_[upper(folder)];
            if (!f.tried && ++f.uses >= kListAfter) list(f, folder);
            if (f.listed) {
                auto it = f.byName.find(upper(name));
                if (it != f.byName.end()) {
                    if (answer(f, f.entries[it->second], shortLower, longName)) return;
                } else if (f.missing || asciiOnly(name)) {
                    passThrough(path, shortLower, longName);
                    return;
                }
            } else if (!f.tried && knowPrefix(f, folder)) {
                if (f.missing) {
                    passThrough(path, shortLower, longName);
                    return;
                }
                const std::vector<DirEntry> found = ports().fs->list(folder, name);
                if (found.size() == 1 && answer(f, found.front(), shortLower, longName)) return;
                if (found.empty() && asciiOnly(name)) {
                    passThrough(path, shortLower, longName);
                    return;
                }
            }
        }
        shortLower = lower(GetShortPath(path));
        longName = GetLongFileName(path);
    }

private:
    static constexpr int kListAfter = 4;
    static constexpr size_t kShortPathBuffer = 255;  // the short-path service's buffer

    struct Folder {
        int uses = 0;
        bool tried = false;        // listing was attempted
        bool listed = false;       // the listing answers for the folder's files
        bool prefixTried = false;  // the folder's short form was asked for
        bool prefixKnown = false;  // ... and is known (or the folder is missing)
        bool missing = false;      // the folder does not exist
        std::string shortPrefix;                          // the folder's short form, lower case
        std::vector<DirEntry> entries;
        std::unordered_map<std::string, size_t> byName;  // upper-cased long and short names
    };
    std::unordered_map<std::string, Folder> folders_;

    // A drive path of plain folder and file names: nothing a search would treat specially
    // (wildcards, "." or ".." parts, names ending in a dot or blank, doubled backslashes).
    static bool plainPath(const std::string& p) {
        if (p.size() < 4 || p[1] != ':' || p[2] != '\\') return false;
        const char d = static_cast<char>(p[0] | 0x20);
        if (d < 'a' || d > 'z') return false;
        if (p.find_first_of("/*?\"<>|", 2) != std::string::npos) return false;
        if (p.back() == '\\' || p.back() == '.' || p.back() == ' ') return false;
        for (size_t i = 3; i < p.size(); ++i) {
            if (p[i] != '\\') continue;
            const char before = p[i - 1];
            if (before == '\\' || before == '.' || before == ' ') return false;
        }
        return true;
    }

    static bool asciiOnly(const std::string& s) {
        for (char c : s)
            if (static_cast<unsigned char>(c) >= 0x80) return false;
        return true;
    }

    // The file's answer from its folder's entry; false when the short path would not fit the
    // short-path service's buffer (that service then gives the path back unchanged).
    static bool answer(const Folder& f, const DirEntry& e, std::string& shortLower, std::string& longName) {
        std::string s = f.shortPrefix + (e.shortName.empty() ? e.longName : e.shortName);
        if (s.size() >= kShortPathBuffer) return false;
        shortLower = lower(s);
        longName = e.shortName.empty() ? lower(e.longName) : e.longName;
        return true;
    }

    // A file that is not there: both services give its own name back.
    static void passThrough(const std::string& path, std::string& shortLower, std::string& longName) {
        shortLower = lower(path);
        longName = lower(namePart(path));
    }

    // The folder's short form (or that it is missing), found once. False when the folder is
    // there but has no short form: its files are then looked up through the services.
    static bool knowPrefix(Folder& f, const std::string& folder) {
        if (f.prefixTried) return f.prefixKnown;
        f.prefixTried = true;
        FileSystemPort& fs = *ports().fs;
        if (folder.size() == 3) {
            f.shortPrefix = lower(folder);
        } else {
            const std::string bare = folder.substr(0, folder.size() - 1);
            auto s = fs.shortPath(bare);
            if (!s || s->empty()) {
                f.missing = !fs.exists(bare);
                return f.prefixKnown = f.missing;
            }
            f.shortPrefix = lower(*s) + "\\";
        }
        return f.prefixKnown = true;
    }

    static void list(Folder& f, const std::string& folder) {
        f.tried = true;
        if (!knowPrefix(f, folder)) return;
        if (f.missing) {
            f.listed = true;  // none of its files exists
            return;
        }
        f.entries = ports().fs->list(folder, "*.*");
        // A folder that lists nothing could not be read: search per file.
        f.listed = !f.entries.empty();
        for (size_t i = 0; i < f.entries.size(); ++i) {
            const DirEntry& e = f.entries[i];
            if (e.longName == "." || e.longName == "..") continue;
            f.byName.emplace(upper(e.longName), i);
            if (!e.shortName.empty()) f.byName.emplace(upper(e.shortName), i);
        }
    }
};

// One slide section as it is read: the keys of the version in use.
struct SlideReader {
    const IniDocument& doc;
    bool old;
    int version;

    std::string str(const std::string& section, const char* oldKey, const char* key, const char* def) const {
        return doc.readString(section, old ? oldKey : key, def);
    }
};

}  // namespace

// ---- SaveFile ----------------------------------------------------------------------------

namespace {

// The slide whose section holds byte `at` of a script as SaveFile builds it. Sections stand in
// the order Header, Directory, 1 to n, so the k-th section from the third on is slide k - 2,
// and a failure in the first two counts as the header (0). A write that stored every byte
// failed while closing or replacing the file, after the last slide.
int slideAtByte(const std::string& bytes, uint64_t at, int n) {
    if (at >= bytes.size()) return n;
    int sections = 0;
    for (size_t i = 0; i <= at; ++i)
        if (bytes[i] == '[' && (i == 0 || bytes[i - 1] == '\n')) ++sections;
    return std::max(0, sections - 2);
}

}  // namespace

void removeUnwrittenPlaceholder(const std::string& file) {
    static const std::string placeholder("\0\0\1\0", 4);  // what the dialog writes there
    FileSystemPort& fs = *ports().fs;
    const std::optional<DirEntry> e = fs.findEntry(file);
    std::string bytes;
    if (e && !e->directory && e->size == placeholder.size() && fs.readFile(file, bytes) && bytes == placeholder)
        fs.deleteFile(file);
}

void TEditorForm::SaveFile(bool temporary) {
    EditorState& st = editorState();
    IniFile settings(SettingsFileName);
    std::string target;

    if (!temporary) {
        settings.writeString(SettingsSection, "SaveAs", st.ScriptTitle);
        if (explorer::RemoteDlg95(explorer::ModeSaveScript, 0) == -1) {
            st.modified = true;
            return;
        }
        const std::string name = settings.readString(SettingsSection, "SaveName", "ERROR");
        settings.writeString(SettingsSection, "AVLNOW", name);
        if (name == "ERROR") return;
        st.modified = false;
        st.CurrentScript = name;
        target = name;
    }

    BusyScope busy(Gauge);
    if (temporary) target = st.TempScript;
    const std::string file = profileFilePath(target);

    const int rows = Grid->rowCount();
    const int n = rows - 1;
    int slide = 0;  // the slide being written, 0 for the header
    bool failed = false;
    try {
        st.DirectoryTable.assign(1, st.AppDir);
        std::unordered_map<std::string, int> dirNumbers;  // upper-cased directory -> number
        dirNumbers.emplace(upper(st.AppDir), 0);

        IniBuilder out;
        out.reserve(static_cast<size_t>(n) * 48 + 256, static_cast<size_t>(n) * 6 + 16);  // a slide: ~5 keys
        out.add("Header", "Ver", intToStr(kVersionWritten));
        out.add("Header", "ScreenW", intToStr(ports().user->displayWidth()));
        out.add("Header", "ScreenH", intToStr(ports().user->displayHeight()));
        out.add("Header", "N", intToStr(rows));
        if (st.CatalogId.empty()) st.CatalogId = NewCatalogId();
        out.add("Header", "Cat", st.CatalogId);
        out.add("Directory", "0", st.AppDir);

        Gauge->setRange(1, std::max(1, n));
        Gauge->setVisible(true);
        for (int i = 1; i <= n; ++i) {
            slide = i;
            Gauge->setProgress(i);
            const std::vector<std::string>& c = Grid->rowCells(i);
            const std::string section = intToStr(i);
            auto isSet = [&](int col, const char* neutral) {
                return c[col] != BlankMarker && c[col] != neutral;
            };

            const std::string& p = c[FilePath];
            if (!p.empty() && p != BlankMarker) {
                std::string d = AddTrailingBackslash(lower(folderPart(p)));
                auto [it, added] = dirNumbers.emplace(upper(d), static_cast<int>(st.DirectoryTable.size()));
                if (added) st.DirectoryTable.push_back(d);
                std::string q = upper(extensionOf(p)) == ".JPG" ? copy(p, 1, static_cast<int>(p.size()) - 4) : p;
                out.add(section, "F", namePart(q) + "," + intToStr(it->second));
            } else {
                out.add(section, "F", BlankMarker);
            }
            if (c[UseColor] == "Yes") out.add(section, "B", hexText(static_cast<uint32_t>(strToIntDef(c[ColorValue], 0))));
            if (c[Param] != BlankMarker) out.add(section, "X", c[Param]);
            if (isSet(Wait, "0")) out.add(section, "W", c[Wait]);
            if (c[HorzPos] != BlankMarker && c[VertPos] != BlankMarker && c[HorzPos] != "Mid" && c[VertPos] != "Mid")
                out.add(section, "P", c[HorzPos] + "," + c[VertPos]);
            if (isSet(Gamma, "100")) out.add(section, "G", hexText(static_cast<uint32_t>(strToIntDef(c[Gamma], 0))));
            if (isSet(Zoom, "100")) out.add(section, "Z", c[Zoom]);
            if (isSet(Volume, "100")) out.add(section, "L", c[Volume]);
            if (isSet(Speed, "100")) out.add(section, "S", c[Speed]);
            if (c[ThumbIndex] != "-" && !c[ThumbIndex].empty()) out.add(section, "T", c[ThumbIndex]);
        }
        for (size_t k = 1; k < st.DirectoryTable.size(); ++k)
            out.add("Directory", intToStr(static_cast<long long>(k)), st.DirectoryTable[k]);

        // The file is written in one piece; the bytes stored before a failure tell which
        // slide's section was being written when it hit.
        const std::string bytes = out.bytes();
        uint64_t written = 0;
        if (!ports().fs->writeFileAtomic(file, bytes, &written)) {
            failed = true;
            slide = slideAtByte(bytes, written, n);
        } else {
            ports().profile->flush(target);
        }
    } catch (const Error&) {
        failed = true;  // issuing the catalogue id could not write THMidx
    }
    if (failed) {
        // The script on disk is not the one in the editor: closing must still ask.
        if (!temporary) {
            st.modified = true;
            removeUnwrittenPlaceholder(file);
        }
        const int m = slide > 10 ? slide - 8 : slide;
        ports().user->messageDialog(std::string(kSaveAborted) + intToStr(m) + "\n" + kSaveAbortedReason,
                                    DialogKind::Error, BtnOK);
    }

    if (!temporary && !failed) history->markSaved();
    st.ScriptTitle = GetLongFileName(file);
    setTitle(st.ScriptTitle);
}

// ---- LoadFile ----------------------------------------------------------------------------

void TEditorForm::LoadFile(bool atActivation) {
    EditorState& st = editorState();
    UserPort& user = *ports().user;
    IniFile settings(SettingsFileName);

    if (!atActivation) {
        if (st.modified &&
            user.messageDialog("Discard changes?", DialogKind::Confirmation, BtnYes | BtnNo) != ModalResult::Yes)
            return;
        if (explorer::RemoteDlg95(explorer::ModeOpenScript, 0) == -1) {
            st.modified = true;
            return;
        }
        const std::string name = settings.readString(SettingsSection, "SaveName", "ERROR");
        settings.writeString(SettingsSection, "AVLNOW", name);
        if (name == "ERROR") return;
        st.CurrentScript = name;
        st.modified = false;
    }

    EnableControls();

    std::string title;
    if (atActivation) {
        const std::string now = settings.readString(SettingsSection, "AVLNOW", "");
        if (!now.empty()) {
            title = namePart(GetLongFileName(now));
            st.modified = false;
        } else {
            title = "*New*";
            st.modified = true;
        }
    } else {
        st.ScriptTitle = GetLongFileName(st.CurrentScript);
        title = st.ScriptTitle;
        st.modified = false;
    }
    setTitle(title);

    // The whole file at once; a file that is missing or cannot be read reads as empty, as the
    // profile service gives every key its default then.
    std::string bytes;
    if (!ports().fs->readFile(profileFilePath(st.CurrentScript), bytes)) bytes.clear();
    const IniDocument doc = IniDocument::parse(bytes);

    const int version = profileInteger(doc.readString("Header", "Ver", ""), 0);
    st.CatalogId = doc.readString("Header", "Cat", "");
    const bool old = version < 4;
    if (!old) st.DirectoryTable = doc.sectionValues("Directory");

    // Row count. Old scripts are counted up to the first section without a File key. Newer
    // ones give N, but only sections that are in the file are read: the count stops at the
    // first missing slide section, so a damaged N cannot make up rows the file does not have.
    int rows = 0;
    bool truncated = false;
    if (old) {
        const char* missing = "\x01";  // no value a key can hold
        int k = 1;
        while (doc.readString(intToStr(k), "File", missing) != missing) ++k;
        rows = k;
    } else {
        const int32_t n = profileInteger(doc.readString("Header", "N", ""), 0);
        rows = n;
        for (int32_t k = 1; k < n; ++k) {
            if (!doc.hasSection(intToStr(k))) {
                rows = k;
                truncated = true;
                break;
            }
        }
    }
    if (rows <= 1) {
        Grid->releaseDrawing();
        user.messageDialog(kBadScript, DialogKind::Error, BtnOK);
        return;
    }

    BusyScope busy(Gauge);
    Gauge->setRange(1, rows - 1);
    Gauge->setVisible(true);
    Grid->beginUpdate();
    Grid->setRowCount(rows);

    const DirectoryLookup directories(old ? std::vector<std::string>{} : st.DirectoryTable);
    int32_t lastNumber = -1;
    std::string directory;
    const SlideReader r{doc, old, version};
    SlideNames names;
    int loaded = 0;
    bool failed = false;

    for (int i = 1; i < rows; ++i) {
        Gauge->setProgress(i);
        const std::string sec = intToStr(i);
        std::vector<std::string> c(ColumnCount);
        c[SlideNo] = sec;

        // Path: the file's full path, or the blank marker for a CD track.
        std::string path;
        if (old) {
            path = doc.readString(sec, "File", "ERROR");
        } else {
            const std::string f = doc.readString(sec, "F", "");
            if (f == BlankMarker) {
                path = BlankMarker;
            } else {
                const size_t comma = f.find(',');
                const std::string name = comma == std::string::npos ? std::string() : f.substr(0, comma);
                const std::string numberText = comma == std::string::npos ? f : f.substr(comma + 1);
                const int32_t number = numberText.empty() ? 0 : strToIntDef(numberText, 0);
                if (number != lastNumber) {
                    directory = directories.find(number);
                    lastNumber = number;
                }
                path = directory + name;
                if (extensionOf(path).empty()) path += ".jpg";
            }
        }
        const std::string ext = upper(extensionOf(path));
        const Kind kind = kindOf(path, ext);
        if (kind != Kind::CdTrack) {
            names.resolve(path, c[FilePath], c[DisplayName]);
        } else {
            c[FilePath] = BlankMarker;
        }

        // Colour: decimal in the table; hexadecimal in the file from version 6 on.
        std::string colour = r.str(sec, "Color", "B", "");
        if (!old && version >= 6 && !colour.empty()) {
            auto dec = hexToDecimal(colour);
            if (!dec) { failed = true; break; }
            colour = *dec;
        }
        c[ColorValue] = colour;
        c[UseColor] = colour.empty() ? "No" : "Yes";

        int32_t x = profileInteger(r.str(sec, "FX", "X", ""), 1);
        c[Wait] = r.str(sec, "Wait", "W", "0");
        if (x < 0) x = 0;
        if (kind != Kind::CdTrack && x > 29) x = 29;
        c[Param] = intToStr(x);
        c[EffectName] = effectName(std::min(x, 29));
        c[ThumbIndex] = doc.readString(sec, "T", "");

        if (kind == Kind::CdTrack) {
            c[DisplayName] = "CD Track: " + intToStr(x);
            Grid->setRowCells(i, std::move(c));
            ValidateCD(i);
            loaded = i;
            continue;
        }
        if (occursIn(ext, kLoopExtensions)) c[EffectName] = "Loop " + intToStr(static_cast<long long>(x) + 1) + "x";

        if (old) {
            c[HorzPos] = doc.readString(sec, "Hpos", "Mid");
            c[VertPos] = doc.readString(sec, "Vpos", "Mid");
        } else {
            const std::string p = doc.readString(sec, "P", "");
            const size_t comma = p.find(',');
            c[HorzPos] = comma == std::string::npos ? "Mid" : p.substr(0, comma);
            c[VertPos] = comma == std::string::npos ? "Mid" : p.substr(comma + 1);
        }

        if (kind == Kind::Graphic) {
            std::string g;
            if (old) {
                g = doc.readString(sec, "G", "100");
            } else {
                g = doc.readString(sec, "G", "0");
                if (version >= 6) {
                    auto dec = hexToDecimal(g);
                    if (!dec) { failed = true; break; }
                    g = *dec;
                }
                if (g == "0") g = "100";
            }
            c[Gamma] = g;
            Grid->setRowCells(i, std::move(c));
            ValidateGraphic(i);
            loaded = i;
            continue;
        }

        c[Gamma] = BlankMarker;
        c[Zoom] = r.str(sec, "Vid", "Z", "100");
        c[Volume] = r.str(sec, "Vol", "L", "100");
        c[Speed] = r.str(sec, "Spd", "S", "100");
        c[ThumbIndex] = "-";
        c[Tag] = BlankMarker;
        Grid->setRowCells(i, std::move(c));
        switch (kind) {
            case Kind::Audio: ValidateAudio(i); break;
            case Kind::Animation: ValidateFLI(i); break;
            case Kind::Script: ValidateAVL(i); break;
            default: break;
        }
        loaded = i;
    }

    // A slide that could not be read ends the load: the slides before it stay, and no empty
    // rows are left behind that a later save would write as slides.
    if (failed || truncated) {
        if (loaded == 0) SetUpClear();
        else Grid->setRowCount(loaded + 1);
    }
    Grid->endUpdate();
    Grid->releaseDrawing();  // the table shows behind any message below
    if (failed || truncated) user.messageDialog(kBadScript, DialogKind::Error, BtnOK);

    Gauge->setVisible(false);
    history->reset(!st.modified);  // a loaded script starts a new history
    GridClick(Grid);
    if (Grid->rowCount() > kWarnRows) user.messageDialog(kTooManySlides, DialogKind::Warning, BtnOK);
}

}  // namespace kv::editor
