#include "core/reorder.h"

#include <QDate>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <numeric>
#include <string>

#include "core/module1.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor::reorder {

int charKey(char16_t unit) { return unit <= 0x7FFF ? int(unit) : 65536 - int(unit); }

QString fieldOf(const QString& line, int field) {
  qsizetype start = 0;
  for (int k = 1; k < field; ++k) {
    const qsizetype star = line.indexOf(u'*', start);
    if (star < 0) return {};
    start = star + 1;
  }
  const qsizetype end = line.indexOf(u'*', start);
  return line.mid(start, end < 0 ? -1 : end - start);
}

double nameKey(const QString& line) {
  QString name = fieldOf(line, 2);
  if (name.isEmpty()) name = u" "_s;
  const int k1 = charKey(name.at(0).unicode());
  const int k2 = name.size() > 1 ? charKey(name.at(1).unicode()) : 0;
  // K2 never exceeds 32768, so this packing keeps the pair order and stays exact.
  return double(k1) * 65537.0 + double(k2);
}

namespace {

bool isBlank(QChar c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == QChar(0x3000);
}

// ASCII digit value of c, full-width digits included; -1 otherwise.
int digitOf(QChar c) {
  const char16_t u = c.unicode();
  if (u >= u'0' && u <= u'9') return u - u'0';
  if (u >= 0xFF10 && u <= 0xFF19) return u - 0xFF10;
  return -1;
}

// Signs and the decimal point count in their full-width forms too, as the digits do: a
// Japanese input method types "－５" and "３．５".
int signOf(QChar c) {
  const char16_t u = c.unicode();
  if (u == u'+' || u == 0xFF0B) return 1;
  if (u == u'-' || u == 0xFF0D) return -1;
  return 0;
}

bool isPoint(QChar c) { return c == u'.' || c.unicode() == 0xFF0E; }

int radixDigitOf(QChar c, int radix) {
  const char16_t u = c.unicode();
  int d = digitOf(c);
  if (d < 0 && radix == 16) {
    if (u >= u'a' && u <= u'f') d = 10 + (u - u'a');
    if (u >= u'A' && u <= u'F') d = 10 + (u - u'A');
  }
  return d >= 0 && d < radix ? d : -1;
}

double radixValue(const QString& s, qsizetype pos, int radix) {
  double v = 0;
  for (; pos < s.size(); ++pos) {
    const int d = radixDigitOf(s.at(pos), radix);
    if (d < 0) break;
    v = v * radix + d;
  }
  return v;
}

// A decimal number's text as std::from_chars reads it, and what tells "too large" from
// "too small" where it cannot.
struct DecimalText {
  std::string ascii;
  bool negative = false;
  bool seenDigit = false;
  int intDigits = 0;  // significant digits before the point
  int leadZeros = 0;  // zeros right after the point before the first other digit
  long exponent = 0;
};

// The sign and the digits with one point; returns the position after them.
qsizetype readMantissa(const QString& s, DecimalText& d) {
  qsizetype pos = 0;
  if (pos < s.size() && signOf(s.at(pos)) != 0) {
    d.negative = signOf(s.at(pos)) < 0;
    ++pos;
  }
  bool seenPoint = false, seenNonZero = false;
  for (; pos < s.size(); ++pos) {
    const QChar c = s.at(pos);
    const int digit = digitOf(c);
    if (digit >= 0) {
      d.seenDigit = true;
      if (!seenPoint && (digit != 0 || seenNonZero)) ++d.intDigits;
      if (seenPoint && !seenNonZero && digit == 0) ++d.leadZeros;
      if (digit != 0) seenNonZero = true;
      d.ascii += char('0' + digit);
    } else if (isPoint(c) && !seenPoint) {
      seenPoint = true;
      d.ascii += '.';
    } else {
      break;
    }
  }
  return pos;
}

// An exponent with E or D at `pos`; counts only when it has digits.
void readExponent(const QString& s, qsizetype pos, DecimalText& d) {
  if (pos >= s.size() || !QStringView(u"EeDd").contains(s.at(pos))) return;
  qsizetype p = pos + 1;
  bool negative = false;
  if (p < s.size() && signOf(s.at(p)) != 0) {
    negative = signOf(s.at(p)) < 0;
    ++p;
  }
  bool digits = false;
  long exponent = 0;
  for (; p < s.size() && digitOf(s.at(p)) >= 0; ++p) {
    digits = true;
    exponent = std::min(exponent * 10 + digitOf(s.at(p)), 1000000L);
  }
  if (!digits) return;
  d.exponent = negative ? -exponent : exponent;
  d.ascii += 'e';
  d.ascii += std::to_string(d.exponent);
}

// Reads a decimal number from the start of s (no blanks left in it).
double decimalValue(const QString& s) {
  DecimalText d;
  const qsizetype pos = readMantissa(s, d);
  if (!d.seenDigit) return 0;
  readExponent(s, pos, d);
  double value = 0;
  const auto [end, ec] = std::from_chars(d.ascii.data(), d.ascii.data() + d.ascii.size(), value);
  (void)end;
  if (ec == std::errc::result_out_of_range) {
    // Too large or too small for a double: which one depends on the decimal magnitude.
    const long magnitude = d.intDigits > 0 ? d.intDigits + d.exponent : d.exponent - d.leadZeros;
    value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  } else if (ec != std::errc()) {
    value = 0;
  }
  return d.negative ? -value : value;
}

}  // namespace

