#include "ui/settings/new_year_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/module1.h"
#include "core/new_year.h"
#include "ui/common/long_work.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {

NewYearDialog::NewYearDialog(int year, QWidget* parent) : QDialog(parent) {
  setWindowTitle(u"新しい年"_s);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setModal(true);

  auto* intro = new QLabel(
      u"締める年の記録を「名前（年）」のフォルダーに写し、今のフォルダーの月の日付と"
      u"情報を空にします。"_s,
      this);
  intro->setWordWrap(true);
  yearBox = new QSpinBox(this);
  // Out-of-range years cannot be typed at all.
  yearBox->setRange(new_year::kFirstYear, new_year::kLastYear);
  yearBox->setValue(year);
  yearBox->setSuffix(u"年"_s);
  dropUnmetBox = new QCheckBox(u"この1年に一度も会えなかった人は新しい年に移さない"_s, this);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* form = new QFormLayout;
  form->addRow(u"締める年(&Y)"_s, yearBox);
  auto* all = new QVBoxLayout(this);
  all->addWidget(intro);
  all->addLayout(form);
  all->addWidget(dropUnmetBox);
  all->addWidget(buttons);
  yearBox->setFocus();
  yearBox->selectAll();
}

int NewYearDialog::year() const { return yearBox->value(); }

bool NewYearDialog::dropUnmet() const { return dropUnmetBox->isChecked(); }

bool closeYearAsked(Module1& m, QWidget* parent,
                    const std::function<bool(NewYearDialog& dialog)>& ask,
                    const std::function<void()>& beforeReopen) {
  NewYearDialog dialog(new_year::defaultYear(m.today()), parent);
  if (!(ask ? ask(dialog) : dialog.exec() == QDialog::Accepted)) return false;
  // A year of a large folder takes seconds: the windows keep painting and show how far.
  bool closed = false;
  {
    LongWork work(parent, u"新しい年"_s, u"新しい年に移しています…"_s);
    closed = m.CloseYear(dialog.year(), dialog.dropUnmet(), work.progress());
  }
  if (!closed) return false;  // the user has been told; the folder is as it was
  if (beforeReopen) beforeReopen();
  m.CurrentIndex = 0;
  m.CurrentColumn = qint16(m.CurrentMonth + 2);  // this month's column
  m.ChangeRecordFolder();
  return true;
}

}  // namespace velnor
