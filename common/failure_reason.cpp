#include "common/failure_reason.h"

#include <exception>
#include <new>
#include <system_error>

#include "common/system_error.h"

namespace verko {

std::string CurrentFailureReason() noexcept {
  try {
    try {
      throw;
    } catch (const std::bad_alloc&) {
      return "メモリが不足しています。";
    } catch (const std::system_error& error) {
      if (error.code().category() == std::generic_category() ||
          error.code().category() == std::system_category()) {
        return SystemErrorText(error.code().value());
      }
      return error.what();
    } catch (const std::exception& error) {
      return error.what();
    } catch (...) {
      return "原因不明のエラーが起きました。";
    }
  } catch (...) {
    // Not even the text could be made (memory is exhausted): a literal needs nothing.
  }
  return std::string();
}

}  // namespace verko
