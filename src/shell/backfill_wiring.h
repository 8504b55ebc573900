// Connects the back-fill, the access throttle and the timed download to the program: command
// 40104's feature, the access check before the download commands, the minute timer, and the
// settings writer that keeps the throttle and the resume positions as they change.
#pragma once

void RegisterBackfill();
// The section the download state lives in, written at once when it changes.
void SaveDownloadState();
