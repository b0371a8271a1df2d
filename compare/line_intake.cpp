#include "compare/line_intake.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

#include "common/cp932.h"
#include "common/rounding.h"
#include "compare/lines/line_splitter.h"

namespace verko {
namespace {

constexpr std::size_t kChunkSize = 64 * 1024;
// Without a known length (a pipe, a device) the bar cannot move, but the cancel command is
// still served after every this many bytes.
constexpr std::uint64_t kUnknownLengthStep = 1 << 20;
// Cutting one very wide line can take long (a slow split pattern): the cancel command is
// served between its parts at least this often.
constexpr auto kYieldInterval = std::chrono::milliseconds(100);

// The most raw bytes of one line that intake holds. Every part of a cut line takes at most
// the split width, so twice what the remaining records can hold always reaches the line
// limit, with room ahead of every cut for a pattern that looks forward; only a line that
// normalising shrinks (long runs of blanks) can stop short of it, and is then cut there.
std::size_t MaxHeldLine(int storedRecords, int splitWidth) {
  std::size_t remaining = static_cast<std::size_t>(kMaxLines - storedRecords) + 1;
  return 2 * remaining * static_cast<std::size_t>(splitWidth) + kChunkSize;
}

// Stores lines as records: a line that fits whole, or its parts cut by SplitLine.
class Intake {
 public:
  Intake(const IntakeOptions& options, FileRole role, CompareHost& host, ProgressMeter& progress,
         LineTable& table, IntakeResult& result)
      : options_(options),
        role_(role),
        host_(host),
        progress_(progress),
        table_(table),
        result_(result),
        lookahead_(SplitLookaheadChars(options.splitWidth, options.splitChar)) {}

  // Stores one normalised line, in parts when it is too wide. kStop when a cancel was
  // seen between parts; false in `stored` when the line limit stopped the file.
  Flow StoreLine(int lineNo, std::string_view line, bool* stored) {
    *stored = true;
    if (ByteLength(line) <= options_.splitWidth) {
      *stored = Append(lineNo, 0, line);
      if (!*stored) result_.cut = {lineNo, false};
      return Flow::kContinue;
    }
    std::string_view remaining = line;
    int partNo = 0;
    bool tooSlow = false;  // once the pattern is too slow on a line, its rest is cut by characters
    while (!remaining.empty()) {
      // The default pattern is cut the same from a window of the line; any other pattern
      // is searched in the whole remaining text.
      std::string_view seen = remaining;
      if (lookahead_ > 0) seen = remaining.substr(0, ByteOffsetOfChar(remaining, lookahead_));
      std::size_t head = SplitHeadLength(seen, options_.splitWidth, options_.splitChar, &tooSlow);
      if (tooSlow && result_.tooSlowLine == 0) result_.tooSlowLine = lineNo;
      if (!Append(lineNo, ++partNo, WithoutTrailingSpaces(remaining.substr(0, head)))) {
        result_.cut = {lineNo, partNo > 1};
        *stored = false;
        return Flow::kContinue;
      }
      remaining.remove_prefix(head);
      if (!remaining.empty() && YieldIfDue() == Flow::kStop) return Flow::kStop;
    }
    return Flow::kContinue;
  }

  // The line limit stops the file within a line although records remain: the rest of the
  // line is not read (see MaxHeldLine).
  void CutWithinLine(int lineNo) {
    host_.ShowLineLimitMessage(LineLimitMessage(role_), kLineLimitTitle);
    result_.cut = {lineNo, true};
  }

 private:
  bool Append(int lineNo, int partNo, std::string_view text) {
    if (table_.Count() >= kMaxLines) {
      host_.ShowLineLimitMessage(LineLimitMessage(role_), kLineLimitTitle);
      return false;
    }
    table_.Append(lineNo, partNo, text);
    return true;
  }

  Flow YieldIfDue() {
    auto now = std::chrono::steady_clock::now();
    if (now - lastYield_ < kYieldInterval) return Flow::kContinue;
    lastYield_ = now;
    return progress_.Step(0);
  }

