#include "ui/print/form2.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QHBoxLayout>
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
#include <QScrollArea>
#include <QScrollBar>
#include <QShowEvent>
#include <QStandardPaths>
#include <QUrl>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <limits>

#include "core/module1.h"
#include "core/table_drawing.h"
#include "ui/common/accessibility.h"
#include "ui/common/fonts.h"
#include "ui/common/key_codes.h"
#include "ui/common/long_work.h"
#include "ui/common/twips.h"
#include "ui/print/page_surface.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {

namespace {

// The printed document is named after the list it shows.
const QString kDocumentName = u"再訪問記録一覧"_s;
constexpr int kClientWidth = 4284;  // twips
constexpr int kClientHeight = 5520;
// One notch of a mouse wheel.
constexpr int kWheelNotch = 120;
const QString kReadyText = u"Ｂ５の用紙に印刷します…"_s;
// On paper no text is smaller than this, unless the row's own type is.
constexpr double kSmallestPrintPoints = 7;
// The sizes offered after the two fitted ones, in per cent of the real size.
constexpr double kZooms[] = {50, 75, 100, 125, 150, 200, 300, 400};
constexpr double kSmallestZoom = 10;
constexpr double kLargestZoom = 400;

}  // namespace

Form2::Form2(Module1& m, QWidget* parent) : QDialog(parent), m_(m) {
  printerAvailable = [] { return !QPrinterInfo::availablePrinters().isEmpty(); };
  askPrinter = [this](QPrinter& printer, int pages) { return runDialog(printer, pages); };
  askPdfPath = [this](const QString& proposed) {
    return QFileDialog::getSaveFileName(this, u"PDFファイルに保存"_s, proposed,
                                        u"PDFファイル (*.pdf)"_s);
  };
  openPdf = [](const QString& path) { QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };
  createControls();
  placeControls();
  Form_Load();
}

Form2::~Form2() = default;

void Form2::createControls() {
  setWindowTitle(u"印刷イメージの表示"_s);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setWindowFlag(Qt::WindowMaximizeButtonHint, true);
  setModal(true);
  setFont(QFont(kPGothic, 9));

  // OK comes first, so that the focus starts on the harmless button.
  Command5 = new QPushButton(u"OK"_s, this);
  Command5->setToolTip(u"この画面を消します。(F4)"_s);
  Label1 = new QLabel(kReadyText, this);
  Label1->setFont(QFont(kMincho, 9));
  Combo1 = new QComboBox(this);
  Combo1->setToolTip(u"表示の大きさ (Ctrl++ / Ctrl+- / Ctrl+0)"_s);
  Combo1->setAccessibleName(u"表示の大きさ"_s);
  Combo1->addItem(u"ページ全体"_s);
  Combo1->addItem(u"幅に合わせる"_s);
  for (const double zoom : kZooms) Combo1->addItem(QString::number(zoom) + u'%');
  Picture1 = new QLabel;
  Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Scroll1 = new QScrollArea(this);
  Scroll1->setWidget(Picture1);
  Scroll1->setAlignment(Qt::AlignCenter);
  Scroll1->setFrameShape(QFrame::NoFrame);
  Command1 = new QPushButton(u"印刷"_s, this);
  Command1->setToolTip(u"印刷します。(F7)"_s);
  Command2 = new QPushButton(u"イメージ"_s, this);
  hideFromScreenReaders(Command2);

  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
  connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
  connect(Combo1, &QComboBox::activated, this, [this](int index) {
    if (index == 0)
      setFit(Fit::Window);
    else if (index == 1)
      setFit(Fit::Width);
    else
      setZoom(kZooms[index - 2]);
  });
}

