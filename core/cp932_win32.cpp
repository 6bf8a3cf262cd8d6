#include <windows.h>

#include "core/cp932.h"

namespace velnor {

namespace {

constexpr UINT kCodePage = 932;

QString convert(QByteArrayView bytes, DWORD flags) {
  const int n =
      ::MultiByteToWideChar(kCodePage, flags, bytes.data(), int(bytes.size()), nullptr, 0);
  if (n <= 0) return {};
  QString text(n, Qt::Uninitialized);
  ::MultiByteToWideChar(kCodePage, flags, bytes.data(), int(bytes.size()),
                        reinterpret_cast<wchar_t*>(text.data()), n);
  return text;
}

class Win32Cp932 final : public Cp932 {
  // Windows gives 0x80, 0xA0 and 0xFD–0xFF characters of their own (U+0080, U+F8F0…) that
  // no Japanese text holds: they count as broken bytes, as on Linux.
  static bool wellFormed(QByteArrayView bytes) {
    for (qsizetype i = 0; i < bytes.size();) {
      const qsizetype len = characterLength(bytes, i);
      if (!len) return false;
      i += len;
    }
    return true;
  }

 protected:
  // Nothing where a code is unassigned, as MB_ERR_INVALID_CHARS makes it fail.
  std::optional<QString> decodeWhole(QByteArrayView bytes) const override {
    if (!wellFormed(bytes)) return std::nullopt;
    QString text = convert(bytes, MB_ERR_INVALID_CHARS);
    if (text.isEmpty()) return std::nullopt;
    return text;
  }

 public:
  std::optional<QByteArray> encode(QStringView text) const override {
    if (text.isEmpty()) return QByteArray();
    for (QChar c : text)
      if (c == u'\x80' || c == u'\xa0' || (c.unicode() >= 0xF8F0 && c.unicode() <= 0xF8F3))
        return std::nullopt;
    const auto* wide = reinterpret_cast<const wchar_t*>(text.utf16());
    BOOL guessed = FALSE;
    const int n = ::WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, wide, int(text.size()),
                                        nullptr, 0, nullptr, &guessed);
    if (n <= 0 || guessed) return std::nullopt;
    QByteArray bytes(n, Qt::Uninitialized);
    ::WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, wide, int(text.size()), bytes.data(), n,
                          nullptr, &guessed);
    if (guessed) return std::nullopt;
    return bytes;
  }
};

}  // namespace

const Cp932& cp932() {
  static const Win32Cp932 converter;
  return converter;
}

}  // namespace velnor
