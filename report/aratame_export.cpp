// The 改め文 as a result format: drafted from the files' own lines (so that applied to the
// old file it gives the new one exactly), proven before it is written.
#include <string>

#include "report/aratame_drafter.h"
#include "report/format_writer.h"

namespace verko {
namespace {

// The files' own lines (held in the run's working text) as UTF-8.
std::vector<std::string> Utf8Lines(const ExportInput& input, const RawLines& lines) {
  std::vector<std::string> out;
  out.reserve(lines.Count());
  for (int line = 1; line <= lines.Count(); ++line) out.push_back(input.Utf8(lines.Text(line)));
  return out;
}

// How much of the draft had to be written whole because finer instructions did not give the
// new text; empty when every change is drafted as finely as it could be.
std::string DraftNotice(const AratameDraft& draft) {
  if (draft.byLines) return "改め文: 条項ごとに起案できなかったため、行ごとに起案しました。";
  if (draft.wholeProvisions == 0) return "";
  return "改め文: " + std::to_string(draft.wholeProvisions) +
         " 条は字句の改正では新ファイルにならないため、「次のように改める」で全文を書きました。";
}

}  // namespace

Status WriteAratame(const ExportInput& input, std::string& out) {
  std::vector<std::string> oldLines = Utf8Lines(input, *input.oldLines);
  std::vector<std::string> newLines = Utf8Lines(input, *input.newLines);
  AratameStyle style = input.options.yokogaki ? AratameStyle::kYokogaki : AratameStyle::kTategaki;
  AratameDraft draft = DraftAratame(oldLines, newLines, style);
  if (!draft.proven) {
    return Status::Error(
        "改め文を起案できませんでした（起案した改め文を旧ファイルに適用しても"
        "新ファイルになりません）");
  }
  out += draft.text;
  if (input.notice != nullptr) *input.notice = DraftNotice(draft);
  return Status::Ok();
}

}  // namespace verko
