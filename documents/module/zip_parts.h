// What a zip file holds (the container of Office and OpenDocument files), read through
// libzip with a bound on what each part may inflate to, so that a zip bomb is refused after
// a few megabytes instead of filling the memory.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

struct zip;

namespace verko::documents {

class ZipParts {
 public:
  // Opens `path` as a zip; null when it is none (not a zip, or one too damaged to list).
  static std::unique_ptr<ZipParts> Open(const std::string& path);
  ~ZipParts();

  bool Has(const std::string& name) const;
  // Reads part `name` whole into *bytes; false when there is no such part. Throws
  // Refusal for an encrypted part, a damaged one, or one that inflates beyond its bound:
  // 100 times its compressed size (at least 16 MB), and 256 MB for all parts together.
  bool Read(const std::string& name, std::string* bytes);
  // The name of entry `index`, for walking all of them in order.
  std::int64_t Count() const;
  std::string NameAt(std::int64_t index) const;

 private:
  explicit ZipParts(zip* archive) : archive_(archive) {}

  zip* archive_;
  std::uint64_t inflated_ = 0;  // by all parts read so far
};

}  // namespace verko::documents
