// verko-bench-gen: writes the file pairs of the speed comparison against GNU diff.
// Every file is CP932 text with CR LF line ends, made from fixed seeds so that every run
// measures the same bytes; pairs.tsv lists the pairs for bench/run.sh.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "common/encoding.h"
#include "common/split_width.h"

namespace {

using Lines = std::vector<std::string>;

constexpr int kSmallLines = 2000;
constexpr int kLargeLines = 32000;
constexpr int kEditPercent = 5;
constexpr int kDistinctTexts = 16;
constexpr int kShuffledBlocks = 200;
constexpr int kShuffledBlockLines = kLargeLines / kShuffledBlocks;
constexpr int kFolderPairs = 300;

// SplitMix64. The standard distributions differ between libraries; this does not, so the
// files are the same wherever they are generated.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}

  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  // Uniform in [0, n); n > 0.
  int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }
  // Uniform in [low, high].
  int Between(int low, int high) { return low + Below(high - low + 1); }
  bool Chance(int percent) { return Below(100) < percent; }
  const std::string& Pick(const std::vector<std::string>& texts) {
    return texts[Below(static_cast<int>(texts.size()))];
  }

 private:
  std::uint64_t state_;
};

std::vector<std::string> ToCp932All(std::initializer_list<const char*> utf8) {
  std::vector<std::string> out;
  for (const char* text : utf8) out.push_back(verko::ToCp932(text));
  return out;
}

// Where the edits of a pair take their new lines from, and how a changed line looks.
class LineSource {
 public:
  virtual ~LineSource() = default;
  virtual Lines Take(int count) = 0;
  virtual std::string Rewrite(const std::string& line) = 0;
};

// C-like source: functions with nested blocks, two-blank indentation, many repeated lines
// ("}", blank lines, common declarations) and some Japanese comments.
class CodeWriter : public LineSource {
 public:
  explicit CodeWriter(std::uint64_t seed)
      : rng_(seed),
        comments_(ToCp932All({"// 行の一覧を読み込む", "// 索引を作り直す", "// 結果を書き出す",
                              "// 空の行は飛ばす", "// 件数を数える", "// エラーなら中止する",
                              "// 文字コードを確認する", "// 次の項目へ進む"})) {}

  Lines Take(int count) override {
    while (static_cast<int>(pending_.size()) < count) WriteFunction();
    Lines out(pending_.begin(), pending_.begin() + count);
    pending_.erase(pending_.begin(), pending_.begin() + count);
    return out;
  }

  std::string Rewrite(const std::string& line) override {
    if (line.empty()) return Take(1)[0];
    if (line.back() == ';') return line.substr(0, line.size() - 1) + " + " + Number() + ";";
    return line + " " + rng_.Pick(comments_);
  }

 private:
  std::string Identifier() { return rng_.Pick(kVerbs) + "_" + rng_.Pick(kNouns); }
  std::string Variable() { return rng_.Pick(kNouns); }
  std::string Number() { return std::to_string(rng_.Below(rng_.Chance(70) ? 10 : 1000)); }
  static std::string Indent(int depth) { return std::string(2 * depth, ' '); }

  void WriteFunction() {
    if (rng_.Chance(40)) pending_.push_back(rng_.Pick(comments_));
    ++functions_;
    pending_.push_back("static " + rng_.Pick(kTypes) + " " + Identifier() + "_" +
                       std::to_string(functions_) + "(const " + rng_.Pick(kTypes) + "* " +
                       Variable() + ", size_t count) {");
    int statements = rng_.Between(2, 7);
    for (int i = 0; i < statements; ++i) WriteStatement(1);
    pending_.push_back("  return " + (rng_.Chance(50) ? Variable() : Number()) + ";");
    pending_.push_back("}");
    pending_.push_back("");
  }

