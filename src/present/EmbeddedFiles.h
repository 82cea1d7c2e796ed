#pragma once

#include <string_view>

namespace qxr {

// The bytes of a file the program carries with it, by its path under res/
// ("templates/318.ui", "pictures/311.svg"); empty when there is none.
std::string_view EmbeddedFile(std::string_view path);

}  // namespace qxr
