#include "ui/print/form2.h"

#include <QCloseEvent>
#include <QDir>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QPageSize>
#include <QPainter>
#include <QPixmap>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRect>

#include "core/module1.h"
#include "core/table_drawing.h"
#include "ui/common/fonts.h"
#include "ui/common/key_codes.h"
#include "ui/common/twips.h"
#include "ui/print/page_surface.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {

namespace {

// The printed document is named after the list it shows.
const QString kDocumentName = u"再訪問記録一覧"_s;
constexpr int kClientWidth = 4284;  // twips
constexpr int kClientHeight = 5520;
constexpr double kTwipsPerMm = 1440.0 / 25.4;

QRect twipsRect(int left, int top, int width, int height) {
  return QRect(twipsToPx(left), twipsToPx(top), twipsToPx(width), twipsToPx(height));
}

// The preview is one third of the JIS B5 sheet (182 x 257 mm), in pixels.
QSize previewSizePx() {
  const QSizeF mm = QPageSize(QPageSize::JisB5).size(QPageSize::Millimeter);
  return QSize(twipsToPx(mm.width() * kTwipsPerMm / 3), twipsToPx(mm.height() * kTwipsPerMm / 3));
}

}  // namespace

Form2::Form2(Module1& m, QWidget* parent) : QDialog(parent), m_(m) {
  printerAvailable = [] { return !QPrinterInfo::availablePrinters().isEmpty(); };
  clock = [] { return QDateTime::currentDateTime(); };
  createControls();
  placeControls();
  Form_Load();
}

Form2::~Form2() = default;

void Form2::createControls() {
  setWindowTitle(u"印刷イメージの表示"_s);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setWindowFlag(Qt::MSWindowsFixedSizeDialogHint, true);
  setModal(true);
  setFont(QFont(kPGothic, 9));

  // OK comes first, so that the focus starts on the harmless button.
  Command5 = new QPushButton(u"OK"_s, this);
  Command5->setToolTip(u"この画面を消します。(F4)"_s);
  Label1 = new QLabel(u"Ｂ５の用紙に印刷します…"_s, this);
  Label1->setFont(QFont(kMincho, 9));
  Picture1 = new QLabel(this);
  Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Command1 = new QPushButton(u"印刷"_s, this);
  Command1->setToolTip(u"印刷します。(F7)"_s);
  Command2 = new QPushButton(u"イメージ"_s, this);
  Command2->setVisible(false);

  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
  connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
}

void Form2::placeControls() {
  setFixedSize(twipsToPx(kClientWidth), twipsToPx(kClientHeight));
  Label1->setGeometry(twipsRect(120, 180, 3492, 312));
  Picture1->move(twipsToPx(120), twipsToPx(480));  // its size is set by pp_reduc
  Command5->setGeometry(twipsRect(3720, 60, 492, 552));
  Command1->setGeometry(twipsRect(3720, 4860, 492, 552));
}

void Form2::watchKeys() {
  installEventFilter(this);
  for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
}

void Form2::Form_Load() {
  m_.IgnoreSpanClick = 0;
  setUpPreviewImage();
  ScaleFactor = pp_reduc();
  watchKeys();
}

void Form2::setUpPreviewImage() {
  const QSize size = previewSizePx();
  // Drawn at the screen's pixel density, so the miniature stays sharp on high-DPI screens.
  const qreal ratio = Picture1->devicePixelRatioF();
  preview_ = QImage(size * ratio, QImage::Format_RGB32);
  preview_.setDevicePixelRatio(ratio);
  // Points on the picture should match points elsewhere on this screen.
  preview_.setDotsPerMeterX(int(Picture1->logicalDpiX() / 0.0254 + 0.5));
  preview_.setDotsPerMeterY(int(Picture1->logicalDpiY() / 0.0254 + 0.5));
  preview_.fill(Qt::white);
  Picture1->setFixedSize(size);
  Picture1->setPixmap(QPixmap::fromImage(preview_));
}

QRectF Form2::previewArea() const {
  return QRectF(QPointF(0, 0), preview_.deviceIndependentSize());
}

double Form2::pp_reduc() {
  // The printer is only asked for its page and its fonts here; nothing is begun on it.
  const bool printer = !sinkOverride && printerAvailable();
  const float factor = float(measurePreviewFactor(&preview_, previewArea().width(), printer));
  return factor;
}

bool Form2::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) Form_Activate();
  return QDialog::event(e);
}

void Form2::Form_Activate() {
  if (unloaded_ || m_.ProgramEnded) return;
  Command2->click();
}

bool Form2::countPeople() {
  m_.ReadMode = 1;
  return m_.ReadIndex();
}