  void WriteStatement(int depth) {
    const std::string in = Indent(depth);
    int kind = rng_.Below(depth < 4 ? 10 : 6);
    switch (kind) {
      case 0:
      case 1:
        pending_.push_back(in + rng_.Pick(kTypes) + " " + Variable() + " = " + Number() + ";");
        return;
      case 2:
      case 3:
        pending_.push_back(in + Variable() + " = " + Identifier() + "(" + Variable() + ", " +
                           Number() + ");");
        return;
      case 4:
        pending_.push_back(in + Variable() + " += " + Variable() + "[i];");
        return;
      case 5:
        if (rng_.Chance(30)) pending_.push_back("");
        pending_.push_back(in + Identifier() + "(" + Variable() + ");");
        return;
      case 6:
      case 7:
        pending_.push_back(in + "if (" + Variable() + " " + rng_.Pick(kComparisons) + " " +
                           Number() + ") {");
        WriteBody(depth + 1);
        if (rng_.Chance(30)) {
          pending_.push_back(in + "} else {");
          WriteBody(depth + 1);
        }
        pending_.push_back(in + "}");
        return;
      case 8:
        pending_.push_back(in + "for (size_t i = 0; i < count; ++i) {");
        WriteBody(depth + 1);
        pending_.push_back(in + "}");
        return;
      default:
        pending_.push_back(in + "while (" + Identifier() + "(" + Variable() + ")) {");
        WriteBody(depth + 1);
        pending_.push_back(in + "}");
        return;
    }
  }

  void WriteBody(int depth) {
    int statements = rng_.Between(1, 3);
    for (int i = 0; i < statements; ++i) WriteStatement(depth);
    if (rng_.Chance(15))
      pending_.push_back(Indent(depth) + (rng_.Chance(50) ? "break;" : "continue;"));
  }

  inline static const std::vector<std::string> kVerbs = {"get",    "set",   "read",  "write",
                                                         "update", "find",  "parse", "count",
                                                         "load",   "store", "check", "build"};
  inline static const std::vector<std::string> kNouns = {
      "line", "record", "table", "index",  "text",   "buffer", "entry",
      "node", "value",  "name",  "offset", "status", "total",  "width"};
  inline static const std::vector<std::string> kTypes = {"int",   "size_t", "char",    "Record",
                                                         "Entry", "bool",   "uint16_t"};
  inline static const std::vector<std::string> kComparisons = {"<", ">", "==", "!=", "<=", ">="};

  Random rng_;
  std::vector<std::string> comments_;
  Lines pending_;
  int functions_ = 0;
};

// Japanese prose in paragraphs, some lines with an English sentence. With paragraph breaks
// off, nearly every line is distinct.
class ProseWriter : public LineSource {
 public:
  ProseWriter(std::uint64_t seed, bool paragraphBreaks)
      : rng_(seed),
        paragraphBreaks_(paragraphBreaks),
        connectors_(
            ToCp932All({"また、", "しかし、", "そのため、", "なお、", "一方で、", "", "", ""})),
        subjects_(
            ToCp932All({"私たちは", "この会社は", "新しい制度では", "担当者は", "利用者の多くは",
                        "東京の支店では", "今年度の計画では", "彼女は", "開発チームは", "顧客は",
                        "管理部門は", "大阪の工場では", "営業担当の田中さんは"})),
        adverbs_(ToCp932All(
            {"慎重に", "すぐに", "改めて", "毎週", "丁寧に", "できるだけ早く", "念のため", ""})),
        objects_(ToCp932All({"報告書を", "新しい製品を", "会議の資料を", "品質の問題を",
                             "システムの設定を", "来月の予定を", "売上の推移を", "作業の手順を",
                             "仕様の変更点を", "古いデータを", "サーバーのログを",
                             "データベースの索引を", "プロジェクトの進捗を"})),
        verbs_(
            ToCp932All({"確認しました。", "検討しています。", "見直す予定です。", "まとめました。",
                        "提出してください。", "共有する必要があります。", "比較しました。",
                        "修正しました。", "説明しました。", "整理しておきます。"})),
        counted_(ToCp932All({"件の問い合わせがありました。", "人が参加しました。",
                             "ページの資料を配布しました。", "時間かかりました。"})),
        indent_(verko::ToCp932("　")) {}

