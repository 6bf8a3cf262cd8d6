#include "app/form10.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>
#include <filesystem>
#include <system_error>

#include "core/char_rules.h"
#include "core/module1.h"
#include "core/text_file.h"
#include "ui/common/fonts.h"
#include "ui/common/key_codes.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {

namespace {

// A small notebook with a pen, the dialog's decoration.
QPixmap notebookIcon() {
  const int size = 56;
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  // cover and pages
  p.setPen(QPen(QColor(0x2f, 0x4f, 0x7f), 1.5));
  p.setBrush(QColor(0x4a, 0x78, 0xb8));
  p.drawRoundedRect(QRectF(8, 5, 36, 46), 3, 3);
  p.setBrush(QColor(0xfb, 0xf8, 0xee));
  p.drawRect(QRectF(14, 9, 27, 38));
  // ruled lines
  p.setPen(QPen(QColor(0x9c, 0xb8, 0xd8), 1));
  for (int y = 17; y <= 41; y += 6) p.drawLine(QPointF(17, y), QPointF(38, y));
  // binding rings
  p.setPen(QPen(QColor(0x60, 0x60, 0x60), 2));
  for (int y = 11; y <= 45; y += 8) p.drawLine(QPointF(5, y), QPointF(12, y));
  // pen across the corner
  p.save();
  p.translate(40, 40);
  p.rotate(-45);
  p.setPen(QPen(QColor(0x5a, 0x2a, 0x10), 1));
  p.setBrush(QColor(0xd8, 0x6a, 0x2a));
  p.drawRect(QRectF(-4, -3, 18, 6));
  QPainterPath tip;
  tip.moveTo(-4, -3);
  tip.lineTo(-10, 0);
  tip.lineTo(-4, 3);
  tip.closeSubpath();
  p.setBrush(QColor(0xf0, 0xd8, 0xa8));
  p.drawPath(tip);
  p.restore();
  return pixmap;
}

QString nativePath(const QString& path) { return QDir::toNativeSeparators(path); }

}  // namespace

Form10::Form10(Module1& m, QWidget* parent) : QDialog(parent), m_(m) {
  setModal(true);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  createControls();
  applyTextsAndFonts();
  arrangeControls();
  connectHandlers();
  installKeyPreview();
}

void Form10::createControls() {
  Image1 = new QLabel(this);
  Label1 = new QLabel(this);
  Label2 = new QLabel(this);
  Label3 = new QLabel(this);
  Text1 = new QLineEdit(this);
  Command1 = new QPushButton(this);
  Command2 = new QPushButton(this);
  // Enter is handled on its release (Form_KeyUp); no button may take it on the press.
  for (QPushButton* b : {Command1, Command2}) {
    b->setAutoDefault(false);
    b->setDefault(false);
  }
  Image1->setPixmap(notebookIcon());
  Label2->setBuddy(Text1);
}

void Form10::applyTextsAndFonts() {
  setWindowTitle(u"ようこそ！Velnorソフトへ"_s);
  Label1->setText(u"Velnorファイルを作成します。データー名をご入力ください"_s);
  Label2->setText(u"あなたのお名前"_s);
  // Only a copy beside its records may say "here"; the installed program names the folder.
  const QString folder = m_.programFolder();
  Label3->setText(
      QFileInfo(folder) == QFileInfo(QCoreApplication::applicationDirPath())
          ? u"このソフトが入っている同じところにあなたの記録ファイル”%名前”フォルダーを作成します"_s
          : u"あなたの記録ファイル”%名前”フォルダーを次のフォルダーに作成します："_s +
                QDir::toNativeSeparators(folder));
  Label3->setWordWrap(true);
  Command1->setText(u"入力"_s);
  Command1->setToolTip(u"作成します。(Enter)"_s);
  Command2->setText(u"終了"_s);
  Command2->setToolTip(u"終了します。(F5)"_s);

  QFont font(kMincho, 11);
  setFont(font);
  QFont large(kMincho, 12);
  large.setBold(true);
  Label1->setFont(large);
  QFont small(kMincho, 10);
  Label3->setFont(small);
  Text1->setFont(QFont(kMincho, 12));
}

