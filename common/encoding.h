// Conversion of the program's own UTF-8 texts (literals, file names, patterns) to code page
// 932 or the terminal's encoding, and of CP932 names and patterns back to UTF-8 for showing
// them. File contents are read and written through text_encoding.h and working_text.h.
#pragma once

#include <string>
#include <string_view>

namespace verko {

// UTF-8 to CP932. A character that CP932 cannot hold (or an invalid UTF-8 sequence)
// becomes "?". Never fails.
std::string ToCp932(std::string_view utf8);

// CP932 to UTF-8, as DecodeToUtf8 shows CP932 text: a byte that starts no valid character
// becomes U+FFFD and the bytes after it are read anew (so "82 41" gives U+FFFD "A"). Never
// fails.
std::string FromCp932(std::string_view cp932);

// Converts UTF-8 to another encoding known to iconv (the locale's codeset ...). A character
// that cannot be converted becomes "?". Never fails; an encoding iconv does not know leaves
// the bytes as they are.
std::string FromUtf8To(const char* encoding, std::string_view utf8);

}  // namespace verko
