// The reference host's "Editor" command.
#pragma once
#include <string>

namespace kv::host {

// Calls EditorWin95 and returns its result with what the host is to do about it. When the
// settings name no script to open (AVLFIL missing), a demo script of every slide kind is made
// first in the temporary folder and named in AVLFIL, AVLNOW, AVLTMP and AppDir, so that the
// editor opens on something to look at.
std::string editorAction();

}  // namespace kv::host
