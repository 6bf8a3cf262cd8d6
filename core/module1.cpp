#include "core/module1.h"

#include "core/saturating.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace velnor {

Module1::Module1(const QString& programFolder) : programFolder_(QDir::cleanPath(programFolder)) {}

QString Module1::programPath(const QString& name) const { return programFolder_ + u'/' + name; }

QString Module1::recordFolderPath() const { return programPath(CurrentFolder); }

QString Module1::noteFilePath(const QString& name) const {
  return recordFolderPath() + u'/' + name + u".txt"_s;
}

QString Module1::indexPathFor(const QString& folder) const {
  return programPath(folder) + u'/' + kIndexFileName;
}

bool Module1::FileExists(const QString& path) {
  if (path.isEmpty()) return false;
  if (path.endsWith(u'/') || path.endsWith(QDir::separator())) {
    // A folder counts only when it holds at least one file. A leading dot is not the
    // hidden attribute here: such files count like any other.
    // The first file answers: a folder of 32,767 note files is not listed for it.
    return QDirIterator(path, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot).hasNext();
  }
  const QFileInfo info(path);
  return info.exists() && info.isFile();
}

void Module1::ApplyDefaults() {
  const MonthWindow twelveMonths;
  if (NoteFontSize == 0) NoteFontSize = kStandardNoteFontSize;
  if (RowHeight == 0) RowHeight = kStandardRowHeight;
  if (TerritoryColumnWidth == 0) TerritoryColumnWidth = twelveMonths.territoryWidth;
  if (NameColumnWidth == 0) NameColumnWidth = twelveMonths.nameWidth;
  if (MonthColumnWidth == 0) MonthColumnWidth = twelveMonths.monthWidth;
  if (MainWidth == 0) MainWidth = kStandardMainWidth;
  if (MainHeight == 0) MainHeight = kStandardMainHeight;
  if (InputLeft == 0) InputLeft = kStandardMainWidth;  // beside the main window
  for (int i = 0; i < 3; ++i)
    if (BackColors[i] == 0) BackColors[i] = kDefaultBackColors[i];
  if (DisplaySpan < 0 || DisplaySpan > 2) DisplaySpan = 0;
}

void Module1::RestoreStandardSettings() {
  const MonthWindow twelveMonths;
  RowHeight = kStandardRowHeight;
  NoteFontSize = kStandardNoteFontSize;
  MonthColumnWidth = twelveMonths.monthWidth;
  TerritoryColumnWidth = twelveMonths.territoryWidth;
  NameColumnWidth = twelveMonths.nameWidth;
  DisplaySpan = 0;
  for (int i = 0; i < 3; ++i) BackColors[i] = kDefaultBackColors[i];
  TextColors[0] = 0;
  TextColors[1] = 0;
  MainWidth = kStandardMainWidth;
  MainHeight = kStandardMainHeight;
  InputWidth = kStandardInputWidth;
  InputHeight = kStandardInputHeight;
}

void Module1::RememberMainGeometry(const QRect& twips) {
  MainLeft = clampTo16(twips.left());
  MainTop = clampTo16(twips.top());
  MainWidth = clampTo16(twips.width());
  MainHeight = clampTo16(twips.height());
}

void Module1::RememberInputGeometry(const QRect& twips) {
  InputLeft = clampTo16(twips.left());
  InputTop = clampTo16(twips.top());
  InputWidth = clampTo16(twips.width());
  InputHeight = clampTo16(twips.height());
}

void Module1::ReportFileError(const FileError& error) {
  if (!shell) return;
  const QString title = error.writing ? u"保存できません"_s : u"読み込めません"_s;
  const QString what = error.writing ? u"次のファイルを保存できませんでした。"_s
                                     : u"次のファイルを読み込めませんでした。"_s;
  shell->message(title, what + u"\n\n"_s + error.path + u"\n\n理由："_s + error.reason, Buttons::Ok,
                 Icon::Warning);
}

void Module1::EndProgram() {
  ProgramEnded = true;
  if (shell) shell->endProgram();
}

}  // namespace velnor
