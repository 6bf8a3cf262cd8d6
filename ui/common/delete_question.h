#pragma once
// The question both windows ask before a person is deleted.

#include <QString>

namespace velnor {

inline QString deleteQuestion(const QString& name) {
  using namespace Qt::Literals::StringLiterals;
  // Naming the person makes a slip of the selection visible before it costs anything.
  if (name.isEmpty()) return u"この人の情報を削除してよろしいですか？"_s;
  return u"「"_s + name + u"」の情報を削除してよろしいですか？"_s;
}

}  // namespace velnor
