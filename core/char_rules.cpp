#include "core/char_rules.h"

#include <QRegularExpression>

#include "core/module1.h"
#include "core/text_file.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {

namespace {

// An invisible character is named in the prompt, so that the user sees what was refused.
QString shownCharacter(const QString& ch) {
  if (ch.size() != 1) return ch;
  const QChar c = ch.at(0);
  if (c == u'\r' || c == u'\n') return u"改行"_s;
  if (c == u'\t') return u"タブ"_s;
  if (isControlCharacter(c)) return u"制御文字"_s;
  return ch;
}

// Characters each box refuses besides those code page 932 cannot hold.
bool refusedInBox(QChar c, EntryBox box) {
  if (c == u'*') return true;
  switch (box) {
    case EntryBox::Name:
      return isFileNameBreaker(c);
    case EntryBox::Territory:
    case EntryBox::MonthCell:
      return isControlCharacter(c);  // a line break would split the record line
    case EntryBox::Note:
      return c == u'[';
    case EntryBox::MonthInfo:
      return false;
  }
  return false;
}

}  // namespace

bool isControlCharacter(QChar c) {
  const char16_t u = c.unicode();
  return u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0);
}

bool isFileNameBreaker(QChar c) {
  static const QString breakers = u"\\/:*?\"<>|"_s;
  return breakers.contains(c) || isControlCharacter(c);
}

QString refusalPrompt(const QString& character) { return shownCharacter(character) + kCannotEnter; }

std::optional<Refusal> findRefusal(const QString& text, EntryBox box, bool encodable) {
  if (box == EntryBox::Territory && text.startsWith(u'['))
    return Refusal{0, u"１桁目に　"_s + refusalPrompt(u"["_s), true};

  // Where the first character the file's code page cannot hold sits, if anywhere.
  int unencodableAt = -1;
  QString unencodable;
  if (!encodable && !canEncodeCp932(text, &unencodable) && !unencodable.isEmpty())
    unencodableAt = int(text.indexOf(unencodable));

  for (int i = 0; i < text.size(); ++i) {
    if (i == unencodableAt) return Refusal{i, refusalPrompt(unencodable), false};
    const QChar c = text.at(i);
    if (refusedInBox(c, box)) return Refusal{i, refusalPrompt(QString(c)), false};
  }
  return std::nullopt;
}

bool isReservedDeviceName(const QString& name) {
  static const QRegularExpression reserved(u"^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9])$"_s,
                                           QRegularExpression::CaseInsensitiveOption);
  // Windows looks at the part before the first dot, ignoring trailing blanks.
  QString base = name.section(u'.', 0, 0);
  while (base.endsWith(u' ')) base.chop(1);
  return reserved.match(base).hasMatch();
}

bool isStorableName(const QString& name, QString* why) {
  for (const QChar c : name) {
    if (isFileNameBreaker(c)) {
      if (why)
        *why = u"名前に「%1」は使えません。変更してください…"_s.arg(shownCharacter(QString(c)));
      return false;
    }
  }
  if (isReservedDeviceName(name)) {
    if (why)
      *why = u"「%1」はパソコンが使う名前のため、名前にできません。変更してください…"_s.arg(name);
    return false;
  }
  return true;
}

QString folderNameProblem(const QString& name) {
  for (const QChar c : name) {
    if (isControlCharacter(c)) return u"タブや改行などの制御文字"_s + kCannotEnter;
    if (isFileNameBreaker(c)) return QString(c) + kCannotEnter;
  }
  if (name == u"."_s || name == u".."_s) return u"「"_s + name + u"」だけの名前は使えません･･･"_s;
  // The choosers list folders by name after their first item "新規作成": a folder of that
  // name could never be chosen.
  if (name == kNewFolderItem) return u"「"_s + name + u"」という名前は使えません･･･"_s;
  if (name.endsWith(u' ')) return u"名前の最後に空白は使えません･･･"_s;
  if (name.endsWith(u'.')) return u"名前の最後に「.」は使えません･･･"_s;
  // The folder name is kept in the settings file, which holds code page 932 only.
  QString bad;
  if (!canEncodeCp932(name, &bad)) return bad + kCannotEnter;
  return {};
}

bool isSafeNoteName(const QString& name) {
  return !name.contains(u'/') && !name.contains(u'\\') && !name.contains(QChar(0)) &&
         name != u"."_s && name != u".."_s;
}

QString toStoredForm(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (int i = 0; i < text.size(); ++i) {
    const QChar c = text.at(i);
    if (c == u'\r') {
      out += u'[';
      if (i + 1 < text.size() && text.at(i + 1) == u'\n') ++i;
    } else if (c == u'\n') {
      out += u'[';
    } else {
      out += c;
    }
  }
  return out;
}

QString toScreenForm(const QString& text) {
  QString out = text;
  out.replace(u'[', u"\r\n"_s);
  return out;
}

QString crLfToBoxText(const QString& text) {
  QString out = text;
  out.replace(u"\r\n"_s, u"\n"_s);
  out.replace(u'\r', u'\n');
  return out;
}

QString boxTextToCrLf(const QString& text) {
  QString out = crLfToBoxText(text);
  out.replace(u"\n"_s, u"\r\n"_s);
  return out;
}

}  // namespace velnor
