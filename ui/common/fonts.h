#pragma once
#include <QString>

namespace velnor {

inline const QString kMincho = QStringLiteral("ＭＳ 明朝");
inline const QString kPGothic = QStringLiteral("ＭＳ Ｐゴシック");
inline const QString kGothic = QStringLiteral("ＭＳ ゴシック");

// Maps the Japanese system font names the windows use to the fonts this system has
// (IPA fonts, then Noto CJK). Call once after the QApplication exists.
void installFontSubstitutions();

}  // namespace velnor
