// The words of a comparison run's messages: their titles, the roles of its files, and the
// shape of every message about one file.
#pragma once

#include <string>

namespace verko {

inline constexpr const char* kTitleFileName = "ファイル指定ミス";
inline constexpr const char* kTitleCannotOpen = "ファイルを開けない";
inline constexpr const char* kTitleRunError = "比較処理でエラー";
inline constexpr const char* kTitleEncoding = "文字コードの不一致";
inline constexpr const char* kTitleFormat = "出力形式";
inline constexpr const char* kRoleOld = "旧ファイル";
inline constexpr const char* kRoleNew = "新ファイル";
inline constexpr const char* kRoleResult = "結果ファイル";
inline constexpr const char* kRoleWorkDb = "作業用データベース";

// "role\n   name\nphrase\n\n理由： reason", the shape of every message about one file.
inline std::string FileMessage(const char* role, const std::string& name, const char* phrase,
                               const std::string& reason) {
  return std::string(role) + "\n   " + name + "\n" + phrase + "\n\n理由： " + reason;
}

}  // namespace verko
