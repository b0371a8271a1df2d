#include "common/code_tables.h"

#include <iterator>

// The arrays themselves are made from iconv's tables by make_code_tables as the program is
// built; its header declares them with their sizes.
#include "common/code_tables_data.h"

namespace verko {
namespace {

// The lookups index the tables by a code of two bytes (three for EUC-JP's 8F rows) or a
// code point of the BMP.
using namespace code_data;
static_assert(std::size(kCp932ToUnicode) == 0x10000 && std::size(kCp932FromUnicode) == 0x10000 &&
              std::size(kCp932ToUtf8) == 0x10000);
static_assert(std::size(kEucJpToUnicode) == 0x20000 && std::size(kEucJpFromUnicode) == 0x10000 &&
              std::size(kEucJpToCp932) == 0x10000 && std::size(kEucJpFromCp932) == 0x10000);

}  // namespace

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
