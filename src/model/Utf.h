#pragma once

#include <string>
#include <string_view>

namespace qxr {

// Design strings are UTF-16 and may hold unpaired surrogates (a file keeps
// every code unit it was given); the outside world speaks UTF-8. Anything
// that cannot be converted becomes U+FFFD, so both directions always succeed.

// Unpaired surrogates become U+FFFD.
std::string ToUtf8(std::u16string_view text);

// Each malformed sequence (its longest valid prefix, or one stray byte)
// becomes one U+FFFD; overlong forms, encoded surrogates and code points
// above U+10FFFF are malformed.
std::u16string FromUtf8(std::string_view text);

}  // namespace qxr
