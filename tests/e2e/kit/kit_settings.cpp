#include "tests/e2e/kit/kit.h"

namespace kv::kit {

namespace {

// Splits a list of strings each ended by a zero byte.
std::vector<std::string> zeroList(const char* buf, DWORD used) {
    std::vector<std::string> out;
    for (DWORD i = 0; i < used && buf[i] != '\0';) {
        std::string s(buf + i);
        i += static_cast<DWORD>(s.size()) + 1;
        out.push_back(std::move(s));
    }
    return out;
}

}  // namespace

std::string settingsPath() {
    char dir[MAX_PATH] = {};
    const UINT n = GetWindowsDirectoryA(dir, MAX_PATH);
    std::string p(dir, n);
    if (!p.empty() && p.back() != '\\') p += '\\';
    return p + SettingsFile;
}

void writeKey(const std::string& key, const std::string& value) {
    WritePrivateProfileStringA(Section, key.c_str(), value.c_str(), SettingsFile);
}

void deleteKey(const std::string& key) {
    WritePrivateProfileStringA(Section, key.c_str(), nullptr, SettingsFile);
}

std::string readKey(const std::string& key, const std::string& def) {
    std::vector<char> buf(4096);
    const DWORD n = GetPrivateProfileStringA(Section, key.c_str(), def.c_str(), buf.data(),
                                             static_cast<DWORD>(buf.size()), SettingsFile);
    return std::string(buf.data(), n);
}

int readIntKey(const std::string& key, int def) {
    return static_cast<int>(GetPrivateProfileIntA(Section, key.c_str(), def, SettingsFile));
}

PictureRect pictureRect() {
    return {readIntKey("prL", -1), readIntKey("prT", -1), readIntKey("prW", -1), readIntKey("prH", -1)};
}

std::vector<std::string> sectionKeys() {
    std::vector<char> buf(65536);
    const DWORD n = GetPrivateProfileStringA(Section, nullptr, "", buf.data(),
                                             static_cast<DWORD>(buf.size()), SettingsFile);
    return zeroList(buf.data(), n);
}

std::vector<std::string> sectionEntries() {
    std::vector<char> buf(65536);
    const DWORD n = GetPrivateProfileSectionA(Section, buf.data(), static_cast<DWORD>(buf.size()),
                                              SettingsFile);
    return zeroList(buf.data(), n);
}

void clearSection() { WritePrivateProfileStringA(Section, nullptr, nullptr, SettingsFile); }

void flushSettings() { WritePrivateProfileStringA(nullptr, nullptr, nullptr, SettingsFile); }

}  // namespace kv::kit
