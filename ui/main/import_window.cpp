#include "ui/main/import_window.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QVBoxLayout>
#include <set>

#include "core/char_rules.h"
#include "core/module1.h"
#include "ui/common/long_work.h"
#include "ui/common/sheet_export.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {

namespace {

QString problemLine(const sheet::Problem& p) {
  QString where = p.row > 0 ? u"%1行目"_s.arg(p.row) : u"ファイル"_s;
  if (!p.column.isEmpty()) where += u"「"_s + p.column + u"」"_s;
  return where + u"：　"_s + p.text;
}

QString summaryText(const sheet::ImportPlan& plan, const QString& fileName) {
  std::set<int> leftOut;
  for (const sheet::Problem& p : plan.problems)
    if (p.row > 1) leftOut.insert(p.row);
  QString text =
      u"「%1」の%2人を新しい記録フォルダーに読み込みます。"_s.arg(fileName).arg(plan.people.size());
  if (!leftOut.empty())
    text +=
        u"\n問題のある%1行は読み込みません。ファイルを直してから読み込みなおすこともできます。"_s
            .arg(leftOut.size());
  return text;
}

}  // namespace

QString proposedFolderName(const QString& baseName) {
  QString name;
  for (const QChar c : baseName)
    if (!isControlCharacter(c) && !isFileNameBreaker(c) && canEncodeCp932(QString(c))) name += c;
  while (name.endsWith(u' ') || name.endsWith(u'.')) name.chop(1);
  return folderNameProblem(name).isEmpty() ? name : QString();
}

ImportWindow::ImportWindow(Module1& m, sheet::ImportPlan plan, const QString& fileName,
                           QWidget* parent)
    : QDialog(parent), m_(m), plan_(std::move(plan)) {
  setWindowTitle(u"読み込み"_s);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setModal(true);
  auto* layout = new QVBoxLayout(this);

  summary = new QLabel(summaryText(plan_, fileName), this);
  summary->setWordWrap(true);
  layout->addWidget(summary);
  makePreview();
  layout->addWidget(preview, 3);
  makeProblemList();
  auto* problemLabel = new QLabel(u"読み込まない行と問題(&P)"_s, this);
  problemLabel->setBuddy(problems);
  layout->addWidget(problemLabel);
  layout->addWidget(problems, 1);

  auto* nameLabel = new QLabel(u"新しい記録フォルダーの名前(&N)"_s, this);
  nameBox = new QLineEdit(proposedFolderName(QFileInfo(fileName).completeBaseName()), this);
  nameLabel->setBuddy(nameBox);
  layout->addWidget(nameLabel);
  layout->addWidget(nameBox);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  okButton = buttons->button(QDialogButtonBox::Ok);
  okButton->setEnabled(plan_.usable && !plan_.people.empty());
  buttons->button(QDialogButtonBox::Cancel)->setText(u"キャンセル"_s);
  connect(buttons, &QDialogButtonBox::accepted, this, &ImportWindow::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &ImportWindow::reject);
  layout->addWidget(buttons);
  resize(760, 520);
  nameBox->setFocus();
  nameBox->selectAll();
}

void ImportWindow::makePreview() {
  const QStringList& headers = sheet::headerTexts();
  const int shown = std::min<int>(kPreviewRows, int(plan_.people.size()));
  preview = new QTableWidget(shown, int(headers.size()) + 1, this);
  preview->setAccessibleName(u"読み込む内容"_s);
  preview->setHorizontalHeaderLabels(QStringList{u"行"_s} + headers);
  preview->verticalHeader()->hide();
  preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
  for (int r = 0; r < shown; ++r) {
    const sheet::ImportedPerson& p = plan_.people[r];
    QStringList cells{QString::number(p.row), p.record.territory, p.record.name};
    for (int month = 1; month <= 12; ++month) cells << p.record.months[month];
    for (const QString& line : p.note) cells << toScreenForm(line).replace(u"\r\n"_s, u" / "_s);
    for (int c = 0; c < cells.size(); ++c) preview->setItem(r, c, new QTableWidgetItem(cells[c]));
  }
  preview->resizeColumnsToContents();
}

void ImportWindow::makeProblemList() {
  problems = new QListWidget(this);
  problems->setAccessibleName(u"読み込まない行と問題"_s);
  for (const sheet::Problem& p : plan_.problems) problems->addItem(problemLine(p));
  for (const QString& column : plan_.unknownColumns)
    problems->addItem(u"列「%1」：　この列は読み込みません。"_s.arg(column));
  if (problems->count() == 0) problems->addItem(u"問題はありません。"_s);
}

void ImportWindow::accept() {
  if (!okButton->isEnabled()) return;
  bool made = false;
  {
    LongWork work(this, u"読み込み"_s, u"記録フォルダーを作っています…"_s);
    made = m_.ImportRecords(nameBox->text(), plan_, work.progress());
  }
  if (!made) {
    nameBox->setFocus();
    nameBox->selectAll();
    return;
  }
  QDialog::accept();
}

bool importRecordsAsked(Module1& m, QWidget* parent) {
  // Typing pending in the folder in use is stored there before another folder opens.
  if (!storeShownPerson(m)) return false;
  const QString path = askForFile(
      parent, false, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
  if (path.isEmpty()) return false;
  QList<sheet::Row> rows;
  FileError error;
  if (!sheet::readSheetFile(path, rows, &error)) {
    m.ReportFileError(error);
    return false;
  }
  ImportWindow window(m, sheet::planImport(rows), QFileInfo(path).fileName(), parent);
  if (window.exec() != QDialog::Accepted) return false;
  // The new folder is the one in use now: the choosers list it and the list shows it.
  const bool edits = m.EditsEnabled;
  m.EditsEnabled = false;
  m.ChangeRecordFolder();
  m.EditsEnabled = edits;
  return true;
}

}  // namespace velnor
