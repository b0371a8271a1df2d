// WordCountTC counts the separator runs of "[ 　\t\n\r]+|[ぁ-んー。、．，」)；：]+|
// [ァ-ンぁ-んー。、．，」)；：]+" plus one, by a scan of separator classes 64 bytes at a time.
#include <cstdint>

#include "common/cp932_blocks.h"
#include "compare/lines/line_functions.h"

namespace verko {
namespace {

// The separator characters of the current block, as masks over all their bytes: blanks,
// hiragana and marks, and katakana. Only bytes that start a character count as a character's
// first byte, so a trail byte that looks like a blank is none.
struct SeparatorBytes {
  std::uint64_t blank, hiragana, katakana;
};

// The separator bytes of the current block of `blocks`; `previous` carries the second
// bytes of the characters that begin at the end of the block before.
SeparatorBytes SeparatorsOf(Cp932Blocks& blocks, SeparatorBytes& previous) {
  using Bytes = Cp932Blocks::Bytes;
  std::uint64_t lead = 0, trail = 0, blankSingles = 0, markSingles = 0, blank = 0, hiragana = 0,
                katakana = 0;
  for (int part = 0; part < blocks.Parts(); ++part) {
    Bytes b, next;
    blocks.Load(part, &b, &next);
    // Single-byte blanks as blanks, ")" as a mark (as hiragana).
    const auto blankSingle = (b == ' ') | (b == '\t') | (b == '\r') | (b == '\n');
    const auto markSingle = b == ')';
    const auto blankDouble = (b == 0x81) & (next == 0x40);  // 　
    // ぁ-ん, and ー。、．，」；：
    const auto hiraganaDouble =
        ((b == 0x82) & (static_cast<Bytes>(next - 0x9f) < 0x53)) |
        ((b == 0x81) & ((next == 0x5b) | (static_cast<Bytes>(next - 0x41) < 4) | (next == 0x76) |
                        (next == 0x46) | (next == 0x47)));
    const auto katakanaDouble = (b == 0x83) & (static_cast<Bytes>(next - 0x40) < 0x54);  // ァ-ン
    const int shift = 16 * part;
    lead |= Cp932Blocks::BitsOf(Cp932Blocks::LeadFlags(b)) << shift;
    trail |= Cp932Blocks::BitsOf(Cp932Blocks::TrailFlags(b)) << shift;
    blankSingles |= Cp932Blocks::BitsOf(reinterpret_cast<const Bytes&>(blankSingle)) << shift;
    blank |= Cp932Blocks::BitsOf(reinterpret_cast<const Bytes&>(blankDouble)) << shift;
    hiragana |= Cp932Blocks::BitsOf(reinterpret_cast<const Bytes&>(hiraganaDouble)) << shift;
    katakana |= Cp932Blocks::BitsOf(reinterpret_cast<const Bytes&>(katakanaDouble)) << shift;
    markSingles |= Cp932Blocks::BitsOf(reinterpret_cast<const Bytes&>(markSingle)) << shift;
  }
  // A separator counts only where a character starts: a trail byte is none.
  const std::uint64_t starts = blocks.Starts(lead, trail);
  const std::uint64_t blankLeads = blank & starts;
  const std::uint64_t hiraganaLeads = hiragana & starts;
  const std::uint64_t katakanaLeads = katakana & starts;
  SeparatorBytes bytes{
      (blankSingles & starts) | blankLeads | blankLeads << 1 | previous.blank,
      (markSingles & starts) | hiraganaLeads | hiraganaLeads << 1 | previous.hiragana,
      katakanaLeads | katakanaLeads << 1 | previous.katakana};
  previous = {blankLeads >> 63, hiraganaLeads >> 63, katakanaLeads >> 63};
  return bytes;
}

}  // namespace

// The separator runs, counted from masks: a run of blanks, and a run of hiragana, marks and
// katakana, each start a run where the byte before is of neither; within the latter, a
// run that starts with hiragana or a mark takes no katakana, so a katakana after its
// opening stretch starts a second run, which then takes the rest.
int32_t WordCountTC(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return 0;
  const std::size_t last = text.find_last_not_of(' ');
  Cp932Blocks blocks(text.substr(first, last + 1 - first));
  SeparatorBytes seconds{0, 0, 0};
  std::uint64_t blankBefore = 0, kanaBefore = 0;  // the last byte of the block before
  std::uint64_t openingCarry = 0;  // an opening hiragana stretch runs on into this block
  int32_t runs = 0;
  while (blocks.Next()) {
    const SeparatorBytes bytes = SeparatorsOf(blocks, seconds);
    const std::uint64_t kana = bytes.hiragana | bytes.katakana;
    runs += Cp932Blocks::CountBits(bytes.blank & ~(bytes.blank << 1 | blankBefore));
    runs += Cp932Blocks::CountBits(kana & ~(kana << 1 | kanaBefore));
    // Adding one at the start of each opening hiragana stretch carries through it and
    // lands on the byte after it: a katakana there opens the second run.
    const std::uint64_t openings = bytes.hiragana & ~(kana << 1 | kanaBefore);
    std::uint64_t sum;
    const bool over = __builtin_add_overflow(bytes.hiragana, openings, &sum);
    const bool overAgain = __builtin_add_overflow(sum, openingCarry, &sum);
    runs += Cp932Blocks::CountBits(sum & ~bytes.hiragana & bytes.katakana);
    openingCarry = (over || overAgain) ? 1 : 0;
    blankBefore = bytes.blank >> 63;
    kanaBefore = kana >> 63;
  }
  return runs + 1;
}

}  // namespace verko
