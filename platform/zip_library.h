// libzip's functions, from the library loaded on first use (see system_library.h): only the
// Word 新旧対照表 calls them (a Word document is a zip of XML parts), and no other comparison
// should pay for the library at start-up.
#pragma once

#include <zip.h>

#include <string>

namespace verko {

// clang-format off
#define VERKO_ZIP_FUNCTIONS(X) \
  X(zip_close) X(zip_discard) X(zip_error_fini) X(zip_error_init) X(zip_error_strerror) \
  X(zip_file_add) X(zip_open_from_source) X(zip_source_buffer) X(zip_source_buffer_create) \
  X(zip_source_close) X(zip_source_free) X(zip_source_keep) X(zip_source_open) \
  X(zip_source_read) X(zip_source_stat) X(zip_stat_init) X(zip_strerror)
// clang-format on

// zip_close is zip_close, and so on.
struct ZipFunctions {
#define VERKO_ZIP_MEMBER(name) decltype(&::name) name;
  VERKO_ZIP_FUNCTIONS(VERKO_ZIP_MEMBER)
#undef VERKO_ZIP_MEMBER
};

// Loads libzip on the first call (any thread); false with *failure when it cannot be.
bool LoadZip(std::string* failure);
// The functions; only after LoadZip succeeded.
const ZipFunctions& Zip();

}  // namespace verko
