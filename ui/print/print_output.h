#pragma once
// Where the printed pages go: the default printer, a PDF file when no printer is
// installed, or a recorder in the tests. A sink either delivers every page or nothing.

#include <QDateTime>
#include <QString>
#include <memory>

#include "core/drawing_surface.h"

class QPaintDevice;

namespace velnor {

// Records that fit on one printed page below the header row, for a row height setting
// (rows are 5/9 of it high on paper). At least one, so that printing always advances.
int recordsPerPage(qint16 rowHeight);
// Number of pages for `people` records: one page when they fit (also for none).
int pageCount(int people, qint16 rowHeight);

// The PDF written instead of printing: "再訪問記録一覧_yyyyMMdd_HHmm.pdf" in `folder`;
// a later print in the same minute gets "_2", "_3", ... rather than replacing a file.
QString pdfPathFor(const QString& folder, const QDateTime& when);

class PageSink {
 public:
  virtual ~PageSink() = default;
  // Starts the document; false (with errorString) when the output cannot be opened.
  virtual bool begin() = 0;
  // The current page, in page coordinates.
  virtual DrawingSurface& surface() = 0;
  virtual bool newPage() = 0;
  // Delivers the document; false (with errorString) when that failed, and then nothing
  // half-written is left behind.
  virtual bool finish() = 0;
  // Drops an unfinished document.
  virtual void discard() = 0;
  virtual QString errorString() const = 0;
};

// The JIS B5 portrait page on the system's default printer, no dialog.
std::unique_ptr<PageSink> makePrinterSink(const QString& documentName);
// The same page in a PDF file, written under a temporary name and renamed when complete.
std::unique_ptr<PageSink> makePdfSink(const QString& path, const QString& documentName);

// The factor that makes a font on the one-third preview look as it will on paper: the
// printer's width of a sample text divided by the preview's, both in page units, at the
// same point size. `previewDevice` is the preview's image of `previewAreaWidth` pixels.
double measurePreviewFactor(const QPaintDevice* previewDevice, double previewAreaWidth,
                            bool usePrinter);

}  // namespace velnor
