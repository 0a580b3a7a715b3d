#include "framework/text.h"

#include "framework/error.h"

#include <cctype>
#include <charconv>

namespace kv {

std::string copy(std::string_view s, int pos, int len) {
    if (len <= 0) return {};
    if (pos < 1) {
        len += pos - 1;
        pos = 1;
        if (len <= 0) return {};
    }
    if (static_cast<size_t>(pos) > s.size()) return {};
    return std::string(s.substr(static_cast<size_t>(pos - 1), static_cast<size_t>(len)));
}

std::string copyFrom(std::string_view s, int pos) {
    return copy(s, pos, static_cast<int>(s.size()) + 1);
}

int pos(std::string_view sub, std::string_view s) {
    if (sub.empty()) return 0;
    size_t p = s.find(sub);
    return p == std::string_view::npos ? 0 : static_cast<int>(p) + 1;
}

char accelChar(std::string_view caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] != '&') return caption[i + 1];
        ++i;
    }
    return 0;
}

std::string upper(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return r;
}

std::string lower(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return r;
}

bool sameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

std::string intToStr(long long v) { return std::to_string(v); }

std::optional<int32_t> strToInt(std::string_view s) {
    if (s.empty()) return std::nullopt;
    bool neg = false;
    size_t i = 0;
    if (s[0] == '-' || s[0] == '+') {
        neg = s[0] == '-';
        i = 1;
    }
    int base = 10;
    if (i < s.size() && s[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= s.size()) return std::nullopt;
    uint64_t v = 0;
    for (; i < s.size(); ++i) {
        int d;
        char c = s[i];
        if (c >= '0' && c <= '9') d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else return std::nullopt;
        v = v * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
        if (v > 0xFFFFFFFFull) return std::nullopt;
    }
    if (base == 10) {
        if (!neg && v > 0x7FFFFFFFull) return std::nullopt;
        if (neg && v > 0x80000000ull) return std::nullopt;
        return neg ? static_cast<int32_t>(-static_cast<int64_t>(v)) : static_cast<int32_t>(v);
    }
    // Hexadecimal text covers the full 32 bits, as the runtime's conversion does; the sign
    // negates them modulo 2^32 ("-$80000000" stays the smallest value, without overflow).
    uint32_t bits = static_cast<uint32_t>(v);
    if (neg) bits = 0u - bits;
    return static_cast<int32_t>(bits);
}

int32_t strToIntDef(std::string_view s, int32_t def) {
    auto v = strToInt(s);
    return v ? *v : def;
}

int32_t strToIntChecked(std::string_view s) {
    auto v = strToInt(s);
    if (!v) throw Error("'" + std::string(s) + "' is not a valid integer value");
    return *v;
}

CivilDate civilFromDays(int64_t days) {
    const int64_t z = days + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {yoe + era * 400 + (m <= 2 ? 1 : 0), m, d};
}

std::string hexText(uint32_t v) {
    static const char digits[] = "0123456789ABCDEF";
    if (v == 0) return "0";
    std::string r;
    while (v) {
        r.insert(r.begin(), digits[v & 15]);
        v >>= 4;
    }
    return r;
}

static size_t nameStart(std::string_view path) {
    size_t p = path.find_last_of("\\:");
    return p == std::string_view::npos ? 0 : p + 1;
}

std::string namePart(std::string_view path) { return std::string(path.substr(nameStart(path))); }

std::string folderPart(std::string_view path) { return std::string(path.substr(0, nameStart(path))); }

std::string extensionOf(std::string_view path) {
    size_t start = nameStart(path);
    size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || dot < start) return {};
    return std::string(path.substr(dot));
}

}  // namespace kv
