#include "documents/module/pdf_text.h"

#include <poppler-document.h>
#include <poppler-global.h>
#include <poppler-page.h>

#include <memory>

#include "documents/module/refusal.h"

namespace verko::documents {
namespace {

// poppler reports what it repairs on standard error; a comparison's output is ours.
void Quiet(const std::string&, void*) {}

}  // namespace

void TakePdfText(const std::string& path, TextLines& lines) {
  poppler::set_debug_error_function(Quiet, nullptr);
  std::unique_ptr<poppler::document> document(poppler::document::load_from_file(path));
  if (!document) {
    throw Refusal("PDF を読めません（壊れているか、PDF ではありません）。");
  }
  if (document->is_locked()) {
    throw Refusal("PDF はパスワードで保護されています。保護を外してから比較してください。");
  }
  const int pages = document->pages();
  bool anyText = false;
  for (int i = 0; i < pages; ++i) {
    lines.Heading("[ページ " + std::to_string(i + 1) + "]");
    lines.CountUnit();
    std::unique_ptr<poppler::page> page(document->create_page(i));
    if (!page) continue;
    const poppler::byte_array utf8 =
        page->text(poppler::rectf(), poppler::page::non_raw_non_physical_layout).to_utf8();
    const std::string text(utf8.begin(), utf8.end());
    anyText |= text.find_first_not_of(" \t\r\n\f") != std::string::npos;
    lines.Add(text, false);
  }
  if (!anyText) {
    throw Refusal(
        "PDF にテキスト層がありません（スキャンした画像だけの PDF です）。文字認識（OCR）をし"
        "てから比較してください。");
  }
}

}  // namespace verko::documents
