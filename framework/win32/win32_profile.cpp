#include "framework/win32/win32_profile.h"

#include <windows.h>

#include <vector>

#include "framework/ini.h"
#include "framework/win32/win32_ports.h"

namespace kv {

namespace {

class Win32Profile : public ProfilePort {
public:
    std::string readString(const std::string& file, const std::string& section,
                           const std::string& key, const std::string& def) override {
        char buf[IniDocument::kValueBuffer];
        DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buf,
                                           sizeof buf, file.c_str());
        if (n >= sizeof buf) n = sizeof buf - 1;
        return std::string(buf, n);
    }

    bool writeString(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) override {
        return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                          file.c_str()) != FALSE;
    }

    std::vector<std::string> sectionKeys(const std::string& file, const std::string& section) override {
        std::vector<char> buf(IniDocument::kKeyListBuffer + 2, 0);
        DWORD n = GetPrivateProfileStringA(section.c_str(), nullptr, "", buf.data(),
                                           IniDocument::kKeyListBuffer, file.c_str());
        if (n > IniDocument::kKeyListBuffer) n = IniDocument::kKeyListBuffer;
        return splitProfileList(buf.data(), n);
    }

    std::vector<std::string> sectionValues(const std::string& file, const std::string& section) override {
        // The list has no documented limit here; grow the buffer until it holds everything.
        DWORD size = 32768;
        for (;;) {
            std::vector<char> buf(size + 2, 0);
            DWORD n = GetPrivateProfileSectionA(section.c_str(), buf.data(), size, file.c_str());
            if (n + 2 < size || size >= (64u << 20)) {
                if (n > size) n = size;
                return splitProfileList(buf.data(), n);
            }
            size *= 2;
        }
    }

    void flush(const std::string& file) override {
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());
    }
};

}  // namespace

ProfilePort& win32Profile() {
    static Win32Profile p;
    return p;
}

namespace win32 {
ProfilePort& profilePort() { return win32Profile(); }
}  // namespace win32

}  // namespace kv