void Form2::placeControls() {
  auto* top = new QHBoxLayout;
  top->addWidget(Label1, 1);
  top->addWidget(Combo1);
  top->addWidget(Command5);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch(1);
  bottom->addWidget(Command1);
  auto* all = new QVBoxLayout(this);
  const int margin = twipsToPx(120);
  all->setContentsMargins(margin, twipsToPx(60), margin, twipsToPx(60));
  all->addLayout(top);
  all->addWidget(Scroll1, 1);
  all->addLayout(bottom);
  for (QPushButton* button : {Command5, Command1})
    button->setMinimumSize(twipsToPx(492), twipsToPx(552));
  // Opens at the size it always had, showing the whole page; it can be made larger.
  resize(twipsToPx(kClientWidth), twipsToPx(kClientHeight));
}

void Form2::watchKeys() {
  createCommands();
  installEventFilter(this);
  for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
}

void Form2::Form_Load() {
  m_.IgnoreSpanClick = 0;
  setUpPreviewImage();
  loadWidthPx_ = previewArea().width();
  ScaleFactor = pp_reduc();
  watchKeys();
}

QSizeF Form2::realSizePx() const {
  const double pxPerMm = Picture1->logicalDpiX() / 25.4;
  const QSizeF sheet = frame_.sheet.isEmpty() ? defaultPageFrame().sheet : frame_.sheet;
  return sheet * pxPerMm;
}

double Form2::zoomPercent() const {
  const QSizeF real = realSizePx();
  // Room for the page inside the scroll area, with a small rim around it.
  const QSize room = Scroll1->maximumViewportSize() - QSize(8, 8);
  switch (fit_) {
    case Fit::Window:
      return 100 * std::min(room.width() / real.width(), room.height() / real.height());
    case Fit::Width: {
      // The page becomes taller than the room, so a scroll bar takes a part of its width.
      const int bar = Scroll1->verticalScrollBar()->sizeHint().width();
      return 100 * (room.width() - bar) / real.width();
    }
    case Fit::Zoom:
      break;
  }
  return zoom_;
}

void Form2::setUpPreviewImage() {
  const double scale = std::clamp(zoomPercent(), kSmallestZoom, kLargestZoom) / 100;
  const QSize size = (realSizePx() * scale).toSize().expandedTo(QSize(1, 1));
  // Drawn at the screen's pixel density, so the page stays sharp on high-DPI screens.
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

void Form2::setFit(Fit fit) {
  fit_ = fit;
  showZoomChoice();
  drawPreview();
}

void Form2::setZoom(double percent) {
  zoom_ = std::clamp(percent, kSmallestZoom, kLargestZoom);
  setFit(Fit::Zoom);
}

void Form2::zoomIn() {
  const double now = zoomPercent();
  for (const double zoom : kZooms)
    if (zoom > now + 0.5) return setZoom(zoom);
}

void Form2::zoomOut() {
  const double now = zoomPercent();
  for (auto it = std::rbegin(kZooms); it != std::rend(kZooms); ++it)
    if (*it < now - 0.5) return setZoom(*it);
  setZoom(std::max(kSmallestZoom, now / 2));  // below the smallest offered size
}

void Form2::showZoomChoice() {
  if (fit_ != Fit::Zoom) {
    Combo1->setCurrentIndex(fit_ == Fit::Window ? 0 : 1);
    return;
  }
  const QString text = QString::number(std::lround(zoom_)) + u'%';
  const int index = Combo1->findText(text);
  if (index < 0) {
    Combo1->setPlaceholderText(text);
    Combo1->setCurrentIndex(-1);
  } else {
    Combo1->setCurrentIndex(index);
  }
}

void Form2::drawPreview() {
  setUpPreviewImage();
  Command2_Click();
}

bool Form2::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) Form_Activate();
  return QDialog::event(e);
}

void Form2::Form_Activate() {
  if (unloaded_ || m_.ProgramEnded) return;
  Command2->click();
}

