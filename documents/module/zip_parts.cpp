#include "documents/module/zip_parts.h"

#include <zip.h>

#include <algorithm>

#include "documents/module/refusal.h"

namespace verko::documents {
namespace {

// A part of a real document seldom inflates to more than 20 times its compressed size; a
// small part may reach more, so the ratio applies only above a floor.
constexpr std::uint64_t kMaxInflateRatio = 100;
constexpr std::uint64_t kInflateFloor = 16u << 20;

std::uint64_t InflateBound(std::uint64_t compressed) {
  return std::min<std::uint64_t>(kMaxTextBytes,
                                 std::max(kInflateFloor, compressed * kMaxInflateRatio));
}

[[noreturn]] void RefuseBomb() {
  throw Refusal(
      "文書の中の部分が展開すると大きくなりすぎます（圧縮爆弾の疑いがあります）。読み込みを中止"
      "しました。");
}

}  // namespace

std::unique_ptr<ZipParts> ZipParts::Open(const std::string& path) {
  int error = 0;
  zip* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
  if (archive == nullptr) return nullptr;
  return std::unique_ptr<ZipParts>(new ZipParts(archive));
}

ZipParts::~ZipParts() {
  zip_discard(archive_);
}

bool ZipParts::Has(const std::string& name) const {
  return zip_name_locate(archive_, name.c_str(), 0) >= 0;
}

std::int64_t ZipParts::Count() const {
  return zip_get_num_entries(archive_, 0);
}

std::string ZipParts::NameAt(std::int64_t index) const {
  const char* name = zip_get_name(archive_, static_cast<zip_uint64_t>(index), 0);
  return name ? name : "";
}

bool ZipParts::Read(const std::string& name, std::string* bytes) {
  const zip_int64_t index = zip_name_locate(archive_, name.c_str(), 0);
  if (index < 0) return false;
  zip_stat_t stat;
  zip_stat_init(&stat);
  if (zip_stat_index(archive_, index, 0, &stat) != 0) {
    throw Refusal("文書の zip の目次が壊れています（" + name + "）。");
  }
  if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE) {
    throw Refusal("文書はパスワードで保護されています。保護を外してから比較してください。");
  }
  const std::uint64_t compressed = (stat.valid & ZIP_STAT_COMP_SIZE) ? stat.comp_size : 0;
  const std::uint64_t bound = InflateBound(compressed);
  if ((stat.valid & ZIP_STAT_SIZE) &&
      (stat.size > bound || inflated_ + stat.size > kMaxTextBytes)) {
    RefuseBomb();
  }
  zip_file_t* file = zip_fopen_index(archive_, index, 0);
  if (file == nullptr) {
    throw Refusal("文書の部分 " + name + " を開けません（" + zip_strerror(archive_) + "）。");
  }
  bytes->clear();
  char buffer[64 * 1024];
  for (;;) {
    const zip_int64_t got = zip_fread(file, buffer, sizeof buffer);
    if (got < 0) {
      const std::string reason = zip_file_strerror(file);
      zip_fclose(file);
      throw Refusal("文書の部分 " + name + " が壊れています（" + reason + "）。");
    }
    if (got == 0) break;
    // The declared size may lie: what counts is what inflates.
    inflated_ += static_cast<std::uint64_t>(got);
    if (bytes->size() + static_cast<std::size_t>(got) > bound || inflated_ > kMaxTextBytes) {
      zip_fclose(file);
      RefuseBomb();
    }
    bytes->append(buffer, static_cast<std::size_t>(got));
  }
  zip_fclose(file);
  return true;
}

}  // namespace verko::documents
