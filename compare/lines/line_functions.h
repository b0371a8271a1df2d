// The line functions of intake and report: normalising blanks, cutting a line that is too
// wide, counting words, reading a stored text back. All texts are CP932 bytes; widths
// count bytes. A "blank" is the ASCII space, the ideographic space (CP932 81 40) or a tab.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace verko {

struct NormalizeOptions {
  bool trimTop = false;   // remove blanks at the start of the line
  bool trimTail = true;   // remove blanks at the end of the line
  bool compress = false;  // replace every run of blanks by one ASCII space (after trimming)
};

// Default split-character pattern (UTF-8; ToCp932 gives the pattern): a piece ends after a
// run of blanks, after a run of hiragana, long-vowel marks and Japanese punctuation, or after
// a run of katakana together with those.
inline constexpr const char* kDefaultSplitChar =
    "[ 　\\t]+|[ぁ-んー。、．，」)；：]+|[ァ-ンぁ-んー。、．，」)；：]+";

// The line with blanks trimmed at the start and/or end and runs of blanks compressed, as the
// options ask. Gives the same text as the substitutions "^[ 　\t]+|[ 　\t]+$" (or only one
// side) by "" and then "[ 　\t]+" by " ".
std::string NormalizeLine(std::string_view line, const NormalizeOptions& options);
// The same without a copy where none is needed: a view into `line`, or, when blanks are
// compressed, into `buffer`, which holds the result.
std::string_view NormalizeLine(std::string_view line, const NormalizeOptions& options,
                               std::string* buffer);

// On entry `line` holds a text wider than splitWidth (or the remainder of one). On return
// `line` holds the head part (at most splitWidth bytes, trailing ASCII spaces removed) and
// `rest` the text after the untrimmed head, possibly empty. The head is cut right after a
// match of splitCharPattern; when not even the first piece fits (or the pattern is refused)
// after the last whole character that fits. A double-byte character is never cut.
void SplitLine(std::string& line, std::string& rest, int splitWidth,
               std::string_view splitCharPattern);

// The cut SplitLine makes in `text`, without copying: the byte length of the head before
// its trailing spaces are removed (at least one character of a non-empty text). A search
// of the pattern that gives up for taking too long counts as no match and sets
// *searchTooSlow; when it is set on entry, the pattern is not searched again (the rest of
// a line on which it was too slow is cut by characters).
std::size_t SplitHeadLength(std::string_view text, int splitWidth,
                            std::string_view splitCharPattern, bool* searchTooSlow = nullptr);

// The head as it is stored: without its trailing ASCII spaces.
std::string_view WithoutTrailingSpaces(std::string_view head);

// How much of a text SplitHeadLength must see to cut it as it would cut the whole text:
// for the default pattern, whose matches are runs of one character class, the split width
// plus a margin of characters (a match that starts within the width and ends past it ends
// past it in the longer text too); for any other pattern the whole text (0), since a match
// may depend on text far ahead of it.
std::size_t SplitLookaheadChars(int splitWidth, std::string_view splitCharPattern);

// Number of words: stretches between separators, where runs of blanks, of kana and of
// Japanese punctuation count as separators. 0 for an empty or all-space text.
int32_t WordCountTC(std::string_view text);

// A stored text for output: the single NUL character reads as empty text.
inline std::string_view CutNull(std::string_view text) {
  return text.size() == 1 && text[0] == '\0' ? std::string_view() : text;
}

}  // namespace verko
