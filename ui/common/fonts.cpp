#include "ui/common/fonts.h"

#include <QFont>

namespace velnor {

void installFontSubstitutions() {
  QFont::insertSubstitutions(kMincho, {QStringLiteral("IPAMincho"), QStringLiteral("IPA明朝"),
                                       QStringLiteral("Noto Serif CJK JP")});
  QFont::insertSubstitutions(kPGothic, {QStringLiteral("IPAPGothic"),
                                        QStringLiteral("IPA Pゴシック"),
                                        QStringLiteral("Noto Sans CJK JP")});
  QFont::insertSubstitutions(kGothic, {QStringLiteral("IPAGothic"), QStringLiteral("IPAゴシック"),
                                       QStringLiteral("Noto Sans Mono CJK JP")});
}

}  // namespace velnor
