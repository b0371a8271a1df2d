#include "cli/cli_options.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <optional>

#include "common/encoding.h"
#include "common/option_value.h"
#include "common/program_version.h"
#include "compare/work_folder.h"
#include "platform/regexp.h"
#include "report/format_writer.h"

namespace verko {
namespace {

constexpr int kMaxJobs = 256;

bool IsDirectory(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A split pattern is tried on a sample text, as the split-characters dialog does.
bool IsValidSplitPattern(const std::string& pattern) {
  int position = 0, length = 0;
  return MatchR(ToCp932("あいう ABC."), ToCp932(pattern), position, length) >= 0;
}

// Whether the names are old and new folders (and a result): "-" is standard input, even
// where a folder of that name exists.
bool BothFolders(const std::vector<std::string>& names) {
  return names.size() == 3 && names[0] != kStandardInputName && names[1] != kStandardInputName &&
         IsDirectory(names[0]) && IsDirectory(names[1]);
}

}  // namespace

std::string DefaultWorkPath() {
  return DefaultWorkFolder();
}

std::string VersionLine() {
  return "verko-cli " + ProgramVersionText();
}

std::string UsageText() {
  return "使い方: verko-cli [オプション] 旧ファイル 新ファイル 結果ファイル\n"
         "        verko-cli [オプション] [-r] [--files パターン] 旧フォルダ 新フォルダ "
         "結果フォルダ\n"
         "        verko-cli [オプション] --batch リスト名 [--batch-db パス]\n"
         "\n"
         "旧ファイルと新ファイルを行単位で比較し、結果ファイルに書き出します。\n"
         "結果ファイルに - "
         "を指定すると、結果を標準出力に書き出します（端末ではその文字コードで）。\n"
         "旧ファイルか新ファイルの一方に - を指定すると、標準入力から読み取ります。\n"
         "既存の結果ファイルは確認なしで上書きされます。\n"
         "フォルダを二つ指定すると、旧フォルダの各ファイルを新フォルダの同じ名前のファイルと\n"
         "比較し、結果フォルダに旧ファイルと同じ名前で書き出します（結果フォルダがなければ\n"
         "作成します）。ペアごとに結果を名前順に一行ずつ表示し、片方にしかないファイルと\n"
         "集計を続けて表示します。\n"
         "フォルダの比較では、結果ファイルは相違のあるペアについてだけ書き出します。\n"
         "内容がバイト単位で同じペアは行の照合をせずに「相違なし」とし、バイナリファイルは\n"
         "バイト単位で比べて、異なれば「バイナリ」と表示します。\n"
         "\n"
         "オプション:\n"
         "  --trim-top           行頭の空白・タブを除く\n"
         "  --keep-trailing      行末の空白・タブを除かない（既定は除く）\n"
         "  --compress           連続する空白・タブを一つの空白にする\n"
         "  --case-sensitive     英字の大文字と小文字を区別する（既定は区別しない）\n"
         "  --ignore-width       全角英数字・記号と半角カタカナを、半角英数字・記号と全角\n"
         "                       カタカナと同じ文字として比較する\n"
         "  --split WIDTH        WIDTH バイト以内に行を分割する（20～250）\n"
         "  --split-chars PATTERN  分割位置の文字（正規表現）\n"
         "  --diff-only N        相違行のみ出力し、前後の一致行を N 行表示する（1～9）\n"
         "  --fewest-moves       順序を保つ最長の一致行の並びを一致とし、移動行を最少にする\n"
         "  --work-dir DIR       作業用データベースのフォルダ（既定はユーザー専用の作業フォルダ）\n"
         "  --encoding ENC       旧ファイル・新ファイル・結果ファイルの文字コード\n"
         "                       （auto（既定。ファイルの内容から判別）、cp932（shift_jis・sjis\n"
         "                       も可）、utf-8、euc-jp）\n"
         "  --old-encoding ENC   旧ファイルの文字コード\n"
         "  --new-encoding ENC   新ファイルの文字コード\n"
         "  --report-encoding ENC  結果ファイルの文字コード（既定と auto は、旧ファイルと\n"
         "                       新ファイルが同じならその文字コード、異なれば utf-8）\n"
         "  --format FORMAT      結果の形式: report（既定、比較結果レポート）、html・xlsx\n"
         "                       （新旧対照表）、unified（patch で当てられる差分。3 行の前後、\n"
         "                       --diff-only N では N 行。--case-sensitive --keep-trailing で\n"
         "                       分割しないときは新ファイルを正確に再現）、json（比較のデータ）\n"
         "  --old-left           新旧対照表（--format html・xlsx）で改正前を左の列にする\n"
         "                       （既定は公用文の例どおり改正後が左、改正前が右）\n"
         "  --quiet              進行状況と統計を表示しない（フォルダ・バッチでは集計のみ表示）\n"
         "  -r, --recursive      フォルダの比較でサブフォルダも比較し、結果フォルダに同じ構成で\n"
         "                       書き出す\n"
         "  --files PATTERN      フォルダの比較で、名前が PATTERN（* と ? が使える）に合う\n"
         "                       ファイルだけを比較する（複数指定可）\n"
         "  --jobs N             フォルダ・バッチで同時に比較するペアの数（既定はコア数、\n"
         "                       1 で一組ずつ順に比較）\n"
         "  --all-reports        フォルダの比較で、相違のないペアの結果ファイルも書き出す\n"
         "                       （既定は相違のあるペアだけ）\n"
         "  --text               フォルダの比較で、バイナリファイル（先頭 8 KB に NUL を含む）も\n"
         "                       行単位で比較する（既定はバイト単位で比べ、結果ファイルなし）\n"
         "  --color[=WHEN]       標準出力の結果を行の種類ごとに色分けする\n"
         "                       WHEN: auto（既定。端末で TERM が dumb でないときだけ）、\n"
         "                       always、never\n"
         "  --batch NAME         バッチリスト NAME のファイルペアを順に比較する\n"
         "  --batch-db PATH      バッチリストのデータベース（既定はバッチ画面と同じ）\n"
         "  -h, --help           この説明を表示する\n"
         "  --version            バージョンを表示する\n"
         "値をとるオプションは --split=80 のようにも指定できます。\n"
         "\n"
         "終了コード: 0 相違なし、1 相違あり、2 指定ミス、エラー（標準出力に書けないときも）\n"
         "            または行数制限による打ち切り、129 端末の切断（SIGHUP）、130 "
         "中断（Ctrl-C）、\n"
         "            141 出力先のパイプが閉じられた、143 終了要求（SIGTERM）\n"
         "（フォルダ: 0 すべて相違なし、1 相違ありまたは片方にしかないファイルあり、\n"
         "  2 エラーまたは打ち切りのペアあり、130/143 中断）\n"
         "（--batch: 0 すべてのペアを比較、2 比較を完了できないペアあり、130/143 中断）\n"
         "フォルダと --batch ではペアごとに「相違なし」「相違あり」「打ち切り」「エラー」\n"
         "「キャンセル」「スキップ」「バイナリ」のいずれかを一行ずつ表示します。\n";
}

bool ParseCommandLine(const std::vector<std::string>& args, CliOptions* options,
                      std::string* error) {
  CompareOptions& compare = options->request.options;
  compare.workPath = DefaultWorkPath();
  std::vector<std::string> names;
  for (std::size_t i = 0; i < args.size(); ++i) {
    // "--name=value" is the same as "--name value".
    std::string arg = args[i];
    std::optional<std::string> attached;
    if (std::size_t equals = arg.find('='); arg.starts_with("--") && equals != std::string::npos) {
      attached = arg.substr(equals + 1);
      arg.resize(equals);
    }
    bool valueTaken = false;
    auto value = [&](std::string* out) {
      valueTaken = true;
      if (attached) {
        *out = *attached;
        return true;
      }
      if (i + 1 >= args.size()) {
        *error = arg + " には値が必要です。";
        return false;
      }
      *out = args[++i];
      return true;
    };
    std::string text;
    if (arg == "--help" || arg == "-h") {
      options->help = true;
    } else if (arg == "--version") {
      options->version = true;
    } else if (arg == "--trim-top") {
      compare.trimTop = true;
    } else if (arg == "--keep-trailing") {
      compare.trimTail = false;
    } else if (arg == "--compress") {
      compare.compress = true;
    } else if (arg == "--case-sensitive") {
      compare.caseSensitive = true;
    } else if (arg == "--ignore-width") {
      compare.ignoreWidth = true;
    } else if (arg == "--fewest-moves") {
      compare.fewestMoves = true;
    } else if (arg == "--quiet") {
      options->quiet = true;
    } else if (arg == "--color") {
      // Its value is optional, so only the attached form "--color=WHEN" gives one.
      valueTaken = true;
      if (attached && !ParseColorWhen(*attached, &options->color)) {
        *error = "--color の値は auto、always、never のいずれかです。";
        return false;
      }
    } else if (arg == "-r" || arg == "--recursive") {
      options->recursive = true;
    } else if (arg == "--all-reports") {
      options->allReports = true;
    } else if (arg == "--text") {
      options->text = true;
    } else if (arg == "--files") {
      if (!value(&text)) return false;
      if (text.empty()) {
        *error = "--files にはファイル名のパターンを指定してください。";
        return false;
      }
      options->filePatterns.push_back(text);
    } else if (arg == "--jobs") {
      if (!value(&text)) return false;
      if (!ParseOptionNumber(text, 1, kMaxJobs, &options->jobs) ||
          text.find_first_not_of("0123456789") != std::string::npos) {
        *error = "同時に比較するペアの数が無効: 有効な入力値は 1～" + std::to_string(kMaxJobs) +
                 " です。";
        return false;
      }
    } else if (arg == "--split") {
      if (!value(&text)) return false;
      if (!ParseOptionNumber(text, 20, 250, &compare.splitWidth)) {
        *error = "分割するバイト数が無効: 有効な入力値は 20～250 です。";
        return false;
      }
      compare.split = true;
    } else if (arg == "--split-chars") {
      if (!value(&compare.splitChar)) return false;
      if (compare.splitChar.empty() || !IsValidSplitPattern(compare.splitChar)) {
        std::string missing;
        *error = RegexLibraryAvailable(&missing) ? "行の分割文字の指定: 正規表現が間違っています。"
                                                 : "行の分割文字の指定: " + missing;
        return false;
      }
    } else if (arg == "--diff-only") {
      if (!value(&text)) return false;
      if (!ParseOptionNumber(text, 1, 9, &compare.contextLines)) {
        *error = "一致行の行数が無効: 有効な入力値は 1～9 です。";
        return false;
      }
      compare.diffOnly = true;
    } else if (arg == "--work-dir") {
      if (!value(&text)) return false;
      if (text.empty() || !IsDirectory(text)) {
        struct stat st;
        const bool exists = !text.empty() && ::stat(text.c_str(), &st) == 0;
        *error = "作業フォルダ " + text +
                 (exists ? " はフォルダではありません。" : " が見つかりません。");
        return false;
      }
      if (text.back() != '/') text += '/';
      compare.workPath = text;
    } else if (arg == "--encoding" || arg == "--old-encoding" || arg == "--new-encoding" ||
               arg == "--report-encoding") {
      if (!value(&text)) return false;
      EncodingChoice choice;
      if (!ParseEncodingName(text, &choice)) {
        *error = "文字コードの指定が無効: " + text + "（cp932、utf-8、euc-jp、auto のいずれか）";
        return false;
      }
      // For the report, auto means the inputs' encoding when both are the same, else UTF-8.
      if (arg == "--encoding" || arg == "--old-encoding") compare.oldEncoding = choice;
      if (arg == "--encoding" || arg == "--new-encoding") compare.newEncoding = choice;
      if (arg == "--encoding" || arg == "--report-encoding") compare.reportEncoding = choice;
    } else if (arg == "--format") {
      if (!value(&text)) return false;
      if (!ParseResultFormat(text, &compare.format)) {
        *error =
            "出力形式の指定が無効: " + text + "（report、html、xlsx、unified、json のいずれか）";
        return false;
      }
      if (compare.format != ResultFormat::kReport && !FindFormatWriter(compare.format)) {
        *error = "出力形式 " + text + " は、このバージョンではまだ書き出せません。";
        return false;
      }
    } else if (arg == "--old-left") {
      compare.oldLeft = true;
    } else if (arg == "--batch") {
      if (!value(&options->batchName)) return false;
      if (options->batchName.empty()) {
        *error = "バッチリストの名前を指定してください。";
        return false;
      }
      options->batch = true;
    } else if (arg == "--batch-db") {
      if (!value(&options->batchDb)) return false;
      if (options->batchDb.empty()) {
        *error = "バッチリストのデータベースを指定してください。";
        return false;
      }
    } else if (arg == "--") {
      names.insert(names.end(), args.begin() + i + 1, args.end());
      break;
    } else if (arg.size() > 1 && arg[0] == '-') {
      *error = "不明なオプションです: " + arg;
      return false;
    } else {
      names.push_back(arg);
    }
    if (attached && !valueTaken) {
      *error = arg + " は値をとりません。";
      return false;
    }
  }
  if (options->help || options->version) return true;
  if (!options->batchDb.empty() && !options->batch) {
    *error = "--batch-db は --batch と一緒に指定してください。";
    return false;
  }
  const bool folderOptions = options->recursive || !options->filePatterns.empty();
  const bool folderRules = options->allReports || options->text;
  if (folderRules && (options->batch || !BothFolders(names))) {
    *error = "--all-reports と --text はフォルダを比較するときに指定してください。";
    return false;
  }
  if (options->batch) {
    if (!names.empty()) {
      *error = "--batch のときは旧ファイル、新ファイル、結果ファイルを指定できません。";
      return false;
    }
    if (folderOptions) {
      *error = "-r と --files はフォルダを比較するときに指定してください。";
      return false;
    }
    return true;
  }
  if (names.size() != 3) {
    *error = "旧ファイル、新ファイル、結果ファイルの三つを指定してください。";
    return false;
  }
  options->request.oldName = names[0];
  options->request.newName = names[1];
  options->request.resultName = names[2];
  // Two folders compare folders. A folder with a file is one comparison of two files, which
  // the compare run refuses with the folder's name ("フォルダが指定されています").
  options->folders = BothFolders(names);
  if (names[2] == kStandardOutputName && !IsTextFormat(compare.format)) {
    *error = std::string("出力形式 ") + ResultFormatName(compare.format) +
             " の結果は標準出力には書き出せません。結果ファイルを指定してください。";
    return false;
  }
  if (options->folders && names[2] == "-") {
    *error = "フォルダを比較するときは、結果フォルダを指定してください（- は指定できません）。";
    return false;
  }
  if (!options->folders && folderOptions) {
    *error = "-r と --files はフォルダを比較するときに指定してください。";
    return false;
  }
  return true;
}

}  // namespace verko
