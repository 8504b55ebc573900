// The price-alert check after new prices came in (a download or a merged day file).
#pragma once

// Checks every alert against the latest closes. Does nothing until the alerts exist.
void CheckAlarumAfterDownload();
