#pragma once
// What the input screen's boxes and the welcome dialog accept while the user types,
// which names can name a file, and the conversions between a note as the screen shows
// it and as the files store it.

#include <QString>
#include <optional>

namespace velnor {

// Follows a refused character in the message that refuses it.
inline const QString kCannotEnter = QStringLiteral("　　は入力できません･･･");

// C0 and C1 control characters and DEL.
bool isControlCharacter(QChar c);

// Characters a file or folder name cannot hold on Windows ("/" anywhere): \ / : * ? " < > |
// and the control characters.
bool isFileNameBreaker(QChar c);

enum class EntryBox { Name, Territory, MonthCell, Note, MonthInfo };

struct Refusal {
  int position = 0;            // index of the refused character in the text
  QString prompt;              // the message box text
  bool firstPosition = false;  // the territory's leading "[" (caret is not restored)
};

// kCannotEnter after the refused character (an invisible one named).
QString refusalPrompt(const QString& character);

// The first character of `text` the box refuses, if any. The look-alike characters
// Linux input methods type are expected to have been replaced before.
// `encodable` tells that the caller has found the text storable already.
std::optional<Refusal> findRefusal(const QString& text, EntryBox box, bool encodable = false);

// Names Windows keeps for devices (CON, PRN, AUX, NUL, COM1-9, LPT1-9, any case,
// also with an extension): a note file of that name cannot be created there.
bool isReservedDeviceName(const QString& name);

// True when `name` + ".txt" is a plain file name inside the record folder on every
// platform the program runs on. Otherwise `why` says what is wrong, for the user.
bool isStorableName(const QString& name, QString* why = nullptr);

// Why `name` cannot be the name part of a record folder (the text of a "無効です" box),
// or an empty string when it can: it must be a folder name on Windows and on Linux and
// must survive the settings file, which is stored in code page 932.
QString folderNameProblem(const QString& name);

// True when `name` + ".txt" stays inside the record folder. Weaker than isStorableName:
// names another program stored are still read when this holds, and never used as a
// path when it does not.
bool isSafeNoteName(const QString& name);

// Screen form (CR LF line breaks) to stored form ("[" for each line break). A lone CR
// or LF also becomes "[", so a line break can never reach a file line.
QString toStoredForm(const QString& text);
// Stored form to screen form: each "[" becomes CR LF.
QString toScreenForm(const QString& text);

// CR LF (screen form) to the "\n" a Qt text box holds, and back.
QString crLfToBoxText(const QString& text);
QString boxTextToCrLf(const QString& text);

}  // namespace velnor
