#include "platform/qt/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "platform/diagnostics.h"

bool InstallJapaneseTranslations(QCoreApplication* app) {
  const QLocale japanese(QLocale::Japanese, QLocale::Japan);
  QLocale::setDefault(japanese);
  // Owned by the application: it lives as long as the texts are looked up.
  auto* qt = new QTranslator(app);
  if (!qt->load(japanese, QStringLiteral("qtbase"), QStringLiteral("_"),
                QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    PRT("Qtの日本語訳(qtbase_ja.qm)がありません。標準のダイアログは英語で表示されます\n");
    delete qt;
    return false;
  }
  return app->installTranslator(qt);
}
