#include "ui/print/form2.h"

#include <QCloseEvent>
#include <QDir>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QPageSize>
#include <QPainter>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRect>
#include <QShowEvent>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <limits>

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
// One notch of a mouse wheel.
constexpr int kWheelNotch = 120;
const QString kReadyText = u"Ｂ５の用紙に印刷します…"_s;

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
  askPrinter = [this](QPrinter& printer, int pages) { return runDialog(printer, pages); };
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
  Label1 = new QLabel(kReadyText, this);
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
  preview_.setDotsPerMeterX(int(std::lround(Picture1->logicalDpiX() / 0.0254)));
  preview_.setDotsPerMeterY(int(std::lround(Picture1->logicalDpiY() / 0.0254)));
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
  frame_ = printer ? pageFrameFor(makeListPrinter(QString())->pageLayout()) : defaultPageFrame();
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

int Form2::pages() const { return pageCount(m_.PersonCount, m_.RowHeight, frame_); }

void Form2::Command2_Click() {
  // Start from a blank page: the list may have changed since the last showing.
  preview_.fill(Qt::white);
  if (m_.CountPeople()) {
    shownPage_ = std::clamp(shownPage_, 0, pages() - 1);
    QPainter painter(&preview_);
    PageSurface surface(painter, previewArea(), frame_);
    drawPage(surface, ScaleFactor, shownPage_, frame_);
  }
  Picture1->setPixmap(QPixmap::fromImage(preview_));
  updateLabel();
}

void Form2::showPage(int page) {
  page = std::clamp(page, 0, pages() - 1);
  if (page == shownPage_) return;
  shownPage_ = page;
  status_.clear();  // the label tells the page again
  Command2_Click();
}

void Form2::updateLabel() {
  const int count = pages();
  if (!status_.isEmpty())
    Label1->setText(status_);
  else if (count > 1)
    Label1->setText(u"%1 / %2 ページ"_s.arg(shownPage_ + 1).arg(count));
  else
    Label1->setText(kReadyText);
}

void Form2::draw_rutin(DrawingSurface& target, double factor, int page) {
  draw_rutin(target, factor, page, frame_);
}

void Form2::draw_rutin(DrawingSurface& target, double factor, int page, const PageFrame& frame) {
  TableParams params;
  params.rowHeight = paperRowHeight(m_.RowHeight);
  params.fontSize = m_.RowHeight * factor;
  // Every character goes on paper: texts too wide for their cell are fitted into it.
  params.fitText = true;
  // While the table fits it is the one page as always; longer folders continue on
  // further pages, each with its own header row, rather than running off the paper.
  if (pageCount(m_.PersonCount, m_.RowHeight, frame) > 1) {
    const int perPage = recordsPerPage(m_.RowHeight, frame);
    params.firstRecord = page * perPage;
    params.recordLimit = perPage;
  }
  drawTable(m_, target, params);
}

void Form2::drawPage(DrawingSurface& target, double factor, int page, const PageFrame& frame) {
  draw_rutin(target, factor, page, frame);
  Footer footer;
  footer.user = m_.CurrentFolder.startsWith(u'%') ? m_.CurrentFolder.mid(1) : m_.CurrentFolder;
  footer.printed = clock().date();
  footer.page = page + 1;
  footer.pages = pageCount(m_.PersonCount, m_.RowHeight, frame);
  drawFooter(target, frame, footer, kFooterPoints * factor);
}

bool Form2::printPages(PageSink& sink, int first, int last) {
  const PageFrame frame = sink.frame();
  const int count = pageCount(m_.PersonCount, m_.RowHeight, frame);
  first = std::clamp(first, 0, count - 1);
  last = std::clamp(last, first, count - 1);
  if (!sink.begin()) return false;
  for (int page = first; page <= last; ++page) {
    if (page > first && !sink.newPage()) {
      sink.discard();
      return false;
    }
    drawPage(sink.surface(), 1.0, page, frame);
  }
  return sink.finish();
}

bool Form2::deliver(PageSink& sink, int first, int last, const QString& pdfPath) {
  printing_ = true;
  const bool printed = printPages(sink, first, last);
  const QString reason = sink.errorString();
  sink.discard();  // drops whatever was not delivered
  printing_ = false;
  if (!printed) reportPrintFailure(reason, pdfPath);
  return printed;
}

