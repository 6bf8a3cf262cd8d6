// The folder in use to a spreadsheet, and a spreadsheet into a new record folder.

#include <QDir>
#include <QFileInfo>

#include "core/char_rules.h"
#include "core/module1.h"
#include "core/spreadsheet.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {

bool Module1::ExportRecords(const QString& path, const Progress& progress) {
  const auto refuse = [&](const FileError& error) {
    if (shell)
      shell->message(u"書き出せません"_s,
                     u"次のファイルを書き出せませんでした。\n\n"_s + error.path + u"\n\n理由："_s +
                         error.reason,
                     Buttons::Ok, Icon::Warning);
    return false;
  };
  IndexFilePath = indexPathFor(CurrentFolder);
  if (!RefreshFolder()) return false;  // the user has been told
  QList<sheet::Row> rows;
  FileError error;
  if (!sheet::exportRows(folder_, recordFolderPath(), rows, &error, progress)) return refuse(error);
  if (!sheet::writeSheetFile(path, CurrentFolder.mid(1), rows, &error)) return refuse(error);
  return true;
}

bool Module1::ImportRecords(const QString& name, const sheet::ImportPlan& plan,
                            const Progress& progress) {
  const auto refuse = [&](const QString& text) {
    if (shell) shell->message(u"無効です"_s, text, Buttons::Ok, Icon::Warning);
    return false;
  };
  if (name.isEmpty()) return refuse(u"記録フォルダーの名前を入力してください･･･"_s);
  if (const QString problem = folderNameProblem(name); !problem.isEmpty()) return refuse(problem);
  const QString target = programPath(u'%' + name);
  if (QFileInfo::exists(target) || QFileInfo(target).isSymLink())
    return refuse(u"同じ名前の記録フォルダーがあります\n\n別名を入力しなおしてください・・・"_s);
  std::vector<FolderFile> files;
  FileError error;
  if (!sheet::folderFiles(plan, files, &error)) {
    ReportFileError(error);
    return false;
  }
  int done = 0;
  const auto step = [&] {
    if (progress) progress(++done, int(files.size()));
  };
  if (!makeFolderWhole(target, u".velnor-import"_s, files, step, &error)) {
    ReportFileError(error);
    return false;
  }
  CurrentFolder = u'%' + name;
  IndexFilePath = indexPathFor(CurrentFolder);
  CurrentIndex = 0;
  CurrentColumn = 0;
  return true;
}

}  // namespace velnor
