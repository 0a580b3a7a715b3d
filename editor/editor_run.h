// Opens the slide editor modally and tells the host what to do afterwards.
#pragma once
#include <cstdint>

namespace kv::editor {

// Reads the script to open (AVLFIL), the temporary script (AVLTMP) and the host's folder
// (AppDir) from the settings file, shows the editor modally and returns -1 when the user
// chose Run (play the temporary script), 1 after a catalogue update (make the thumbnails),
// 2 after viewing the tagged slides (show the tag list), 0 otherwise.
int32_t runEditor();

}  // namespace kv::editor
