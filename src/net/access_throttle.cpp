#include "net/access_throttle.h"

#include <cstdio>

#include "net/download_settings.h"
#include "net/today_download.h"
#include "platform/command_ids.h"
#include "platform/diagnostics.h"
#include "platform/hooks.h"
#include "platform/host.h"

int fNoAccessCount = 0;

namespace {

// Every change is written at once: a kill must not lose a rest period.
void Saved() {
  if (DownloadStateChangedHook) DownloadStateChangedHook();
}

}  // namespace

void TouchAccess() {
  if (BlockRemaining() <= 0) nHttpCount = 0;
  LatestTime = HostNow();
}

void CountAccess() {
  if (fNoAccessCount) return;
  TouchAccess();
  ++nHttpCount;
  Saved();
}

int64_t BlockRemaining() { return LatestTime + ACCESS_REST_SECONDS - HostNow(); }

int IsAccessBlocked() { return nHttpCount > ACCESS_LIMIT && BlockRemaining() > 0 ? 1 : 0; }

int IsTodayDownloadBlocked() {
  PRT("%d,Yahoo待ち時間=%s\n", nHttpCount, FormatWaitTime(BlockRemaining()).c_str());
  return nHttpCount + TODAY_ACCESS_ALLOWANCE > ACCESS_LIMIT && BlockRemaining() > 0 ? 1 : 0;
}

void ResetAccessCount() {
  nHttpCount = 0;
  Saved();
}

void SetHttpCount(int count) { nHttpCount = count < 0 ? 0 : count; }
int GetHttpCount() { return nHttpCount; }

std::string FormatWaitTime(int64_t seconds) {
  if (seconds < 0) seconds = 0;
  const long long hours = seconds / 3600, minutes = seconds % 3600 / 60, rest = seconds % 60;
  char text[64];
  if (hours > 0) std::snprintf(text, sizeof text, "%lld時間%2lld分%02lld秒", hours, minutes, rest);
  else if (minutes > 0) std::snprintf(text, sizeof text, "%2lld分%02lld秒", minutes, rest);
  else std::snprintf(text, sizeof text, "%2lld秒", static_cast<long long>(seconds));
  return text;
}

int AccessWarning() {
  const int64_t remaining = static_cast<int32_t>(static_cast<uint32_t>(BlockRemaining()));
  char text[512];
  std::snprintf(text, sizeof text,
                "Yahoo!ファイナンスへのアクセス回数が多いため実行できません。\n%sお待ちください\n\n"
                "ダウンロードに失敗するかもしれませんが強制的に続行しますか？",
                FormatWaitTime(remaining).c_str());
  return HostMessageBox(text, "Yahoo!ファイナンスへのアクセス規制中", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
}

bool AccessAllowsCommand(int command_id) {
  const int blocked = command_id == IDM_TODAY_DOWNLOAD ? IsTodayDownloadBlocked() : IsAccessBlocked();
  if (!blocked) return true;
  if (fTimedDownload) {
    PRT("アクセス規制中のため自動ダウンロードを見送りました（残り%s）\n", FormatWaitTime(BlockRemaining()).c_str());
    return false;
  }
  if (AccessWarning() != IDYES) return false;
  ResetAccessCount();
  return true;
}

int64_t LatestTimeFromFile(uint32_t low_bits) {
  const int64_t t = low_bits;
  if (t > HostNow() + ACCESS_REST_SECONDS) {
    PRT("LatestTime=%lld は未来の時刻なので 0 とします\n", static_cast<long long>(t));
    return 0;
  }
  return t;
}
