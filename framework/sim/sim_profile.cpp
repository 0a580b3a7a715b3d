#include "framework/sim/sim_profile.h"

#include "framework/text.h"

namespace kv {

std::string SimProfile::resolve(const std::string& file) {
    if (file.find_first_of("\\/:") != std::string::npos) return file;
    std::string dir = fs_.windowsDirectory();
    if (!dir.empty() && dir.back() != '\\') dir += '\\';
    return dir + file;
}

bool SimProfile::load(const std::string& path, const IniDocument*& doc) {
    std::string bytes;
    if (!fs_.readFile(path, bytes)) {
        cacheValid_ = false;
        if (fs_.exists(path)) return false;  // there, but not readable
        cachedDoc_ = IniDocument(rules_);
        cachedPath_ = path;
        cachedBytes_.clear();
        doc = &cachedDoc_;
        return true;
    }
    if (!(cacheValid_ && sameText(cachedPath_, path) && cachedBytes_ == bytes)) {
        cachedDoc_ = IniDocument::parse(bytes, rules_);
        cachedPath_ = path;
        cachedBytes_ = std::move(bytes);
        cacheValid_ = true;
    }
    doc = &cachedDoc_;
    return true;
}

std::string SimProfile::readString(const std::string& file, const std::string& section,
                                   const std::string& key, const std::string& def) {
    const IniDocument* doc = nullptr;
    if (!load(resolve(file), doc)) return IniDocument(rules_).readString(section, key, def);
    return doc->readString(section, key, def);
}

std::vector<std::string> SimProfile::sectionKeys(const std::string& file, const std::string& section) {
    const IniDocument* doc = nullptr;
    if (!load(resolve(file), doc)) return {};
    return doc->sectionKeys(section);
}

std::vector<std::string> SimProfile::sectionValues(const std::string& file, const std::string& section) {
    const IniDocument* doc = nullptr;
    if (!load(resolve(file), doc)) return {};
    return doc->sectionValues(section);
}

template <class Change>
bool SimProfile::change(const std::string& file, Change&& apply) {
    std::string path = resolve(file);
    const IniDocument* loaded = nullptr;
    if (!load(path, loaded)) return false;
    IniDocument& doc = cachedDoc_;
    if (!apply(doc)) return true;  // nothing changed: the file is not written
    std::string bytes = doc.bytes();
    bool ok = fs_.writeFileAtomic(path, bytes);
    // The changed document reads exactly as its bytes do, so it stays the cached copy.
    cacheValid_ = ok;
    if (ok) {
        cachedPath_ = path;
        cachedBytes_ = std::move(bytes);
    }
    return ok;
}

bool SimProfile::writeString(const std::string& file, const std::string& section,
                             const std::string& key, const std::string& value) {
    return change(file, [&](IniDocument& d) { return d.writeString(section, key, value); });
}

bool SimProfile::deleteKey(const std::string& file, const std::string& section, const std::string& key) {
    return change(file, [&](IniDocument& d) { return d.deleteKey(section, key); });
}

bool SimProfile::deleteSection(const std::string& file, const std::string& section) {
    return change(file, [&](IniDocument& d) { return d.deleteSection(section); });
}

void SimProfile::flush(const std::string& file) {
    if (cacheValid_ && sameText(cachedPath_, resolve(file))) cacheValid_ = false;
}

}  // namespace kv
