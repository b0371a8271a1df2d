// The regular-expression functions of the program over Oniguruma's Shift_JIS encoding.
// Texts, patterns and replacements are CP932 bytes. Positions and lengths count characters
// (a double-byte character is one). A pattern that cannot be compiled gives a negative
// result; nothing here throws.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace verko {

// Whether the regular-expression library is there: it is loaded when a pattern is first
// compiled, and without it every pattern is refused. False with *failure, which says what
// is missing.
bool RegexLibraryAvailable(std::string* failure);

// Tag separator of TaggedGSubRigc patterns: "〓" (CP932 81 AC).
inline constexpr std::string_view kTagSeparator = "\x81\xAC";

// Finds the leftmost match. Returns 1 and sets position (1-based character index) and
// length (characters) when found; 0 with both 0 when not found; -1 for a pattern error.
int MatchR(std::string_view text, std::string_view pattern, int& position, int& length);

// A search gives up after a bounded amount of backtracking (a pattern such as "(a|aa)+c" on
// a long line could otherwise run for minutes); such a search returns kMatchTooSlow.
inline constexpr int kMatchTooSlow = -2;

// MatchR for callers that cut the text by bytes themselves: the leftmost match, considering
// only matches that start at byte offset maxStart or before (the match itself may run past
// it). Returns 1 and sets begin and end (byte offsets), 0 when there is no such match, -1
// for a pattern error, kMatchTooSlow when the search gave up.
int FindMatchBytes(std::string_view text, std::string_view pattern, std::size_t maxStart,
                   std::size_t& begin, std::size_t& end);

// Replaces every match. Returns the number of replacements, or -1 for a pattern error
// (text unchanged).
int GSubR(std::string& text, std::string_view pattern, std::string_view replacement);

// GSubR with letters compared without regard to case.
int GSubRigc(std::string& text, std::string_view pattern, std::string_view replacement);

// Case-insensitive global replacement with a tagged pattern: sub-patterns separated by
// kTagSeparator, sub-pattern n (from 0) being tag n. In the replacement "&" followed by a
// decimal number n stands for the text tag n matched. Returns the number of replacements,
// or a negative value for a pattern error (text unchanged).
int TaggedGSubRigc(std::string& text, std::string_view taggedPattern, std::string_view replacement);

}  // namespace verko

namespace verko {

// Cuts `text` into at most maxPieces pieces, each ending right after a match of `pattern`
// (the last piece holds the rest and may be empty). `pieces` is resized to maxPieces, slots
// past the returned count left empty. Returns the number of pieces filled, or -1 when the
// pattern is refused.
int SplitByMatch(std::string_view text, std::string_view pattern, std::vector<std::string>& pieces,
                 int maxPieces);

}  // namespace verko
