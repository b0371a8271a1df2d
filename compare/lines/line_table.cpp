#include "compare/lines/line_table.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

namespace verko {
namespace {

// The least a new block holds: small files take one block, large ones a few dozen.
constexpr std::size_t kBlockSize = 256 * 1024;

// Whether `text` lies wholly inside `kept`.
bool LiesIn(std::string_view text, std::string_view kept) {
  const auto begin = reinterpret_cast<std::uintptr_t>(kept.data());
  const auto at = reinterpret_cast<std::uintptr_t>(text.data());
  return at >= begin && at - begin <= kept.size() && text.size() <= kept.size() - (at - begin);
}

}  // namespace

LineTable::LineTable(const LineTable& other) {
  *this = other;
}

LineTable& LineTable::operator=(const LineTable& other) {
  if (this == &other) return *this;
  LineTable copy;
  std::size_t bytes = 0;
  for (const LineRecord& record : other.records_) bytes += record.Text.size();
  copy.Reserve(other.records_.size(), bytes);
  for (const LineRecord& record : other.records_) {
    copy.Append(record.LineNo, record.PartNo, record.Text);
  }
  return *this = std::move(copy);
}

LineTable::LineTable(LineTable&& other) noexcept
    : records_(std::move(other.records_)),
      blocks_(std::move(other.blocks_)),
      spare_(std::exchange(other.spare_, {})),
      held_(std::move(other.held_)),
      free_(std::exchange(other.free_, nullptr)),
      left_(std::exchange(other.left_, 0)),
      kept_(std::exchange(other.kept_, {})) {
  other.records_.clear();
  other.blocks_.clear();
  other.held_.clear();
}

LineTable& LineTable::operator=(LineTable&& other) noexcept {
  if (this == &other) return *this;
  records_ = std::move(other.records_);
  blocks_ = std::move(other.blocks_);
  spare_ = std::exchange(other.spare_, {});
  held_ = std::move(other.held_);
  free_ = std::exchange(other.free_, nullptr);
  left_ = std::exchange(other.left_, 0);
  kept_ = std::exchange(other.kept_, {});
  other.records_.clear();
  other.blocks_.clear();
  other.held_.clear();
  return *this;
}

void LineTable::Append(int lineNo, int partNo, std::string_view text) {
  records_.push_back(LineRecord{Count() + 1, lineNo, partNo, Store(text)});
}

void LineTable::Reserve(std::size_t lines, std::size_t bytes) {
  records_.reserve(records_.size() + lines);
  if (bytes > left_) TakeBlock(bytes);
}

void LineTable::Clear() {
  records_.clear();
  held_.clear();
  for (Block& block : blocks_) {
    if (block.size > spare_.size) spare_ = std::move(block);
  }
  blocks_.clear();
  free_ = nullptr;
  left_ = 0;
  kept_ = {};
}

std::string_view LineTable::Hold(std::string text) {
  held_.push_back(std::make_unique<const std::string>(std::move(text)));
  return *held_.back();
}

char* LineTable::RoomToRead(std::size_t most, std::size_t* room) {
  if (left_ == 0) TakeBlock(std::max(most, kBlockSize));
  *room = std::min(most, left_);
  return free_;
}

std::string_view LineTable::KeepRead(std::size_t n) {
  kept_ = std::string_view(free_, n);
  free_ += n;
  left_ -= n;
  return kept_;
}

std::string_view LineTable::Store(std::string_view text) {
  if (text.empty()) return {};
  // Lines come from the piece read last, when they come from a piece.
  if (LiesIn(text, kept_)) return text;
  // A text that lies inside a held text already stays where it is.
  for (const auto& held : held_) {
    if (LiesIn(text, *held)) return text;
  }
  if (text.size() > left_) TakeBlock(std::max(text.size(), kBlockSize));
  char* stored = free_;
  std::memcpy(stored, text.data(), text.size());
  free_ += text.size();
  left_ -= text.size();
  return {stored, text.size()};
}

void LineTable::TakeBlock(std::size_t size) {
  if (spare_.size >= size) {
    blocks_.push_back(std::exchange(spare_, {}));
  } else {
    blocks_.push_back({std::make_unique_for_overwrite<char[]>(size), size});
  }
  free_ = blocks_.back().bytes.get();
  left_ = blocks_.back().size;
}

}  // namespace verko
