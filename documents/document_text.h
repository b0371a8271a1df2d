// Files compared by their text rather than their bytes: Word, Excel, PowerPoint and
// OpenDocument files and PDFs (told by their content, read by the document module, which is
// loaded on first use), and files of an extension the user gave a converter for. The run
// above takes the text as it would a file's bytes and never needs to know which it was.
#pragma once

#include <string>
#include <vector>

#include "documents/text_converter.h"

namespace verko {

struct DocumentSettings {
  bool convert = true;  // false: every file is compared by its bytes (--no-convert)
  std::vector<Converter> converters;
};

struct DocumentText {
  enum class Outcome {
    kAsItIs,   // not a document: compare the file's bytes
    kTaken,    // compare `text`
    kRefused,  // `message` says why the file cannot be compared
  };
  Outcome outcome = Outcome::kAsItIs;
  std::string text;
  // The text is UTF-8 (a document's); false for a converter's output, which is read in the
  // file's encoding as the file would be.
  bool utf8 = false;
  // What the text was taken from, for a notice line: "Word 文書から 312 段落".
  std::string notice;
  std::string message;
};

// How `path` is to be compared. Reads no more than its first bytes unless it is a document
// or has a converter; a refusal names the reason in Japanese (a damaged, protected or
// hostile file, a file whose name promises a document it does not hold, a failed converter).
DocumentText TakeDocumentText(const std::string& path, const DocumentSettings& settings);

// Whether `path` is compared by its text under `settings` (a document, a file named as one,
// or one with a converter), so that a folder run does not count it among binary files. Looks
// at its first bytes and, for a zip, at the names of its parts.
bool ComparedByText(const std::string& path, const DocumentSettings& settings);

}  // namespace verko
