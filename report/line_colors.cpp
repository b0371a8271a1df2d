#include "report/line_colors.h"

namespace verko {

LineColor ColorOfKind(LineKind kind) {
  switch (kind) {
    case LineKind::kDeleted:
      return {true, 0xD83A3A, 31};
    case LineKind::kAdded:
      return {true, 0x2FA84F, 32};
    case LineKind::kMovedOld:
      return {true, 0xA64CD0, 35};
    case LineKind::kMovedNew:
      return {true, 0x1E9CC8, 36};
    case LineKind::kCommon:
    case LineKind::kGap:
    case LineKind::kNoDifferences:
    case LineKind::kPlain:
      break;
  }
  return {};
}

}  // namespace verko
