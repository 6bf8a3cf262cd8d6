#include "ui/common/sheet_export.h"

#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>

#include "core/module1.h"
#include "ui/common/long_work.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {

namespace {

const QString kXlsxFilter = u"Excel ブック (*.xlsx)"_s;
const QString kCsvFilter = u"CSV UTF-8 (*.csv)"_s;

FileAsker& testAsker() {
  static FileAsker asker;
  return asker;
}

}  // namespace

void setFileAskerForTests(FileAsker asker) { testAsker() = std::move(asker); }

QString askForFile(QWidget* parent, bool saving, const QString& proposed) {
  if (testAsker()) return testAsker()(parent, saving, proposed);
  QString filter = kXlsxFilter;
  if (!saving) {
    return QFileDialog::getOpenFileName(
        parent, u"読み込み"_s, proposed,
        u"表計算のファイル (*.xlsx *.csv);;"_s + kXlsxFilter + u";;"_s + kCsvFilter, &filter);
  }
  QString path = QFileDialog::getSaveFileName(parent, u"書き出し"_s, proposed,
                                              kXlsxFilter + u";;"_s + kCsvFilter, &filter);
  // A name typed without its ending gets the one of the chosen kind.
  if (!path.isEmpty() && !path.endsWith(u".xlsx"_s, Qt::CaseInsensitive) &&
      !path.endsWith(u".csv"_s, Qt::CaseInsensitive))
    path += filter == kCsvFilter ? u".csv"_s : u".xlsx"_s;
  return path;
}

bool storeShownPerson(Module1& m) {
  if (!m.inputScreen || !m.InputScreenOpen) return true;
  m.inputScreen->changeTest();
  if (m.PersonModified && !m.inputScreen->saveStep()) return false;
  m.PersonModified = false;
  return true;
}

bool exportRecordsAsked(Module1& m, QWidget* parent) {
  if (!storeShownPerson(m)) return false;
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  const QString proposed = QDir(documents).filePath(m.CurrentFolder.mid(1) + u'_' +
                                                    m.today().toString(u"yyyyMMdd"_s) + u".xlsx"_s);
  const QString path = askForFile(parent, true, proposed);
  if (path.isEmpty()) return false;
  LongWork work(parent, u"書き出し"_s, u"書き出しています…"_s);
  return m.ExportRecords(path, work.progress());
}

}  // namespace velnor
