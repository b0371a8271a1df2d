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
    case EINTR:
      return "処理が中断されました。";
    case EAGAIN:
      return "システムの資源が一時的に不足しています。";
    case ENOMEM:
      return "メモリが不足しています。";
    case ELOOP:
      return "シンボリックリンクが循環しています。";
    case EBADF:
      return "ファイル記述子が閉じられているか、正しくありません。";
    case EEXIST:
      return "同じ名前のファイルがすでにあります。";
    case EINVAL:
      return "引数が正しくありません。";
    case EPIPE:
      return "書き込み先のパイプが閉じられました。";
    case EXDEV:
      return "ファイルシステムをまたぐ操作はできません。";
    case ENXIO:
    case ENODEV:
      return "デバイスがありません。";
    case EBUSY:
    case ETXTBSY:
      return "ファイルまたはデバイスが使用中です。";
    case ENOTEMPTY:
      return "フォルダが空ではありません。";
    case EOPNOTSUPP:
      return "この操作はサポートされていません。";
    case ESPIPE:
      return "パイプやデバイスの中では位置を移動できません。";
    case EOVERFLOW:
      return "値が大きすぎて扱えません。";
    case EMLINK:
      return "リンクが多すぎます。";
    case ESTALE:
      return "ネットワーク上のファイルが無効になりました。";
    case ETIMEDOUT:
      return "時間切れになりました。";
    case ENOLCK:
      return "ロックを使用できません。";
    default:
      break;
  }
  // Every reason is said in Japanese; the system's own words follow for what is rare.
  return "システムエラーが発生しました（errno " + std::to_string(errnum) + ": " +
         std::strerror(errnum) + "）。";
}

}  // namespace verko
