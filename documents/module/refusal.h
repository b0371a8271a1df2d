// How the document module gives up on a file: a Refusal carries the Japanese message that the
// entry point hands back. Inside the module only; nothing is thrown across its entry point.
#pragma once

#include <string>
#include <utility>

namespace verko::documents {

struct Refusal {
  explicit Refusal(std::string text) : message(std::move(text)) {}
  std::string message;
};

// The most any document may yield, in bytes of text and in bytes inflated from its zip
// parts altogether: a file beyond it is refused rather than allowed to fill the memory.
inline constexpr std::size_t kMaxTextBytes = 256u << 20;

}  // namespace verko::documents
