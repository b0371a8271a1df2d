#include "compare/input_decoding.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <string_view>
#include <thread>
#include <vector>

#include "common/own_thread.h"

namespace verko {
namespace {

constexpr std::size_t kPieceSize = 64 * 1024;

// Where the decoding of a new file read beside the old one is taken up with the run's own
// working text: the decoder as it stood before the piece in which its own working text
// first gave out a code, the length of the text decoded before that piece, and the file's
// bytes from that piece on.
struct ResumePoint {
  std::optional<WorkingText::FileDecoder> decoder;
  std::size_t textLength = 0;
  std::string bytes;
};

// Reads a file of a named encoding and decodes it piece by piece with `working` into
// `text`. With `resume`, decoding stops at the first piece for which `working` gives out a
// code; from there on the bytes are kept in `resume`, to be decoded with another working
// text. Closes the file.
DecodedFile ReadDecoded(InputFile& file, TextEncoding encoding, WorkingText& working,
                        int splitWidth, const RunFlags& flags, std::string& text,
                        ResumePoint* resume = nullptr) {
  IntakeReach reach(splitWidth);
  file.SetStopFlag(&flags.CancelRequested, flags.CommandStop);
  const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(file.Length(), 1u << 30));
  text.reserve(length + 16);
  WorkingText::FileDecoder decoder(working, encoding, &text);
  const auto stopsHere = [&] { return resume != nullptr && resume->decoder; };
  // Decodes a piece (or the end: nullopt); false when `working` ran out of codes.
  auto decode = [&](std::optional<std::string_view> piece) {
    if (resume == nullptr) return piece ? decoder.Add(*piece) : decoder.Finish();
    WorkingText::FileDecoder before = decoder;
    const std::size_t textLength = text.size();
    const bool held = piece ? decoder.Add(*piece) : decoder.Finish();
    if (!working.GaveOutCodes()) return held;
    resume->decoder.emplace(std::move(before));
    resume->textLength = textLength;
    if (piece) resume->bytes.assign(*piece);
    return true;
  };
  // Kept for the thread's next file: a folder run reads many.
  thread_local std::vector<char> piece(kPieceSize);
  DecodedFile decoded;
  std::string head;  // the file's first bytes, for its byte order mark
  for (;;) {
    std::size_t got = 0;
    decoded.status = file.Read(piece.data(), piece.size(), &got);
    if (!decoded.status.ok() || got == 0 || flags.StopRequested()) break;
    const std::string_view bytes(piece.data(), got);
    if (head.size() < kUtf8Bom.size()) head.append(bytes.substr(0, kUtf8Bom.size() - head.size()));
    decoded.cutShort = !reach.Take(bytes);
    if (stopsHere()) {
      resume->bytes.append(bytes);
    } else if (!(decoded.held = decode(bytes))) {
      break;
    }
    if (decoded.cutShort) break;
  }
  // A file read only as far as intake reaches may end within a character: what it would
  // decode to lies beyond the line limit, so the decoder is not asked to finish it.
  if (decoded.status.ok() && decoded.held && !flags.StopRequested() && !stopsHere() &&
      !decoded.cutShort) {
    decoded.held = decode(std::nullopt);
  }
  file.Close();
  decoded.invalidLines = decoder.InvalidLines();
  decoded.byteOrderMark = encoding == TextEncoding::kUtf8 && HasUtf8Bom(head);
  return decoded;
}

bool ReadAndHeld(const DecodedFile& decoded, const RunFlags& flags) {
  return decoded.status.ok() && decoded.held && !flags.StopRequested();
}

}  // namespace

DecodedInputs ReadBothDecoded(InputFile& oldFile, TextEncoding oldEncoding, InputFile& newFile,
                              TextEncoding newEncoding, WorkingText& working, int splitWidth,
                              const RunFlags& flags, std::string& oldText, std::string& newText) {
  // Below this, decoding the new file takes little more than starting a thread.
  constexpr std::uint64_t kOwnThreadBytes = 64 << 10;
  // The new file read beside the old one is decoded with a working text of its own: that
  // gives the same text as long as it gives out no code, as such codes must follow the old
  // file's. From the first one on, its bytes are kept and decoded after the old file.
  DecodedInputs inputs;
  ResumePoint resume;
  std::unique_ptr<WorkingText> newWorking;
  std::exception_ptr newFailure;
  std::jthread newReader;
  if (newFile.Length() >= kOwnThreadBytes) {
    newWorking = std::make_unique<WorkingText>(true);
    const bool started = StartOwnThread(newReader, [&] {
      try {
        inputs.newFile =
            ReadDecoded(newFile, newEncoding, *newWorking, splitWidth, flags, newText, &resume);
      } catch (...) {
        newFailure = std::current_exception();
      }
    });
    if (!started) newWorking.reset();
  }
  inputs.oldFile = ReadDecoded(oldFile, oldEncoding, working, splitWidth, flags, oldText);
  if (newReader.joinable()) newReader.join();
  if (newFailure) std::rethrow_exception(newFailure);
  if (!ReadAndHeld(inputs.oldFile, flags)) return inputs;
  if (!newWorking) {
    inputs.newFile = ReadDecoded(newFile, newEncoding, working, splitWidth, flags, newText);
  } else if (resume.decoder && inputs.newFile.status.ok() && !flags.StopRequested()) {
    newText.resize(resume.textLength);
    WorkingText::FileDecoder& decoder = *resume.decoder;
    decoder.ContinueWith(working);
    inputs.newFile.held =
        decoder.Add(resume.bytes) && (inputs.newFile.cutShort || decoder.Finish());
    inputs.newFile.invalidLines = decoder.InvalidLines();
  }
  return inputs;
}

Status ReadHead(InputFile& file, const RunFlags& flags, std::string& head) {
  file.SetStopFlag(&flags.CancelRequested, flags.CommandStop);
  head.resize(kPieceSize);
  std::size_t got = 0;
  Status status = file.Read(head.data(), head.size(), &got);
  head.resize(status.ok() && !flags.StopRequested() ? got : 0);
  return status;
}

Status ReadUndecoded(InputFile& file, int splitWidth, const RunFlags& flags, std::string& content) {
  file.SetStopFlag(&flags.CancelRequested, flags.CommandStop);
  IntakeReach reach(splitWidth);
  // Bytes of a character cut at the end are all beyond ASCII in every encoding.
  auto cutAtReach = [&content] {
    for (int k = 0; k < 3 && !content.empty() && (content.back() & 0x80) != 0; ++k) {
      content.pop_back();
    }
  };
  Status status = Status::Ok();
  if (!content.empty() && !reach.Take(content)) {
    cutAtReach();
    file.Close();
    return status;
  }
  thread_local std::vector<char> piece(kPieceSize);
  for (;;) {
    std::size_t got = 0;
    status = file.Read(piece.data(), piece.size(), &got);
    if (!status.ok() || got == 0 || flags.StopRequested()) break;
    content.append(piece.data(), got);
    if (!reach.Take(std::string_view(piece.data(), got))) {
      cutAtReach();
      break;
    }
  }
  file.Close();
  return status;
}

bool DecodeContent(WorkingText& working, TextEncoding encoding, std::string& content,
                   int* invalidLines) {
  *invalidLines = 0;
  if (!working.DecodesAll()) return true;
  std::string text;
  if (!working.FromFile(content, encoding, &text, invalidLines)) return false;
  content.swap(text);
  return true;
}

}  // namespace verko
