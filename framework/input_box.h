// The one-line text prompt: a small modal form "InputBox" with a prompt, an edit box and OK
// and Cancel. Native tests answer it through the sim backend like any modal form.
#pragma once
#include <string>

namespace kv {

// Shows `caption` and `prompt` with `value` as the preset text. Returns false when the user
// cancelled (value unchanged); otherwise value holds the text entered.
bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value);

}  // namespace kv
