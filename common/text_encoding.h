// The encodings of compared files and reports: CP932 (the default), UTF-8 and EUC-JP. Their
// names as users type them, recognising a file's encoding, and converting text character by
// character. Knows nothing of lines or reports; the compare run's own text form is
// WorkingText's business.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace verko {

enum class TextEncoding { kCp932, kUtf8, kEucJp };

// An encoding as chosen by the user: one of the three, or recognised from the file.
enum class EncodingChoice { kCp932, kUtf8, kEucJp, kAuto };

// Accepts "cp932" (also "shift_jis", "sjis"), "utf-8", "euc-jp" and "auto", in any letter
// case, also without the hyphen ("utf8", "eucjp") or with "-" and "_" exchanged. False for
// anything else.
bool ParseEncodingName(std::string_view name, EncodingChoice* choice);
// The name written in settings and accepted back: "cp932", "utf-8", "euc-jp", "auto".
const char* EncodingChoiceName(EncodingChoice choice);
// The caption of a choice in a selector (UTF-8): "CP932 (Shift_JIS)", "UTF-8", "EUC-JP",
// "自動判別".
const char* EncodingChoiceCaption(EncodingChoice choice);
// The name shown to users: "CP932", "UTF-8", "EUC-JP".
const char* EncodingCaption(TextEncoding encoding);

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
inline bool HasUtf8Bom(std::string_view bytes) {
  return bytes.substr(0, 3) == kUtf8Bom;
}

// The encoding of a file's content: UTF-8 when it starts with a byte order mark or is valid
// UTF-8 holding a non-ASCII character; EUC-JP when it is valid EUC-JP and either not valid
// CP932 or, read as CP932, more half-width katakana than double-byte characters (which is
// how EUC-JP text looks through CP932 eyes); otherwise CP932. Never an encoding in which
// the content is invalid, unless it is invalid in all three (then CP932).
TextEncoding DetectEncoding(std::string_view bytes);

// The encoding a choice stands for with this content.
inline TextEncoding ResolveEncoding(EncodingChoice choice, std::string_view bytes) {
  switch (choice) {
    case EncodingChoice::kUtf8:
      return TextEncoding::kUtf8;
    case EncodingChoice::kEucJp:
      return TextEncoding::kEucJp;
    case EncodingChoice::kAuto:
      return DetectEncoding(bytes);
    case EncodingChoice::kCp932:
      break;
  }
  return TextEncoding::kCp932;
}

// Decodes the character that starts at `pos` (< bytes.size()): returns its byte length and
// sets *codePoint, or returns 0 when the bytes there are no valid character of the encoding.
std::size_t DecodeCharacter(std::string_view bytes, std::size_t pos, TextEncoding encoding,
                            uint32_t* codePoint);
// Appends the bytes of a code point in the encoding; false (nothing appended) when the
// encoding cannot hold it.
bool EncodeCharacter(uint32_t codePoint, TextEncoding encoding, std::string* out);

// The number of lines (ended by CR, LF or CR LF) holding a byte sequence that is not valid
// in the encoding.
int CountInvalidLines(std::string_view bytes, TextEncoding encoding);

// The text as UTF-8, for showing it: a byte order mark is dropped, an invalid sequence
// becomes U+FFFD.
std::string DecodeToUtf8(std::string_view bytes, TextEncoding encoding);
// UTF-8 text in the encoding. False when a character cannot be held there (or the UTF-8 is
// invalid); *out then holds the text up to that character.
bool EncodeFromUtf8(std::string_view utf8, TextEncoding encoding, std::string* out);

}  // namespace verko