double numericValue(const QString& text) {
  QString s;
  s.reserve(text.size());
  for (QChar c : text)
    if (!isBlank(c)) s += c;
  if (s.size() >= 2 && s.at(0) == u'&') {
    const QChar r = s.at(1).toUpper();
    if (r == u'H') return radixValue(s, 2, 16);
    if (r == u'O') return radixValue(s, 2, 8);
    return 0;
  }
  return decimalValue(s);
}

double lineKey(const QString& line, int kind, int currentMonth) {
  if (kind == kByName) return nameKey(line);
  const int field = kind == kByThisMonth ? currentMonth + 2 : 1;
  const double v = numericValue(fieldOf(line, field));
  return std::isnan(v) ? 0.0 : v;
}

std::vector<int> selectionExchangeOrder(const std::vector<double>& keys) {
  const int n = int(keys.size());
  std::vector<int> at(n);  // at[position] = old position of the line now there
  std::iota(at.begin(), at.end(), 0);
  if (n == 0) return at;

  // A tournament tree over positions: each node holds the position that wins its
  // range (smallest key, the later position on a tie), or -1 for an empty range.
  int size = 1;
  while (size < n) size <<= 1;
  std::vector<int> tree(2 * size, -1);
  auto winner = [&](int a, int b) {
    if (a < 0) return b;
    if (b < 0) return a;
    const double ka = keys[at[a]], kb = keys[at[b]];
    if (ka < kb) return a;
    if (kb < ka) return b;
    return std::max(a, b);
  };
  auto refresh = [&](int position) {
    for (int node = (position + size) / 2; node >= 1; node /= 2)
      tree[node] = winner(tree[2 * node], tree[2 * node + 1]);
  };
  for (int p = 0; p < n; ++p) tree[size + p] = p;
  for (int node = size - 1; node >= 1; --node)
    tree[node] = winner(tree[2 * node], tree[2 * node + 1]);

  for (int i = 0; i < n; ++i) {
    const int chosen = tree[1];
    std::swap(at[i], at[chosen]);
    tree[size + i] = -1;  // position i is final
    refresh(i);
    if (chosen != i) refresh(chosen);
  }
  return at;
}

QList<TextLine> reorderedLines(const QList<TextLine>& lines, int kind, int currentMonth) {
  QList<TextLine> records, others;
  std::vector<double> keys;
  for (const TextLine& line : lines) {
    if (line.text.isEmpty()) continue;
    // The standard comments are written afresh at the top.
    if (line.text == kIndexComment1 || line.text == kIndexComment2) continue;
    if (Module1::IsRecordLine(line.text)) {
      keys.push_back(lineKey(line.text, kind, currentMonth));
      records.append(line);
    } else {
      // Foreign comments and malformed lines are the user's too: keep them.
      others.append(line);
    }
  }

  QList<TextLine> result;
  result.reserve(records.size() + others.size() + 2);
  result.append(TextLine::fromText(kIndexComment1));
  result.append(TextLine::fromText(kIndexComment2));
  for (int old : selectionExchangeOrder(keys)) result.append(records.at(old));
  result.append(others);
  return result;
}

bool reorderFolder(Module1& m, int kind, const std::function<void(int, int)>& progress) {
  const auto step = [&](int done) {
    if (progress) progress(done, 3);
  };
  // The month is taken at start-up; fall back to today's if that has not happened.
  const int month =
      m.CurrentMonth >= 1 && m.CurrentMonth <= 12 ? m.CurrentMonth : m.today().month();
  m.IndexFilePath = m.indexPathFor(m.CurrentFolder);
  step(0);
  // The rewrite goes through the folder's own write: the day's backup comes first.
  if (!m.RefreshFolder()) return false;
  step(1);
  const ChangeScope change(m, m.CurrentIndex);
  QList<TextLine> lines = reorderedLines(m.folder().lines(), kind, month);
  step(2);
  const bool written = m.WriteIndexLines(std::move(lines));
  step(3);
  return written;
}

}  // namespace velnor::reorder
