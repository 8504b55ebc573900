#include "net/download_settings.h"

int WebDownSelect;
int WebMillerSelect;
int AutoDownload;
int WebProbeCode;
int Restart[WEB_MILLER_CHOICES];
int64_t LatestTime;
int nHttpCount;

namespace {
[[maybe_unused]] const bool kDefaultsSet = (ResetDownloadSettings(), true);
}

void ResetDownloadSettings() {
  WebDownSelect = 0;
  WebMillerSelect = 0;
  AutoDownload = 1;
  WebProbeCode = WEB_PROBE_CODE_DEFAULT;
  for (int& r : Restart) r = 0;
  LatestTime = 0;
  nHttpCount = 0;
}
