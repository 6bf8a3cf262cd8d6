#pragma once
// Keeping the bytes a file held for text the user did not change. Code page 932 files
// can hold byte sequences that decode but cannot be encoded back (unassigned codes);
// only what was typed has to be encodable.

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace velnor {

// The bytes to store for `text`, given the `oldText` a field held and the `oldRaw`
// bytes it was decoded from: the old bytes where the text is unchanged, before and
// after the part that changed. Nothing when the changed part cannot be encoded; then
// `bad` names the first character that cannot be stored.
std::optional<QByteArray> storedBytes(const QString& text, const QString& oldText,
                                      const QByteArray& oldRaw, QString* bad = nullptr);

// The fields of a raw record line (the bytes between its stars, the last one after the
// last star included); star bytes never occur inside a code page 932 character.
QList<QByteArray> rawFields(const QByteArray& rawLine);

}  // namespace velnor
