// Conversion between the program's own UTF-8 texts (literals, file names) and code page 932.
// File contents never pass through here: they stay CP932 bytes from intake to the report.
#pragma once

#include <string>
#include <string_view>

namespace verko {

// UTF-8 to CP932. A character that CP932 cannot hold (or an invalid UTF-8 sequence)
// becomes "?". Never fails.
std::string ToCp932(std::string_view utf8);

// CP932 to UTF-8. A byte sequence that is not valid CP932 becomes U+FFFD. Never fails.
std::string FromCp932(std::string_view cp932);

// Converts between UTF-8 and another encoding known to iconv ("EUC-JP", the locale's
// codeset ...). A sequence that cannot be converted becomes U+FFFD towards UTF-8 and "?"
// away from it. Never fails; an encoding iconv does not know leaves the bytes as they are.
std::string ToUtf8From(const char* encoding, std::string_view bytes);
std::string FromUtf8To(const char* encoding, std::string_view utf8);

}  // namespace verko
