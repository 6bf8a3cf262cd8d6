#include "ui/print/print_output.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

#include "core/text_file.h"
#include "ui/common/fonts.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {

namespace {

constexpr int kPdfResolution = 600;
const QString kSampleText = u"abcdefあいうえお"_s;

// Line widths are screen pixels; on paper one of them is drawn 0.1 mm wide.
double penScaleFor(int dpi) { return std::max(1.0, dpi / 254.0); }

QPrinterInfo defaultPrinterInfo() {
  const QPrinterInfo preferred = QPrinterInfo::defaultPrinter();
  if (!preferred.isNull()) return preferred;
  const QList<QPrinterInfo> all = QPrinterInfo::availablePrinters();
  return all.isEmpty() ? QPrinterInfo() : all.first();
}

// The sheet in the painter's device pixels: a printer's origin is the corner of the
// part it can print on, not of the paper.
QRectF sheetOnPrinter(const QPrinter& printer) {
  const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
  const QRectF page = printer.pageRect(QPrinter::DevicePixel);
  return QRectF(paper.left() - page.left(), paper.top() - page.top(), paper.width(),
                paper.height());
}

class PrinterSink : public PageSink {
 public:
  explicit PrinterSink(std::unique_ptr<QPrinter> printer) : printer_(std::move(printer)) {}
  ~PrinterSink() override { discard(); }

  PageFrame frame() const override { return pageFrameFor(printer_->pageLayout()); }
  bool begin() override {
    // A QPrinter without a real printer quietly turns into a PDF writer; never paint then.
    if (printer_->outputFormat() != QPrinter::NativeFormat || !printer_->isValid()) {
      error_ = u"プリンターが見つかりません。"_s;
      return false;
    }
    if (!painter_.begin(printer_.get())) {
      error_ = u"プリンター「%1」を使えません。"_s.arg(printer_->printerName());
      return false;
    }
    surface_ = std::make_unique<PageSurface>(painter_, sheetOnPrinter(*printer_), frame(),
                                             penScaleFor(printer_->resolution()));
    return true;
  }
  DrawingSurface& surface() override { return *surface_; }
  bool newPage() override {
    if (printer_->newPage()) return true;
    error_ = u"次のページに進めません。"_s;
    return false;
  }
  bool finish() override {
    if (!painter_.isActive()) return false;
    painter_.end();
    if (printer_->printerState() == QPrinter::Error) {
      error_ = u"プリンターがエラーを返しました。"_s;
      return false;
    }
    return true;
  }
  void discard() override {
    if (!painter_.isActive()) return;
    printer_->abort();
    painter_.end();
  }
  bool discardsWhole() const override { return false; }
  QString errorString() const override { return error_; }

 private:
  std::unique_ptr<QPrinter> printer_;
  QPainter painter_;
  std::unique_ptr<PageSurface> surface_;
  QString error_;
};

class PdfSink : public PageSink {
 public:
  PdfSink(const QString& path, const QString& documentName, const QPageLayout& paper)
      : path_(path), documentName_(documentName), paper_(paper) {}
  ~PdfSink() override { discard(); }

  PageFrame frame() const override { return pageFrameFor(paper_); }
  bool begin() override {
    buffer_.open(QIODevice::WriteOnly);
    writer_ = std::make_unique<QPdfWriter>(&buffer_);
    writer_->setResolution(kPdfResolution);
    writer_->setPageLayout(paper_);
    writer_->setTitle(documentName_);
    writer_->setCreator(u"Velnor"_s);
    if (!painter_.begin(writer_.get())) {
      error_ = u"PDFファイルを作れません。"_s;
      return false;
    }
    surface_ =
        std::make_unique<PageSurface>(painter_, QRectF(0, 0, writer_->width(), writer_->height()),
                                      frame(), penScaleFor(kPdfResolution));
    return true;
  }
  DrawingSurface& surface() override { return *surface_; }
  bool newPage() override {
    if (writer_->newPage()) return true;
    error_ = u"次のページに進めません。"_s;
    return false;
  }
  bool finish() override {
    if (!painter_.isActive()) return false;
    if (!painter_.end()) {
      error_ = u"PDFファイルを作れません。"_s;
      return false;
    }
    // Only a whole PDF ever gets the name: a full disk fails the save and leaves no file.
    FileError error;
    if (!writeFileBytes(path_, buffer_.data(), &error)) {
      error_ = error.reason;
      return false;
    }
    return true;
  }
  void discard() override {
    if (painter_.isActive()) painter_.end();
    buffer_.close();
    buffer_.setData(QByteArray());
  }
  QString errorString() const override { return error_; }

