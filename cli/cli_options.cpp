#include "cli/cli_options.h"

#include <sys/stat.h>

#include "cli/cli_option_table.h"
#include "common/program_version.h"
#include "compare/work_folder.h"
#include "report/format_writer.h"

namespace verko {
namespace {

bool IsDirectory(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
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
  std::string text =
      "使い方: verko-cli [オプション] 旧ファイル 新ファイル 結果ファイル\n"
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
      "オプション:\n";
  for (const CliOption& option : CliOptionTable()) text += OptionHelpLines(option);
  return text +
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
  options->request.options.workPath = DefaultWorkPath();
  std::vector<std::string> names;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& given = args[i];
    if (given == "--") {
      names.insert(names.end(), args.begin() + i + 1, args.end());
      break;
    }
    if (given.size() <= 1 || given[0] != '-') {
      names.push_back(given);
      continue;
    }
    // "--name=value" is the same as "--name value".
    const std::size_t equals = given.starts_with("--") ? given.find('=') : std::string::npos;
    const std::string arg = given.substr(0, equals);
    const CliOption* option = FindCliOption(arg);
    if (option == nullptr) {
      *error = "不明なオプションです: " + arg;
      return false;
    }
    OptionUse use{arg, {}, false, *options, *error};
    if (equals != std::string::npos) {
      if (option->argument == nullptr) {
        *error = arg + " は値をとりません。";
        return false;
      }
      use.value = given.substr(equals + 1);
      use.hasValue = true;
    } else if (option->argument != nullptr && !option->attachedOnly) {
      if (i + 1 >= args.size()) {
        *error = arg + " には値が必要です。";
        return false;
      }
      use.value = args[++i];
      use.hasValue = true;
    }
    if (!option->apply(use)) return false;
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
  if (names[2] == kStandardOutputName && !IsTextFormat(options->request.options.format)) {
    *error = std::string("出力形式 ") + ResultFormatName(options->request.options.format) +
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
