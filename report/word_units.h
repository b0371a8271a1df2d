// Where a line's words begin, for marking changed words rather than changed characters.
// Japanese has no spaces: its words are cut by ICU's dictionary-based word break iterator,
// loaded on first use (a run that makes no marks never loads it). Numbers are one unit each
// (ASCII or full-width digits with their separators, as 1,000 or ３．５; a run of kanji
// numerals, as 百二十三), ASCII words are cut as by character, and a character is never
// cut from what joins it (change_units.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/text_encoding.h"

namespace verko {

// Whether words can be cut here (ICU loads). When not, false with *reason, a sentence a user
// can read; callers then mark by character, and say so once.
bool WordUnitsAvailable(std::string* reason);

// The cut flags of each byte position 0..text.size() of a line.
enum WordCut : uint8_t {
  kMayCut = 1,  // a unit may begin here: no character, number or ASCII word goes across
  kCut = 2,     // a word begins here (always with kMayCut)
};

// Sets (*flags)[p] for every position p from 0 to text.size() (both ends are cuts). Requires
// WordUnitsAvailable().
void FindWordCuts(std::string_view text, TextEncoding encoding, std::vector<uint8_t>* flags);

}  // namespace verko
