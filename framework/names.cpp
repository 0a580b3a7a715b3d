#include "framework/names.h"

#include "framework/platform.h"
#include "framework/text.h"

namespace kv {

namespace {

FileSystemPort* fs() { return ports().fs; }

// The platform's short-path service writes into a buffer of this many characters, the
// terminating zero included.
constexpr size_t kShortPathBuffer = 255;

}  // namespace

std::string AddTrailingBackslash(const std::string& path) {
    std::string p = path;
    if (p == "\\" && fs()) p = fs()->currentDirectory();
    if (p.empty() || p.back() != '\\') p += '\\';
    return p;
}

std::string GetShortPath(const std::string& path) {
    if (path.empty() || !fs()) return path;
    auto s = fs()->shortPath(path);
    if (!s || s->empty() || s->size() >= kShortPathBuffer) return path;
    return *s;
}

std::string GetLongFileName(const std::string& path) {
    if (fs() && !path.empty() && fs()->exists(path)) {
        if (auto e = fs()->findEntry(path)) {
            if (e->shortName.empty()) return lower(e->longName);
            return e->longName;
        }
    }
    return lower(namePart(path));
}

std::string GetLongPath(const std::string& path) {
    if (path.size() == 3) return path;
    std::string result = copy(path, 1, 2);
    std::string shortSoFar = result;
    std::string rest = copyFrom(path, 4);
    while (!rest.empty()) {
        int b = pos("\\", rest);
        std::string component = b > 0 ? copy(rest, 1, b - 1) : rest;
        rest = b > 0 ? copyFrom(rest, b + 1) : std::string();
        shortSoFar += "\\" + component;
        result += "\\" + GetLongFileName(shortSoFar);
    }
    return result;
}

int ValidateFileName(const std::string& text) {
    std::string t = text;
    bool bad = t.find_first_of("\"><*?") != std::string::npos;
    bool fullPath = false;
    bool hasColon = t.find(':') != std::string::npos;
    bool hasBackslash = t.find('\\') != std::string::npos;
    if (hasColon && hasBackslash) {
        fullPath = true;
        std::string folder = folderPart(t);
        if (!fs() || !fs()->isDirectory(folder)) {
            if (ports().user)
                ports().user->messageDialog("Invalid path.\nPlease reenter.", DialogKind::Error, BtnOK);
            return 0;
        }
        t = namePart(t);
    } else if (hasColon || hasBackslash) {
        bad = true;
    }
    int d = pos(".", t);
    int n = static_cast<int>(t.size());
    if (d > 0 && (d == 1 || d == n || (n > 5 && d < n - 3))) bad = true;
    if (bad) {
        if (ports().user)
            ports().user->messageDialog("Invalid filename.\nPlease reenter.", DialogKind::Error, BtnOK);
        return 0;
    }
    return fullPath ? 2 : 1;
}

std::string CheckExtension(const std::string& name, const std::string& filterRowText) {
    std::string n = name;
    std::string typed = upper(extensionOf(n));
    std::string expected = copy("." + filterRowText, 1, 4);
    if (typed.empty()) {
        n += expected;
        typed = expected;
    }
    if (typed != expected) {
        std::string question = "Extension (file type) different. \n" + expected +
                               " expected instead of " + typed + "\n" + "Continue?";
        ModalResult answer = ports().user
                                 ? ports().user->messageDialog(question, DialogKind::Warning,
                                                               BtnYes | BtnNo)
                                 : ModalResult::No;
        if (answer != ModalResult::Yes) return {};
    }
    return n;
}

}  // namespace kv
