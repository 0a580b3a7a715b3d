// The INI accessor: one file name; every operation goes through the profile service
// (kv::ports().profile), so nothing is cached between operations.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "framework/ini.h"

namespace kv {

// The settings file shared with the host (a name without folder: the Windows directory) and its
// section.
inline constexpr char SettingsFileName[] = "kavrin.ini";
inline constexpr char SettingsSection[] = "kavrin";

class IniFile {
public:
    // Remembers the file name; nothing is opened.
    explicit IniFile(std::string fileName) : fileName_(std::move(fileName)) {}

    const std::string& fileName() const { return fileName_; }

    // Value of the key, or def when the section or key is missing; at most 1023 characters.
    std::string readString(const std::string& section, const std::string& key,
                           const std::string& def) const;
    // Throws kv::Error "Unable to write to <file>" when the profile service refuses.
    void writeString(const std::string& section, const std::string& key,
                     const std::string& value) const;
    // "0x"/"0X" followed by at least one character: the rest read as hexadecimal; otherwise
    // decimal. def when the value is missing or not a valid integer.
    int32_t readInteger(const std::string& section, const std::string& key, int32_t def) const;
    void writeInteger(const std::string& section, const std::string& key, int32_t value) const;
    // Key names of the section in file order; empty when the section is missing.
    std::vector<std::string> readSection(const std::string& section) const;
    // "key=value" entries of the section in file order.
    std::vector<std::string> readSectionValues(const std::string& section) const;
    // Replaces the whole file with what `content` built, in one atomic write: readers see the
    // old file or the new one, never a part, and a failed write leaves the old file whole. The
    // bytes are those that writing every key of `content` through the profile service into a
    // deleted file would give. Throws kv::Error "Unable to write to <file>" on failure.
    void replace(const IniBuilder& content) const;

private:
    std::string fileName_;
};

}  // namespace kv
