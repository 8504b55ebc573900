#include "platform/qt/qt_codepage.h"

#include <QFont>

#include "platform/codepage.h"

QString FromCp932(std::string_view cp932) {
  std::string utf8 = Cp932ToUtf8(cp932);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToCp932(const QString& text) {
  QByteArray utf8 = text.toUtf8();
  return Utf8ToCp932(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

void InstallFontSubstitutions() {
  // The IPA fonts have the same metrics as the faces the layout was drawn for.
  QFont::insertSubstitution(u"ＭＳ ゴシック"_qs, u"IPAGothic"_qs);
  QFont::insertSubstitution(u"ＭＳ 明朝"_qs, u"IPAMincho"_qs);
  QFont::insertSubstitution(u"ＭＳ Ｐゴシック"_qs, u"IPAPGothic"_qs);
  QFont::insertSubstitution(u"ＭＳ Ｐ明朝"_qs, u"IPAPMincho"_qs);
}