void Form2::Command1_Click() {
  if (printing_ || m_.ProgramEnded) return;
  if (!m_.CountPeople()) return;  // the index file could not be read; the user has been told
  QString pdfPath;
  std::unique_ptr<PageSink> sink;
  if (sinkOverride) {
    sink = sinkOverride();
  } else if (printerAvailable()) {
    sink = makePrinterSink(makeListPrinter(kDocumentName));
  } else {
    pdfPath = pdfPathFor(pdfFolder.isEmpty() ? m_.programFolder() : pdfFolder, clock());
    sink = makePdfSink(pdfPath, kDocumentName, pdfFilter);
  }
  if (!deliver(*sink, 0, std::numeric_limits<int>::max(), pdfPath)) return;
  if (pdfPath.isEmpty()) {
    // The window stays, so that it can say where the pages went.
    status_ = u"プリンターに送りました"_s;
    updateLabel();
    return;
  }
  hide();
  if (m_.shell)
    m_.shell->message(u"印刷"_s,
                      u"プリンターが見つからないため、印刷する内容を次のPDFファイルに"
                      u"保存しました。\n\n"_s +
                          QDir::toNativeSeparators(pdfPath) +
                          u"\n\nこのファイルを開いて印刷できます。"_s,
                      Buttons::Ok, Icon::Information);
}

void Form2::printWithDialog() {
  if (printing_ || m_.ProgramEnded) return;
  if (!m_.CountPeople()) return;
  auto printer = makeListPrinter(kDocumentName);
  const int count = pageCount(m_.PersonCount, m_.RowHeight, pageFrameFor(printer->pageLayout()));
  const QPageSize preselected = printer->pageLayout().pageSize();
  if (!askPrinter(*printer, count)) return;
  printer->setPageSize(paperAfterDialog(preselected, printer->pageLayout().pageSize(),
                                        QPrinterInfo(*printer).defaultPageSize()));
  // Every page of the paper chosen, unless a range was.
  int first = 0, last = std::numeric_limits<int>::max();
  if (printer->printRange() == QPrinter::PageRange && printer->fromPage() > 0) {
    first = printer->fromPage() - 1;
    last = std::max(first, printer->toPage() - 1);
  }
  // "Print to file" in the dialog writes a PDF as safely as the no-printer path does.
  const QString pdfPath =
      printer->outputFormat() == QPrinter::PdfFormat ? printer->outputFileName() : QString();
  std::unique_ptr<PageSink> sink;
  if (!pdfPath.isEmpty())
    sink = makePdfSink(pdfPath, kDocumentName, pdfFilter);
  else if (sinkOverride)
    sink = sinkOverride();
  else
    sink = makePrinterSink(std::move(printer));
  if (!deliver(*sink, first, last, pdfPath)) return;
  status_ = pdfPath.isEmpty() ? u"プリンターに送りました"_s : u"PDFファイルに保存しました"_s;
  updateLabel();
}

bool Form2::runDialog(QPrinter& printer, int pages) {
  QPrintDialog dialog(&printer, this);
  dialog.setOptions(QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintToFile |
                    QAbstractPrintDialog::PrintShowPageSize);
  dialog.setMinMax(1, pages);
  return dialog.exec() == QDialog::Accepted;
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
  // Printing finishes or drops its document before it returns, so no document is ever
  // left open here.
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

void Form2::showEvent(QShowEvent* e) {
  // Shown again after a print: from the first page, with no news of the last print.
  if (!e->spontaneous()) {
    shownPage_ = 0;
    status_.clear();
  }
  QDialog::showEvent(e);
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
  } else if (e->type() == QEvent::KeyPress) {
    if (watchedKeyPress(static_cast<QKeyEvent*>(e))) return true;
  } else if (e->type() == QEvent::Wheel) {
    if (watchedWheel(static_cast<QWheelEvent*>(e))) return true;
  }
  return QDialog::eventFilter(watched, e);
}

bool Form2::watchedKeyPress(QKeyEvent* key) {
  if (key->matches(QKeySequence::Print)) {
    if (!key->isAutoRepeat()) printWithDialog();
    return true;
  }
  switch (key->key()) {
    case Qt::Key_PageDown:
      showPage(shownPage_ + 1);
      return true;
    case Qt::Key_PageUp:
      showPage(shownPage_ - 1);
      return true;
    default:
      return false;
  }
}

bool Form2::watchedWheel(QWheelEvent* wheel) {
  // Fine-grained wheels send small steps; a page turns per notch's worth of them.
  wheelAngle_ += wheel->angleDelta().y();
  const int notches = wheelAngle_ / kWheelNotch;
  wheelAngle_ -= notches * kWheelNotch;
  if (notches != 0) showPage(shownPage_ - notches);  // turning towards you goes forward
  return true;
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
