// The profile service over a FileSystemPort: every operation reads the file, applies the INI
// engine's rules and, when something changed, replaces the file atomically.
#pragma once
#include <string>

#include "framework/ini.h"
#include "framework/platform.h"

namespace kv {

class SimProfile : public ProfilePort {
public:
    explicit SimProfile(FileSystemPort& fs, IniRules rules = {}) : fs_(fs), rules_(rules) {}

    std::string readString(const std::string& file, const std::string& section,
                           const std::string& key, const std::string& def) override;
    bool writeString(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) override;
    std::vector<std::string> sectionKeys(const std::string& file, const std::string& section) override;
    std::vector<std::string> sectionValues(const std::string& file, const std::string& section) override;
    void flush(const std::string& file) override;

    // Removes a key or, with the key omitted, a whole section (the platform's NULL value and
    // NULL key writes).
    bool deleteKey(const std::string& file, const std::string& section, const std::string& key);
    bool deleteSection(const std::string& file, const std::string& section);

    // Where a profile file name resolves: a name without folder lies in the Windows directory.
    std::string resolve(const std::string& file);

private:
    FileSystemPort& fs_;
    IniRules rules_;
    // The last file read, kept while its bytes stay the same.
    std::string cachedPath_;
    std::string cachedBytes_;
    IniDocument cachedDoc_;
    bool cacheValid_ = false;

    // The document of the file; false when the file exists but cannot be read.
    bool load(const std::string& path, const IniDocument*& doc);
    template <class Change>
    bool change(const std::string& file, Change&& apply);
};

}  // namespace kv
