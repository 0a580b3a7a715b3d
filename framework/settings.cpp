#include "framework/settings.h"

#include <cstdio>

#include "framework/error.h"
#include "framework/platform.h"
#include "framework/text.h"

namespace kv {

namespace {
ProfilePort& profile() {
    ProfilePort* p = ports().profile;
    if (!p) throw Error("No profile service installed");
    return *p;
}
}  // namespace

std::string IniFile::readString(const std::string& section, const std::string& key,
                                const std::string& def) const {
    return profile().readString(fileName_, section, key, def);
}

void IniFile::writeString(const std::string& section, const std::string& key,
                          const std::string& value) const {
    if (!profile().writeString(fileName_, section, key, value))
        throw Error("Unable to write to " + fileName_);
}

int32_t IniFile::readInteger(const std::string& section, const std::string& key, int32_t def) const {
    std::string s = readString(section, key, "");
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) s = "$" + s.substr(2);
    return strToIntDef(s, def);
}

void IniFile::writeInteger(const std::string& section, const std::string& key, int32_t value) const {
    writeString(section, key, intToStr(value));
}

std::vector<std::string> IniFile::readSection(const std::string& section) const {
    return profile().sectionKeys(fileName_, section);
}

std::vector<std::string> IniFile::readSectionValues(const std::string& section) const {
    return profile().sectionValues(fileName_, section);
}

void IniFile::replace(const IniBuilder& content) const {
    FileSystemPort* fs = ports().fs;
    if (!fs) throw Error("No file system installed");
    // A name without folder lives in the Windows directory, as the profile service puts it.
    std::string path = fileName_;
    if (path.find_first_of("\\/:") == std::string::npos) {
        path = fs->windowsDirectory();
        if (!path.empty() && path.back() != '\\') path += '\\';
        path += fileName_;
    }
    if (!fs->writeFileAtomic(path, content.bytes())) throw Error("Unable to write to " + fileName_);
    // The profile service may hold the old file in its cache.
    profile().flush(fileName_);
}

}  // namespace kv
