// Calendar text in the encodings programs write it in: UTF-8, with or without
// a byte order mark (Outlook and several exporters write one), or UTF-16 with
// its mark.
#pragma once

#include <string>
#include <string_view>

namespace eventkit {

// The UTF-8 text of a file's bytes: without a UTF-8 byte order mark, and
// converted from UTF-16 (little or big endian) when its mark starts them, in
// `converted`. Anything else is the bytes as they are, at no cost. An odd last
// byte or a broken surrogate of UTF-16 becomes U+FFFD.
std::string_view utf8Text(std::string_view bytes, std::string& converted);

} // namespace eventkit
