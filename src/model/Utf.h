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

// File names are bytes, UTF-8 only by convention. These two keep every byte
// on its way through UTF-16: well-formed UTF-8 converts as above, and each
// other byte b becomes the unpaired surrogate U+DC00 + b (U+DC80..U+DCFF),
// which no well-formed UTF-8 yields, and back. Other unpaired surrogates
// become U+FFFD.
std::u16string DecodeFileName(std::string_view bytes);
std::string EncodeFileName(std::u16string_view name);

}  // namespace qxr
