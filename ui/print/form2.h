#pragma once
// The print image window: the B5 page as it will be printed, at a size the user chooses,
// and printing it.

#include <QDateTime>
#include <QDialog>
#include <QImage>
#include <QRectF>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "ui/common/key_commands.h"
#include "ui/print/page_surface.h"
#include "ui/print/print_output.h"

class QComboBox;
class QLabel;
class QPrinter;
class QPushButton;
class QScrollArea;

namespace velnor {

class Module1;
class DrawingSurface;

class Form2 : public QDialog {
  Q_OBJECT

 public:
  explicit Form2(Module1& m, QWidget* parent = nullptr);
  ~Form2() override;

  QLabel* Label1 = nullptr;
  QLabel* Picture1 = nullptr;       // shows the kept preview image
  QScrollArea* Scroll1 = nullptr;   // holds Picture1 when it is larger than the window
  QComboBox* Combo1 = nullptr;      // the preview's size
  QPushButton* Command1 = nullptr;  // 印刷
  QPushButton* Command2 = nullptr;  // hidden: draws the image
  QPushButton* Command5 = nullptr;  // OK

  void Form_Load();
  void Form_Activate();
  void Form_Unload();
  void Command1_Click();
  void Command2_Click();
  void Command5_Click();
  double pp_reduc();
  // Draws the table's part on page `page` (0-based) of `starts` (the first record of
  // each page); a folder longer than a page continues on more, each with its header row.
  void draw_rutin(DrawingSurface& target, double factor, int page, const std::vector<int>& starts);

  // The page the preview shows (0-based) and the number of pages.
  int shownPage() const { return shownPage_; }
  int pages() const { return int(starts_.size()); }
  void showPage(int page);
  // Ctrl+P: the print dialog (printer, paper, copies, pages), then printing with its choices.
  void printWithDialog();

  // The preview's size: fitted to the window, to its width, or a zoom in per cent of the
  // paper's real size on the screen.
  enum class Fit { Window, Width, Zoom };
  void setFit(Fit fit);
  void setZoom(double percent);
  void zoomIn();
  void zoomOut();
  Fit fit() const { return fit_; }
  // The size shown now, in per cent of the real size.
  double zoomPercent() const;

  // True once the window was closed (OK, F4, Esc, close box); printing to a file hides it.
  bool isUnloaded() const { return unloaded_; }
  double ScaleFactor = 0;
  const QImage& previewImage() const { return preview_; }
  // Where the preview puts the table and the footer on the sheet.
  const PageFrame& previewFrame() const { return frame_; }

  // Seams for tests: whether a printer is installed, where the PDF goes when there is no printer
  // (given the proposed path; empty: not saved), opening a saved PDF, the sink itself, and the
  // print dialog (true: print with the choices made on `printer`).
  std::function<bool()> printerAvailable;
  std::function<QString(const QString& proposed)> askPdfPath;
  std::function<void(const QString& path)> openPdf;
  std::function<std::unique_ptr<PageSink>()> sinkOverride;
  std::function<bool(QPrinter& printer, int pages)> askPrinter;

 protected:
  bool event(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void showEvent(QShowEvent* e) override;

 private:
  void createControls();
  void placeControls();
  // The preview image for the size chosen, blank.
  void setUpPreviewImage();
  void drawPreview();
  // The sheet's size in screen pixels at 100 %.
  QSizeF realSizePx() const;
  // The sheet on the picture, in the painter's (device-independent) pixels.
  QRectF previewArea() const;
  void watchKeys();
  void createCommands();
  bool watchedWheel(QWheelEvent* wheel);
  void updateLabel();
  void showZoomChoice();
  bool runDialog(QPrinter& printer, int pages);
  // The first record of every page when the table is drawn on `measure` within `frame`.
  std::vector<int> paginate(DrawingSurface& measure, const PageFrame& frame);
  // The preview's pages, measured as on paper; kept while the list and the layout stay.
  void updatePreviewPages();
  // The table's page and its footer.
  void drawPage(DrawingSurface& target, double factor, int page, const PageFrame& frame,
                const std::vector<int>& starts);
  // Draws pages first .. last (0-based, clipped to the document) on the sink; false when
  // the sink failed (the document is dropped).
  bool printPages(PageSink& sink, int first, int last);
  // Prints on the sink and tells the user how it went; true when it was delivered.
  bool deliver(PageSink& sink, int first, int last, const QString& pdfPath);
  void reportPrintFailure(const QString& reason, const QString& pdfPath);
  void reportPdfSaved(const QString& path);

  Module1& m_;
  QImage preview_;
  PageFrame frame_;
  std::vector<int> starts_{0};
  std::optional<quint64> hashedGeneration_;  // the folder's generation bytesHash_ is of
  size_t bytesHash_ = 0;
  int shownPage_ = 0;
  int wheelAngle_ = 0;  // wheel turns not yet worth a page
  QString status_;      // what became of the last print, shown until the page changes
  Fit fit_ = Fit::Window;
  double zoom_ = 100;       // per cent, for Fit::Zoom
  double loadWidthPx_ = 0;  // the sheet's width on the picture when ScaleFactor was measured
  bool unloaded_ = false;
  KeyCommands commands_{this};
  bool printing_ = false;
  bool stopped_ = false;  // the user stopped the last print
};

}  // namespace velnor