  Lines Take(int count) override {
    Lines out;
    while (static_cast<int>(out.size()) < count) {
      if (paragraphBreaks_ && linesLeft_ == 0) {
        if (started_) {
          out.push_back("");
          if (static_cast<int>(out.size()) == count) break;
        }
        linesLeft_ = rng_.Between(2, 6);
        paragraphStart_ = true;
      }
      out.push_back((paragraphStart_ && rng_.Chance(60) ? indent_ : "") + Line());
      started_ = true;
      paragraphStart_ = false;
      if (linesLeft_ > 0) --linesLeft_;
    }
    return out;
  }

  std::string Rewrite(const std::string& line) override {
    std::string more = Sentence();
    if (line.empty() || line.size() + more.size() > kLineBytes || rng_.Chance(50)) return Line();
    return line + more;
  }

 private:
  // Lines stay well under the bytes (kMaxSplitWidth) beyond which a line is stored in parts.
  static constexpr std::size_t kLineBytes = 200;

  std::string Line() {
    std::string line = Sentence();
    int sentences = rng_.Between(1, 3);
    for (int i = 1; i < sentences; ++i) {
      std::string more = Sentence();
      if (line.size() + more.size() > kLineBytes) break;
      line += more;
    }
    return line;
  }

  std::string Sentence() {
    int kind = rng_.Below(10);
    if (kind == 0) return English();
    if (kind == 1) return std::to_string(rng_.Between(2, 120)) + rng_.Pick(counted_);
    std::string s = rng_.Pick(connectors_) + rng_.Pick(subjects_) + rng_.Pick(adverbs_) +
                    rng_.Pick(objects_) + rng_.Pick(verbs_);
    if (kind == 2) s = English() + " " + s;
    return s;
  }

  std::string English() {
    static const std::vector<std::string> subjects = {
        "The team", "Our customer", "The new release", "This report", "The server", "Each user"};
    static const std::vector<std::string> verbs = {"reviewed", "updated", "described",
                                                   "compared", "fixed",   "checked"};
    static const std::vector<std::string> objects = {"the schedule",     "the database index",
                                                     "the test results", "the user manual",
                                                     "the settings",     "the old records"};
    return rng_.Pick(subjects) + " " + rng_.Pick(verbs) + " " + rng_.Pick(objects) + " in " +
           (rng_.Chance(50) ? "version 2." + std::to_string(rng_.Below(20)) : "April") + ".";
  }

  Random rng_;
  bool paragraphBreaks_;
  bool started_ = false;
  bool paragraphStart_ = false;
  int linesLeft_ = 0;
  std::vector<std::string> connectors_, subjects_, adverbs_, objects_, verbs_, counted_;
  std::string indent_;
};

// Lines drawn at random from a fixed small set of texts; a changed line becomes another
// text of the set.
class FewTextsSource : public LineSource {
 public:
  FewTextsSource(std::uint64_t seed, std::vector<std::string> texts)
      : rng_(seed), texts_(std::move(texts)) {}

  Lines Take(int count) override {
    Lines out;
    for (int i = 0; i < count; ++i) out.push_back(rng_.Pick(texts_));
    return out;
  }

  std::string Rewrite(const std::string& line) override {
    std::string text = line;
    while (text == line) text = rng_.Pick(texts_);
    return text;
  }

 private:
  Random rng_;
  std::vector<std::string> texts_;
};

// The new file from the old one: about kEditPercent of the lines take part in edits, in
// blocks that are inserted, deleted, changed or moved. Every deleted block is balanced by an
// inserted one of the same size, so both files have the same number of lines (which keeps a
// 32,000-line pair within the line limit).
class EditPlan {
 public:
  EditPlan(const Lines& old, Random* rng)
      : old_(old),
        rng_(rng),
        busy_(old.size() + 1, false),
        before_(old.size() + 1),
        dropped_(old.size(), false),
        changed_(old.size(), false) {}

