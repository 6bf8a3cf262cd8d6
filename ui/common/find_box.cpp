#include "ui/common/find_box.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>

#include "core/find.h"
#include "core/module1.h"
#include "ui/common/fonts.h"
#include "ui/common/twips.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {

FindBox::FindBox(Module1& m, std::function<void(int)> moveTo, QWidget* parent)
    : QDialog(parent, Qt::Tool), m_(m), moveTo_(std::move(moveTo)) {
  setWindowTitle(u"検索"_s);
  setModal(false);
  setFont(QFont(kPGothic, 10));
  text_ = new QLineEdit(this);
  text_->setPlaceholderText(u"名前か区域の一部"_s);
  text_->setMinimumWidth(180);
  text_->setToolTip(u"次を探します。(Enter)　閉じます。(Esc)"_s);
  status_ = new QLabel(this);
  // Room for the message from the start, so the box does not change size while typing.
  status_->setMinimumWidth(status_->fontMetrics().horizontalAdvance(u"見つかりません"_s) + 4);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(8, 6, 8, 6);
  row->addWidget(text_, 1);
  row->addWidget(status_);
  connect(text_, &QLineEdit::textEdited, this, [this] { search(m_.CurrentIndex); });
}

void FindBox::openOver(QWidget* window) {
  adjustSize();
  if (window) {
    // Under the window, so that it hides none of the people it finds.
    const QRect w = window->frameGeometry();
    const QRect wanted(QPoint(w.right() + 1 - width(), w.bottom() + 1), size());
    move(keptOnScreen(wanted, size()).topLeft());
  }
  show();
  raise();
  activateWindow();
  text_->setFocus(Qt::OtherFocusReason);
  text_->selectAll();
}

void FindBox::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    search(m_.CurrentIndex + 1);
    return;
  }
  QDialog::keyPressEvent(event);  // Escape closes the box
}

void FindBox::search(int from) {
  status_->clear();
  if (m_.ProgramEnded) return;
  if (text_->text().isEmpty()) return;
  // The folder as stored now: read again only if another program changed it.
  if (!m_.RefreshFolder()) return;
  const int found = findPerson(m_.folder(), text_->text(), from);
  if (found < 0) {
    status_->setText(u"見つかりません"_s);
    return;
  }
  if (found != m_.CurrentIndex) {
    QPointer<FindBox> self(this);
    moveTo_(found);
    if (!self || m_.ProgramEnded) return;
  }
  // The input screen takes the focus when it shows a person; typing goes on here.
  if (isVisible()) {
    activateWindow();
    text_->setFocus(Qt::OtherFocusReason);
  }
}

}  // namespace velnor
