#include "host/utility_exports.h"

#include "framework/error.h"
#include "framework/platform.h"
#include "framework/settings.h"
#include "framework/text.h"
#include "framework/names.h"

namespace kv {

namespace {

// A settings write that fails is shown to the user the way the framework shows any error;
// nothing reaches the host.
void reportError(const Error& e) {
    if (ports().user) ports().user->messageDialog(e.what(), DialogKind::Error, BtnOK);
}

// A name that stays in its folder: no folder separator, no drive, and not a name made only
// of dots (and blanks, which the platform drops from the end of a name with the dots), which
// would name the folder itself or the one above it. Dots inside a name ("Summer..2024.jpg")
// are part of it.
bool plainName(const std::string& name) {
    return name.find_first_of("\\/:") == std::string::npos && name.find_first_not_of(". ") != std::string::npos;
}

}  // namespace

void ShortToLongName95() {
    try {
        IniFile ini(SettingsFileName);
        std::string saved = ini.readString(SettingsSection, "SaveName", "ERROR");
        std::optional<DirEntry> entry;
        if (ports().fs && !saved.empty()) entry = ports().fs->findEntry(saved);
        ini.writeString(SettingsSection, "LongName", entry ? entry->longName : namePart(saved));
    } catch (const Error& e) {
        reportError(e);
    }
}

void RenameShort2Long95() {
    try {
        IniFile ini(SettingsFileName);
        std::string source = ini.readString(SettingsSection, "Win95Tmp", "");
        std::string newName = ini.readString(SettingsSection, "SaveAs", "");
        if (source.empty() || newName.empty() || !plainName(newName) || !ports().fs) return;
        // A source without a folder lies in the current directory, and so does its new name
        // (a lone backslash would put it in the root of the drive).
        std::string folder = folderPart(source);
        std::string target = folder.empty() ? newName : AddTrailingBackslash(folder) + newName;
        // The port refuses to move onto an existing file, so a taken name leaves both files
        // as they were; the outcome is not reported.
        ports().fs->moveFile(source, target);
    } catch (const Error& e) {
        reportError(e);
    }
}

uint32_t GetFreePageMem95() {
    return ports().system ? ports().system->availablePageFile() : 0;
}

int32_t GDIflush95() {
    return ports().system && ports().system->gdiFlush() ? 1 : 0;
}

}  // namespace kv
