// How long the input screen and the print window take to open, against a message box
// opened in the same run over the same main window: each from the command until the
// window is on the screen and drawn, the median of several openings, at 30 and 32,767
// people. Run on a real display: xvfb-run -a build-bench/bench/velnor_window_bench
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "bench/bench_folder.h"
#include "core/module1.h"
#include "ui/common/fonts.h"
#include "ui/entry/form3.h"
#include "ui/main/form1.h"
#include "ui/print/form2.h"

using namespace Qt::Literals::StringLiterals;

namespace velnor {
namespace {

constexpr int kOpenings = 7;

struct Openings {
  double first = -1, median = -1;
};

// Milliseconds from `open` until the window it returns is exposed and its events are
// handled; `close` then takes it away. The first opening (which loads what the window
// needs the first time) and the median of kOpenings.
Openings openMs(const std::function<QWidget*()>& open, const std::function<void(QWidget*)>& close) {
  std::vector<double> times;
  for (int i = 0; i < kOpenings; ++i) {
    QElapsedTimer timer;
    timer.start();
    QWidget* window = open();
    if (!window || !QTest::qWaitForWindowExposed(window, 10000)) return {};
    QCoreApplication::processEvents();
    times.push_back(double(timer.nsecsElapsed()) / 1e6);
    close(window);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
  }
  const double first = times.front();
  std::sort(times.begin(), times.end());
  return {first, times[times.size() / 2]};
}

void measure(int people) {
  bench::QuietShell shell;
  Module1 m(bench::programFolder(people));
  shell.module = &m;
  shell.openInput = true;
  m.shell = &shell;
  Form1 main(m);
  main.Form_Load();
  main.show();
  (void)QTest::qWaitForWindowExposed(&main, 10000);

  const Openings box = openMs(
      [&]() -> QWidget* {
        auto* b = new QMessageBox(QMessageBox::Information, u"印刷"_s, u"プリンターに送りました"_s,
                                  QMessageBox::Ok, &main);
        b->show();
        return b;
      },
      [](QWidget* w) { w->deleteLater(); });
  const Openings input = openMs(
      [&]() -> QWidget* {
        main.Command8->click();
        return dynamic_cast<Form3*>(m.inputScreen);
      },
      [&](QWidget*) { main.Command8->click(); });
  const Openings print = openMs(
      [&]() -> QWidget* {
        auto* f = new Form2(m, &main);
        f->show();
        return f;
      },
      [](QWidget* w) { w->deleteLater(); });
  for (const auto& [name, o] :
       {std::pair{"first", &Openings::first}, {"median", &Openings::median}})
    std::printf(
        "%6d people, %-6s  message box %7.1f ms  input screen %7.1f ms (%.2f×)  "
        "print window %7.1f ms (%.2f×)\n",
        m.PersonCount, name, box.*o, input.*o, input.*o / box.*o, print.*o, print.*o / box.*o);
  m.ProgramEnded = true;  // nothing asks or stores at the end
}

}  // namespace
}  // namespace velnor

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
    std::fprintf(stderr, "needs a display: xvfb-run -a %s\n", argv[0]);
    return 2;
  }
  QApplication app(argc, argv);
  velnor::installFontSubstitutions();
  for (const int people : {30, 32767}) velnor::measure(people);
  return 0;
}
