#include "documents/document_text.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

#include "common/system_error.h"
#include "documents/document_module.h"

namespace verko {
namespace {

struct KindName {
  int kind;
  const char* name;  // as the notice names it
  const char* unit;  // what the text counts
};

constexpr KindName kKinds[] = {
    {kVerkoWord, "Word 文書", "段落"},
    {kVerkoExcel, "Excel ブック", "行"},
    {kVerkoPowerPoint, "PowerPoint プレゼンテーション", "スライド"},
    {kVerkoOdfText, "OpenDocument テキスト", "段落"},
    {kVerkoOdfSpreadsheet, "OpenDocument スプレッドシート", "行"},
    {kVerkoOdfPresentation, "OpenDocument プレゼンテーション", "スライド"},
    {kVerkoPdf, "PDF", "ページ"},
};

struct NamedFormat {
  const char* extension;
  const char* name;
};

// The names that promise a document; a file so named that holds none is refused, not
// compared as bytes that would only show as バイナリ.
constexpr NamedFormat kDocumentNames[] = {
    {"docx", "Word 文書"},
    {"docm", "Word 文書"},
    {"xlsx", "Excel ブック"},
    {"xlsm", "Excel ブック"},
    {"pptx", "PowerPoint プレゼンテーション"},
    {"pptm", "PowerPoint プレゼンテーション"},
    {"odt", "OpenDocument テキスト"},
    {"ods", "OpenDocument スプレッドシート"},
    {"odp", "OpenDocument プレゼンテーション"},
    {"pdf", "PDF"},
};

const NamedFormat* FormatOfName(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return nullptr;
  std::string extension = path.substr(dot + 1);
  for (char& c : extension) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  for (const NamedFormat& format : kDocumentNames) {
    if (extension == format.extension) return &format;
  }
  return nullptr;
}

// The first bytes of the file, enough to tell a zip, a PDF and an OLE compound file (where
// Office keeps a password-protected document and its old formats); empty when unreadable.
std::string ReadHead(const std::string& path, std::size_t size) {
  std::string head(size, '\0');
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return "";
  std::size_t got = 0;
  while (got < size) {
    const ssize_t n = ::read(fd, head.data() + got, size - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  head.resize(got);
  return head;
}

bool StartsWith(std::string_view text, std::string_view start) {
  return text.substr(0, start.size()) == start;
}

constexpr std::string_view kCompoundFile("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);

DocumentText Refused(std::string message) {
  DocumentText result;
  result.outcome = DocumentText::Outcome::kRefused;
  result.message = std::move(message);
  return result;
}

// The refusal of a file whose name promises `format` but whose content holds no document.
DocumentText RefuseMisnamed(const std::string& path, const NamedFormat& format) {
  // Office keeps a protected document in a compound file with a stream of this name.
  static const std::string kEncrypted = [] {
    std::string name;
    for (char c : std::string_view("EncryptedPackage")) name += {c, '\0'};
    return name;
  }();
  const std::string head = ReadHead(path, 1u << 20);
  if (StartsWith(head, kCompoundFile)) {
    if (head.find(kEncrypted) != std::string::npos) {
      return Refused("文書はパスワードで保護されています。保護を外してから比較してください。");
    }
    return Refused(std::string("ファイルは ") + format.name +
                   " ではなく古い形式の Office ファイルです。変換コマンド（--convert）で読んでくだ"
                   "さい。");
  }
  return Refused(std::string("ファイルは名前が ") + format.name +
                 " ですが、その形式として読めません（壊れているか、別の形式のファイルです）。");
}

DocumentText TakeByConverter(const Converter& converter, const std::string& path) {
  DocumentText result;
  Status status = RunConverter(converter, path, &result.text);
  if (!status.ok()) return Refused(status.reason());
  result.outcome = DocumentText::Outcome::kTaken;
  result.notice = "変換コマンド「" + converter.command + "」の出力";
  return result;
}

DocumentText TakeByModule(const std::string& path, bool* noDocument) {
  std::string failure;
  const DocumentModule* module = LoadDocumentModule(&failure);
  if (module == nullptr) return Refused("文書を読むモジュールを読み込めません: " + failure);
  VerkoDocumentText taken;
  const int outcome = module->take(path.c_str(), &taken);
  if (outcome == kVerkoNoDocument) {
    *noDocument = true;
    return DocumentText();
  }
  if (outcome != kVerkoTextTaken) return Refused(taken.message);
  DocumentText result;
  result.outcome = DocumentText::Outcome::kTaken;
  result.utf8 = true;
  result.text.assign(taken.text, taken.size);
  module->free(taken.text);
  for (const KindName& kind : kKinds) {
    if (kind.kind != taken.kind) continue;
    result.notice =
        std::string(kind.name) + "から " + std::to_string(taken.units) + " " + kind.unit;
  }
  if (taken.trackedChanges) result.notice += "（変更履歴は反映した後の文で比較）";
  return result;
}

}  // namespace

bool ComparedByText(const std::string& path, const DocumentSettings& settings) {
  if (!settings.convert) return false;
  if (ConverterFor(settings.converters, path) || FormatOfName(path)) return true;
  const std::string head = ReadHead(path, 8);
  if (StartsWith(head, "%PDF-")) return true;
  if (!StartsWith(head, "PK\x03\x04")) return false;
  // A module that cannot be loaded is reported when the pair is compared.
  const DocumentModule* module = LoadDocumentModule(nullptr);
  return module == nullptr || module->kind(path.c_str()) != kVerkoNotDocument;
}

DocumentText TakeDocumentText(const std::string& path, const DocumentSettings& settings) {
  if (!settings.convert) return DocumentText();
  if (const Converter* converter = ConverterFor(settings.converters, path)) {
    return TakeByConverter(*converter, path);
  }
  const std::string head = ReadHead(path, 8);
  // Only at the very start: a text that speaks of "%PDF-" is no PDF.
  const bool pdf = StartsWith(head, "%PDF-");
  const bool zip = StartsWith(head, "PK\x03\x04");
  bool noDocument = !pdf && !zip;
  if (!noDocument) {
    DocumentText taken = TakeByModule(path, &noDocument);
    if (!noDocument) return taken;
  }
  const NamedFormat* format = FormatOfName(path);
  return format ? RefuseMisnamed(path, *format) : DocumentText();
}

}  // namespace verko