 private:
  QString path_;
  QString documentName_;
  QPageLayout paper_;
  QBuffer buffer_;
  std::unique_ptr<QPdfWriter> writer_;
  QPainter painter_;
  std::unique_ptr<PageSurface> surface_;
  QString error_;
};

// The width of the sample text in millimetres of the sheet on a device whose sheet is
// `sheetWidthPx` pixels wide.
double sampleWidthMm(const QPaintDevice* device, double sheetWidthPx, double sheetWidthMm) {
  if (sheetWidthPx <= 0) return 0;
  const QFontMetricsF metrics(pageFont(kPGothic, 10), device);
  return metrics.horizontalAdvance(kSampleText) * sheetWidthMm / sheetWidthPx;
}

}  // namespace

QString pdfPathFor(const QString& folder, const QDateTime& when) {
  const QString stem = u"再訪問記録一覧_"_s + when.toString(u"yyyyMMdd_HHmm"_s);
  const QDir dir(folder);
  QString path = dir.filePath(stem + u".pdf"_s);
  for (int n = 2; QFileInfo::exists(path); ++n)
    path = dir.filePath(stem + u'_' + QString::number(n) + u".pdf"_s);
  return path;
}

// JIS B5 as the printer itself names it: the print dialog recognises only the printer's
// own sizes and would put its default paper in place of an equivalent one.
static QPageSize jisB5For(const QPrinterInfo& info) {
  const QPageSize b5(QPageSize::JisB5);
  for (const QPageSize& size : info.supportedPageSizes())
    if (size.isEquivalentTo(b5)) return size;
  return b5;
}

std::unique_ptr<QPrinter> makeListPrinter(const QString& documentName) {
  const QPrinterInfo info = defaultPrinterInfo();
  auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
  printer->setPageSize(jisB5For(info));
  printer->setPageOrientation(QPageLayout::Portrait);
  printer->setFullPage(false);  // the origin is the corner of the printable area
  printer->setDocName(documentName);
  return printer;
}

std::unique_ptr<PageSink> makePrinterSink(std::unique_ptr<QPrinter> printer) {
  return std::make_unique<PrinterSink>(std::move(printer));
}

std::unique_ptr<PageSink> makePdfSink(const QString& path, const QString& documentName,
                                      const QPageLayout& paper) {
  return std::make_unique<PdfSink>(path, documentName, paper);
}

void measureOnPaper(const PageFrame& frame, const std::function<void(DrawingSurface&)>& use) {
  QBuffer nowhere;
  nowhere.open(QIODevice::WriteOnly);
  QPdfWriter writer(&nowhere);
  writer.setResolution(kPdfResolution);
  writer.setPageLayout(QPageLayout(QPageSize(frame.sheet, QPageSize::Millimeter),
                                   QPageLayout::Portrait, QMarginsF()));
  QPainter painter(&writer);
  PageSurface surface(painter, QRectF(0, 0, writer.width(), writer.height()), frame);
  use(surface);
}

double measurePreviewFactor(const QPaintDevice* previewDevice, double sheetWidthPx,
                            bool usePrinter) {
  const double sheetMm = b5Portrait().fullRect(QPageLayout::Millimeter).width();
  const double previewWidth = sampleWidthMm(previewDevice, sheetWidthPx, sheetMm);
  double paperWidth = 0;
  if (usePrinter) {
    // Only the printer's page and fonts are asked for; nothing is begun on it.
    const auto printer = makeListPrinter(QString());
    paperWidth =
        sampleWidthMm(printer.get(), printer->paperRect(QPrinter::DevicePixel).width(), sheetMm);
  } else {
    QBuffer nowhere;
    nowhere.open(QIODevice::WriteOnly);
    QPdfWriter writer(&nowhere);
    writer.setResolution(kPdfResolution);
    writer.setPageLayout(b5Portrait());
    paperWidth = sampleWidthMm(&writer, writer.width(), sheetMm);
  }
  if (previewWidth <= 0 || paperWidth <= 0) return 1.0 / 3.0;
  return paperWidth / previewWidth;
}

}  // namespace velnor
