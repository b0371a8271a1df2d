#include "common/system_error.h"

#include <cerrno>
#include <cstring>

namespace verko {

std::string SystemErrorText(int errnum) {
  switch (errnum) {
    case ENOENT:
      return "ファイルまたはフォルダが見つかりません。";
    case EACCES:
    case EPERM:
      return "アクセスが拒否されました。";
    case EISDIR:
      return "フォルダが指定されています。";
    case ENOTDIR:
      return "パスの途中にフォルダではないものがあります。";
    case ENOSPC:
      return "ディスクの空き容量が不足しています。";
    case EROFS:
      return "読み取り専用のファイルシステムです。";
    case ENAMETOOLONG:
      return "ファイル名が長すぎます。";
    case EMFILE:
    case ENFILE:
      return "開いているファイルが多すぎます。";
    case EIO:
      return "入出力エラーが発生しました。";
    case EDQUOT:
      return "ディスク使用量の制限を超えました。";
    case EFBIG:
      return "ファイルが大きすぎます。";
    case ELOOP:
      return "シンボリックリンクが循環しています。";
    default:
      break;
  }
  return std::string(std::strerror(errnum)) + " (errno " + std::to_string(errnum) + ")";
}

}  // namespace verko
