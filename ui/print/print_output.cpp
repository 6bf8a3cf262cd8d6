#include "ui/print/print_output.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>
#include <algorithm>
#include <limits>

#include "ui/common/fonts.h"
#include "ui/print/page_surface.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {

namespace {

constexpr int kPdfResolution = 600;
const QString kSampleText = u"abcdefあいうえお"_s;

QPageLayout b5Portrait() {
  return QPageLayout(QPageSize(QPageSize::JisB5), QPageLayout::Portrait, QMarginsF());
}

// Line widths are screen pixels; on paper one of them is drawn 0.1 mm wide.
double penScaleFor(int dpi) { return std::max(1.0, dpi / 254.0); }

QPrinterInfo chosenPrinter() {
  const QPrinterInfo preferred = QPrinterInfo::defaultPrinter();
  if (!preferred.isNull()) return preferred;
  const QList<QPrinterInfo> all = QPrinterInfo::availablePrinters();
  return all.isEmpty() ? QPrinterInfo() : all.first();
}

void setUpPrinter(QPrinter& printer, const QString& documentName) {
  printer.setPageSize(QPageSize(QPageSize::JisB5));
  printer.setPageOrientation(QPageLayout::Portrait);
  printer.setFullPage(false);  // page coordinates span the printable area
  printer.setDocName(documentName);
}

class PrinterSink : public PageSink {
 public:
  explicit PrinterSink(const QString& documentName)
      : printer_(chosenPrinter(), QPrinter::HighResolution) {
    setUpPrinter(printer_, documentName);
  }
  ~PrinterSink() override { discard(); }

  bool begin() override {
    // A QPrinter without a real printer quietly turns into a PDF writer; never paint then.
    if (printer_.outputFormat() != QPrinter::NativeFormat || !printer_.isValid()) {
      error_ = u"プリンターが見つかりません。"_s;
      return false;
    }
    if (!painter_.begin(&printer_)) {
      error_ = u"プリンター「%1」を使えません。"_s.arg(printer_.printerName());
      return false;
    }
    const QRectF page = printer_.pageRect(QPrinter::DevicePixel);
    surface_ = std::make_unique<PageSurface>(painter_, QRectF(0, 0, page.width(), page.height()),
                                             penScaleFor(printer_.resolution()));
    return true;
  }
  DrawingSurface& surface() override { return *surface_; }
  bool newPage() override {
    if (printer_.newPage()) return true;
    error_ = u"次のページに進めません。"_s;
    return false;
  }
  bool finish() override {
    if (!painter_.isActive()) return false;
    painter_.end();
    if (printer_.printerState() == QPrinter::Error) {
      error_ = u"プリンターがエラーを返しました。"_s;
      return false;
    }
    return true;
  }
  void discard() override {
    if (!painter_.isActive()) return;
    printer_.abort();
    painter_.end();
  }
  QString errorString() const override { return error_; }

 private:
  QPrinter printer_;
  QPainter painter_;
  std::unique_ptr<PageSurface> surface_;
  QString error_;
};

class PdfSink : public PageSink {
 public:
  PdfSink(const QString& path, const QString& documentName) : file_(path) {
    file_.setDirectWriteFallback(false);
    documentName_ = documentName;
  }
  ~PdfSink() override { discard(); }

  bool begin() override {
    if (!file_.open(QIODevice::WriteOnly)) {
      error_ = file_.errorString();
      return false;
    }
    writer_ = std::make_unique<QPdfWriter>(&file_);
    writer_->setResolution(kPdfResolution);
    writer_->setPageLayout(b5Portrait());
    writer_->setTitle(documentName_);
    writer_->setCreator(u"Velnor"_s);
    if (!painter_.begin(writer_.get())) {
      error_ = u"PDFファイルを作れません。"_s;
      file_.cancelWriting();
      return false;
    }
    surface_ = std::make_unique<PageSurface>(
        painter_, QRectF(0, 0, writer_->width(), writer_->height()), penScaleFor(kPdfResolution));
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
    painter_.end();
    // The PDF engine may close the device itself; a closed QSaveFile cannot commit.
    if (!file_.isOpen() || file_.error() != QFileDevice::NoError || !file_.commit()) {
      error_ = file_.errorString();
      file_.cancelWriting();
      return false;
    }
    return true;
  }
  void discard() override {
    if (painter_.isActive()) painter_.end();
    if (file_.isOpen()) file_.cancelWriting();  // leaves no file behind
  }
  QString errorString() const override { return error_; }

 private:
  QSaveFile file_;
  QString documentName_;
  std::unique_ptr<QPdfWriter> writer_;
  QPainter painter_;
  std::unique_ptr<PageSurface> surface_;
  QString error_;
};

}  // namespace

int recordsPerPage(qint16 rowHeight) {
  if (rowHeight <= 0) return std::numeric_limits<int>::max();
  // A row is rowHeight * 5 / 9 units high; the header and n rows fit while
  // (n + 1) * rowHeight * 5 / 9 <= kPageBottom, computed in whole numbers.
  const int rows = int(kPageBottom) * 9 / (5 * int(rowHeight));
  return std::max(1, rows - 1);
}

int pageCount(int people, qint16 rowHeight) {
  if (people <= 0) return 1;
  const int perPage = recordsPerPage(rowHeight);
  return (people - 1) / perPage + 1;
}

QString pdfPathFor(const QString& folder, const QDateTime& when) {
  const QString stem = u"再訪問記録一覧_"_s + when.toString(u"yyyyMMdd_HHmm"_s);
  const QDir dir(folder);
  QString path = dir.filePath(stem + u".pdf"_s);
  for (int n = 2; QFileInfo::exists(path); ++n)
    path = dir.filePath(stem + u'_' + QString::number(n) + u".pdf"_s);
  return path;
}

std::unique_ptr<PageSink> makePrinterSink(const QString& documentName) {
  return std::make_unique<PrinterSink>(documentName);
}

std::unique_ptr<PageSink> makePdfSink(const QString& path, const QString& documentName) {
  return std::make_unique<PdfSink>(path, documentName);
}

double measurePreviewFactor(const QPaintDevice* previewDevice, double previewAreaWidth,
                            bool usePrinter) {
  QFont font(kPGothic);
  font.setPointSizeF(10);
  const double previewWidth = pageTextWidth(font, previewDevice, previewAreaWidth, kSampleText);
  double paperWidth = 0;
  if (usePrinter) {
    QPrinter printer(chosenPrinter(), QPrinter::HighResolution);
    setUpPrinter(printer, QString());
    paperWidth =
        pageTextWidth(font, &printer, printer.pageRect(QPrinter::DevicePixel).width(), kSampleText);
    // Nothing was begun on the printer, so nothing is printed when it goes.
  } else {
    QBuffer nowhere;
    nowhere.open(QIODevice::WriteOnly);
    QPdfWriter writer(&nowhere);
    writer.setResolution(kPdfResolution);
    writer.setPageLayout(b5Portrait());
    paperWidth = pageTextWidth(font, &writer, writer.width(), kSampleText);
  }
  if (previewWidth <= 0 || paperWidth <= 0) return 1.0 / 3.0;
  return paperWidth / previewWidth;
}

}  // namespace velnor
