// Times the window's work on large logs, on whatever platform QT_QPA_PLATFORM names (the
// benchmark driver uses offscreen). One measurement per process, so that the peak resident
// memory belongs to that measurement alone:
//   gui-bench open FILE     open as "Open" does (load, fill the table, select row 1) and paint
//   gui-bench select FILE   open, then select the last row anew and paint both panes
//   gui-bench first FILE    open, until the first rows are in the table and row 1's panes are
//                           filled and painted (the rest of the load is not counted)
//   gui-bench gap FILE      open, and report the longest stretch of the load in which the GUI
//                           thread handled no event
//   gui-bench fill FILE     open and paint the table, less a load of the same file into a
//                           document that no window shows: what the table adds
//   gui-bench find FILE     open and select the last row, then type a needle into the find bar
//                           and wait until the log pane has selected the first match from its
//                           top, the matches are counted and the pane has painted
//   gui-bench follow FILE   append the start of a running run to FILE (a scratch copy), open it
//                           following, select that run with its log pane at its end, then append
//                           4 KiB of whole lines of the run ten times and take the median time
//                           from each write until the window has taken it in and the table, the
//                           status line and the log pane have painted (the follower's quiet wait
//                           before it reports a change is not counted)
//   gui-bench idle FILE     open FILE following it and report the CPU milliseconds the process
//                           then uses in 5 s while the file does not change
//   gui-bench findruns FILE open, then type a word into Find in runs and wait until every run
//                           is searched and the table has painted its "Matches" column
//   gui-bench cancelruns FILE
//                           open FILE indexed with no row selected, then type eight "z" into
//                           Find in runs a key at a time while the search of the text before
//                           runs, let the last search finish, and close the bar during another
//                           search: "ms" is the longest of the keys and the close that cancelled
//                           a running search, "cancels" how many did, and "search_rss_kib" the
//                           peak resident memory from the first key on less the resident memory
//                           before it
//   gui-bench close FILE    open, and 100 ms into the load close the window and destroy it:
//                           the time the close takes until the window and its reader are gone
//   gui-bench reload-storm FILE
//                           open four times, 30 ms apart, and wait for the last load (the peak
//                           memory is what counts)
//   gui-bench findlogs-cancel FILE
//                           Find in logs over FILE alone, stopped 100 ms in: the time the stop
//                           takes until the search has ended
//   gui-bench indexed-MODE FILE
//                           MODE with the log indexed whatever its size: the window keeps per
//                           run only its fields and byte ranges and reads a run's text from the
//                           file when it shows the run
//   gui-bench held-MODE FILE
//                           MODE with the log's text held in memory whatever its size
// Prints "ms=<milliseconds> max_rss_kib=<peak resident memory>", and cancelruns also
// "cancels=<n> search_rss_kib=<kib>".
#include <sys/resource.h>

#include <fstream>
#include <string>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "DisplayForm.h"
#include "FileFollower.h"
#include "FindBar.h"
#include "LogDocument.h"
#include "LogsSearch.h"
#include "RunsView.h"
#include "StoreLimit.h"
#include "TextPane.h"