  Lines Apply(LineSource* source) {
    const int budget = static_cast<int>(old_.size()) * kEditPercent / 100;
    int edited = 0;
    while (edited < budget) {
      int kind = rng_->Below(4);
      int size = kind == 3 ? rng_->Between(4, 30) : rng_->Between(1, 8);
      int from = ClaimBlock(size);
      if (from < 0) break;
      if (kind == 2) {
        for (int i = from; i < from + size; ++i) changed_[i] = true;
        edited += size;
        continue;
      }
      int to = ClaimGap();
      if (to < 0) break;
      for (int i = from; i < from + size; ++i) dropped_[i] = true;
      if (kind == 3) {
        before_[to].insert(before_[to].end(), old_.begin() + from, old_.begin() + from + size);
        edited += size;
      } else {
        Lines fresh = source->Take(size);
        before_[to].insert(before_[to].end(), fresh.begin(), fresh.end());
        edited += 2 * size;
      }
    }
    Lines out;
    out.reserve(old_.size());
    for (std::size_t i = 0; i <= old_.size(); ++i) {
      out.insert(out.end(), before_[i].begin(), before_[i].end());
      if (i == old_.size() || dropped_[i]) continue;
      out.push_back(changed_[i] ? source->Rewrite(old_[i]) : old_[i]);
    }
    return out;
  }

 private:
  static constexpr int kAttempts = 1000;

  // A run of `size` untouched lines with an untouched line on either side, so that blocks
  // stay apart; -1 when none is found.
  int ClaimBlock(int size) {
    const int n = static_cast<int>(old_.size());
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
      int from = rng_->Below(n - size + 1);
      int low = from > 0 ? from - 1 : 0, high = from + size < n ? from + size : n;
      bool free = true;
      for (int i = low; i <= high && free; ++i) free = !busy_[i];
      if (!free) continue;
      for (int i = from; i < from + size; ++i) busy_[i] = true;
      return from;
    }
    return -1;
  }

  // A place between untouched lines (or at the end) to insert before.
  int ClaimGap() {
    const int n = static_cast<int>(old_.size());
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
      int at = rng_->Below(n + 1);
      if (busy_[at] || (at > 0 && busy_[at - 1])) continue;
      busy_[at] = true;
      return at;
    }
    return -1;
  }

  const Lines& old_;
  Random* rng_;
  std::vector<bool> busy_;
  std::vector<Lines> before_;
  std::vector<bool> dropped_, changed_;
};

struct Pair {
  std::string name;
  std::string group;  // "normal" or "adversarial"
  Lines oldLines, newLines;
};

Pair EditedPair(std::string name, std::string group, LineSource* source, int lines,
                std::uint64_t editSeed) {
  Pair pair{std::move(name), std::move(group), source->Take(lines), {}};
  Random rng(editSeed);
  pair.newLines = EditPlan(pair.oldLines, &rng).Apply(source);
  return pair;
}

Pair CodePair(int lines, std::uint64_t seed) {
  CodeWriter code(seed);
  return EditedPair("code-" + std::to_string(lines), "normal", &code, lines, seed + 1);
}

Pair ProsePair(int lines, std::uint64_t seed) {
  ProseWriter prose(seed, true);
  return EditedPair("prose-" + std::to_string(lines), "normal", &prose, lines, seed + 1);
}

// 32,000 lines with only kDistinctTexts texts, in random order in both files.
Pair FewTextsPair(std::uint64_t seed) {
  std::vector<std::string> texts =
      ToCp932All({"}", "", "  return 0;", "  }", "    break;", "  i++;", "#endif", "/* 未使用 */",
                  "    count += 1;", "  if (error) {", "else", "　以上です。",
                  "ありがとうございました。", "----", "END", "  x = 0;"});
  FewTextsSource source(seed, texts);
  return EditedPair("adv-16-texts", "adversarial", &source, kLargeLines, seed + 1);
}

