#include "ui/main/merge_window.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace velnor {

namespace {

constexpr int kFirstField = 2;  // columns 0 and 1: the choice and which side a row shows
const QColor kDiffers(0xFF, 0xF0, 0x80);

struct Choice {
  QString text;
  Keep keep;
};

QList<Choice> choicesFor(const MergeItem& item) {
  if (item.fileFields.isEmpty())
    return {{u"追加する"_s, Keep::Copy}, {u"追加しない"_s, Keep::File}};
  if (item.copyFields.isEmpty()) return {{u"残す"_s, Keep::File}, {u"消す"_s, Keep::Copy}};
  return {
      {u"両方"_s, Keep::Both}, {u"このパソコンの方"_s, Keep::File}, {u"コピーの方"_s, Keep::Copy}};
}

}  // namespace

MergeWindow::MergeWindow(MergePlan& plan, QWidget* parent) : QDialog(parent), plan_(plan) {
  setWindowTitle(u"同期の衝突をまとめる"_s);
  setSizeGripEnabled(true);
  auto* layout = new QVBoxLayout(this);
  auto* intro = new QLabel(
      u"ほかのパソコンでも同時に変更された人です。違うところに色が付いています。\n"
      u"人ごとに残す方を選んで「まとめる」を押してください。「両方」は、月の日付を合わせ、"
      u"違う文は両方を残します。\n「あとで」を押すと何も変更せず、次に起動したときにもう一度尋ねます。"_s,
      this);
  intro->setWordWrap(true);
  layout->addWidget(intro);
  QTableWidget* records = nullptr;
  QTableWidget* notes = nullptr;
  for (MergeItem& item : plan_.items) {
    QTableWidget*& table = item.note ? notes : records;
    if (!table) {
      table = makeTable(item.note);
      layout->addWidget(new QLabel(item.note ? u"補足情報と月の情報"_s : u"記録"_s, this));
      layout->addWidget(table, 1);
    }
    addItem(table, item);
  }
  for (QTableWidget* table : {records, notes}) {
    if (!table) continue;
    table->resizeColumnsToContents();
    // The choices are widgets, which the sizing above does not see.
    int widest = table->columnWidth(0);
    for (int r = 0; r < table->rowCount(); r += 2)
      widest = std::max(widest, table->cellWidget(r, 0)->sizeHint().width());
    table->setColumnWidth(0, widest);
  }
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* merge = buttons->addButton(u"まとめる"_s, QDialogButtonBox::AcceptRole);
  buttons->addButton(u"あとで"_s, QDialogButtonBox::RejectRole);
  merge->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  resize(960, 520);
}

QTableWidget* MergeWindow::makeTable(bool notes) {
  QStringList headers{u"残す"_s, QString(), notes ? u"名前"_s : u"区域"_s,
                      notes ? u"補足情報"_s : u"名前"_s};
  for (int k = 1; k <= 12; ++k) headers << (notes ? u"%1月の情報"_s : u"%1月"_s).arg(k);
  auto* table = new QTableWidget(0, int(headers.size()), this);
  table->setHorizontalHeaderLabels(headers);
  table->setAccessibleName(notes ? u"補足情報と月の情報の違い"_s : u"記録の違い"_s);
  table->verticalHeader()->hide();
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setWordWrap(false);
  return table;
}

void MergeWindow::addItem(QTableWidget* table, MergeItem& item) {
  const int row = table->rowCount();
  table->setRowCount(row + 2);
  const QString who = item.note ? item.name : item.fileFields.value(1, item.copyFields.value(1));
  const auto fill = [&](int r, const QString& side, const QStringList& fields, const QString& tip) {
    auto* sideItem = new QTableWidgetItem(side);
    sideItem->setToolTip(tip);
    table->setItem(r, 1, sideItem);
    // A note row starts with the name, which both sides share; a record row with its fields.
    const QStringList shown = item.note ? QStringList{item.name} + fields : fields;
    if (fields.isEmpty()) table->setItem(r, kFirstField, new QTableWidgetItem(u"（なし）"_s));
    for (int f = 0; f < shown.size() && !fields.isEmpty(); ++f) {
      auto* cell = new QTableWidgetItem(shown[f]);
      cell->setToolTip(shown[f]);
      const int field = item.note ? f - 1 : f;
      if (field >= 0 && item.differs(field)) {
        cell->setBackground(kDiffers);
        QFont bold = cell->font();
        bold.setBold(true);
        cell->setFont(bold);
      }
      table->setItem(r, kFirstField + f, cell);
    }
  };
  fill(row, u"このパソコン"_s, item.fileFields,
       item.note ? item.name + u".txt"_s : u"データー.vrd"_s);
  fill(row + 1, u"衝突コピー"_s, item.copyFields, item.copy);
  auto* choice = new QComboBox(table);
  choice->setAccessibleName(u"%1の残す方"_s.arg(who));
  const QList<Choice> choices = choicesFor(item);
  for (const Choice& c : choices) choice->addItem(c.text);
  for (int i = 0; i < choices.size(); ++i)
    if (choices[i].keep == item.keep) choice->setCurrentIndex(i);
  connect(choice, &QComboBox::currentIndexChanged, this,
          [&item, choices](int i) { item.keep = choices.value(i, choices.first()).keep; });
  table->setSpan(row, 0, 2, 1);
  table->setCellWidget(row, 0, choice);
}

}  // namespace velnor