namespace {

// In the generated run of a million lines it matches steps 999991 and 999992 only, both among its
// last hundred lines: finding it from the top reads nearly all of the run, and so does counting.
const QString kFindNeedle = QStringLiteral("step 99999");

// In the generated logs only the runs that lose the instrument log it: about 1.5% of them.
const QString kFindInRunsNeedle = QStringLiteral("timeout");
// A simple expression, as a user types one: "Pump A" stands in a warning of one run in a few.
const QString kFindInRunsExpression = QStringLiteral("pump [ab]");

const QLatin1String kIndexedPrefix("indexed-");
const QLatin1String kHeldPrefix("held-");

constexpr int kFollowAppends = 10;
constexpr qsizetype kFollowAppendBytes = 4096;
// Far beyond what taking in an append takes: a round that has not shown it by then fails.
constexpr int kFollowWaitMilliseconds = 10'000;
constexpr int kIdleMilliseconds = 5000;
// Between the keys typed into Find in runs: a search is under way, not done, when the next comes.
constexpr int kKeyMilliseconds = 10;
constexpr int kCancelKeys = 8;

// What cancelruns measures.
struct CancelFigures {
  double longestMs = -1;
  int cancels = 0;
  long searchRssKib = -1;
};

// The start of a run that the control software is still writing: a new entry and its header.
const QByteArray kRunningRun =
    "------ NextPart = Script\r\nMix 5 ul\r\n------ NextPart = LogMessage\r\n"
    "==>loading script \"Bench follow\".\r\nUser: bench\r\nStarted: 2099-12-31 23:59:59\r\n"
    "==>script type: Method\r\nFile name of script: C:\\bench\\follow.vsc\r\n";

// `bytes` bytes of whole message lines of the running run, numbered on from `step`.
QByteArray RunLines(int& step, qsizetype bytes) {
  QByteArray lines;
  while (true) {
    QByteArray line = "23:59:59.999  step " + QByteArray::number(step) +
                      ": aspirate 50.0 ul from plate A, well B7, at 25.0 mm/s\r\n";
    if (lines.size() + line.size() > bytes) {
      lines += QByteArray(bytes - lines.size() - 2, '.') + "\r\n";  // the last line fills up
      return lines;
    }
    lines += line;
    ++step;
  }
}

bool AppendTo(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::Append) && file.write(bytes) == bytes.size();
}

// A field of /proc/self/status in KiB, as "VmRSS" or "VmHWM".
long StatusKib(const std::string& field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with(field + ":")) return std::stol(line.substr(field.size() + 1));
  }
  return -1;
}

// From now on the peak resident memory ("VmHWM") starts at what is resident now.
void ResetPeakMemory() {
  std::ofstream("/proc/self/clear_refs") << "5";
}

double CpuMilliseconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto ms = [](const timeval& time) { return time.tv_sec * 1e3 + time.tv_usec / 1e3; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

constexpr int kStormLoads = 4;
constexpr int kStormMilliseconds = 30;
constexpr int kStopAfterMilliseconds = 100;

double MillisecondsOf(const std::function<void()>& work) {
  QElapsedTimer timer;
  timer.start();
  work();
  return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void RunEvents(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

// Closing the window 100 ms into a load, until the window, its document and its reader are gone.
double CloseDuringLoad(std::unique_ptr<TFormDisplay> form, const QString& file) {
  form->OpenLogFile(file);
  RunEvents(kStopAfterMilliseconds);
  return MillisecondsOf([&] {
    form->close();
    form.reset();
  });
}

// Find in logs over `file` alone, stopped 100 ms in; a negative time: it ended before the stop.
double StopFindInLogs(const QString& file) {
  LogsSearch search;
  bool ended = false;
  QObject::connect(&search, &LogsSearch::Finished, [&ended] { ended = true; });
  const QFileInfo info(file);
  FolderSearchRequest request;
  request.Folder = info.absolutePath().toStdString();
  request.Pattern = info.fileName().toStdString();
  request.Text = kFindInRunsNeedle.toStdString();
  search.Start(request);
  RunEvents(kStopAfterMilliseconds);
  if (ended) return -1;
  return MillisecondsOf([&] { search.Cancel(); });
}

}  // namespace

class GuiBenchmark {
 public:
  explicit GuiBenchmark(TFormDisplay& form) : form_(form) {}

  double Open(const QString& file) {
    return Milliseconds([&] {
      OpenAndWait(file);
      form_.repaint();
    });
  }

  // From the start of a load to the first rows in the table and row 1's panes filled, painted.
  double FirstRows(const QString& file) {
    const double ms = Milliseconds([&] {
      form_.OpenLogFile(file);
      while (form_.Document().Loading() &&
             (form_.RunsView->RowCount() == 0 || form_.LogMemo->LineCount() == 0)) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
      }
      form_.repaint();
    });
    WaitForLoad();
    return form_.LogMemo->LineCount() > 0 ? ms : -1;
  }

  // The longest stretch of a load in which the GUI thread handles no event: a timer that is due
  // at every turn of the event loop tells when it got there.
  double LongestGap(const QString& file) {
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
    QTimer turn;
    turn.setInterval(0);
    QObject::connect(&turn, &QTimer::timeout, [&] {
      const qint64 now = clock.nsecsElapsed();
      longest = std::max(longest, now - last);
      last = now;
    });
    clock.start();
    turn.start();
    form_.OpenLogFile(file);
    WaitForLoad();
    turn.stop();
    longest = std::max(longest, clock.nsecsElapsed() - last);
    return static_cast<double>(longest) / 1e6;
  }

  double SelectLastRow(const QString& file) {
    OpenAndWait(file);
    form_.RunsView->SetSelectedIndex(-1);
    form_.repaint();
    return Milliseconds([&] {
      ShowLastRun();
      form_.LogMemo->repaint();
      form_.ScriptMemo->repaint();
    });
  }

  // A negative time: the needle was not found.
  double Find(const QString& file) {
    OpenAndWait(file);
    ShowLastRun();
    form_.LogMemo->setFocus();
    QTest::keyClick(&form_, Qt::Key_F, Qt::ControlModifier);
    form_.repaint();
    const TFindBar& bar = *form_.findChild<TFindBar*>(QStringLiteral("FindBar"));
    const double ms = Milliseconds([&] {
      bar.NeedleEdit()->insert(kFindNeedle);
      // The bar shows the count, or that there is no match, once the search is done.
      while (!bar.Status().endsWith(QLatin1String("match")) &&
             !bar.Status().endsWith(QLatin1String("matches"))) {
        QApplication::processEvents();
      }
      form_.LogMemo->repaint();
    });
    if (form_.LogMemo->HasSelection()) return ms;
    std::fprintf(stderr, "the find bar says \"%s\"\n", qPrintable(bar.Status()));
    return -1;
  }

  // A negative time: no run holds the word.
  double FindInRuns(const QString& file, const QString& needle, bool regex) {
    OpenAndWait(file);
    QTest::keyClick(&form_, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    form_.repaint();
    const TFindBar& bar = *form_.findChild<TFindBar*>(QStringLiteral("FindInRunsBar"));
    for (QCheckBox* box : bar.findChildren<QCheckBox*>()) {
      if (box->text() == QLatin1String("Regular e&xpression")) box->setChecked(regex);
    }
    const auto searched = [&bar] {
      return bar.Status().endsWith(QLatin1String("with matches")) ||
             bar.Status() == QLatin1String("No matches");
    };
    const double ms = Milliseconds([&] {
      bar.NeedleEdit()->insert(needle);
      while (!searched()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
      form_.RunsView->viewport()->repaint();
    });
    return bar.Status().endsWith(QLatin1String("with matches")) ? ms : -1;
  }

  // The longest a key typed into Find in runs, or its close, took while a search ran.
  CancelFigures CancelRuns(const QString& file) {
    OpenAndWait(file);
    // The log pane would hold the selected run's text; the search's memory is what counts here.
    form_.RunsView->SetSelectedIndex(-1);
    form_.repaint();
    QTest::keyClick(&form_, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    const TFindBar& bar = *form_.findChild<TFindBar*>(QStringLiteral("FindInRunsBar"));
    const auto searching = [&bar] { return bar.Status() == QLatin1String("Searching..."); };
    QApplication::processEvents();
    const long before = StatusKib("VmRSS");
    ResetPeakMemory();
    CancelFigures figures;
    const auto cancelling = [&](const std::function<void()>& key) {
      const bool running = searching();
      const double ms = Milliseconds(key);
      if (running) {
        figures.longestMs = std::max(figures.longestMs, ms);
        ++figures.cancels;
      }
      QTest::qWait(kKeyMilliseconds);
    };
    for (int key = 0; key < kCancelKeys; ++key) {
      cancelling([&] { QTest::keyClick(bar.NeedleEdit(), 'z'); });
    }
    while (searching()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    figures.searchRssKib = StatusKib("VmHWM") - before;
    QTest::keyClick(bar.NeedleEdit(), Qt::Key_Backspace);
    QTest::qWait(kKeyMilliseconds);
    cancelling([&] { QTest::keyClick(bar.NeedleEdit(), Qt::Key_Escape); });
    return figures;
  }

  // A negative time: the window did not take in what was appended.
  double Follow(const QString& file) {
    if (!AppendTo(file, kRunningRun)) return -1;
    form_.FollowForThisWindow();
    OpenAndWait(file);
    const int lastRow = form_.RunsView->RowCount() - 1;
    form_.RunsView->SetSelectedIndex(lastRow);
    form_.RunsView->MakeVisible(lastRow);
    // An indexed store's lines are read on a thread of their own.
    if (!QTest::qWaitFor([this, lastRow] { return form_.ShownRow() == lastRow; })) return -1;
    QScrollBar* bar = form_.LogMemo->verticalScrollBar();
    bar->setValue(bar->maximum());
    form_.repaint();
    auto* follower = form_.findChild<TFileFollower*>();
    int step = 1;
    std::vector<double> times;
    for (int round = 0; round <= kFollowAppends; ++round) {
      const int lines = form_.LogMemo->LineCount();
      const QByteArray bytes = RunLines(step, kFollowAppendBytes);
      const double ms = Milliseconds([&] {
        AppendTo(file, bytes);
        // What the follower does once the file has been quiet for a moment. What the file gained
        // is read on a thread of its own, and the panes show it when it has been taken in.
        QEventLoop shown;
        QObject::connect(&form_, &TFormDisplay::RunShown, &shown, &QEventLoop::quit);
        QTimer::singleShot(kFollowWaitMilliseconds, &shown, &QEventLoop::quit);
        emit follower->Changed(file);
        shown.exec();
        form_.RunsView->viewport()->repaint();
        form_.statusBar()->repaint();
        form_.LogMemo->viewport()->repaint();
      });
      if (form_.LogMemo->LineCount() <= lines || bar->value() != bar->maximum()) return -1;
      if (round > 0) times.push_back(ms);  // the first round warms up
      // The watcher's own report of the write comes after; it finds nothing new.
      QTest::qWait(2 * TFileFollower::kLongestWaitMilliseconds);
    }
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    return times[times.size() / 2];
  }

  // Four loads 30 ms apart, each cancelling the one before.
  double ReloadStorm(const QString& file) {
    return Milliseconds([&] {
      for (int load = 0; load < kStormLoads; ++load) {
        form_.OpenLogFile(file);
        if (load + 1 < kStormLoads) RunEvents(kStormMilliseconds);
      }
      WaitForLoad();
    });
  }

  double IdleCpu(const QString& file) {
    form_.FollowForThisWindow();
    OpenAndWait(file);
    form_.repaint();
    QTest::qWait(1000);  // whatever the open left to do
    const double before = CpuMilliseconds();
    RunEvents(kIdleMilliseconds);
    return CpuMilliseconds() - before;
  }

  // The time the window adds to a load for its table (filled as the pieces come, and painted):
  // an open against a load of the same file into a document that no window shows.
  double Fill(const QString& file) {
    LogDocument alone;
    QEventLoop loop;
    QObject::connect(&alone, &LogDocument::LoadFinished, &loop, &QEventLoop::quit);
    const double bare = Milliseconds([&] {
      alone.Load(file);
      loop.exec();
    });
    alone.Clear();
    const double shown = Milliseconds([&] {
      OpenAndWait(file);
      form_.RunsView->repaint();
    });
    return std::max(0.0, shown - bare);
  }

 private:
  static double Milliseconds(const std::function<void()>& work) { return MillisecondsOf(work); }

  void WaitForLoad() {
    while (form_.Document().Loading()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }

  // Selects the last row and waits until the panes show its run, which an indexed store reads
  // from the file on a thread of its own.
  void ShowLastRun() {
    const int row = form_.RunsView->RowCount() - 1;
    form_.RunsView->SetSelectedIndex(-1);
    bool shown = false;
    const QMetaObject::Connection watch = QObject::connect(
        &form_, &TFormDisplay::RunShown, [&shown, row](int shownRow) { shown = shownRow == row; });
    form_.RunsView->SetSelectedIndex(row);
    while (!shown) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QObject::disconnect(watch);
  }

  void OpenAndWait(const QString& file) {
    form_.OpenLogFile(file);
    WaitForLoad();
  }

  TFormDisplay& form_;
};

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  const QStringList arguments = QApplication::arguments();
  if (arguments.size() != 3) {
    std::fprintf(stderr,
                 "usage: gui-bench [indexed-|held-]open|first|gap|select|fill|find|follow|idle|"
                 "findruns|findruns-regex|close|reload-storm|findlogs-cancel FILE\n"
                 "       gui-bench cancelruns FILE\n");
    return 2;
  }
  QString mode = arguments[1];
  if (mode.startsWith(kIndexedPrefix)) {
    SetInMemoryLimit(0);
    mode.remove(0, kIndexedPrefix.size());
  } else if (mode.startsWith(kHeldPrefix)) {
    SetInMemoryLimit(uint64_t{1} << 62);  // larger than any file; the largest value means unset
    mode.remove(0, kHeldPrefix.size());
  }
  if (mode == QLatin1String("cancelruns")) SetInMemoryLimit(0);
  auto form = std::make_unique<TFormDisplay>();
  form->show();
  QApplication::processEvents();
  GuiBenchmark benchmark(*form);
  const QString& file = arguments[2];
  double ms = 0;
  CancelFigures cancel;
  if (mode == QLatin1String("close")) {
    ms = CloseDuringLoad(std::move(form), file);
  } else if (mode == QLatin1String("reload-storm")) {
    ms = benchmark.ReloadStorm(file);
  } else if (mode == QLatin1String("findlogs-cancel")) {
    ms = StopFindInLogs(file);
    if (ms < 0) {
      std::fprintf(stderr, "the search of %s ended before the stop\n", qPrintable(file));
      return 1;
    }
  } else if (mode == QLatin1String("open")) {
    ms = benchmark.Open(file);
  } else if (mode == QLatin1String("first")) {
    ms = benchmark.FirstRows(file);
    if (ms < 0) {
      std::fprintf(stderr, "%s has no run to show\n", qPrintable(file));
      return 1;
    }
  } else if (mode == QLatin1String("gap")) {
    ms = benchmark.LongestGap(file);
  } else if (mode == QLatin1String("select")) {
    ms = benchmark.SelectLastRow(file);
  } else if (mode == QLatin1String("fill")) {
    ms = benchmark.Fill(file);
  } else if (mode == QLatin1String("find")) {
    ms = benchmark.Find(file);
  } else if (mode == QLatin1String("follow")) {
    ms = benchmark.Follow(file);
    if (ms < 0) {
      std::fprintf(stderr, "the window did not take in what was appended to %s\n",
                   qPrintable(file));
      return 1;
    }
  } else if (mode == QLatin1String("idle")) {
    ms = benchmark.IdleCpu(file);
  } else if (mode == QLatin1String("findruns") || mode == QLatin1String("findruns-regex")) {
    const bool regex = mode == QLatin1String("findruns-regex");
    const QString needle = regex ? kFindInRunsExpression : kFindInRunsNeedle;
    ms = benchmark.FindInRuns(file, needle, regex);
    if (ms < 0) {
      std::fprintf(stderr, "no run of %s holds \"%s\"\n", qPrintable(file), qPrintable(needle));
      return 1;
    }
  } else if (mode == QLatin1String("cancelruns")) {
    cancel = benchmark.CancelRuns(file);
    ms = cancel.longestMs;
    if (cancel.cancels == 0) {
      std::fprintf(stderr, "no key came while Find in runs searched %s\n", qPrintable(file));
      return 1;
    }
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
  std::printf("ms=%.1f max_rss_kib=%ld", ms, usage.ru_maxrss);
  if (cancel.cancels > 0) {
    std::printf(" cancels=%d search_rss_kib=%ld", cancel.cancels, cancel.searchRssKib);
  }
  std::printf("\n");
  return 0;
}