void Form2::Command2_Click() {
  // Start from a blank page: the list may have changed since the last showing.
  preview_.fill(Qt::white);
  if (countPeople()) {
    QPainter painter(&preview_);
    PageSurface surface(painter, previewArea());
    draw_rutin(surface, ScaleFactor);
  }
  Picture1->setPixmap(QPixmap::fromImage(preview_));
  const int pages = pageCount(m_.PersonCount, m_.RowHeight);
  Picture1->setToolTip(pages > 1 ? u"1ページ目（全%1ページ）"_s.arg(pages) : QString());
}

void Form2::draw_rutin(DrawingSurface& target, double factor) { draw_rutin(target, factor, 0); }

void Form2::draw_rutin(DrawingSurface& target, double factor, int page) {
  TableParams params;
  params.rowHeight = m_.RowHeight * 5.0 / 9.0;
  params.fontSize = m_.RowHeight * factor;
  // While the table fits it is the one page as always; longer folders continue on
  // further pages, each with its own header row, rather than running off the paper.
  if (pageCount(m_.PersonCount, m_.RowHeight) > 1) {
    const int perPage = recordsPerPage(m_.RowHeight);
    params.firstRecord = page * perPage;
    params.recordLimit = perPage;
  }
  drawTable(m_, target, params);
}

bool Form2::printPages(PageSink& sink) {
  if (!sink.begin()) return false;
  const int pages = pageCount(m_.PersonCount, m_.RowHeight);
  for (int page = 0; page < pages; ++page) {
    if (page > 0 && !sink.newPage()) {
      sink.discard();
      return false;
    }
    draw_rutin(sink.surface(), 1.0, page);
  }
  return sink.finish();
}

void Form2::Command1_Click() {
  if (printing_ || m_.ProgramEnded) return;
  if (!countPeople()) return;  // the index file could not be read; the user has been told
  printing_ = true;
  QString pdfPath;
  std::unique_ptr<PageSink> sink;
  if (sinkOverride) {
    sink = sinkOverride();
  } else if (printerAvailable()) {
    sink = makePrinterSink(kDocumentName);
  } else {
    pdfPath = pdfPathFor(pdfFolder.isEmpty() ? m_.programFolder() : pdfFolder, clock());
    sink = makePdfSink(pdfPath, kDocumentName);
  }
  const bool printed = printPages(*sink);
  const QString reason = sink->errorString();
  sink.reset();  // drops whatever was not delivered
  printing_ = false;
  if (!printed) {
    reportPrintFailure(reason, pdfPath);
    return;
  }
  hide();
  if (!pdfPath.isEmpty() && m_.shell)
    m_.shell->message(u"印刷"_s,
                      u"プリンターが見つからないため、印刷する内容を次のPDFファイルに"
                      u"保存しました。\n\n"_s +
                          QDir::toNativeSeparators(pdfPath) +
                          u"\n\nこのファイルを開いて印刷できます。"_s,
                      Buttons::Ok, Icon::Information);
}

void Form2::reportPrintFailure(const QString& reason, const QString& pdfPath) {
  if (!m_.shell) return;
  QString text = pdfPath.isEmpty()
                     ? u"印刷できませんでした。"_s
                     : u"印刷する内容を次のPDFファイルに保存できませんでした。\n\n"_s +
                           QDir::toNativeSeparators(pdfPath);
  if (!reason.isEmpty()) text += u"\n\n理由："_s + reason;
  m_.shell->message(u"印刷できません"_s, text, Buttons::Ok, Icon::Warning);
}

void Form2::Command5_Click() {
  Form_Unload();
  done(QDialog::Accepted);
}

void Form2::Form_Unload() {
  // Printing finishes or drops its document inside Command1_Click, so no document is
  // ever left open here.
  unloaded_ = true;
}

void Form2::closeEvent(QCloseEvent* e) {
  Form_Unload();
  QDialog::closeEvent(e);
}

void Form2::keyPressEvent(QKeyEvent* e) {
  // Escape does not close this window; only OK, F4 and the close box do.
  if (e->key() == Qt::Key_Escape) {
    e->accept();
    return;
  }
  QDialog::keyPressEvent(e);
}

bool Form2::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::KeyRelease) {
    auto* key = static_cast<QKeyEvent*>(e);
    if (!key->isAutoRepeat()) {
      const int code = keyCodeOf(key->key());
      if (code == kKeyF4 || code == kKeyF7) {
        Form_KeyUp(code);
        return true;  // handled here, so the release does not reach the window twice
      }
    }
  }
  return QDialog::eventFilter(watched, e);
}

void Form2::Form_KeyUp(int keyCode) {
  switch (keyCode) {
    case kKeyF4:
      Command5->click();
      break;
    case kKeyF7:
      Command1->click();
      break;
    default:
      break;
  }
}

}  // namespace velnor
