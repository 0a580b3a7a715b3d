#include "framework/names.h"

#include <vector>

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

// Windows name patterns (the sim file system's find-first and the explorer's listing): '?' before a dot or the end may match nothing, "*." matches names
// without a dot, "*.*" every name. The pattern is first rewritten as find-first does:
// '?' -> DOS_QM ('>'), '*' before '.' -> DOS_STAR ('<'), '.' before '?', '*' or the end ->
// DOS_DOT ('"'); then matched against the name without regard to case.
std::string DosPattern(const std::string& pattern) {
    std::string r = upper(pattern);
    for (size_t i = 0; i < r.size(); ++i) {
        char next = i + 1 < r.size() ? r[i + 1] : 0;
        if (r[i] == '?') r[i] = '>';
        else if (r[i] == '*' && next == '.') r[i] = '<';
        else if (r[i] == '.' && (next == '?' || next == '*' || next == 0)) r[i] = '"';
    }
    return r;
}

bool DosMatch(const std::string& pat, const std::string& name) {
    const std::string n = upper(name);
    const size_t lastDot = n.rfind('.');
    const size_t P = pat.size(), N = n.size();
    // memo[p][i]: 0 unknown, 1 no, 2 yes
    std::vector<unsigned char> memo((P + 1) * (N + 1), 0);
    auto rec = [&](auto&& self, size_t p, size_t i) -> bool {
        unsigned char& m = memo[p * (N + 1) + i];
        if (m) return m == 2;
        bool r;
        if (p == P) {
            r = i == N;
        } else {
            char c = pat[p];
            switch (c) {
            case '*':
                r = self(self, p + 1, i) || (i < N && self(self, p, i + 1));
                break;
            case '<':  // any run of characters that stops before the last dot
                r = self(self, p + 1, i) ||
                    (i < N && !(lastDot != std::string::npos && i >= lastDot) && self(self, p, i + 1));
                break;
            case '>':  // one character, or nothing at a dot or the end
                if (i < N && n[i] != '.') r = self(self, p + 1, i + 1);
                else r = self(self, p + 1, i);
                break;
            case '"':  // a dot, or nothing at the end
                if (i < N && n[i] == '.') r = self(self, p + 1, i + 1);
                else r = i == N && self(self, p + 1, i);
                break;
            default:
                r = i < N && n[i] == c && self(self, p + 1, i + 1);
            }
        }
        m = r ? 2 : 1;
        return r;
    };
    return rec(rec, 0, 0);
}

namespace {

}  // namespace

bool MatchesExtensionMask(const std::string& ext, std::string_view name) {
    // "*." and one to three characters, the only masks the explorer's listing makes: the name
    // matches when the part after its last dot matches the extension ('?' being one character
    // or none), or, for an extension that begins with '?', when it has no dot at all and the
    // rest of the extension is '?' only.
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) {
        if (ext.empty() || ext[0] != '?') return false;
        for (char c : ext)
            if (c != '?') return false;
        return true;
    }
    size_t i = dot + 1;
    for (char c : ext) {
        if (c == '?') {
            if (i < name.size()) ++i;
        } else {
            if (i >= name.size()) return false;
            char a = name[i], b = c;
            if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 32);
            if (b >= 'a' && b <= 'z') b = static_cast<char>(b - 32);
            if (a != b) return false;
            ++i;
        }
    }
    return i == name.size();
}

namespace {

}  // namespace

bool IsExtensionMask(const std::string& pattern) {
    if (pattern.size() < 3 || pattern.size() > 5 || pattern[0] != '*' || pattern[1] != '.') return false;
    for (size_t i = 2; i < pattern.size(); ++i)
        if (pattern[i] == '*' || pattern[i] == '.' || pattern[i] == '<' || pattern[i] == '>' || pattern[i] == '"')
            return false;
    return true;
}

bool MatchesPattern(const std::string& name, const std::string& pattern) {
    if (IsExtensionMask(pattern)) return MatchesExtensionMask(pattern.substr(2), name);
    return DosMatch(DosPattern(pattern), name);
}

}  // namespace kv
