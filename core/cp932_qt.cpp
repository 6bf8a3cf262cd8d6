#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <optional>

#include "core/cp932.h"

namespace velnor {

namespace {

constexpr const char* kName = "windows-31j";

// ICU's table turns three control codes round (0x1A, 0x1C and 0x7F) where Windows keeps
// each as itself; these put them back both ways.
char16_t fromIcu(char16_t c) {
  switch (c) {
    case 0x1A:
      return 0x7F;
    case 0x1C:
      return 0x1A;
    case 0x7F:
      return 0x1C;
    default:
      return c;
  }
}

// The three turn round, so two steps forward are one back.
char16_t toIcu(char16_t c) { return fromIcu(fromIcu(c)); }

bool isRotated(QChar c) { return c == u'\x1a' || c == u'\x1c' || c == u'\x7f'; }

// As ICU reads it, before the control codes are put back.
QString decodeOnce(QByteArrayView bytes, bool& clean) {
  // One converter per thread: opening one costs far more than a line. Stateless, so that a
  // dangling lead byte is reported instead of silently dropped.
  thread_local std::optional<QStringDecoder> dec;
  if (!dec) dec.emplace(kName, QStringConverter::Flag::Stateless);
  QString text = dec->decode(bytes);
  clean = !dec->hasError();
  // An error stays with the converter, so the next text gets a new one.
  if (!clean) dec.reset();
  return text;
}

class QtCp932 final : public Cp932 {
 protected:
  std::optional<QString> decodeWhole(QByteArrayView bytes) const override {
    bool clean = true;
    QString text = decodeOnce(bytes, clean);
    if (!clean) return std::nullopt;
    if (std::any_of(text.cbegin(), text.cend(), isRotated))
      for (QChar& c : text) c = QChar(fromIcu(c.unicode()));
    return text;
  }

 public:
  std::optional<QByteArray> encode(QStringView text) const override {
    // A new encoder each time: one that has met a character outside the code page does
    // not report the next one.
    QStringEncoder enc(kName, QStringConverter::Flag::Stateless);
    QByteArray bytes;
    if (std::any_of(text.cbegin(), text.cend(), isRotated)) {
      QString unrotated = text.toString();
      for (QChar& c : unrotated) c = QChar(toIcu(c.unicode()));
      bytes = enc.encode(unrotated);
    } else {
      // The encoder's result is a lazy proxy: hasError() is valid only after conversion.
      bytes = enc.encode(text);
    }
    if (enc.hasError()) return std::nullopt;
    return bytes;
  }
};

}  // namespace

const Cp932& cp932() {
  static const QtCp932 converter;
  return converter;
}

}  // namespace velnor
