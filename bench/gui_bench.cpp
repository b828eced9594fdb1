// Times the window's work on large logs, on whatever platform QT_QPA_PLATFORM names (the
// benchmark driver uses offscreen). One measurement per process, so that the peak resident
// memory belongs to that measurement alone:
//   gui-bench open FILE     open as "Open" does (load, fill the table, select row 1) and paint
//   gui-bench select FILE   open, then select the last row anew and paint both panes
//   gui-bench fill FILE     load, then fill the table and paint it
//   gui-bench find FILE     open and select the last row, then type a needle into the find bar
//                           and wait until the log pane has selected the first match from its
//                           top, the matches are counted and the pane has painted
// Prints "ms=<milliseconds> max_rss_kib=<peak resident memory>".
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <cstdio>
#include <functional>

#include "DisplayForm.h"
#include "FindBar.h"
#include "RunsView.h"
#include "TextPane.h"

namespace {

// In the generated run of a million lines it matches steps 999991 and 999992 only, both among its
// last hundred lines: finding it from the top reads nearly all of the run, and so does counting.
const QString kFindNeedle = QStringLiteral("step 99999");

}  // namespace

class GuiBenchmark {
 public:
  explicit GuiBenchmark(TFormDisplay& form) : form_(form) {}

  double Open(const QString& file) {
    return Milliseconds([&] {
      form_.OpenLogFile(file);
      form_.repaint();
    });
  }

  double SelectLastRow(const QString& file) {
    form_.OpenLogFile(file);
    form_.RunsView->SetSelectedIndex(-1);
    form_.repaint();
    return Milliseconds([&] {
      form_.RunsView->SetSelectedIndex(form_.RunsView->RowCount() - 1);
      form_.LogMemo->repaint();
      form_.ScriptMemo->repaint();
    });
  }

  // A negative time: the needle was not found.
  double Find(const QString& file) {
    form_.OpenLogFile(file);
    form_.RunsView->SetSelectedIndex(form_.RunsView->RowCount() - 1);
    form_.LogMemo->setFocus();
    QTest::keyClick(&form_, Qt::Key_F, Qt::ControlModifier);
    form_.repaint();
    const TFindBar& bar = *form_.findChild<TFindBar*>();
    const double ms = Milliseconds([&] {
      bar.NeedleEdit()->insert(kFindNeedle);
      // The bar shows the count, or that there is no match, once the search is done.
      while (!bar.Status().endsWith(QLatin1String("match")) &&
             !bar.Status().endsWith(QLatin1String("matches"))) {
        QApplication::processEvents();
      }
      form_.LogMemo->repaint();
    });
    return form_.LogMemo->HasSelection() ? ms : -1;
  }

  double Fill(const QString& file) {
    form_.LoadLogFile(file);
    return Milliseconds([&] {
      form_.FillRunsView();
      form_.RunsView->repaint();
    });
  }

 private:
  static double Milliseconds(const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
  }

  TFormDisplay& form_;
};

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  const QStringList arguments = QApplication::arguments();
  if (arguments.size() != 3) {
    std::fprintf(stderr, "usage: gui-bench open|select|fill|find FILE\n");
    return 2;
  }
  TFormDisplay form;
  form.show();
  QApplication::processEvents();
  GuiBenchmark benchmark(form);
  const QString& mode = arguments[1];
  const QString& file = arguments[2];
  double ms = 0;
  if (mode == QLatin1String("open")) {
    ms = benchmark.Open(file);
  } else if (mode == QLatin1String("select")) {
    ms = benchmark.SelectLastRow(file);
  } else if (mode == QLatin1String("fill")) {
    ms = benchmark.Fill(file);
  } else if (mode == QLatin1String("find")) {
    ms = benchmark.Find(file);
  } else {
    std::fprintf(stderr, "unknown mode %s\n", qPrintable(mode));
    return 2;
  }
  if (ms < 0) {
    std::fprintf(stderr, "\"%s\" is not in the log pane of %s\n", qPrintable(kFindNeedle),
                 qPrintable(file));
    return 1;
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("ms=%.1f max_rss_kib=%ld\n", ms, usage.ru_maxrss);
  return 0;
}
