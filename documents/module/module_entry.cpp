// The entry point of the document module: tells a file's kind from its content and takes its
// text, catching everything the readers throw.
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "documents/module/odf_text.h"
#include "documents/module/ooxml_text.h"
#include "documents/module/pdf_text.h"
#include "documents/module/refusal.h"
#include "documents/module/zip_parts.h"
#include "documents/module_interface.h"

namespace verko::documents {
namespace {

void SetMessage(VerkoDocumentText* out, const std::string& message) {
  std::size_t size = std::min(message.size(), sizeof out->message - 1);
  // Cut only between UTF-8 characters.
  while (size > 0 && size < message.size() && (message[size] & 0xC0) == 0x80) --size;
  std::memcpy(out->message, message.data(), size);
  out->message[size] = '\0';
}

bool StartsAsPdf(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  char head[8];
  const std::size_t got = std::fread(head, 1, sizeof head, file);
  std::fclose(file);
  return std::string_view(head, got).starts_with("%PDF-");
}

int KindOf(const std::string& path) {
  if (StartsAsPdf(path)) return kVerkoPdf;
  std::unique_ptr<ZipParts> zip = ZipParts::Open(path);
  if (!zip) return kVerkoNotDocument;
  const int kind = OfficeKind(*zip);
  return kind != kVerkoNotDocument ? kind : OdfKind(*zip);
}

int Take(const std::string& path, VerkoDocumentText* out) {
  TextLines lines;
  bool tracked = false;
  if (StartsAsPdf(path)) {
    out->kind = kVerkoPdf;
    TakePdfText(path, lines);
  } else {
    std::unique_ptr<ZipParts> zip = ZipParts::Open(path);
    if (!zip) return kVerkoNoDocument;
    const int office = OfficeKind(*zip);
    out->kind = office != kVerkoNotDocument ? office : OdfKind(*zip);
    switch (out->kind) {
      case kVerkoWord:
        TakeWordText(*zip, lines, &tracked);
        break;
      case kVerkoExcel:
        TakeExcelText(*zip, lines);
        break;
      case kVerkoPowerPoint:
        TakePowerPointText(*zip, lines);
        break;
      case kVerkoOdfText:
      case kVerkoOdfSpreadsheet:
      case kVerkoOdfPresentation:
        TakeOdfText(*zip, out->kind, lines, &tracked);
        break;
      default:
        return kVerkoNoDocument;
    }
  }
  out->units = lines.units();
  out->trackedChanges = tracked ? 1 : 0;
  out->size = lines.text().size();
  out->text = static_cast<char*>(std::malloc(out->size + 1));
  if (out->text == nullptr) throw std::bad_alloc();
  std::memcpy(out->text, lines.text().data(), out->size);
  out->text[out->size] = '\0';
  return kVerkoTextTaken;
}

}  // namespace
}  // namespace verko::documents

extern "C" __attribute__((visibility("default"))) int verko_documents_take_text(
    const char* path, VerkoDocumentText* out) {
  *out = VerkoDocumentText{};
  try {
    return verko::documents::Take(path, out);
  } catch (const verko::documents::Refusal& refusal) {
    verko::documents::SetMessage(out, refusal.message);
  } catch (const std::bad_alloc&) {
    verko::documents::SetMessage(out, "文書を読むためのメモリが足りません。");
  } catch (const std::exception& e) {
    verko::documents::SetMessage(out, std::string("文書を読めません（") + e.what() + "）。");
  }
  return kVerkoRefused;
}

extern "C" __attribute__((visibility("default"))) void verko_documents_free(char* text) {
  std::free(text);
}

extern "C" __attribute__((visibility("default"))) int verko_documents_kind(const char* path) {
  try {
    return verko::documents::KindOf(path);
  } catch (...) {
    // A zip whose mimetype part cannot be read holds no document the module could read.
    return kVerkoNotDocument;
  }
}
