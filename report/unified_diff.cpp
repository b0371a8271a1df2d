#include "report/format_writer.h"

namespace verko {

Status WriteUnifiedDiff(const ExportInput& input, std::string& out) {
  (void)input;
  (void)out;
  return Status::Error("unified");
}

}  // namespace verko
