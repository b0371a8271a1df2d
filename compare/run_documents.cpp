// The inputs of a run that are compared by their text: documents and files with a converter.
#include <sys/stat.h>

#include "compare/compare_run_phases.h"

namespace verko {

bool CompareRun::TakeDocuments() {
  for (FileRole role : {FileRole::kOld, FileRole::kNew}) {
    const std::string& name = role == FileRole::kOld ? request_.oldName : request_.newName;
    // Standard input, a pipe or a device is read as it comes: looking at its head first
    // would take bytes from it.
    struct stat st;
    if (IsStandardInput(name) || ::stat(name.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
      continue;
    }
    DocumentText& document = role == FileRole::kOld ? oldDocument_ : newDocument_;
    host_.SetPhaseText("文書の読み取り中");
    document = TakeDocumentText(name, options_.documents);
    if (document.outcome == DocumentText::Outcome::kRefused) {
      Refuse(FileMessage(RoleText(role), FileName(role), "を比較できません。", document.message),
             kTitleRunError);
      return false;
    }
    if (flags_.StopRequested()) return Cancel();
    (role == FileRole::kOld ? result_.oldDocument : result_.newDocument) = document.notice;
  }
  return true;
}

bool CompareRun::ReadInput(InputFile& file, FileRole role, std::string& content) {
  DocumentText& document = role == FileRole::kOld ? oldDocument_ : newDocument_;
  if (document.outcome != DocumentText::Outcome::kTaken) return ReadWhole(file, role, content);
  content = std::move(document.text);
  file.Close();
  return true;
}

EncodingChoice CompareRun::Choice(FileRole role) const {
  const DocumentText& document = role == FileRole::kOld ? oldDocument_ : newDocument_;
  if (document.outcome == DocumentText::Outcome::kTaken && document.utf8) {
    return EncodingChoice::kUtf8;
  }
  return role == FileRole::kOld ? options_.oldEncoding : options_.newEncoding;
}

std::string DocumentNotice(const CompareResult& result) {
  std::string notice;
  if (!result.oldDocument.empty()) notice += std::string(kRoleOld) + ": " + result.oldDocument;
  if (!result.newDocument.empty()) {
    notice += (notice.empty() ? "" : "\n") + std::string(kRoleNew) + ": " + result.newDocument;
  }
  return notice;
}

}  // namespace verko