  const IntakeOptions& options_;
  FileRole role_;
  CompareHost& host_;
  ProgressMeter& progress_;
  LineTable& table_;
  IntakeResult& result_;
  const std::size_t lookahead_;
  std::chrono::steady_clock::time_point lastYield_ = std::chrono::steady_clock::now();
};

// Cuts a file's bytes into lines as they are read: CR LF, CR alone and LF alone each end a
// line and are not part of it; a last line without terminator counts, an empty tail does
// not. A line that lies within one piece read is handed over without a copy.
class ReadLoop {
 public:
  ReadLoop(ByteSource& source, const IntakeOptions& options, ProgressMeter& progress,
           Intake& intake, LineTable& table, IntakeResult& result)
      : source_(source),
        options_(options),
        progress_(progress),
        intake_(intake),
        table_(table),
        result_(result),
        length_(static_cast<double>(source.Length())) {}

  void Run() {
    while (true) {
      std::size_t got = 0;
      std::string_view piece;
      Status status = Status::Ok();
      if (source_.ReadInPlace(kChunkSize, &piece)) {
        got = piece.size();
      } else {
        // Read straight into the table's memory, where the lines of the piece then stay.
        std::size_t room = 0;
        char* into = table_.RoomToRead(kChunkSize, &room);
        status = source_.Read(into, room, &got);
        piece = table_.KeepRead(status.ok() ? got : 0);
      }
      if (progress_.CancelRequested()) {
        result_.flow = Flow::kStop;
        return;
      }
      if (!status.ok()) {
        result_.status = status;
        return;
      }
      if (got == 0) break;
      if (!TakeChunk(piece)) return;
    }
    if (lineOpen_ && !EndLine(held_, {})) return;
    ShowProgress(read_);
  }

 private:
  // False when reading ends (line limit, cancel, a line longer than intake holds).
  bool TakeChunk(std::string_view chunk) {
    std::size_t pos = 0;
    if (afterCr_ && chunk[0] == '\n') {
      pos = 1;
      if (options_.rawLines) options_.rawLines->CompleteCrLf();
    }
    afterCr_ = false;
    LineEnds ends(chunk);
    while (pos < chunk.size()) {
      std::size_t end = ends.Next(pos);
      if (end == chunk.size()) {
        Hold(chunk.substr(pos));
        break;
      }
      std::string_view piece = chunk.substr(pos, end - pos);
      const std::size_t endStart = end;
      pos = end + 1;
      if (chunk[end] == '\r') {
        if (pos < chunk.size() && chunk[pos] == '\n') {
          ++pos;
        } else if (pos == chunk.size()) {
          afterCr_ = true;  // an LF at the start of the next piece belongs to this CR
        }
      }
      if (!held_.empty()) {
        held_.append(piece);
        piece = held_;
      }
      if (!EndLine(piece, chunk.substr(endStart, pos - endStart))) return false;
      if (ShowProgress(read_ + pos) == Flow::kStop) return false;
    }
    read_ += chunk.size();
    if (ShowProgress(read_) == Flow::kStop) return false;
    if (held_.size() > MaxHeldLine(table_.Count(), options_.splitWidth)) {
      // Not even what is held reached the line limit (normalising shrank it): the rest of
      // this line is not read, and the file counts as cut within it.
      if (EndLine(held_, {})) intake_.CutWithinLine(lineNo_);
      return false;
    }
    return true;
  }

  // The line ends of a piece: the next CR and the next LF are each found with one memchr
  // that is reused until the scan passes it, so the piece is searched once even when only
  // one kind of line end occurs.
  class LineEnds {
   public:
    explicit LineEnds(std::string_view chunk) : chunk_(chunk) {}
    // The position of the next CR or LF at or after pos (the size when there is none).
    std::size_t Next(std::size_t pos) {
      return std::min(NextOf('\r', pos, nextCr_), NextOf('\n', pos, nextLf_));
    }

   private:
    std::size_t NextOf(char c, std::size_t pos, std::size_t& cached) {
      if (cached < pos || cached == kUnknown) {
        const void* found = std::memchr(chunk_.data() + pos, c, chunk_.size() - pos);
        cached = found ? static_cast<const char*>(found) - chunk_.data() : chunk_.size();
      }
      return cached;
    }

    static constexpr std::size_t kUnknown = static_cast<std::size_t>(-1);
    std::string_view chunk_;
    std::size_t nextCr_ = kUnknown;
    std::size_t nextLf_ = kUnknown;
  };

  void Hold(std::string_view text) {
    held_.append(text);
    lineOpen_ = true;
  }

  // Normalises and stores the line that just ended with `end`. False when reading ends.
  bool EndLine(std::string_view raw, std::string_view end) {
    ++lineNo_;
    bool stored = true;
    const int recordsBefore = table_.Count();
    Flow flow =
        intake_.StoreLine(lineNo_, NormalizeLine(raw, options_.normalize, &normalized_), &stored);
    if (options_.rawLines && table_.Count() > recordsBefore) options_.rawLines->Append(raw, end);
    held_.clear();
    lineOpen_ = false;
    if (flow == Flow::kStop) {
      result_.flow = Flow::kStop;
      return false;
    }
    return stored;
  }