void Form10::arrangeControls() {
  auto* top = new QHBoxLayout;
  top->addWidget(Image1, 0, Qt::AlignTop);
  top->addSpacing(8);
  auto* texts = new QVBoxLayout;
  texts->addWidget(Label1);
  texts->addSpacing(4);
  texts->addWidget(Label3);
  top->addLayout(texts, 1);

  auto* entry = new QHBoxLayout;
  entry->addWidget(Label2);
  entry->addWidget(Text1, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  for (QPushButton* b : {Command1, Command2}) {
    b->setMinimumWidth(96);
    buttons->addWidget(b);
  }

  auto* all = new QVBoxLayout(this);
  all->setContentsMargins(16, 14, 16, 14);
  all->setSpacing(12);
  all->addLayout(top);
  all->addLayout(entry);
  all->addLayout(buttons);

  Label3->setMinimumWidth(440);
  setFixedSize(sizeHint());
}

void Form10::connectHandlers() {
  connect(Text1, &QLineEdit::textChanged, this, [this] { Text1_Change(); });
  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
}

void Form10::installKeyPreview() {
  installEventFilter(this);
  for (QWidget* w : {static_cast<QWidget*>(Text1), static_cast<QWidget*>(Command1),
                     static_cast<QWidget*>(Command2)})
    w->installEventFilter(this);
}

bool Form10::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
    return QDialog::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  int code = keyCodeOf(key->key());
  if (code != kKeyEnter && code != kKeyF5) return false;
  if (event->type() == QEvent::KeyPress) {
    // Neither the entry box, a focused button nor the dialog acts on the press.
    if (code == kKeyEnter && !key->isAutoRepeat()) enterPressed_ = true;
    return true;
  }
  if (key->isAutoRepeat()) return true;
  if (code == kKeyEnter) {
    if (!enterPressed_) return true;
    enterPressed_ = false;
  }
  Form_KeyUp(code);
  return true;
}

void Form10::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Form_Activate();
}

void Form10::Form_Activate() {
  Command1->setEnabled(false);
  enterPressed_ = false;
  Text1->clear();
  Text1->setFocus();
}

void Form10::Text1_Change() { Command1->setEnabled(!Text1->text().isEmpty()); }

void Form10::Form_KeyUp(int& keyCode) {
  if (keyCode == kKeyF5) {
    Command2->click();
  } else if (keyCode == kKeyEnter) {
    keyCode = 0;
    Command1->click();
  }
}

void Form10::refuseName(const QString& text) {
  m_.shell->message(u"無効です"_s, text, Buttons::Ok);
  Text1->setFocus();
}

void Form10::Command1_Click() {
  const QString name = Text1->text();
  if (name.isEmpty()) return;
  if (const QString problem = folderNameProblem(name); !problem.isEmpty()) {
    refuseName(problem);
    return;
  }
  const QString target = m_.programPath(u'%' + name);
  if (m_.FileExists(target + u'/')) {
    m_.shell->beep();
    refuseName(u"同じ名前の記録フォルダーがあります\n\r別名を入力しなおしてください・・・"_s);
    Text1->clear();
    return;
  }
  if (!createRecordFolder(target)) {
    Text1->setFocus();
    return;
  }
  if (!QFileInfo::exists(m_.programPath(kSettingsFileName)))
    (void)m_.SaveSettings();  // reported; the folder itself exists
  m_.CurrentFolder = u'%' + name;
  m_.CurrentIndex = 0;
  m_.CurrentColumn = 0;
  m_.FolderCreated = true;
  accept();
}

bool Form10::createRecordFolder(const QString& folderPath) {
  const QFileInfo info(folderPath);
  bool madeHere = false;
  if (!info.isDir()) {
    std::error_code ec;
    madeHere =
        std::filesystem::create_directory(std::filesystem::path(folderPath.toStdU16String()), ec);
    if (!madeHere) {
      const QString reason =
          info.exists() ? u"同じ名前のファイルがあります"_s : QString::fromLocal8Bit(ec.message());
      m_.ReportFileError(FileError{nativePath(folderPath), reason, true});
      return false;
    }
  }
  const QString indexPath = folderPath + u'/' + kIndexFileName;
  if (m_.WriteNewIndexFile(indexPath)) return true;  // reports its own failure
  // Leave nothing half-made behind: a folder without its index file is no record folder.
  if (madeHere) QDir().rmdir(folderPath);
  return false;
}

void Form10::Command2_Click() { reject(); }

bool Form10::Form_QueryUnload() {
  if (!m_.FolderCreated) m_.EndProgram();
  return true;
}

void Form10::reject() {
  if (!Form_QueryUnload()) return;
  QDialog::reject();
}

}  // namespace velnor
