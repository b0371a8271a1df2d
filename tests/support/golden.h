// Golden result reports under tests/data: CP932 with CR LF, compared byte for byte once the
// date line of the header is masked.
#pragma once

#include <string>

#include "common/encoding.h"
#include "tests/support/temp_dir.h"

namespace verko::test_support {

inline std::string ReadGolden(const std::string& name) {
  return ReadFile(std::string(VERKO_TEST_DATA_DIR) + "/" + name);
}

// Replaces the date and time of the header by a fixed mark.
inline std::string MaskDate(std::string report) {
  const std::string label = ToCp932("比較日時 = ");
  std::size_t pos = report.find(label);
  if (pos == std::string::npos) return report;
  pos += label.size();
  std::size_t end = report.find("\r\n", pos);
  return report.replace(pos, end - pos, "####/##/## ##:##:##");
}

}  // namespace verko::test_support
