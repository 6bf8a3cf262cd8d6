#include <QStringList>
#include <limits>
#include <optional>
#include <variant>

#include "core/char_rules.h"
#include "core/module1.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {

namespace {

QString boolText(bool v) { return v ? u"True"_s : u"False"_s; }

// Non-negative numbers get a leading blank, every number a trailing one.
QString numberText(qint64 v) { return (v >= 0 ? u" "_s : QString()) + QString::number(v) + u' '; }

std::optional<qint64> parseInteger(const QString& value, qint64 min, qint64 max) {
  const QString t = value.trimmed();
  bool ok = false;
  qint64 v = t.toLongLong(&ok);
  if (!ok) {
    const double d = t.toDouble(&ok);
    if (!ok || d != d) return std::nullopt;
    if (d < double(min) - 0.5 || d > double(max) + 0.5) return std::nullopt;
    v = qint64(std::nearbyint(d));
  }
  if (v < min || v > max) return std::nullopt;
  return v;
}

std::optional<bool> parseBool(const QString& value) {
  const QString t = value.trimmed();
  if (t.compare(u"True"_s, Qt::CaseInsensitive) == 0) return true;
  if (t.compare(u"False"_s, Qt::CaseInsensitive) == 0) return false;
  bool ok = false;
  const double d = t.toDouble(&ok);
  if (!ok) return std::nullopt;
  return d != 0;
}

template <typename T>
void assignInt(T& target, const QString& value) {
  if (auto v = parseInteger(value, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()))
    target = T(*v);
}

// Where a setting lives in Module1. A string is only ever the folder's name.
using Field = std::variant<bool*, qint16*, qint32*, QString*>;

// The settings file, in the order it is written: the comment line above each key, the key
// (with its "="), and the member both directions use.
struct Setting {
  const char16_t* comment;
  const char16_t* key;
  Field (*field)(Module1&);
};

const Setting kSettings[] = {
    {u"[起動設定]", u"b101=", [](Module1& m) -> Field { return &m.InputScreenOpen; }},
    {u"[一覧表示の形式]", u"i103=", [](Module1& m) -> Field { return &m.ListFormat; }},
    {u"[行の高さ]", u"i104=", [](Module1& m) -> Field { return &m.RowHeight; }},
    {u"[補足情報の文字サイズ]", u"i104b=", [](Module1& m) -> Field { return &m.NoteFontSize; }},
    {u"[フォームの背景色]", u"L108(0)=", [](Module1& m) -> Field { return &m.BackColors[0]; }},
    {u"[一覧表の背景色]", u"L108(1)=", [](Module1& m) -> Field { return &m.BackColors[1]; }},
    {u"[ボタンの色]", u"L108(2)=", [](Module1& m) -> Field { return &m.BackColors[2]; }},
    {u"[一覧表の文字色]", u"L109(0)=", [](Module1& m) -> Field { return &m.TextColors[0]; }},
    {u"[入力欄の文字色]", u"L109(1)=", [](Module1& m) -> Field { return &m.TextColors[1]; }},
    {u"[メインの位置Ｘ]", u"i110=", [](Module1& m) -> Field { return &m.MainLeft; }},
    {u"[メインの位置Ｙ]", u"i111=", [](Module1& m) -> Field { return &m.MainTop; }},
    {u"[メインの大きさＸ]", u"i112=", [](Module1& m) -> Field { return &m.MainWidth; }},
    {u"[メインの大きさＹ]", u"i113=", [](Module1& m) -> Field { return &m.MainHeight; }},
    {u"[入力画面の位置Ｘ]", u"i114=", [](Module1& m) -> Field { return &m.InputLeft; }},
    {u"[入力画面の位置Ｙ]", u"i115=", [](Module1& m) -> Field { return &m.InputTop; }},
    {u"[入力画面の大きさＸ]", u"i116=", [](Module1& m) -> Field { return &m.InputWidth; }},
    {u"[入力画面の大きさＹ]", u"i117=", [](Module1& m) -> Field { return &m.InputHeight; }},
    {u"[並べ替えの種類]", u"i118=", [](Module1& m) -> Field { return &m.SortKind; }},
    {u"[起動回数]", u"i119=", [](Module1& m) -> Field { return &m.LaunchCount; }},
    {u"[表示形式]", u"i120=", [](Module1& m) -> Field { return &m.DisplaySpan; }},
    {u"[前回終了時の記録フォルダー名]", u"s201=",
     [](Module1& m) -> Field { return &m.CurrentFolder; }},
};

QString valueText(const Field& field) {
  return std::visit(
      [](auto* v) -> QString {
        using T = std::remove_pointer_t<decltype(v)>;
        if constexpr (std::is_same_v<T, bool>)
          return boolText(*v);
        else if constexpr (std::is_same_v<T, QString>)
          return *v;
        else
          return numberText(*v);
      },
      field);
}

// A value that cannot be converted is ignored, so the member keeps its value.
void takeValue(const Field& field, const QString& value) {
  std::visit(
      [&value](auto* v) {
        using T = std::remove_pointer_t<decltype(v)>;
        if constexpr (std::is_same_v<T, bool>) {
          if (auto b = parseBool(value)) *v = *b;
        } else if constexpr (std::is_same_v<T, QString>) {
          // A name beside the program, never a path that leads elsewhere.
          if (isSafeNoteName(value)) *v = value;
        } else {
          assignInt(*v, value);
        }
      },
      field);
}

}  // namespace

bool Module1::SaveSettings() {
  PathBuffer = programPath(kSettingsFileName);
  QStringList lines = {u"[Velnorの設定記録ファイル]"_s};
  for (const Setting& s : kSettings) {
    lines << QString::fromUtf16(s.comment);
    lines << QString::fromUtf16(s.key) + valueText(s.field(*this));
  }
  return WriteReported(PathBuffer, lines);
}

bool Module1::LoadSettings() {
  PathBuffer = programPath(kSettingsFileName);
  if (!FileExists(PathBuffer) && !SaveSettings()) return false;

  QList<TextLine> lines;
  if (!ReadReported(PathBuffer, lines)) return false;
  for (const TextLine& line : lines) {
    const QString& text = line.text;
    if (text.startsWith(u'[')) continue;
    for (const Setting& s : kSettings) {
      const QStringView key(s.key);
      if (text.startsWith(key)) {  // exact and case-sensitive; the first key wins
        takeValue(s.field(*this), text.mid(key.size()));
        break;
      }
    }
  }
  return true;
}

}  // namespace velnor
