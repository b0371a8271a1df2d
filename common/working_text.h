// The text form in which one comparison works: CP932 bytes, so that widths, letter folding,
// separators, patterns and the collation work alike whatever the files' encodings.
//
// When both files are CP932 the working text is their bytes as they are. Otherwise every
// file is decoded: a character CP932 holds becomes its CP932 code, and a character beyond
// CP932 (an emoji, 𠮷, é) or a byte that is not valid in its file's encoding becomes one of
// the codes CP932 leaves unassigned, remembered for this run. Such a character is then one
// double-byte character (width 2) equal only to itself, and is written back as it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/text_encoding.h"

namespace verko {

class WorkingText {
 public:
  // decodeAll false: the files are CP932 and stay as they are.
  explicit WorkingText(bool decodeAll);

  bool DecodesAll() const { return decodeAll_; }
  // Whether any code was given out to stand for something beyond CP932 (a character, an
  // invalid byte): without one, text decoded with this working text decodes alike with any.
  bool GaveOutCodes() const { return !codeOfKey_.empty(); }

  // The codes given out to the wave-dash twins beyond CP932 (U+301C and the six others),
  // each with the CP932 code of its other form, by code: the fold that makes them one.
  std::vector<std::pair<uint16_t, uint16_t>> TwinCodes() const;

  // A file's content in working text (a leading UTF-8 byte order mark dropped). Sets
  // *invalidLines to the number of lines holding a sequence not valid in `encoding`.
  // False when the run meets more distinct characters beyond CP932 than there are codes
  // to stand for them (about 1,300).
  bool FromFile(std::string_view bytes, TextEncoding encoding, std::string* out, int* invalidLines);
  // Decodes a file given piece by piece into working text, exactly as FromFile decodes it
  // whole: a character that the end of a piece cuts is completed by the next piece.
  class FileDecoder {
   public:
    // Decodes into `out` (emptied first); `working` must decode all.
    FileDecoder(WorkingText& working, TextEncoding encoding, std::string* out);
    // False when the run meets more distinct characters beyond CP932 than there are codes
    // to stand for them; `out` then holds what was decoded before.
    bool Add(std::string_view piece);
    // The end of the file: what a piece left waiting is decoded as it is.
    bool Finish();
    // Lines holding a sequence not valid in the encoding, so far.
    int InvalidLines() const { return invalidLines_; }
    // Goes on with another working text: a copy of a decoder, taken between two pieces,
    // decodes the rest of the file with the codes of another run of decoding.
    void ContinueWith(WorkingText& working) { working_ = &working; }

   private:
    bool Decode(std::string_view bytes, bool last);

    WorkingText* working_;
    TextEncoding encoding_;
    std::string* out_;
    std::string carry_;  // the bytes of a piece's end that wait for the next piece
    bool started_ = false;
    bool lineInvalid_ = false;
    int invalidLines_ = 0;
  };

  // Our own UTF-8 text (a split pattern, a file name) in working text.
  std::string FromUtf8(std::string_view utf8);

  // Working text in `encoding`. False at the first character that the encoding cannot
  // hold; *failedAt is then its byte offset in `working` and *out holds what came before.
  // Bytes that were not valid in their file are written as they were.
  bool ToEncoding(std::string_view working, TextEncoding encoding, std::string* out,
                  std::size_t* failedAt) const;
  // The same into `buffer`, written from its start and never shrunk, so that a buffer used
  // again and again is not filled anew: the length written, or nothing (with *failedAt) at
  // a character the encoding cannot hold.
  std::optional<std::size_t> ToEncodingOver(std::string_view working, TextEncoding encoding,
                                            std::string* buffer, std::size_t* failedAt) const;

 private:
  // The working code standing for a code point beyond CP932 or an invalid byte (kRawByte +
  // value), given out on first use; false when none is left.
  bool CodeOf(uint32_t key, uint16_t* code);
  // What a working code given out stands for; 0 for an ordinary CP932 code.
  uint32_t KeyOf(unsigned code) const;
  // Encodes working text through `out` (an appender of working_text.cpp).
  template <typename Out>
  bool Encode(std::string_view working, TextEncoding encoding, Out& out,
              std::size_t* failedAt) const;

  static constexpr uint32_t kRawByte = 0x110000;
  bool decodeAll_;
  // Codes are given out in increasing order: the lowest not yet given out lies from here.
  uint32_t nextFreeCode_ = 0;
  std::unordered_map<uint32_t, uint16_t> codeOfKey_;  // characters beyond CP932, invalid bytes
  // The codes given out with what each stands for, in the order given out (by code).
  std::vector<std::pair<uint16_t, uint32_t>> keyOfCode_;
};

}  // namespace verko