void Form2::Command2_Click() {
  // Start from a blank page: the list may have changed since the last showing.
  preview_.fill(Qt::white);
  if (m_.CountPeople()) {
    updatePreviewPages();
    shownPage_ = std::clamp(shownPage_, 0, pages() - 1);
    QPainter painter(&preview_);
    PageSurface surface(painter, previewArea(), frame_);
    // The factor measured at load, for the picture's size now.
    const double factor = ScaleFactor * previewArea().width() / loadWidthPx_;
    drawPage(surface, factor, shownPage_, frame_, starts_);
  }
  Picture1->setPixmap(QPixmap::fromImage(preview_));
  updateLabel();
}

void Form2::updatePreviewPages() {
  const MonthWindow w = monthWindowFor(m_.DisplaySpan, m_.CurrentMonth);
  // The folder's bytes are hashed once a change, not at every redraw of the preview.
  if (hashedGeneration_ != m_.folder().generation()) {
    bytesHash_ = qHash(m_.folder().bytes());
    hashedGeneration_ = m_.folder().generation();
  }
  const QString key = QStringList{m_.folder().path(),
                                  QString::number(bytesHash_),
                                  QString::number(m_.PersonCount),
                                  QString::number(m_.RowHeight),
                                  QString::number(w.firstMonthOffset),
                                  QString::number(w.monthCount),
                                  QString::number(frame_.content.width()),
                                  QString::number(frame_.content.height())}
                          .join(u'|');
  // Each opening makes a new window: the pages of an unchanged folder are kept between
  // them, so a large folder is measured once rather than at every opening.
  static QString keptKey;
  static std::vector<int> keptStarts;
  if (key != keptKey) {
    measureOnPaper(frame_, [&](DrawingSurface& paper) { keptStarts = paginate(paper, frame_); });
    keptKey = key;
  }
  starts_ = keptStarts;
}

std::vector<int> Form2::paginate(DrawingSurface& measure, const PageFrame& frame) {
  TableParams params;
  params.rowHeight = paperRowHeight(m_.RowHeight);
  params.fontSize = m_.RowHeight;
  params.fitText = true;
  params.smallestFontSize = kSmallestPrintPoints;
  return pageStarts(tableRowHeights(m_, measure, params), frame);
}