// 32,000 nearly all distinct lines against the same lines in reverse order.
Pair ReversedPair(std::uint64_t seed) {
  ProseWriter prose(seed, false);
  Pair pair{"adv-reversed", "adversarial", prose.Take(kLargeLines), {}};
  pair.newLines.assign(pair.oldLines.rbegin(), pair.oldLines.rend());
  return pair;
}

// 32,000 lines of code cut into 200 blocks of 160 lines, the blocks shuffled in the new file.
Pair ShuffledBlocksPair(std::uint64_t seed) {
  CodeWriter code(seed);
  Pair pair{"adv-shuffled-blocks", "adversarial", code.Take(kLargeLines), {}};
  std::vector<int> order(kShuffledBlocks);
  for (int i = 0; i < kShuffledBlocks; ++i) order[i] = i;
  Random rng(seed + 1);
  for (int i = kShuffledBlocks - 1; i > 0; --i) std::swap(order[i], order[rng.Below(i + 1)]);
  for (int block : order) {
    auto first = pair.oldLines.begin() + block * kShuffledBlockLines;
    pair.newLines.insert(pair.newLines.end(), first, first + kShuffledBlockLines);
  }
  return pair;
}

// Each line must make one record of at most kMaxSplitWidth bytes and a file must stay within the
// line limit, or the two programs would not be comparing the same lines.
bool FitsOneRecordPerLine(const Lines& lines) {
  if (lines.size() > static_cast<std::size_t>(kLargeLines)) return false;
  for (const std::string& line : lines) {
    if (line.size() > static_cast<std::size_t>(verko::kMaxSplitWidth) ||
        line.find_first_of("\r\n") != std::string::npos)
      return false;
  }
  return true;
}

bool WriteLines(const std::string& path, const Lines& lines) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  for (const std::string& line : lines) out << line << "\r\n";
  out.close();
  return static_cast<bool>(out);
}

// The folders of the folder comparison: kFolderPairs files of kSmallLines lines in old/ and
// the same names in new/, code and prose in turn, each file pair from its own seeds.
int WriteFolders(const std::string& dir) {
  for (const char* side : {"/old", "/new"}) {
    if (mkdir((dir + side).c_str(), 0777) != 0 && errno != EEXIST) {
      std::fprintf(stderr, "verko-bench-gen: cannot make %s%s\n", dir.c_str(), side);
      return 1;
    }
  }
  for (int i = 0; i < kFolderPairs; ++i) {
    const std::uint64_t seed = 5000 + 2 * static_cast<std::uint64_t>(i);
    Pair pair = i % 2 == 0 ? CodePair(kSmallLines, seed) : ProsePair(kSmallLines, seed);
    char name[32];
    std::snprintf(name, sizeof name, "/%03d-%s.txt", i, i % 2 == 0 ? "code" : "prose");
    if (!WriteLines(dir + "/old" + name, pair.oldLines) ||
        !WriteLines(dir + "/new" + name, pair.newLines)) {
      std::fprintf(stderr, "verko-bench-gen: cannot write %s in %s\n", name + 1, dir.c_str());
      return 1;
    }
  }
  return 0;
}

// One to three characters of `line` replaced at a random place, as a typical edit inside a
// line does (a date, a name, a number): code lines take digits and letters, prose lines
// kanji. An empty line gets a short text. Works on CP932 characters.
std::string EditInside(const std::string& line, bool prose, Random* rng) {
  static const std::vector<std::string> kanji = ToCp932All(
      {"山", "田", "鈴", "木", "佐", "藤", "日", "月", "甲", "乙", "丙", "第", "条", "項", "号"});
  static const std::vector<std::string> ascii = {"0", "1", "7", "9", "x", "n", "_tmp", "+"};
  const std::vector<std::string>& pool = prose ? kanji : ascii;
  std::vector<std::size_t> starts;  // character boundaries
  for (std::size_t pos = 0; pos < line.size();) {
    starts.push_back(pos);
    const auto byte = static_cast<unsigned char>(line[pos]);
    pos += (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC) ? 2 : 1;
  }
  if (starts.empty()) return rng->Pick(pool) + rng->Pick(pool);
  const int at = rng->Below(static_cast<int>(starts.size()));
  const int count = std::min(rng->Between(1, 3), static_cast<int>(starts.size()) - at);
  const std::size_t end =
      at + count < static_cast<int>(starts.size()) ? starts[at + count] : line.size();
  std::string replacement;
  for (int i = 0; i < count; ++i) replacement += rng->Pick(pool);
  if (replacement == line.substr(starts[at], end - starts[at])) replacement += rng->Pick(pool);
  return line.substr(0, starts[at]) + replacement + line.substr(end);
}

