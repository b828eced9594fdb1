#pragma once

// Logs of runs of a script to compare, for the comparison's window and command-line tests.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace CompareLogs {

struct TestRun {
  QString file;  // the script's file name
  QString end;   // the end line, or empty for a run still open
  QStringList lines;
};

// One entry per run, so that an open run ends at the next entry.
inline QByteArray LogOf(const QList<TestRun>& runs) {
  QByteArray text;
  for (int k = 0; k < runs.size(); ++k) {
    text += "------ NextPart = Script\r\nscript of " + runs[k].file.toUtf8() +
            "\r\n------ NextPart = LogMessage\r\n==>loading script \"Script\".\r\n-\r\n" +
            "Started: 2026-12-01 10:0" + QByteArray::number(k) +
            "\r\n==>script type: Method\r\nFile name of script: C:\\" + runs[k].file.toUtf8() +
            "\r\n";
    for (const QString& line : runs[k].lines) text += line.toUtf8() + "\r\n";
    if (!runs[k].end.isEmpty()) text += runs[k].end.toUtf8() + "\r\n";
    text += "------ NextEntry\r\n";
  }
  return text;
}

inline const QString kFinished = QStringLiteral("==>script execution finished.");
inline const QString kStopped = QStringLiteral("==>script execution stopped by user.");

// Twelve steps of a run that starts at `hour`, with other numbers in each run; step `slow`
// takes 30 s instead of 1.
inline QStringList Steps(int hour, int slow = -1) {
  const QStringList steps = {"Prime", "Aspirate", "Dispense", "Mix",  "Wash", "Shake",
                             "Read",  "Incubate", "Rinse",    "Seal", "Dry",  "Export"};
  QStringList lines;
  int second = 0;
  for (int step = 1; step <= steps.size(); ++step) {
    second += step == slow ? 30 : 1;
    lines << QStringLiteral("%1:00:%2.%3  %4 %5 ul in well A%6.")
                 .arg(hour)
                 .arg(second, 2, 10, QLatin1Char('0'))
                 .arg(hour * 7 % 1000, 3, 10, QLatin1Char('0'))
                 .arg(steps[step - 1])
                 .arg(40 + hour)
                 .arg(step);
  }
  return lines;
}

// The run of row 5: the steps of the others, the third one changed and an error after the
// eighth, and its seventh step slow; stopped at the end.
inline QStringList FailingSteps() {
  QStringList lines = Steps(13, 7);
  lines[2] = QStringLiteral("13:00:03.000  WARNING: Pump A: pressure 1.99 bar above limit.");
  lines.insert(8, QStringLiteral("13:00:40.000  ERROR: Pump A: no liquid detected."));
  return lines;
}

inline QByteArray FiveRuns() {
  return LogOf({{"a.vsc", kFinished, Steps(8)},
                {"b.vsc", kFinished, Steps(9)},
                {"a.vsc", kFinished, Steps(10)},
                {"a.vsc", kStopped, Steps(11)},
                {"a.vsc", kStopped, FailingSteps()}});
}

}  // namespace CompareLogs
