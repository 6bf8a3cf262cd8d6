#include <QStringList>
#include <limits>
#include <optional>

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
  // A value that cannot be converted is ignored, so the variable keeps its value.
  if (auto v = parseInteger(value, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()))
    target = T(*v);
}

}  // namespace

bool Module1::SaveSettings() {
  PathBuffer = programPath(kSettingsFileName);
  const QStringList lines = {
      u"[Velnorの設定記録ファイル]"_s,
      u"[起動設定]"_s,
      u"b101="_s + boolText(InputScreenOpen),
      u"[一覧表示の形式]"_s,
      u"i103="_s + boolText(ListFormat),
      u"[行の高さ]"_s,
      u"i104="_s + numberText(RowHeight),
      u"[補足情報の文字サイズ]"_s,
      u"i104b="_s + numberText(NoteFontSize),
      u"[フォームの背景色]"_s,
      u"L108(0)="_s + numberText(BackColors[0]),
      u"[一覧表の背景色]"_s,
      u"L108(1)="_s + numberText(BackColors[1]),
      u"[ボタンの色]"_s,
      u"L108(2)="_s + numberText(BackColors[2]),
      u"[一覧表の文字色]"_s,
      u"L109(0)="_s + numberText(TextColors[0]),
      u"[入力欄の文字色]"_s,
      u"L109(1)="_s + numberText(TextColors[1]),
      u"[メインの位置Ｘ]"_s,
      u"i110="_s + numberText(MainLeft),
      u"[メインの位置Ｙ]"_s,
      u"i111="_s + numberText(MainTop),
      u"[メインの大きさＸ]"_s,
      u"i112="_s + numberText(MainWidth),
      u"[メインの大きさＹ]"_s,
      u"i113="_s + numberText(MainHeight),
      u"[入力画面の位置Ｘ]"_s,
      u"i114="_s + numberText(InputLeft),
      u"[入力画面の位置Ｙ]"_s,
      u"i115="_s + numberText(InputTop),
      u"[入力画面の大きさＸ]"_s,
      u"i116="_s + numberText(InputWidth),
      u"[入力画面の大きさＹ]"_s,
      u"i117="_s + numberText(InputHeight),
      u"[並べ替えの種類]"_s,
      u"i118="_s + numberText(SortKind),
      u"[起動回数]"_s,
      u"i119="_s + numberText(LaunchCount),
      u"[表示形式]"_s,
      u"i120="_s + numberText(DisplaySpan),
      u"[前回終了時の記録フォルダー名]"_s,
      u"s201="_s + CurrentFolder,
  };
  return WriteReported(PathBuffer, lines);
}

bool Module1::LoadSettings() {
  PathBuffer = programPath(kSettingsFileName);
  if (!FileExists(PathBuffer) && !SaveSettings()) return false;

  QList<TextLine> lines;
  if (!ReadReported(PathBuffer, lines)) return false;

  using Setter = void (*)(Module1&, const QString&);
  struct Key {
    QString name;
    Setter set;
  };
  static const Key keys[] = {
      {u"b101="_s,
       [](Module1& m, const QString& v) {
         if (auto b = parseBool(v)) m.InputScreenOpen = *b;
       }},
      {u"i103="_s,
       [](Module1& m, const QString& v) {
         if (auto b = parseBool(v)) m.ListFormat = *b;
       }},
      {u"i104="_s, [](Module1& m, const QString& v) { assignInt(m.RowHeight, v); }},
      {u"i104b="_s, [](Module1& m, const QString& v) { assignInt(m.NoteFontSize, v); }},
      {u"L108(0)="_s, [](Module1& m, const QString& v) { assignInt(m.BackColors[0], v); }},
      {u"L108(1)="_s, [](Module1& m, const QString& v) { assignInt(m.BackColors[1], v); }},
      {u"L108(2)="_s, [](Module1& m, const QString& v) { assignInt(m.BackColors[2], v); }},
      {u"L109(0)="_s, [](Module1& m, const QString& v) { assignInt(m.TextColors[0], v); }},
      {u"L109(1)="_s, [](Module1& m, const QString& v) { assignInt(m.TextColors[1], v); }},
      {u"i110="_s, [](Module1& m, const QString& v) { assignInt(m.MainLeft, v); }},
      {u"i111="_s, [](Module1& m, const QString& v) { assignInt(m.MainTop, v); }},
      {u"i112="_s, [](Module1& m, const QString& v) { assignInt(m.MainWidth, v); }},
      {u"i113="_s, [](Module1& m, const QString& v) { assignInt(m.MainHeight, v); }},
      {u"i114="_s, [](Module1& m, const QString& v) { assignInt(m.InputLeft, v); }},
      {u"i115="_s, [](Module1& m, const QString& v) { assignInt(m.InputTop, v); }},
      {u"i116="_s, [](Module1& m, const QString& v) { assignInt(m.InputWidth, v); }},
      {u"i117="_s, [](Module1& m, const QString& v) { assignInt(m.InputHeight, v); }},
      {u"i118="_s, [](Module1& m, const QString& v) { assignInt(m.SortKind, v); }},
      {u"i119="_s, [](Module1& m, const QString& v) { assignInt(m.LaunchCount, v); }},
      {u"i120="_s, [](Module1& m, const QString& v) { assignInt(m.DisplaySpan, v); }},
      {u"s201="_s,
       [](Module1& m, const QString& v) {
         // A name beside the program, never a path that leads elsewhere.
         if (isSafeNoteName(v)) m.CurrentFolder = v;
       }},
  };

  for (const TextLine& line : lines) {
    const QString& text = line.text;
    if (text.startsWith(u'[')) continue;
    for (const Key& key : keys) {
      if (text.startsWith(key.name)) {  // exact and case-sensitive; the first key wins
        key.set(*this, text.mid(key.name.size()));
        break;
      }
    }
  }
  return true;
}

}  // namespace velnor
