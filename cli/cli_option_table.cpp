#include "cli/cli_option_table.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>

#include "common/encoding.h"
#include "common/option_value.h"
#include "common/split_width.h"
#include "platform/regexp.h"
#include "report/format_writer.h"

namespace verko {
namespace {

constexpr int kMaxJobs = 256;
constexpr const char* kEncodingWords = "cp932 shift_jis sjis utf-8 euc-jp auto";
// The width of --help's option column: the text starts after it.
constexpr std::size_t kHelpColumn = 23;

bool IsDirectory(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A split pattern is tried on a sample text, as the split-characters dialog does.
bool IsValidSplitPattern(const std::string& pattern) {
  int position = 0, length = 0;
  return MatchR(ToCp932("あいう ABC."), ToCp932(pattern), position, length) >= 0;
}

// An option that turns a comparison option to `value`.
template <auto member, auto value>
bool SetCompare(OptionUse& use) {
  use.options.request.options.*member = value;
  return true;
}

// An option that turns a command option on.
template <auto member>
bool SetFlag(OptionUse& use) {
  use.options.*member = true;
  return true;
}

bool Refuse(OptionUse& use, std::string message) {
  use.error = std::move(message);
  return false;
}

bool SetColor(OptionUse& use) {
  if (use.hasValue && !ParseColorWhen(use.value, &use.options.color)) {
    return Refuse(use, "--color の値は auto、always、never のいずれかです。");
  }
  return true;
}

bool AddFilePattern(OptionUse& use) {
  if (use.value.empty()) return Refuse(use, "--files にはファイル名のパターンを指定してください。");
  use.options.filePatterns.push_back(use.value);
  return true;
}

bool SetJobs(OptionUse& use) {
  if (!ParseOptionNumber(use.value, 1, kMaxJobs, &use.options.jobs) ||
      use.value.find_first_not_of("0123456789") != std::string::npos) {
    return Refuse(use, "同時に比較するペアの数が無効: 有効な入力値は 1～" +
                           std::to_string(kMaxJobs) + " です。");
  }
  return true;
}

bool SetSplit(OptionUse& use) {
  CompareOptions& compare = use.options.request.options;
  if (!ParseOptionNumber(use.value, kMinSplitWidth, kMaxSplitWidth, &compare.splitWidth)) {
    return Refuse(use, "分割するバイト数が無効: 有効な入力値は " + std::to_string(kMinSplitWidth) +
                           "～" + std::to_string(kMaxSplitWidth) + " です。");
  }
  compare.split = true;
  return true;
}

bool SetSplitChars(OptionUse& use) {
  if (use.value.empty() || !IsValidSplitPattern(use.value)) {
    std::string missing;
    return Refuse(use, RegexLibraryAvailable(&missing)
                           ? "行の分割文字の指定: 正規表現が間違っています。"
                           : "行の分割文字の指定: " + missing);
  }
  use.options.request.options.splitChar = use.value;
  return true;
}

bool SetDiffOnly(OptionUse& use) {
  CompareOptions& compare = use.options.request.options;
  if (!ParseOptionNumber(use.value, 1, 9, &compare.contextLines)) {
    return Refuse(use, "一致行の行数が無効: 有効な入力値は 1～9 です。");
  }
  compare.diffOnly = true;
  return true;
}

bool SetWorkDir(OptionUse& use) {
  std::string& text = use.value;
  if (text.empty() || !IsDirectory(text)) {
    struct stat st;
    const bool exists = !text.empty() && ::stat(text.c_str(), &st) == 0;
    return Refuse(use, "作業フォルダ " + text +
                           (exists ? " はフォルダではありません。" : " が見つかりません。"));
  }
  if (text.back() != '/') text += '/';
  use.options.request.options.workPath = text;
  return true;
}

// --encoding sets all three; for the report, auto means the inputs' encoding when both
// are the same, else UTF-8.
template <bool old, bool fresh, bool report>
bool SetEncoding(OptionUse& use) {
  EncodingChoice choice;
  if (!ParseEncodingName(use.value, &choice)) {
    return Refuse(
        use, "文字コードの指定が無効: " + use.value + "（cp932、utf-8、euc-jp、auto のいずれか）");
  }
  CompareOptions& compare = use.options.request.options;
  if (old) compare.oldEncoding = choice;
  if (fresh) compare.newEncoding = choice;
  if (report) compare.reportEncoding = choice;
  return true;
}

bool SetFormat(OptionUse& use) {
  CompareOptions& compare = use.options.request.options;
  if (!ParseResultFormat(use.value, &compare.format)) {
    return Refuse(use, "出力形式の指定が無効: " + use.value +
                           "（report、html、xlsx、unified、json のいずれか）");
  }
  if (compare.format != ResultFormat::kReport && !FindFormatWriter(compare.format)) {
    return Refuse(use, "出力形式 " + use.value + " は、このバージョンではまだ書き出せません。");
  }
  return true;
}

bool SetUnits(OptionUse& use) {
  CompareOptions& compare = use.options.request.options;
  if (use.value == "word") {
    compare.units = ChangeUnits::kWords;
  } else if (use.value == "char") {
    compare.units = ChangeUnits::kCharacters;
  } else {
    return Refuse(use, "変更箇所の単位の指定が無効: " + use.value + "（word、char のいずれか）");
  }
  return true;
}

bool SetBatch(OptionUse& use) {
  if (use.value.empty()) return Refuse(use, "バッチリストの名前を指定してください。");
  use.options.batchName = use.value;
  use.options.batch = true;
  return true;
}

bool SetBatchDb(OptionUse& use) {
  if (use.value.empty()) return Refuse(use, "バッチリストのデータベースを指定してください。");
  use.options.batchDb = use.value;
  return true;
}

// An option naming an encoding, completed from the encodings' names.
constexpr CliOption EncodingOption(const char* name, const char* help, bool (*apply)(OptionUse&)) {
  return {.name = name,
          .argument = "ENC",
          .help = help,
          .completion = ValueCompletion::kWords,
          .words = kEncodingWords,
          .valueCaption = "文字コード",
          .apply = apply};
}

const CliOption kOptions[] = {
    {.name = "--trim-top",
     .help = "行頭の空白・タブを除く",
     .apply = SetCompare<&CompareOptions::trimTop, true>},
    {.name = "--keep-trailing",
     .help = "行末の空白・タブを除かない（既定は除く）",
     .apply = SetCompare<&CompareOptions::trimTail, false>},
    {.name = "--compress",
     .help = "連続する空白・タブを一つの空白にする",
     .apply = SetCompare<&CompareOptions::compress, true>},
    {.name = "--case-sensitive",
     .help = "英字の大文字と小文字を区別する（既定は区別しない）",
     .apply = SetCompare<&CompareOptions::caseSensitive, true>},
    {.name = "--ignore-width",
     .help = "全角英数字・記号と半角カタカナを、半角英数字・記号と全角\n"
             "カタカナと同じ文字として比較する",
     .apply = SetCompare<&CompareOptions::ignoreWidth, true>},
    {.name = "--split",
     .argument = "WIDTH",
     .help = "WIDTH バイト以内に行を分割する（20～250）",
     .valueCaption = "バイト数（20～250）",
     .apply = SetSplit},
    {.name = "--split-chars",
     .argument = "PATTERN",
     .help = "分割位置の文字（正規表現）",
     .valueCaption = "正規表現",
     .apply = SetSplitChars},
    {.name = "--diff-only",
     .argument = "N",
     .help = "相違行のみ出力し、前後の一致行を N 行表示する（1～9）",
     .completion = ValueCompletion::kWords,
     .words = "1 2 3 4 5 6 7 8 9",
     .valueCaption = "一致行の行数",
     .apply = SetDiffOnly},
    {.name = "--fewest-moves",
     .help = "順序を保つ最長の一致行の並びを一致とし、移動行を最少にする",
     .apply = SetCompare<&CompareOptions::fewestMoves, true>},
    {.name = "--work-dir",
     .argument = "DIR",
     .help = "作業用データベースのフォルダ（既定はユーザー専用の作業フォルダ）",
     .completion = ValueCompletion::kFolder,
     .valueCaption = "フォルダ",
     .apply = SetWorkDir},
    EncodingOption("--encoding",
                   "旧ファイル・新ファイル・結果ファイルの文字コード\n"
                   "（auto（既定。ファイルの内容から判別）、cp932（shift_jis・sjis\n"
                   "も可）、utf-8、euc-jp）",
                   SetEncoding<true, true, true>),
    EncodingOption("--old-encoding", "旧ファイルの文字コード", SetEncoding<true, false, false>),
    EncodingOption("--new-encoding", "新ファイルの文字コード", SetEncoding<false, true, false>),
    EncodingOption("--report-encoding",
                   "結果ファイルの文字コード（既定と auto は、旧ファイルと\n"
                   "新ファイルが同じならその文字コード、異なれば utf-8）",
                   SetEncoding<false, false, true>),
    {.name = "--format",
     .argument = "FORMAT",
     .help = "結果の形式: report（既定、比較結果レポート）、html・xlsx\n"
             "（新旧対照表）、unified（patch で当てられる差分。3 行の前後、\n"
             "--diff-only N では N 行。--case-sensitive --keep-trailing で\n"
             "分割しないときは新ファイルを正確に再現）、json（比較のデータ）",
     .completion = ValueCompletion::kWords,
     .words = "report html xlsx unified json",
     .valueCaption = "形式",
     .apply = SetFormat},
    {.name = "--units",
     .argument = "UNIT",
     .help = "変更箇所を示す単位（色付きの表示・新旧対照表・json）: word（既定。\n"
             "語・数・文字のまとまり）、char（一文字ずつ）",
     .completion = ValueCompletion::kWords,
     .words = "word char",
     .valueCaption = "単位",
     .apply = SetUnits},
    {.name = "--old-left",
     .help = "新旧対照表（--format html・xlsx）で改正前を左の列にする\n"
             "（既定は公用文の例どおり改正後が左、改正前が右）",
     .apply = SetCompare<&CompareOptions::oldLeft, true>},
    {.name = "--quiet",
     .help = "進行状況と統計を表示しない（フォルダ・バッチでは集計のみ表示）",
     .apply = SetFlag<&CliOptions::quiet>},
    {.name = "--recursive",
     .shortName = 'r',
     .help = "フォルダの比較でサブフォルダも比較し、結果フォルダに同じ構成で\n"
             "書き出す",
     .apply = SetFlag<&CliOptions::recursive>},
    {.name = "--files",
     .argument = "PATTERN",
     .help = "フォルダの比較で、名前が PATTERN（* と ? が使える）に合う\n"
             "ファイルだけを比較する（複数指定可）",
     .valueCaption = "パターン（* と ?）",
     .repeatable = true,
     .apply = AddFilePattern},
    {.name = "--jobs",
     .argument = "N",
     .help = "フォルダ・バッチで同時に比較するペアの数（既定はコア数、\n"
             "1 で一組ずつ順に比較）",
     .valueCaption = "ペアの数",
     .apply = SetJobs},
    {.name = "--all-reports",
     .help = "フォルダの比較で、相違のないペアの結果ファイルも書き出す\n"
             "（既定は相違のあるペアだけ）",
     .apply = SetFlag<&CliOptions::allReports>},
    {.name = "--text",
     .help = "フォルダの比較で、バイナリファイル（先頭 8 KB に NUL を含む）も\n"
             "行単位で比較する（既定はバイト単位で比べ、結果ファイルなし）",
     .apply = SetFlag<&CliOptions::text>},
    {.name = "--color",
     .argument = "WHEN",
     .attachedOnly = true,
     .help = "標準出力の結果を行の種類ごとに色分けする\n"
             "（WHEN: auto（既定。端末で TERM が dumb でないときだけ）、\n"
             "always、never）",
     .completion = ValueCompletion::kWords,
     .words = "auto always never",
     .valueCaption = "いつ",
     .apply = SetColor},
    {.name = "--batch",
     .argument = "NAME",
     .help = "バッチリスト NAME のファイルペアを順に比較する",
     .valueCaption = "リスト名",
     .withoutNames = true,
     .apply = SetBatch},
    {.name = "--batch-db",
     .argument = "PATH",
     .help = "バッチリストのデータベース（既定はバッチ画面と同じ）",
     .completion = ValueCompletion::kFile,
     .valueCaption = "データベース",
     .apply = SetBatchDb},
    {.name = "--help",
     .shortName = 'h',
     .help = "この説明を表示する",
     .alone = true,
     .apply = SetFlag<&CliOptions::help>},
    {.name = "--version",
     .help = "バージョンを表示する",
     .alone = true,
     .apply = SetFlag<&CliOptions::version>},
};

// The text without its parenthesised remarks (full-width parentheses, nested ones too)
// and line breaks.
std::string WithoutRemarks(std::string_view text) {
  constexpr std::string_view kOpen = "（", kClose = "）";
  std::string out;
  int depth = 0;
  for (std::size_t i = 0; i < text.size();) {
    if (text.substr(i, kOpen.size()) == kOpen) {
      ++depth;
      i += kOpen.size();
    } else if (text.substr(i, kClose.size()) == kClose) {
      depth = std::max(depth - 1, 0);
      i += kClose.size();
    } else {
      if (depth == 0 && text[i] != '\n') out += text[i];
      ++i;
    }
  }
  return out;
}

}  // namespace

std::span<const CliOption> CliOptionTable() {
  return kOptions;
}

const CliOption* FindCliOption(std::string_view arg) {
  for (const CliOption& option : kOptions) {
    if (arg == option.name) return &option;
    if (option.shortName != 0 && arg.size() == 2 && arg[0] == '-' && arg[1] == option.shortName) {
      return &option;
    }
  }
  return nullptr;
}

std::string OptionHelpLines(const CliOption& option) {
  std::string left = "  ";
  if (option.shortName != 0) left += std::string("-") + option.shortName + ", ";
  left += option.name;
  if (option.argument != nullptr) {
    left += option.attachedOnly ? std::string("[=") + option.argument + "]"
                                : std::string(" ") + option.argument;
  }
  left += left.size() < kHelpColumn ? std::string(kHelpColumn - left.size(), ' ') : "  ";
  std::string lines;
  std::string_view help = option.help;
  for (bool first = true; first || !help.empty(); first = false) {
    const std::size_t end = help.find('\n');
    lines +=
        (first ? left : std::string(kHelpColumn, ' ')) + std::string(help.substr(0, end)) + "\n";
    help = end == std::string_view::npos ? std::string_view() : help.substr(end + 1);
  }
  return lines;
}

std::string OptionSummary(const CliOption& option) {
  return WithoutRemarks(option.help);
}

}  // namespace verko