  // Progress by bytes read, in steps of 128 bytes: at most 15 per file.
  Flow ShowProgress(std::uint64_t position) {
    if (length_ <= 0) {
      if (position < nextUnknownStep_) return Flow::kContinue;
      nextUnknownStep_ = position + kUnknownLengthStep;
      return Check(progress_.Step(0));
    }
    int ticks = RoundHalfEven(static_cast<double>(position / 128 * 128) / length_ * 15);
    ticks = std::min(ticks, 15);  // a file that grew while it was read
    if (ticks <= reportedTicks_) return Flow::kContinue;
    int delta = ticks - reportedTicks_;
    reportedTicks_ = ticks;
    return Check(progress_.Step(delta));
  }

  Flow Check(Flow flow) {
    if (flow == Flow::kStop) result_.flow = Flow::kStop;
    return flow;
  }

  ByteSource& source_;
  const IntakeOptions& options_;
  ProgressMeter& progress_;
  Intake& intake_;
  LineTable& table_;
  IntakeResult& result_;
  const double length_;
  std::string held_;        // the start of a line that continues in the next piece
  std::string normalized_;  // a line with its blanks compressed
  bool lineOpen_ = false;
  bool afterCr_ = false;
  int lineNo_ = 0;
  std::uint64_t read_ = 0;  // bytes of the pieces done
  std::uint64_t nextUnknownStep_ = kUnknownLengthStep;
  int reportedTicks_ = 0;
};

// How often `byte` occurs in `bytes`: memchr's wide compares make this a small part of a
// read, where a byte-by-byte count costs several instructions a byte.
std::uint64_t CountByte(std::string_view bytes, char byte) {
  std::uint64_t count = 0;
  const char* at = bytes.data();
  const char* const end = at + bytes.size();
  while (at < end) {
    at = static_cast<const char*>(std::memchr(at, byte, static_cast<std::size_t>(end - at)));
    if (!at) break;
    ++count;
    ++at;
  }
  return count;
}

}  // namespace

IntakeReach::IntakeReach(int splitWidth)
    : longestLine_(3 * (std::uint64_t{MaxHeldLine(0, std::max(splitWidth, 1))} + kChunkSize)) {}

bool IntakeReach::Take(std::string_view bytes) {
  carriageReturns_ += CountByte(bytes, '\r');
  lineFeeds_ += CountByte(bytes, '\n');
  const std::size_t lastEnd = bytes.find_last_of("\r\n");
  openLine_ =
      lastEnd == std::string_view::npos ? openLine_ + bytes.size() : bytes.size() - lastEnd - 1;
  // Each CR and each LF ends a line of its own (CR LF counts once, as either).
  const std::uint64_t lines = std::max(carriageReturns_, lineFeeds_);
  return lines <= std::uint64_t{kMaxLines} + 1 && openLine_ <= longestLine_;
}

std::string LineLimitMessage(FileRole role) {
  return std::string(role == FileRole::kOld ? "旧ファイル" : "新ファイル") +
         ": 処理できる最大行数（" + std::to_string(kMaxLines) +
         "）を超えました。\nそれ以降のテキストは無視して続行します。";
}

IntakeResult ReadFileLines(ByteSource& source, const IntakeOptions& options, FileRole role,
                           CompareHost& host, ProgressMeter& progress, LineTable& table) {
  IntakeResult result;
  // Normalised and cut lines are never longer than the file, and the line limit bounds
  // them too: a file of known length has its texts' room taken at once.
  const std::uint64_t mostText =
      std::uint64_t{kMaxLines} * static_cast<std::uint64_t>(std::max(options.splitWidth, 1));
  const std::uint64_t length = std::min<std::uint64_t>(source.Length(), mostText);
  // One byte more: the read that finds the file's end needs room too, or it would take a
  // block of its own.
  table.Reserve(static_cast<std::size_t>(std::min<std::uint64_t>(length / 16 + 16, kMaxLines)),
                length > 0 ? static_cast<std::size_t>(length) + 1 : 0);
  Intake intake(options, role, host, progress, table, result);
  ReadLoop(source, options, progress, intake, table, result).Run();
  return result;
}

}  // namespace verko
