// The settings screen's controls: where they go, their captions, colours and fonts,
// and the version panel.
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

#include "core/module1.h"
#include "core/reorder.h"
#include "ui/common/fonts.h"
#include "ui/common/twips.h"
#include "ui/common/window_design.h"
#include "ui/settings/form4.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {

namespace {

constexpr int kClientWidth = 4764;  // twips
constexpr int kClientHeight = 4212;
constexpr int kButtonHeight = 252;
constexpr int kTextHeight = 264;
constexpr int kLabelHeight = 240;
constexpr qint32 kMarkerColor = 0x00FFFF;

void placeTwips(QWidget* w, int left, int top, int width, int height) {
  w->setGeometry(twipsToPx(left), twipsToPx(top), twipsToPx(width), twipsToPx(height));
}

QLabel* makeLabel(QWidget* parent, const QString& text, int left, int top, int width = 0) {
  auto* label = new QLabel(text, parent);
  if (width <= 0) width = int(pxToTwips(label->sizeHint().width())) + 30;
  placeTwips(label, left, top, width, kLabelHeight);
  return label;
}

QPushButton* makeButton(QWidget* parent, const QString& text, int left, int top, int width) {
  auto* button = new QPushButton(text, parent);
  // Enter in a value box must not press a button behind the user's back.
  button->setAutoDefault(false);
  button->setDefault(false);
  placeTwips(button, left, top, width, kButtonHeight);
  return button;
}

QComboBox* makeChooser(QWidget* parent, const QStringList& items, int left, int top, int width) {
  auto* combo = new QComboBox(parent);
  combo->addItems(items);
  combo->setGeometry(twipsToPx(left), twipsToPx(top), twipsToPx(width), combo->sizeHint().height());
  return combo;
}

void setColorRole(QWidget* w, QPalette::ColorRole role, qint32 color) {
  QPalette p = w->palette();
  p.setColor(role, fromBgr(color));
  w->setPalette(p);
}

QPixmap programIcon(int side) {
  const QIcon appIcon = QApplication::windowIcon();
  if (!appIcon.isNull()) return appIcon.pixmap(side, side);
  QPixmap pixmap(side, side);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(fromBgr(0x0000C0), 1.5));
  painter.setBrush(fromBgr(0xC0FFC0));
  painter.drawRoundedRect(QRectF(1, 1, side - 2, side - 2), 4, 4);
  QFont font(kGothic);
  font.setBold(true);
  font.setPixelSize(side * 2 / 3);
  painter.setFont(font);
  painter.drawText(pixmap.rect(), Qt::AlignCenter, u"V"_s);
  return pixmap;
}

}  // namespace

MarkerShape::MarkerShape(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void MarkerShape::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QPen pen(fromBgr(kMarkerColor));
  pen.setWidth(3);
  pen.setJoinStyle(Qt::MiterJoin);
  painter.setPen(pen);
  // The outline lies inside the square, like the swatch it frames.
  painter.drawRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5));
}

Form4::Form4(Module1& module, QWidget* parent) : QDialog(parent), m(module) {
  setWindowTitle(u"設定画面"_s);
  setFont(QFont(kPGothic, 9));
  setFixedSize(twipsToPx(kClientWidth), twipsToPx(kClientHeight));
  setAutoFillBackground(true);
  buildVersionPanel();  // first, so that the frame covers it
  buildSettingsPanel();
  buildBottomButtons();
  fitChoosers();
  makeRoomForOtherColours();
  connectHandlers();
  Form_Load();
}

void Form4::Form_Load() {
  setOuterLeftTopTwips(this, m.MainLeft, m.MainTop);
  // Whole on a screen, even where the main window was stored near an edge or off it;
  // the frame, not there before the window is shown, is taken as the main window's.
  const QSize outer =
      size() + QSize(twipsToPx(kMainDesignFrame.width()), twipsToPx(kMainDesignFrame.height()));
  move(keptOnScreen(QRect(pos(), outer), outer).topLeft());
  createCommands();
  installKeyPreview();
}

void Form4::buildSettingsPanel() {
  Frame1 = new QGroupBox(u"基本設定"_s, this);
  placeTwips(Frame1, 60, 60, 4632, 3732);
  Frame1->setAutoFillBackground(true);
  buildColorRows();
  buildSteppers();
  buildSpanAndOrder();
}

