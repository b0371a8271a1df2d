// The one entry point of Verko's document module (libverko_documents.so), which reads Word,
// Excel, PowerPoint, OpenDocument and PDF files with the zip, XML and PDF libraries it links.
// Plain C types only: the module is loaded on first use, and nothing of C++ crosses it.
#pragma once

#include <stddef.h>

extern "C" {

// What a file holds, as the module tells it from the file's content.
enum VerkoDocumentKind {
  kVerkoNotDocument = 0,  // neither a document's zip nor a PDF: compared as it is
  kVerkoWord = 1,         // .docx, .docm
  kVerkoExcel = 2,        // .xlsx, .xlsm
  kVerkoPowerPoint = 3,   // .pptx, .pptm
  kVerkoOdfText = 4,      // .odt
  kVerkoOdfSpreadsheet = 5,
  kVerkoOdfPresentation = 6,
  kVerkoPdf = 7,
};

enum VerkoDocumentOutcome {
  kVerkoTextTaken = 0,   // text holds the document's text
  kVerkoNoDocument = 1,  // the file is not a document the module reads (kind says so)
  kVerkoRefused = 2,     // message says why (a damaged, protected or hostile file)
};

struct VerkoDocumentText {
  int kind;            // a VerkoDocumentKind
  long long units;     // paragraphs, rows, slides or pages the text was taken from
  int trackedChanges;  // nonzero: the document holds tracked changes, taken as accepted
  char* text;          // UTF-8, one line per "\n"; freed with verko_documents_free
  size_t size;
  char message[512];  // UTF-8, Japanese, for kVerkoRefused
};

// Takes the text of the document at `path`: a VerkoDocumentOutcome.
typedef int (*VerkoTakeDocumentText)(const char* path, VerkoDocumentText* out);
// The kind of the file at `path` from its content, without taking its text: a
// VerkoDocumentKind (kVerkoNotDocument also for a file it cannot open).
typedef int (*VerkoDocumentKindOf)(const char* path);
typedef void (*VerkoFreeDocumentText)(char* text);

}  // extern "C"

#define VERKO_DOCUMENTS_TAKE_TEXT "verko_documents_take_text"
#define VERKO_DOCUMENTS_FREE "verko_documents_free"
#define VERKO_DOCUMENTS_KIND "verko_documents_kind"
