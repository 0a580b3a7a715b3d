// libFuzzer target for the INI engine: parsing, every query and every change on any bytes
// must neither crash nor hang, and the bytes written must read back to the same document.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "framework/ini.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view in(reinterpret_cast<const char*>(data), size);
    // The first byte picks the rules and how much of the input drives changes.
    bool wine = size && (data[0] & 1);
    kv::IniRules rules = wine ? kv::IniRules::wine8() : kv::IniRules{};
    size_t split = size ? in.size() * (data[0] >> 1) / 128 : 0;
    std::string_view text = in.substr(0, split), ops = in.substr(split);

    kv::IniDocument doc = kv::IniDocument::parse(text, rules);
    auto names = doc.sectionNames();
    for (const auto& s : names) {
        doc.sectionValues(s);
        for (const auto& k : doc.sectionKeys(s)) doc.readString(s, k, "d");
        doc.sectionKeys(s, 7);
    }
    // Changes: each chunk "section\x01key\x01value\x02" written, deleted or queried.
    size_t pos = 0;
    int step = 0;
    while (pos < ops.size() && step++ < 64) {
        size_t end = ops.find('\x02', pos);
        if (end == std::string_view::npos) end = ops.size();
        std::string_view chunk = ops.substr(pos, end - pos);
        pos = end + 1;
        size_t a = chunk.find('\x01');
        std::string_view sec = chunk.substr(0, a);
        std::string_view rest = a == std::string_view::npos ? std::string_view() : chunk.substr(a + 1);
        size_t b = rest.find('\x01');
        std::string_view key = rest.substr(0, b);
        std::string_view val = b == std::string_view::npos ? std::string_view() : rest.substr(b + 1);
        switch (chunk.size() % 5) {
        case 0: doc.writeString(sec, key, val); break;
        case 1: doc.deleteKey(sec, key); break;
        case 2: doc.deleteSection(sec); break;
        case 3: doc.readString(sec, key, val, 1 + val.size() % 40); break;
        default: doc.writeString(sec, key, val); doc.sectionKeys(sec, 3 + key.size()); break;
        }
    }
    // The document reads as its own bytes do: writing them again changes nothing.
    std::string bytes = doc.bytes();
    kv::IniDocument back = kv::IniDocument::parse(bytes, rules);
    if (back.sectionNames() != doc.sectionNames()) std::abort();
    for (const auto& s : doc.sectionNames())
        if (back.sectionValues(s) != doc.sectionValues(s)) std::abort();
    return 0;
}
