#pragma once

#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Log files written for a test, in a folder that goes away with it.
class TestLogs {
 public:
  // A log with one entry per script name in `scripts` order, and one run per date: run k has
  // the log lines "run k line 1" and "run k line 2", and belongs to the entry named in
  // `entryOfRun` (all to the first entry when it is empty).
  static QByteArray RunsWithDates(const QStringList& dates, const QStringList& scripts = {"S"},
                                  const QList<int>& entryOfRun = {}) {
    QByteArray text;
    for (int entry = 0; entry < scripts.size(); ++entry) {
      text += "------ NextPart = Script\r\nscript " + scripts[entry].toUtf8() +
              "\r\n------ NextPart = LogMessage\r\n";
      for (int k = 0; k < dates.size(); ++k) {
        if (entryOfRun.value(k, 0) != entry) continue;
        const QByteArray run = QByteArray::number(k);
        text += "==>loading script \"Script " + run + "\".\r\n-\r\nStarted: " + dates[k].toUtf8() +
                "\r\n==>script type: Method\r\nFile name of script: C:\\s" + run + ".vsc\r\n" +
                "run " + run + " line 1\r\nrun " + run + " line 2\r\n" +
                "==>script execution finished.\r\n";
      }
      text += "------ NextEntry\r\n";
    }
    return text;
  }

  // RunsWithDates of `runs` runs, whose first run logs "message 0" to "message <count - 1>" too.
  static QByteArray FirstRunWithMessages(int runs, int count) {
    QByteArray log = RunsWithDates(Dates(runs));
    QByteArray lines;
    for (int k = 0; k < count; ++k) lines += "message " + QByteArray::number(k) + "\r\n";
    log.insert(log.indexOf("==>script execution finished."), lines);
    return log;
  }

  static QStringList Dates(int count) {
    QStringList dates;
    for (int k = 0; k < count; ++k)
      dates << QStringLiteral("2026-12-01 10:%1").arg(k, 2, 10, QLatin1Char('0'));
    return dates;
  }

  QString Write(const QString& name, const QByteArray& bytes) const {
    const QString path = dir_.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
      qFatal("cannot write test log %s", qPrintable(path));
    }
    return path;
  }
  QString Path(const QString& name) const { return dir_.filePath(name); }

 private:
  QTemporaryDir dir_;
};
