// The input screen keeps its designed proportions at any size: every control and its
// font scale with the inner size, measured against the 4992 × 4584 twips design.

#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <cmath>

#include "ui/common/proportional_layout.h"
#include "ui/common/twips.h"
#include "ui/common/window_design.h"
#include "ui/entry/form3.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {

namespace {

using DesignRect = ProportionalLayout::Place;

constexpr DesignRect kButton1{60, 120, 492, 252};
constexpr DesignRect kButton2{600, 120, 492, 252};
constexpr DesignRect kButton4{1140, 120, 492, 252};
constexpr DesignRect kButton5{4440, 120, 492, 252};
constexpr DesignRect kButton6{4440, 480, 492, 252};
constexpr DesignRect kCombo{1800, 120, 2472, 0};
constexpr DesignRect kNameList{60, 480, 1512, kInputNameListDesignHeight};
constexpr DesignRect kTerritory{2160, 480, 1272, 252};
constexpr DesignRect kName{2160, 780, 2772, 252};
constexpr DesignRect kNote{1620, 1260, 3312, 1392};
constexpr DesignRect kMonthInfo{2280, 3780, 2652, 672};
constexpr DesignRect kLabel2{120, 480, 1500, 192};
constexpr DesignRect kLabel6{1620, 540, 1500, 192};
constexpr DesignRect kLabel5{1620, 780, 1500, 192};
constexpr DesignRect kLabel3{1620, 1080, 1500, 192};
constexpr DesignRect kLabel4{1620, 2700, 1500, 192};
constexpr DesignRect kLabel8{1620, 3900, 732, 432};

constexpr double kCellLefts[4] = {1800, 2640, 3480, 4320};
constexpr double kMonthLabelLefts[4] = {1620, 2460, 3300, 4140};
constexpr double kRowTops[3] = {2880, 3180, 3480};
constexpr double kCellWidth = 612, kCellHeight = 252;
constexpr double kMonthLabelWidth = 180;  // month labels do not grow with the window

void setPoints(QWidget* w, double points) {
  QFont f = w->font();
  f.setPointSizeF(std::max(1.0, points));
  w->setFont(f);
}

// Shrinks the caption's type until `widest`, its longest text, fits its box whole: the
// type follows the window's height, the box its width too.
void fitCaption(QLabel* caption, const QString& widest) {
  QFont f = caption->font();
  const QRect box = caption->contentsRect();
  const auto needed = [&] {
    return QFontMetrics(f).boundingRect(box, int(caption->alignment()), widest).size();
  };
  for (int tries = 0; tries < 8; ++tries) {
    const QSize n = needed();
    if (n.width() <= box.width() && n.height() <= box.height()) break;
    const double shrink = std::min(double(box.width()) / std::max(1, n.width()),
                                   double(box.height()) / std::max(1, n.height()));
    const double points = f.pointSizeF() * std::min(0.95, shrink);
    if (points < 0.5) break;
    f.setPointSizeF(points);
  }
  caption->setFont(f);
  // A window squeezed to a sliver: the caption, behind the boxes, takes the room it needs.
  const QSize grown = caption->size() + (needed() - box.size()).expandedTo(QSize(0, 0));
  if (grown != caption->size()) caption->resize(grown);
}

}  // namespace

void Form3::createLayout() {
  layout_ =
      new ProportionalLayout(this, QSizeF(kInputDesignInner.width(), kInputDesignInner.height()));
  const std::pair<QWidget*, DesignRect> places[] = {
      {Command1, kButton1}, {Command2, kButton2}, {Command4, kButton4}, {Command5, kButton5},
      {Command6, kButton6}, {Combo1, kCombo},     {List2, kNameList},   {Text3, kTerritory},
      {Text2, kName},       {Text1.note, kNote},  {Text4, kMonthInfo},  {Label2, kLabel2},
      {Label6, kLabel6},    {Label5, kLabel5},    {Label3, kLabel3},    {Label4, kLabel4},
      {Label8, kLabel8}};
  for (const auto& [control, place] : places) layout_->add(control, place);
  for (int month = 1; month <= 12; ++month) {
    const int column = (month - 1) % 4;
    const int row = (month - 1) / 4;
    layout_->add(monthCell(month), {kCellLefts[column], kRowTops[row], kCellWidth, kCellHeight});
    layout_->add(Label7[month - 1],
                 {kMonthLabelLefts[column], kRowTops[row], kMonthLabelWidth, kCellHeight},
                 ProportionalLayout::Width::Fixed);
  }
  // Nothing moves while a person is being put into the boxes.
  layout_->ready = [this] { return m.EditsEnabled; };
  // Fonts first: the chooser's height follows its font.
  layout_->beforePlacing = [this](double W, double H) { scaleFonts(W, H); };
  layout_->afterPlacing = [this](double, double) {
    fitCaption(Label8, u" 12月の\n情報"_s);
    // Captions sit behind the boxes they name, as the design overlaps them.
    for (QLabel* l : {Label2, Label3, Label4, Label5, Label6, Label8}) l->lower();
    for (QLabel* l : Label7) l->lower();
  };
}

void Form3::layOut() { layout_->layOutNow(); }

void Form3::scaleFonts(double W, double H) {
  const std::array<QPushButton*, 5> buttons{Command1, Command2, Command4, Command5, Command6};
  const bool buttonsNarrow = (kButton1.width * W) / (kButton1.height * H) < 492.0 / 252.0;
  // The five buttons are equally wide, so "its own width / 70" is one value.
  for (QPushButton* b : buttons) setPoints(b, buttonsNarrow ? kButton1.width * W / 70 : 8 * H);
  for (QWidget* w :
       {static_cast<QWidget*>(Combo1), static_cast<QWidget*>(Text2), static_cast<QWidget*>(Text3)})
    setPoints(w, 9 * H);
  for (QWidget* w : {static_cast<QWidget*>(Text4), static_cast<QWidget*>(Text1.note),
                     static_cast<QWidget*>(List2)})
    setPoints(w, m.NoteFontSize * H);
  const bool captionsNarrow = (kLabel3.width * W) / (kLabel3.height * H) < 1500.0 / 192.0;
  const double captionPoints = captionsNarrow ? kLabel2.width * W / 150 : kLabel2.height * H / 30;
  for (QLabel* l : {Label2, Label3, Label4, Label5, Label6, Label8}) setPoints(l, captionPoints);
  for (QLineEdit* cell : Text1.months) setPoints(cell, 9 * H);
  for (QLabel* label : Label7) setPoints(label, kMonthLabelWidth / 35);
}

}  // namespace velnor
