#include "report/format_writer.h"

namespace verko {

Status WriteComparisonJson(const ExportInput& input, std::string& out) {
  (void)input;
  (void)out;
  return Status::Error("json");
}

}  // namespace verko
