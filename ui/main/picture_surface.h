#pragma once
// The list picture's kept image: the table is drawn once into an off-screen image that
// the widget shows until the next clear, so repaints never redraw the table.

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <memory>

#include "core/drawing_surface.h"

namespace velnor {

class PictureSurface : public DrawingSurface {
 public:
  PictureSurface();
  ~PictureSurface() override;

  // Starts a new image of `size` device-independent pixels filled with `background`
  // (0x00BBGGRR). `dpr` is the screen's device pixel ratio.
  void clear(QSize size, qreal dpr, qint32 background);
  // The logical width and height that span the whole image.
  void setScale(double width, double height);
  double scaleWidth() const { return scaleW_; }
  double scaleHeight() const { return scaleH_; }
  // Current font size in points (pp_reduc resets it).
  double fontPoints() const { return font_.pointSizeF(); }

  // The finished image (drawing so far is flushed).
  const QImage& image();
  QSize size() const;  // device-independent pixels

  // Logical to pixel coordinates, and back.
  double toPxX(double x) const;
  double toPxY(double y) const;
  double toLogicalX(double px) const;
  double toLogicalY(double px) const;

  void setFont(const QString& name, double points) override;
  void setTextColor(qint32 color) override;
  void setLineWidth(int pixels) override;
  void fillBox(double x, double y, double width, double height, qint32 color) override;
  void outlineBox(double x, double y, double width, double height, qint32 color) override;
  void drawText(double x, double y, const QString& text) override;
  QSizeF measureText(const QString& fontName, double points, const QString& text) override;

 private:
  QPainter& painter();
  QRect pixelRect(double x, double y, double width, double height) const;
  void endPainting();

  QImage image_;
  std::unique_ptr<QPainter> painter_;
  double scaleW_ = 160;
  double scaleH_ = 260;
  QFont font_;
  std::unique_ptr<QFontMetricsF> metrics_;
  QColor textColor_{Qt::black};
  int lineWidth_ = 1;
};

}  // namespace velnor