void Form4::buildColorRows() {
  Label1 = makeLabel(Frame1, u"文字色"_s, 120, 300);
  Combo1 = makeChooser(Frame1, {u"一覧表の文字色"_s, u"入力画面の文字色"_s}, 780, 240, 1692);
  Label2 = makeLabel(Frame1, u"背景色"_s, 120, 720);
  Combo2 = makeChooser(Frame1, {u"フォームの背景色"_s, u"表示欄の背景色"_s, u"ボタンの背景色"_s},
                       780, 660, 1692);
  for (int i = 0; i < 16; ++i) {
    auto* swatch = new QLabel(Frame1);
    swatch->setAutoFillBackground(true);
    setColorRole(swatch, QPalette::Window, kSwatchColors[i]);
    placeTwips(swatch, kSwatchLeft0 + kSwatchStep * (i % 8), i < 8 ? 240 : 660, 252, 252);
    swatch->setFocusPolicy(Qt::StrongFocus);  // Tab reaches it, Space or Enter chooses it
    swatch->setAccessibleName((i < 8 ? u"文字色の見本 %1"_s : u"背景色の見本 %1"_s).arg(i % 8 + 1));
    Label6[i] = swatch;
  }
  for (int row = 0; row < 2; ++row) {
    OtherColor[row] = new QPushButton(u"その他…"_s, Frame1);
    OtherColor[row]->setAutoDefault(false);
    OtherColor[row]->setToolTip(u"ほかの色を選びます。"_s);
    OtherColor[row]->setAccessibleName(row == 0 ? u"ほかの文字色"_s : u"ほかの背景色"_s);
  }
  Combo1->setAccessibleName(u"文字色を変えるところ"_s);
  Combo2->setAccessibleName(u"背景色を変えるところ"_s);
  Shape1 = new MarkerShape(Frame1);
  placeTwips(Shape1, kSwatchLeft0, 240, 252, 252);
  Shape2 = new MarkerShape(Frame1);
  placeTwips(Shape2, kSwatchLeft0, 660, 252, 252);
}

// In some fonts the colour choosers' entries are wider than designed ("入力画面の文字色"
// was cut off): the choosers grow, and the swatches and the window move over to make room.
void Form4::fitChoosers() {
  int needed = 0;
  for (QComboBox* combo : {Combo1, Combo2}) {
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    needed = std::max(needed, combo->sizeHint().width());
  }
  for (QComboBox* combo : {Combo1, Combo2})
    combo->resize(std::max(combo->width(), needed), combo->height());
  const int gap = twipsToPx(kSwatchLeft0 - 780 - 1692);  // as designed
  const int shift = std::max(0, Combo1->geometry().right() + 1 + gap - Label6[0]->x());
  if (shift == 0) return;
  for (QWidget* w : Label6) {
    if (w->parentWidget() == Frame1) w->move(w->x() + shift, w->y());
  }
  for (QWidget* w : {Shape1, Shape2}) w->move(w->x() + shift, w->y());
  Frame1->resize(Frame1->width() + shift, Frame1->height());
  Command5->move(Command5->x() + shift, Command5->y());
  setFixedSize(width() + shift, height());
}

// "その他…" follows the last swatch of its row; the frame and the window grow to hold it.
void Form4::makeRoomForOtherColours() {
  int right = 0;
  for (int row = 0; row < 2; ++row) {
    const QRect last = Label6[row * 8 + 7]->geometry();
    QPushButton* b = OtherColor[row];
    b->setGeometry(last.right() + 1 + twipsToPx(60), last.top(), b->sizeHint().width(),
                   last.height());
    right = std::max(right, b->geometry().right());
  }
  const int shift = std::max(0, right + 1 + twipsToPx(60) - Frame1->width());
  if (shift == 0) return;
  Frame1->resize(Frame1->width() + shift, Frame1->height());
  Command5->move(Command5->x() + shift, Command5->y());
  setFixedSize(width() + shift, height());
}

void Form4::buildSteppers() {
  Label4 = makeLabel(Frame1, u"行の高さ"_s, 120, 1140);
  Command1 = makeButton(Frame1, u"▼"_s, 960, 1080, 372);
  Text1 = new QLineEdit(Frame1);
  placeTwips(Text1, 1320, 1080, 432, kTextHeight);
  Command2 = makeButton(Frame1, u"▲"_s, 1740, 1080, 372);

  Label14 = makeLabel(Frame1, u"補足情報の文字の大きさ"_s, 120, 1560, 2172);
  Command7 = makeButton(Frame1, u"▼"_s, 2220, 1500, 372);
  Text2 = new QLineEdit(Frame1);
  placeTwips(Text2, 2580, 1500, 432, kTextHeight);
  Command6 = makeButton(Frame1, u"▲"_s, 3000, 1500, 372);
  const std::pair<QWidget*, QString> names[] = {{Text1, u"行の高さ"_s},
                                                {Command1, u"行を低くする"_s},
                                                {Command2, u"行を高くする"_s},
                                                {Text2, u"補足情報の文字の大きさ"_s},
                                                {Command7, u"文字を小さくする"_s},
                                                {Command6, u"文字を大きくする"_s}};
  for (const auto& [control, name] : names) control->setAccessibleName(name);
  for (QLineEdit* box : {Text1, Text2}) {
    box->setAlignment(Qt::AlignRight);
    box->setTextMargins(0, 0, 0, 0);
  }
}

