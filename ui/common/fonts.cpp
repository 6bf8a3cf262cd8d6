#include "ui/common/fonts.h"

#include <QFont>

namespace velnor {

void installFontSubstitutions() {
  QFont::insertSubstitutions(kMincho, QStringList{QStringLiteral("IPAMincho"), QStringLiteral("IPA明朝"),
                                       QStringLiteral("Noto Serif CJK JP")});
  QFont::insertSubstitutions(kPGothic, QStringList{QStringLiteral("IPAPGothic"),
                                        QStringLiteral("IPA Pゴシック"),
                                        QStringLiteral("Noto Sans CJK JP")});
  QFont::insertSubstitutions(kGothic, QStringList{QStringLiteral("IPAGothic"), QStringLiteral("IPAゴシック"),
                                       QStringLiteral("Noto Sans Mono CJK JP")});
}

}  // namespace velnor
