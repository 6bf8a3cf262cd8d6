#pragma once
// The print image window: a one-third-size preview of the B5 page and printing it.

#include <QDateTime>
#include <QDialog>
#include <QImage>
#include <QRectF>
#include <functional>
#include <memory>

#include "ui/print/page_surface.h"
#include "ui/print/print_output.h"

class QLabel;
class QPrinter;
class QPushButton;

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
  QPushButton* Command1 = nullptr;  // 印刷
  QPushButton* Command2 = nullptr;  // hidden: draws the image
  QPushButton* Command5 = nullptr;  // OK

  void Form_Load();
  void Form_Activate();
  void Form_KeyUp(int keyCode);
  void Form_Unload();
  void Command1_Click();
  void Command2_Click();
  void Command5_Click();
  double pp_reduc();
  // Draws the table's part on page `page` (0-based) of the preview's frame; a folder
  // longer than a page continues on more, each with its header row.
  void draw_rutin(DrawingSurface& target, double factor, int page = 0);
  void draw_rutin(DrawingSurface& target, double factor, int page, const PageFrame& frame);

  // The page the preview shows (0-based) and the number of pages.
  int shownPage() const { return shownPage_; }
  int pages() const;
  void showPage(int page);
  // Ctrl+P: the print dialog (printer, copies, pages), then printing with its choices.
  void printWithDialog();

  // True once the window was closed (OK, F4, close box); printing to a file hides it.
  bool isUnloaded() const { return unloaded_; }
  double ScaleFactor = 0;
  const QImage& previewImage() const { return preview_; }
  // Where the preview puts the table and the footer on the sheet.
  const PageFrame& previewFrame() const { return frame_; }

  // Seams for tests: whether a printer is installed, the clock that names the PDF and
  // dates the pages, the folder the PDF goes to (empty: the program folder), the sink
  // itself, the print dialog (true: print with the choices made on `printer`), and a
  // device between the PDF writer and the file.
  std::function<bool()> printerAvailable;
  std::function<QDateTime()> clock;
  QString pdfFolder;
  std::function<std::unique_ptr<PageSink>()> sinkOverride;
  std::function<bool(QPrinter& printer, int pages)> askPrinter;
  DeviceFilter pdfFilter;

 protected:
  bool event(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void showEvent(QShowEvent* e) override;

 private:
  void createControls();
  void placeControls();
  void setUpPreviewImage();
  // The whole sheet on the picture, in the painter's (device-independent) pixels.
  QRectF previewArea() const;
  void watchKeys();
  bool watchedKeyPress(QKeyEvent* key);
  bool watchedWheel(QWheelEvent* wheel);
  void updateLabel();
  bool runDialog(QPrinter& printer, int pages);
  // The table's page and its footer.
  void drawPage(DrawingSurface& target, double factor, int page, const PageFrame& frame);
  // Draws pages first .. last (0-based, clipped to the document) on the sink; false when
  // the sink failed (the document is dropped).
  bool printPages(PageSink& sink, int first, int last);
  // Prints on the sink and tells the user how it went; true when it was delivered.
  bool deliver(PageSink& sink, int first, int last, const QString& pdfPath);
  void reportPrintFailure(const QString& reason, const QString& pdfPath);

  Module1& m_;
  QImage preview_;
  PageFrame frame_;
  int shownPage_ = 0;
  int wheelAngle_ = 0;  // wheel turns not yet worth a page
  QString status_;      // what became of the last print, shown until the page changes
  bool unloaded_ = false;
  bool printing_ = false;
};

}  // namespace velnor