void Form4::buildSpanAndOrder() {
  Label8 = makeLabel(Frame1, u"表示"_s, 120, 1920);
  Combo6 = makeChooser(Frame1, {u"1年間表示"_s, u"6ヵ月表示"_s, u"3ヶ月表示"_s}, 960, 1920, 1692);
  Combo6->setPlaceholderText(u"１年間表示"_s);
  Combo6->setAccessibleName(u"表示する月数"_s);
  Combo6->setCurrentIndex(-1);

  Label3 = makeLabel(Frame1, u"並べ替え"_s, 120, 2400);
  const struct {
    int index;
    const char16_t* text;
    int top, width;
  } options[] = {{reorder::kByTerritory, u"区域欄を基準にする", 2400, 2592},
                 {reorder::kByName, u"名前欄を基準にする", 2640, 2532},
                 {reorder::kByThisMonth, u"今月の日付欄を基準にする", 2880, 2712}};
  for (const auto& o : options) {
    auto* option = new QRadioButton(QString::fromUtf16(o.text), Frame1);
    // Buttons take the Button role; these take the window's colour instead. They are
    // not filled, so they blend with the frame whatever shade the style gives it.
    option->setBackgroundRole(QPalette::Window);
    placeTwips(option, 1200, o.top, o.width, kLabelHeight);
    Option2[o.index] = option;
  }
  Command8 = makeButton(Frame1, u"新しい年へ(&N)"_s, 1200, 3240, 2112);
  Command8->setToolTip(u"この1年の記録を別のフォルダーに残し、月の日付を空にします。(Alt+N)"_s);
}

void Form4::buildBottomButtons() {
  Command3 = makeButton(this, u"すべて標準にする"_s, 60, 3900, 1932);
  Command3->setToolTip(u"標準の設定に戻します…"_s);
  Command4 = makeButton(this, u"バージョン情報"_s, 2160, 3900, 1812);
  Command4->setToolTip(u"バージョン情報を表示します。"_s);
  Command5 = makeButton(this, u"OK"_s, 4200, 3900, 432);
  Command5->setToolTip(u"戻ります。(F4・Esc)"_s);
}

void Form4::buildVersionPanel() {
  Image1 = new QLabel(this);
  placeTwips(Image1, 120, 120, 4428, 2280);

  auto versionLabel = [this](const QString& text, qint32 color, int left, int top, int width) {
    QLabel* label = makeLabel(this, text, left, top, width);
    label->setFont(QFont(kMincho, 9));
    setColorRole(label, QPalette::WindowText, color);
    return label;
  };
  Label13 = versionLabel(u"Velnor"_s, 0x0000C0, 540, 300, 2652);
  QFont title(kGothic, 14);
  title.setBold(true);
  Label13->setFont(title);
  placeTwips(Label13, 540, 300, 2652, 372);
  Label12 = versionLabel(u"for windows95/98"_s, 0x800080, 1680, 600, 1932);
  Label11 = versionLabel(u"バージョン："_s, 0x0000C0, 780, 840, 2652);
  Label9 = versionLabel(u"© Velnor 開発チーム"_s, 0x0040C0, 780, 1080, 1932);
  Label10 = versionLabel(u"初完成日：1999/6/10"_s, 0x000080, 780, 1320, 1992);
  Label6[16] = versionLabel(u"起動回数："_s, 0x008000, 780, 1560, 2352);
  Label6[17] = versionLabel(u"連絡先（E mail）："_s, 0x808000, 780, 1800, 1752);
  Label6[18] = versionLabel(u"info@velnor.example"_s, 0x800080, 1140, 1980, 2532);

  Image2 = new QLabel(this);
  placeTwips(Image2, 3960, 240, 432, 432);
  Image2->setPixmap(programIcon(twipsToPx(432)));
  Image2->setToolTip(
      u"このプログラムを使用して生じたいかなる問題にも、開発者は責任を負いません…"_s);
}

void Form4::connectHandlers() {
  connect(Combo1, &QComboBox::activated, this, [this] { Combo1_Click(); });
  connect(Combo2, &QComboBox::activated, this, [this] { Combo2_Click(); });
  connect(Combo6, &QComboBox::activated, this, [this] { Combo6_Click(); });
  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
  connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
  connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
  connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
  connect(Command6, &QPushButton::clicked, this, [this] { Command6_Click(); });
  connect(Command7, &QPushButton::clicked, this, [this] { Command7_Click(); });
  connect(Command8, &QPushButton::clicked, this, [this] { Command8_Click(); });
  for (int row = 0; row < 2; ++row)
    connect(OtherColor[row], &QPushButton::clicked, this, [this, row] { OtherColor_Click(row); });
  for (int i = reorder::kByTerritory; i <= reorder::kByThisMonth; ++i)
    connect(Option2[i], &QRadioButton::clicked, this, [this, i] { Option2_Click(i); });
}

void Form4::installKeyPreview() {
  installEventFilter(this);
  for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
}

void Form4::colorOwnWindow() {
  setColorRole(this, QPalette::Window, m.BackColors[0]);
  setColorRole(Frame1, QPalette::Window, m.BackColors[0]);
  for (int i = reorder::kByTerritory; i <= reorder::kByThisMonth; ++i)
    setColorRole(Option2[i], QPalette::Window, m.BackColors[0]);
  for (QPushButton* b :
       {Command1, Command2, Command3, Command4, Command5, Command6, Command7, Command8})
    setColorRole(b, QPalette::Button, m.BackColors[2]);
}

}  // namespace velnor
