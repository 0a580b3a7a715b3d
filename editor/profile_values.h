// Reading files the profile service's way, for the editor's readers of INI-format files.
#pragma once
#include <cstdint>
#include <string>

namespace kv::editor {

// Where the profile service keeps a file: a name without any folder lies in the Windows
// directory.
std::string profileFilePath(const std::string& file);
// Integer value of a profile value: "0x" followed by something is hexadecimal, anything that
// is not an integer gives def.
int32_t profileInteger(const std::string& s, int32_t def);

}  // namespace kv::editor
