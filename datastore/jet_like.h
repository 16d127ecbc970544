#pragma once

#include <string_view>

namespace ds {

// The data file's "like" rules: "*" any text, "?" one character, "#" one digit 0-9,
// "[...]" one character of a list or range, "[!...]" one character not in it. Letters compare
// without regard to case. A "[" without its "]" stands for itself. Both texts are UTF-8.
bool jetLike(std::string_view text, std::string_view pattern);

} // namespace ds
