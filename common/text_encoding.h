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

// UTF-16 (either byte order) is only ever recognised by its byte order mark and read: it is
// never a report's encoding.
enum class TextEncoding { kCp932, kUtf8, kEucJp, kUtf16Le, kUtf16Be };

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

// The encoding of a file's content: that of its byte order mark (UTF-8, UTF-16); else,
// among the encodings in which it is valid (for UTF-8: valid apart from a few stray bytes,
// at most one in eight characters), the one in which its characters are most often the
// common characters of Japanese text (kana, punctuation, full-width letters, first-level
// kanji), CP932 first on a tie; CP932 when it is valid in none.
TextEncoding DetectEncoding(std::string_view bytes);

// Whether an "auto" file that begins with `head` is CP932 whatever follows, as
// DetectEncoding and DetectEncodings judge it: no byte order mark, and up to the head's last
// line feed (where every character of UTF-8 and EUC-JP has ended) it is read neither as
// UTF-8 nor as EUC-JP, both readings giving up there. False when the head cannot tell.
bool HeadDecidesCp932(std::string_view head);

// The encodings of the two files of a run, for their choices: a named one as named, "auto"
// by the content. Old and new are judged together: a file whose encoding is certain (named,
// or by its byte order mark) gives it to an "auto" file valid in it; two "auto" files take
// the encoding that reads both, chosen as DetectEncoding chooses; only when none reads both
// is each judged alone.
void DetectEncodings(EncodingChoice oldChoice, std::string_view oldBytes, EncodingChoice newChoice,
                     std::string_view newBytes, TextEncoding* oldEncoding,
                     TextEncoding* newEncoding);

// A UTF-16 content (its byte order mark dropped) as UTF-8; what is not valid UTF-16 (a lone
// surrogate, an odd last byte) becomes bytes that are not valid UTF-8 either.
std::string Utf16ToUtf8(std::string_view bytes, TextEncoding encoding);

inline bool IsUtf16(TextEncoding encoding) {
  return encoding == TextEncoding::kUtf16Le || encoding == TextEncoding::kUtf16Be;
}

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
