// CP932 at the Qt boundary, and the font substitutions for the Japanese face names.
#pragma once

#include <QString>
#include <string>
#include <string_view>

// CP932 bytes to a QString.
QString FromCp932(std::string_view cp932);
// A QString to CP932 bytes; characters CP932 cannot hold become "?".
std::string ToCp932(const QString& text);
// Makes "ＭＳ ゴシック", "ＭＳ 明朝" and "ＭＳ Ｐゴシック" resolve to the IPA faces.
void InstallFontSubstitutions();