void Form2::showPage(int page) {
  page = std::clamp(page, 0, pages() - 1);
  if (page == shownPage_) return;
  // A page larger than the window is read from its top, or from its foot going back.
  QScrollBar* bar = Scroll1->verticalScrollBar();
  bar->setValue(page > shownPage_ ? bar->minimum() : bar->maximum());
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

void Form2::draw_rutin(DrawingSurface& target, double factor, int page,
                       const std::vector<int>& starts) {
  TableParams params;
  params.rowHeight = paperRowHeight(m_.RowHeight);
  params.fontSize = m_.RowHeight * factor;
  // Every character goes on paper, none too small to read: texts too wide for their cell
  // are made smaller, then wrapped, and their row grows.
  params.fitText = true;
  params.smallestFontSize = kSmallestPrintPoints * factor;
  // While the table fits it is the one page as always; longer folders continue on
  // further pages, each with its own header row, rather than running off the paper.
  if (starts.size() > 1) {
    const size_t p = size_t(std::clamp(page, 0, int(starts.size()) - 1));
    params.firstRecord = starts[p];
    params.recordLimit = p + 1 < starts.size() ? starts[p + 1] - starts[p] : -1;
  }
  drawTable(m_, target, params);
}

void Form2::drawPage(DrawingSurface& target, double factor, int page, const PageFrame& frame,
                     const std::vector<int>& starts) {
  draw_rutin(target, factor, page, starts);
  Footer footer;
  footer.user = m_.CurrentFolder.startsWith(u'%') ? m_.CurrentFolder.mid(1) : m_.CurrentFolder;
  footer.printed = m_.today();
  footer.page = page + 1;
  footer.pages = int(starts.size());
  drawFooter(target, frame, footer, kFooterPoints * factor);
}

bool Form2::printPages(PageSink& sink, int first, int last) {
  const PageFrame frame = sink.frame();
  if (!sink.begin()) return false;
  // Pages as the paper itself measures the texts.
  const std::vector<int> starts = paginate(sink.surface(), frame);
  const int count = int(starts.size());
  first = std::clamp(first, 0, count - 1);
  last = std::clamp(last, first, count - 1);
  // Long documents keep the window painting and tell how far they are. Stopping is
  // offered only where it drops the pages, so no half document reaches a file; a
  // printer would still print what was drawn.
  LongWork work(this, u"印刷"_s, u"印刷しています…"_s,
                sink.discardsWhole() ? LongWork::Stop::Offered : LongWork::Stop::NotOffered);
  const auto progress = work.progress();
  for (int page = first; page <= last; ++page) {
    if (work.stopped() || (page > first && !sink.newPage())) {
      stopped_ = work.stopped();
      sink.discard();
      return false;
    }
    drawPage(sink.surface(), 1.0, page, frame, starts);
    progress(page + 1 - first, last + 1 - first);
  }
  const bool finished = sink.finish();
  updateLabel();
  return finished;
}

bool Form2::deliver(PageSink& sink, int first, int last, const QString& pdfPath) {
  printing_ = true;
  stopped_ = false;
  const bool printed = printPages(sink, first, last);
  const QString reason = sink.errorString();
  sink.discard();  // drops whatever was not delivered
  printing_ = false;
  if (stopped_) {
    status_ = u"印刷を中止しました"_s;
    updateLabel();
  } else if (!printed) {
    reportPrintFailure(reason, pdfPath);
  }
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
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    pdfPath = askPdfPath(pdfPathFor(documents, m_.clock()));
    if (pdfPath.isEmpty()) return;
    if (!pdfPath.endsWith(u".pdf"_s, Qt::CaseInsensitive)) pdfPath += u".pdf"_s;
    sink = makePdfSink(pdfPath, kDocumentName, b5Portrait());
  }
  if (!deliver(*sink, 0, std::numeric_limits<int>::max(), pdfPath)) return;
  if (pdfPath.isEmpty()) {
    // The window stays, so that it can say where the pages went.
    status_ = u"プリンターに送りました"_s;
    updateLabel();
    return;
  }
  hide();
  reportPdfSaved(pdfPath);
}

void Form2::reportPdfSaved(const QString& path) {
  if (!m_.shell) return;
  const Answer open = m_.shell->message(
      u"印刷"_s,
      u"プリンターが見つからないため、印刷する内容を次のPDFファイルに保存しました。\n\n"_s +
          QDir::toNativeSeparators(path) +
          u"\n\nこのファイルを開いて印刷できます。今すぐ開きますか？"_s,
      Buttons::OkCancel, Icon::Information);
  if (open == Answer::Ok) openPdf(path);
}

void Form2::printWithDialog() {
  if (printing_ || m_.ProgramEnded) return;
  if (!m_.CountPeople()) return;
  auto printer = makeListPrinter(kDocumentName);
  updatePreviewPages();
  if (!askPrinter(*printer, pages())) return;
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
    sink = makePdfSink(pdfPath, kDocumentName, printer->pageLayout());
  else if (sinkOverride)
    sink = sinkOverride();
  else
    sink = makePrinterSink(std::move(printer));
  if (!deliver(*sink, first, last, pdfPath)) return;
  status_ = pdfPath.isEmpty() ? u"プリンターに送りました"_s : u"PDFファイルに保存しました"_s;
  updateLabel();
}

