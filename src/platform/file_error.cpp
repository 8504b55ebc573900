#include "platform/file_error.h"

#include <cerrno>

const char* FileErrorText(int err) {
  switch (err) {
    case 0: return "原因不明のエラー";
    case ENOENT: return "ファイルまたはフォルダがありません";
    case ENOTDIR: return "フォルダがありません";
    case EACCES:
    case EPERM: return "アクセスが許可されていません";
    case EROFS: return "読み取り専用の場所です";
    case ENOSPC:
    case EDQUOT: return "ディスクの空きが足りません";
    case EFBIG: return "ファイルが大きすぎます";
    case EISDIR: return "フォルダです";
    case EIO: return "ディスクの読み書きに失敗しました";
    case EBUSY:
    case ETXTBSY:
    case EAGAIN: return "他のプログラムが使用中です";
    case EMFILE:
    case ENFILE: return "開いているファイルが多すぎます";
    case ESPIPE: return "位置を移動できないファイルです";
    case EINVAL: return "無効な指定です";
    case ENAMETOOLONG: return "ファイル名が長すぎます";
    default: return "ファイルを扱えません";
  }
}

bool IsPassingFileError(int err) {
  switch (err) {
    case EINTR:
    case EAGAIN:
    case EBUSY:
    case ETXTBSY:
    case EMFILE:
    case ENFILE:
      return true;
    default:
      return false;
  }
}
