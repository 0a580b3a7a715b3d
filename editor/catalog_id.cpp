#include "editor/catalog_id.h"

#include <cmath>

#include "framework/platform.h"
#include "framework/settings.h"
#include "framework/text.h"

namespace kv::editor {

namespace {
const char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUV";
}

std::string EncodeBase32(uint32_t v) {
    std::string r(6, '0');
    for (int j = 0; j < 6; ++j) r[static_cast<size_t>(5 - j)] = kDigits[(v >> (5 * j)) & 31u];
    return r;
}

int32_t DecodeBase32(const std::string& s) {
    std::string t = copy(s, 1, 5);
    t.insert(0, 5 - t.size(), '0');
    int32_t v = 0;
    for (char ch : t) {
        int c = static_cast<unsigned char>(ch);
        int digit = c <= '9' ? c - '0' : c - 'A' + 10;
        v = v * 32 + digit;  // at most 5 digits of at most 245: no overflow
    }
    return v;
}

std::string StripLeadingZeros(const std::string& s) {
    size_t i = s.find_first_not_of('0');
    return i == std::string::npos ? std::string() : s.substr(i);
}

std::string NewCatalogId() {
    IniFile settings(SettingsFileName);
    std::string s = settings.readString(SettingsSection, "THMidx", "");
    if (!s.empty()) {
        s = StripLeadingZeros(EncodeBase32(static_cast<uint32_t>(DecodeBase32(s) + 1)));
    } else {
        double now = ports().system->now();
        double day = std::floor(now);
        auto a = static_cast<uint32_t>(static_cast<int64_t>(day));
        auto b = static_cast<uint32_t>(std::lround((now - day) * 10000.0));
        s = copyFrom(StripLeadingZeros(EncodeBase32(a)), 2) + StripLeadingZeros(EncodeBase32(b));
        s = copy(s, 2, 5);
    }
    if (s.size() < 5) s.insert(0, "0");
    settings.writeString(SettingsSection, "THMidx", s);
    return s;
}

}  // namespace kv::editor
