#pragma once
// The print image window: a one-third-size preview of the B5 page and printing it.

#include <QDateTime>
#include <QDialog>
#include <QImage>
#include <QRectF>
#include <functional>
#include <memory>

#include "ui/print/print_output.h"

class QLabel;
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
  // Draws the first page of the table; a folder longer than a page continues on more.
  void draw_rutin(DrawingSurface& target, double factor);
  void draw_rutin(DrawingSurface& target, double factor, int page);

  // True once the window was closed (OK, F4, close box); printing only hides it.
  bool isUnloaded() const { return unloaded_; }
  double ScaleFactor = 0;
  const QImage& previewImage() const { return preview_; }

  // Seams for tests: whether a printer is installed, the clock that names the PDF, the
  // folder the PDF goes to (empty: the program folder), and the sink itself.
  std::function<bool()> printerAvailable;
  std::function<QDateTime()> clock;
  QString pdfFolder;
  std::function<std::unique_ptr<PageSink>()> sinkOverride;

 protected:
  bool event(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void createControls();
  void placeControls();
  void setUpPreviewImage();
  // The whole picture, in the painter's (device-independent) pixels.
  QRectF previewArea() const;
  void watchKeys();
  bool countPeople();
  // Draws every page on the sink; false when the sink failed (the document is dropped).
  bool printPages(PageSink& sink);
  void reportPrintFailure(const QString& reason, const QString& pdfPath);

  Module1& m_;
  QImage preview_;
  bool unloaded_ = false;
  bool printing_ = false;
};

}  // namespace velnor
