#pragma once
// Where the printed pages go: a printer, a PDF file, or a recorder in the tests. A PDF
// sink delivers every page or nothing; a printer takes the pages drawn even when the
// document is dropped (see discardsWhole).

#include <QDateTime>
#include <QPageSize>
#include <QString>
#include <functional>
#include <memory>

#include "core/drawing_surface.h"
#include "ui/print/page_surface.h"

class QPageLayout;
class QPaintDevice;
class QPrinter;

namespace velnor {

// The PDF written instead of printing: "再訪問記録一覧_yyyyMMdd_HHmm.pdf" in `folder`;
// a later print in the same minute gets "_2", "_3", ... rather than replacing a file.
QString pdfPathFor(const QString& folder, const QDateTime& when);

class PageSink {
 public:
  virtual ~PageSink() = default;
  // Where the table goes on this sink's sheets (known before begin).
  virtual PageFrame frame() const = 0;
  // Starts the document; false (with errorString) when the output cannot be opened.
  virtual bool begin() = 0;
  // The current page, in table coordinates.
  virtual DrawingSurface& surface() = 0;
  virtual bool newPage() = 0;
  // Delivers the document; false (with errorString) when that failed, and then nothing
  // half-written is left behind.
  virtual bool finish() = 0;
  // Drops an unfinished document.
  virtual void discard() = 0;
  // Whether discard leaves nothing delivered. Qt's printer engine cannot abort: the pages
  // drawn so far still go to the printer when the document ends.
  virtual bool discardsWhole() const { return true; }
  virtual QString errorString() const = 0;
};

// A printer set up for the list: JIS B5 portrait on the system's default printer.
std::unique_ptr<QPrinter> makeListPrinter(const QString& documentName);
// Pages on `printer` (the default printer, or the one chosen in the print dialog with its
// copies); refuses a printer that would quietly write a file instead.
std::unique_ptr<PageSink> makePrinterSink(std::unique_ptr<QPrinter> printer);

// The pages as a PDF file on `paper`, made whole in memory, then saved as every file of
// the program is: under a temporary name in the same folder, renamed only when every
// write, the sync and the close succeeded.
std::unique_ptr<PageSink> makePdfSink(const QString& path, const QString& documentName,
                                      const QPageLayout& paper);

// Lets `use` measure texts as they come out on a PDF page in `frame`; nothing is kept.
void measureOnPaper(const PageFrame& frame, const std::function<void(DrawingSurface&)>& use);

// The factor that makes a font on the one-third preview look as it will on paper: the
// paper's width of a sample text divided by the preview's, both in millimetres of the
// sheet, at the same point size. `previewDevice` is the preview's image, `sheetWidthPx`
// the sheet's width on it.
double measurePreviewFactor(const QPaintDevice* previewDevice, double sheetWidthPx,
                            bool usePrinter);

}  // namespace velnor
