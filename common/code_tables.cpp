#include "common/code_tables.h"

// The arrays themselves are made from iconv's tables by make_code_tables as the program is
// built.
namespace verko::code_data {
extern const uint16_t kCp932ToUnicode[0x10000];
extern const uint16_t kCp932FromUnicode[0x10000];
extern const uint32_t kCp932ToUtf8[0x10000];
extern const uint32_t kEucJpToUnicode[0x20000];
extern const uint32_t kEucJpFromUnicode[0x10000];
extern const uint16_t kEucJpToCp932[0x10000];
extern const uint32_t kEucJpFromCp932[0x10000];
}  // namespace verko::code_data

namespace verko {

const Cp932Table& Cp932Codes() {
  static constexpr Cp932Table table{code_data::kCp932ToUnicode, code_data::kCp932FromUnicode,
                                    code_data::kCp932ToUtf8};
  return table;
}

const EucJpTable& EucJpCodes() {
  static constexpr EucJpTable table{code_data::kEucJpToUnicode, code_data::kEucJpFromUnicode,
                                    code_data::kEucJpToCp932, code_data::kEucJpFromCp932};
  return table;
}

}  // namespace verko
