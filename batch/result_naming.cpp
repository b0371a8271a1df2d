#include "batch/result_naming.h"

#include <cmath>
#include <limits>

#include "batch/batch_list_store.h"
#include "common/leading_number.h"
#include "common/path_parts.h"

namespace verko {
namespace {

constexpr const char* kTemplateErrorTitle = "ファイル名の指定エラー";

bool SequenceNames(const std::vector<PairRow>& rows, const BatchListSettings& settings,
                   std::vector<std::string>* names, NamingRefusal* refusal) {
  const std::string pattern = settings.resultFname + "." + settings.resultExt;
  std::size_t p = pattern.find('#');
  if (p == std::string::npos) {
    *refusal = {"連番を入れる位置と桁数を\"#\"文字で指定してください。\n  例： File##.TXT",
                kTemplateErrorTitle};
    return false;
  }
  std::size_t end = pattern.find_first_not_of('#', p);
  if (end == std::string::npos) end = pattern.size();
  const int width = static_cast<int>(end - p);
  // The run is reduced to one "#"; a second "#" further on is refused.
  const std::string before = pattern.substr(0, p);
  const std::string after = pattern.substr(end);
  if (after.find('#') != std::string::npos) {
    *refusal = {"連番（\"#\"）を指定できるのは１個所だけです。", kTemplateErrorTitle};
    return false;
  }
  long long n = InitialSequenceNumber(LeadingNumber(settings.initNo));
  for (std::size_t i = 0; i < rows.size(); ++i, ++n) {
    names->push_back(before + SequenceDigits(n, width) + after);
  }
  return true;
}

}  // namespace

std::string SequenceDigits(long long n, int width) {
  std::string text = std::string(static_cast<std::size_t>(width), '0') + std::to_string(n);
  return text.substr(text.size() - static_cast<std::size_t>(width));
}

bool GenerateResultNames(const std::vector<PairRow>& rows, const BatchListSettings& settings,
                         std::vector<std::string>* names, NamingRefusal* refusal) {
  names->clear();
  if (settings.resultMethod == kResultSequence) {
    return SequenceNames(rows, settings, names, refusal);
  }
  for (const PairRow& row : rows) {
    switch (settings.resultMethod) {
      case kResultOldBaseExt:
        names->push_back(BaseNamePart(row.oldFile) + "." + settings.resultExt);
        break;
      case kResultNewBaseExt:
        names->push_back(BaseNamePart(row.newFile) + "." + settings.resultExt);
        break;
      case kResultSameAsOld:
        names->push_back(row.oldFile);
        break;
      case kResultSameAsNew:
        names->push_back(row.newFile);
        break;
      default:
        return true;
    }
  }
  return true;
}

}  // namespace verko