// The pairs of the changed-character bench: every line of the new file is its old line
// with a few characters replaced.
int WriteChangedPairs(const std::string& dir) {
  for (const int lines : {kSmallLines, kLargeLines}) {
    for (const bool prose : {false, true}) {
      const std::uint64_t seed = 7000 + static_cast<std::uint64_t>(lines) + (prose ? 1 : 0);
      CodeWriter code(seed);
      ProseWriter proseWriter(seed, true);
      LineSource* source = prose ? static_cast<LineSource*>(&proseWriter) : &code;
      Pair pair{std::string(prose ? "changed-prose-" : "changed-code-") + std::to_string(lines),
                "changed",
                source->Take(lines),
                {}};
      Random rng(seed + 1);
      for (const std::string& line : pair.oldLines) {
        pair.newLines.push_back(EditInside(line, prose, &rng));
      }
      if (!FitsOneRecordPerLine(pair.newLines)) {
        std::fprintf(stderr, "verko-bench-gen: %s has a line too long\n", pair.name.c_str());
        return 1;
      }
      if (!WriteLines(dir + "/" + pair.name + ".old.txt", pair.oldLines) ||
          !WriteLines(dir + "/" + pair.name + ".new.txt", pair.newLines)) {
        std::fprintf(stderr, "verko-bench-gen: cannot write %s in %s\n", pair.name.c_str(),
                     dir.c_str());
        return 1;
      }
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--folders") return WriteFolders(argv[2]);
  if (argc == 3 && std::string(argv[1]) == "--changed") return WriteChangedPairs(argv[2]);
  if (argc != 2) {
    std::fprintf(stderr,
                 "usage: verko-bench-gen OUTPUT_DIR\n       verko-bench-gen --folders OUTPUT_DIR\n"
                 "       verko-bench-gen --changed OUTPUT_DIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  std::vector<Pair> pairs;
  pairs.push_back(CodePair(kSmallLines, 1001));
  pairs.push_back(CodePair(kLargeLines, 1002));
  pairs.push_back(ProsePair(kSmallLines, 2001));
  pairs.push_back(ProsePair(kLargeLines, 2002));
  pairs.push_back(FewTextsPair(3001));
  pairs.push_back(ReversedPair(3002));
  pairs.push_back(ShuffledBlocksPair(3003));

  std::ofstream manifest(dir + "/pairs.tsv", std::ios::trunc);
  for (const Pair& pair : pairs) {
    if (!FitsOneRecordPerLine(pair.oldLines) || !FitsOneRecordPerLine(pair.newLines)) {
      std::fprintf(stderr, "verko-bench-gen: %s has a line too long or too many lines\n",
                   pair.name.c_str());
      return 1;
    }
    const std::string oldName = pair.name + ".old.txt", newName = pair.name + ".new.txt";
    if (!WriteLines(dir + "/" + oldName, pair.oldLines) ||
        !WriteLines(dir + "/" + newName, pair.newLines)) {
      std::fprintf(stderr, "verko-bench-gen: cannot write %s in %s\n", pair.name.c_str(),
                   dir.c_str());
      return 1;
    }
    manifest << pair.name << '\t' << pair.group << '\t' << pair.oldLines.size() << '\t'
             << pair.newLines.size() << '\t' << oldName << '\t' << newName << '\n';
  }
  manifest.close();
  if (!manifest) {
    std::fprintf(stderr, "verko-bench-gen: cannot write %s/pairs.tsv\n", dir.c_str());
    return 1;
  }
  return 0;
}
