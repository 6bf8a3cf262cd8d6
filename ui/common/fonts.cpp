#include "ui/common/fonts.h"

#include <QFont>
#include <QStringList>

namespace velnor {

void installFontSubstitutions() {
  QFont::insertSubstitutions(
      kMincho, QStringList() << QStringLiteral("IPAMincho") << QStringLiteral("Noto Serif CJK JP"));
  QFont::insertSubstitutions(kPGothic, QStringList() << QStringLiteral("IPAPGothic")
                                                     << QStringLiteral("Noto Sans CJK JP"));
  QFont::insertSubstitutions(kGothic, QStringList() << QStringLiteral("IPAGothic")
                                                    << QStringLiteral("Noto Sans Mono CJK JP"));
}

}  // namespace velnor
