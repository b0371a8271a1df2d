// The result of an operation of the core: success, or a failure with the system's reason
// as a text a user can read (Japanese where we know the cause). Nothing in the core throws
// across its interface.
#pragma once

#include <string>
#include <utility>

namespace verko {

class Status {
 public:
  static Status Ok() { return Status(); }
  static Status Error(std::string reason) { return Status(std::move(reason)); }

  bool ok() const { return !failed_; }
  // The reason of a failure; empty for success.
  const std::string& reason() const { return reason_; }

 private:
  Status() = default;
  explicit Status(std::string reason) : failed_(true), reason_(std::move(reason)) {}

  bool failed_ = false;
  std::string reason_;
};

}  // namespace verko
