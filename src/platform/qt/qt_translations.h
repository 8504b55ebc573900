// Qt's own texts in Japanese: the buttons of the standard boxes (はい, いいえ, キャンセル), the
// colour, print and file dialogs, the context menus of text fields. The translations come
// from the system's Qt (Debian package qt6-translations-l10n).
#pragma once

class QCoreApplication;

// Makes Japanese the default locale and installs Qt's Japanese translations into app. False
// (with a diagnostic line) when they are not installed: Qt's texts then stay English.
bool InstallJapaneseTranslations(QCoreApplication* app);