namespace {

// Qt's print dialog takes the printer's default paper whenever a printer is chosen, and
// its page setup shows that default when it opens. The list's paper is put back in both
// places, so that only a paper the user picks replaces it.
class PaperKeeper : public QObject {
 public:
  explicit PaperKeeper(const QPageSize& paper) : paper_(paper) { qApp->installEventFilter(this); }
  ~PaperKeeper() override { qApp->removeEventFilter(this); }
  bool pageSetupShown() const { return shown_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override {
    if (e->type() == QEvent::Show && !shown_ && watched->objectName() == u"pageSizeCombo"_s) {
      if (auto* sizes = qobject_cast<QComboBox*>(watched)) {
        shown_ = true;
        const int index = sizes->findText(paper_.name());
        if (index >= 0) sizes->setCurrentIndex(index);
      }
    }
    return false;
  }

 private:
  QPageSize paper_;
  bool shown_ = false;
};

}  // namespace

bool Form2::runDialog(QPrinter& printer, int pages) {
  const QPageSize paper = printer.pageLayout().pageSize();
  const PaperKeeper keeper(paper);
  QPrintDialog dialog(&printer, this);
  dialog.setOptions(QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintToFile |
                    QAbstractPrintDialog::PrintShowPageSize);
  dialog.setMinMax(1, pages);
  if (dialog.exec() != QDialog::Accepted) return false;
  if (!keeper.pageSetupShown()) printer.setPageSize(paper);
  return true;
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

void Form2::resizeEvent(QResizeEvent* e) {
  QDialog::resizeEvent(e);
  if (fit_ != Fit::Zoom && !preview_.isNull()) drawPreview();
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
  if (e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease) {
    if (commands_.take(static_cast<QKeyEvent*>(e))) return true;
  } else if (e->type() == QEvent::Wheel) {
    if (watchedWheel(static_cast<QWheelEvent*>(e))) return true;
  }
  return QDialog::eventFilter(watched, e);
}

// Every key of the window, with the button it presses where it has one.
void Form2::createCommands() {
  commands_.addButton(Command5, {Qt::Key_F4});
  commands_.addButton(Command1, {Qt::Key_F7});
  // Escape closes the window as OK does (a dialog's own Escape would only reject it).
  commands_.add(
      u"閉じる"_s, {Qt::Key_Escape}, [this] { Command5->click(); }, KeyMoment::EveryPress);
  commands_.add(u"印刷…"_s, QKeySequence::keyBindings(QKeySequence::Print),
                [this] { printWithDialog(); });
  QList<QKeySequence> zoomInKeys = QKeySequence::keyBindings(QKeySequence::ZoomIn);
  zoomInKeys.append(Qt::CTRL | Qt::Key_Plus);
  commands_.add(
      u"拡大"_s, zoomInKeys, [this] { zoomIn(); }, KeyMoment::EveryPress);
  commands_.add(
      u"縮小"_s, QKeySequence::keyBindings(QKeySequence::ZoomOut), [this] { zoomOut(); },
      KeyMoment::EveryPress);
  commands_.add(u"実寸"_s, {Qt::CTRL | Qt::Key_0}, [this] { setZoom(100); });
  commands_.add(
      u"次のページ"_s, {Qt::Key_PageDown}, [this] { showPage(shownPage_ + 1); },
      KeyMoment::EveryPress);
  commands_.add(
      u"前のページ"_s, {Qt::Key_PageUp}, [this] { showPage(shownPage_ - 1); },
      KeyMoment::EveryPress);
}

bool Form2::watchedWheel(QWheelEvent* wheel) {
  const int delta = wheel->angleDelta().y();
  if (wheel->modifiers().testFlag(Qt::ControlModifier)) {
    if (delta > 0) zoomIn();
    if (delta < 0) zoomOut();
    return true;
  }
  // A page larger than the window scrolls first; at its end the wheel turns the page.
  const QScrollBar* bar = Scroll1->verticalScrollBar();
  if (bar->maximum() > 0 &&
      ((delta < 0 && bar->value() < bar->maximum()) || (delta > 0 && bar->value() > 0))) {
    wheelAngle_ = 0;
    return false;
  }
  // Fine-grained wheels send small steps; a page turns per notch's worth of them.
  wheelAngle_ += delta;
  const int notches = wheelAngle_ / kWheelNotch;
  wheelAngle_ -= notches * kWheelNotch;
  if (notches != 0) showPage(shownPage_ - notches);  // turning towards you goes forward
  return true;
}

}  // namespace velnor
