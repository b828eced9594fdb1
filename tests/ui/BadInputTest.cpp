#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>
#include <cstdio>
#include <memory>
#include <string_view>

#include "BadInputFiles.h"
#include "DisplayForm.h"
#include "MRUList.h"
#include "ProgramRun.h"
#include "RunsView.h"
#include "TestLogs.h"
#include "TextPane.h"
#include "Unprivileged.h"
#include "WindowBench.h"
#include "WindowTest.h"

// Files that are no logs at all, or logs with hard names and contents, given to the real
// program's headless modes and to the window: each is refused with a message that names the
// file and the reason, or read as it stands, and nothing hangs.

using namespace std::literals;

namespace {

// Big enough that a parse slower than linear in the size would not end within the program
// run's bound (ProgramRun.cpp), and small enough to write in about a second.
constexpr qint64 kLongLineSize = 200'000'000;
constexpr qint64 kRandomSize = 50'000'000;

const QStringList kGoodDates = TestLogs::Dates(3);
const QByteArray kTableHeader = "Run\tDate/Time\tScript\tScript Type\tScript Filename\n";

// One run among noise, with fields and lines the tests know.
const QByteArray kPlanted =
    "------ NextPart = Script\r\nplanted script\r\n------ NextPart = LogMessage\r\n"
    "==>loading script \"Planted\".\r\n-\r\nStarted: 2026-12-01 10:00\r\n"
    "==>script type: Method\r\nFile name of script: C:\\planted.vsc\r\nplanted line\r\n"
    "==>script execution finished.\r\n------ NextEntry\r\n";
const QByteArray kPlantedRow = "1\t2026-12-01 10:00\tPlanted\tMethod\tC:\\planted.vsc\n";
const QString kPlantedLog =
    "Started: 2026-12-01 10:00\n==>script type: Method\nFile name of script: C:\\planted.vsc\n"
    "planted line";

// NUL bytes in the script, in every field of the run and in a log line.
constexpr std::string_view kNulLog =
    "------ NextPart = Script\nsc\0ript\n------ NextPart = LogMessage\n"
    "==>loading script \"A\0B\".\n-\nStarted: 2026\0"
    "01\n==>script type: Me\0thod\nFile name of script: C:\\a\0.vsc\nline\0one\n"sv;
constexpr std::string_view kNulRow =
    "1\t2026\0"
    "01\tA\0B\tMe\0thod\tC:\\a\0.vsc\n"sv;

QByteArray Bytes(std::string_view text) {
  return QByteArray(text.data(), qsizetype(text.size()));
}
QString Text(std::string_view text) {
  return QString::fromUtf8(Bytes(text));
}

// The runs table that --list prints for a TestLogs log with these dates.
QByteArray ListOf(const QStringList& dates) {
  QByteArray table = kTableHeader;
  for (int k = 0; k < dates.size(); ++k) {
    const QByteArray run = QByteArray::number(k);
    table += QByteArray::number(k + 1) + '\t' + dates[k].toUtf8() + "\tScript " + run +
             "\tMethod\tC:\\s" + run + ".vsc\n";
  }
  return table;
}

QJsonObject DumpOf(const ProgramRun& run) {
  return QJsonDocument::fromJson(run.out).object();
}
QByteArray CompactArray(const QJsonValue& value) {
  return QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact);
}

void ExpectOutput(const ProgramRun& run, const QByteArray& out) {
  QVERIFY2(run.finished, qPrintable(run.problem));
  QCOMPARE(run.errors, QByteArray());
  QCOMPARE(run.exitCode, 0);
  QCOMPARE(run.out, out);
}

bool NamesFileAndReason(const QString& message, const QString& path, const QString& reason) {
  return message.contains('"' + path + '"') && message.contains(reason);
}

void ExpectRefused(const ProgramRun& run, const QString& path, const QString& reason) {
  QVERIFY2(run.finished, qPrintable(run.problem));
  QCOMPARE(run.exitCode, 1);
  QCOMPARE(run.out, QByteArray());
  const QString message = QString::fromUtf8(run.errors);
  QVERIFY2(NamesFileAndReason(message, path, reason), qPrintable(message));
}

// A name that the program must refuse: what the case is called, the name, and the words by
// which the message says why.
struct RefusedFile {
  QString label;
  QString path;
  QString reason;
};

enum class Route { OpenDialog, RecentEntry };
enum class Change { TruncateInsideRun, TruncateToNothing, Grow, ReplaceByRename, Delete };

void ApplyChange(Change change, const QString& path, const QByteArray& before) {
  QFile file(path);
  switch (change) {
    case Change::TruncateInsideRun:
      QVERIFY(file.resize(before.indexOf("run 2 line 2") + QByteArray("run 2 li").size()));
      break;
    case Change::TruncateToNothing:
      QVERIFY(file.resize(0));
      break;
    case Change::Grow:
      QVERIFY(file.open(QIODevice::Append));
      QVERIFY(file.write(TestLogs::RunsWithDates({"grown 0", "grown 1", "grown 2"})) > 0);
      break;
    case Change::ReplaceByRename: {
      QFile replacement(path + ".new");
      QVERIFY(replacement.open(QIODevice::WriteOnly));
      QVERIFY(replacement.write(TestLogs::RunsWithDates(
                  {"replaced 0", "replaced 1", "replaced 2", "replaced 3"})) > 0);
      replacement.close();
      QCOMPARE(std::rename(QFile::encodeName(replacement.fileName()).constData(),
                           QFile::encodeName(path).constData()),
               0);
      break;
    }
    case Change::Delete:
      QVERIFY(file.remove());
      break;
  }
}

}  // namespace

Q_DECLARE_METATYPE(Route)
Q_DECLARE_METATYPE(Change)

class BadInputTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    refused_ = {
        {"missing file", files_.Path("missing.log"), "No such file or directory"},
        {"directory", files_.MakeDirectory("folder.log"), "directory"},
        {"FIFO", files_.MakeFifo("fifo.log"), "pipe"},
        {"FIFO with a silent writer", files_.MakeFifoWithSilentWriter("silent fifo.log"), "pipe"},
        {"/dev/zero", "/dev/zero", "device"},
        {"symlink loop", files_.MakeSymlinkLoop("loop.log"), "symbolic links"},
    };
    good_ = files_.Write("good.log", TestLogs::RunsWithDates(kGoodDates));
    longLine_ = files_.WriteOneLongLine("one line.log", kLongLineSize);
    random_ = files_.WriteRandomAround("random.log", kRandomSize, kPlanted);
    nul_ = files_.Write("nul.log", Bytes(kNulLog));
  }
  void init() { window_ = std::make_unique<WindowBench>(); }
  void cleanup() { window_.reset(); }

  // The headless modes.

  void refusedByTheHeadlessModes_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("reason");
    for (const RefusedFile& file : refused_) {
      for (const QString mode : {"--list", "--dump"}) {
        QTest::addRow("%s %s", qPrintable(file.label), qPrintable(mode))
            << mode << file.path << file.reason;
      }
    }
  }
  void refusedByTheHeadlessModes() {
    QFETCH(QString, mode);
    QFETCH(QString, path);
    QFETCH(QString, reason);
    ExpectRefused(RunProgram({mode, path}), path, reason);
  }

  void unreadableFileForTheHeadlessModes() {
    const QStringList launcher = UnprivilegedLauncher();
    const ProgramRun version = RunProgram({"--version"}, {}, launcher);
    if (!version.finished || version.exitCode != 0) {
      QSKIP(qPrintable("user nobody cannot run the program here: " + version.problem +
                       QString::fromLocal8Bit(version.errors)));
    }
    // The folder lets the user in, so that only the file's permissions stop the read below.
    ExpectOutput(RunProgram({"--list", good_}, {}, launcher), ListOf(kGoodDates));
    const QString path =
        files_.WriteUnreadable("unreadable.log", TestLogs::RunsWithDates(kGoodDates));
    for (const QString mode : {"--list", "--dump"}) {
      ExpectRefused(RunProgram({mode, path}, {}, launcher), path, "Permission denied");
    }
  }

  void oddNamesInTheHeadlessModes_data() { AddOddNames(); }
  void oddNamesInTheHeadlessModes() {
    QFETCH(QString, name);
    files_.Write(name, TestLogs::RunsWithDates(kGoodDates));
    // Given as they are, in their folder, so that the argument starts as the name does.
    ExpectOutput(RunProgram({"--list", name}, files_.Folder()), ListOf(kGoodDates));
    const QString missing = name + ".gone";
    for (const QString mode : {"--list", "--dump"}) {
      ExpectRefused(RunProgram({mode, missing}, files_.Folder()), missing,
                    "No such file or directory");
    }
  }

  void oneLongLineWithoutLineEnd() {
    ExpectOutput(RunProgram({"--list", longLine_}), kTableHeader);
    const ProgramRun dump = RunProgram({"--dump", longLine_});
    QVERIFY2(dump.finished, qPrintable(dump.problem));
    QCOMPARE(dump.exitCode, 0);
    for (const char* part : {"scriptParts", "runLogs", "runs", "rowToRun"}) {
      QCOMPARE(CompactArray(DumpOf(dump)[part]), QByteArray("[]"));
    }
  }

  void randomBytesAroundOneRun() {
    ExpectOutput(RunProgram({"--list", random_}), kTableHeader + kPlantedRow);
    const ProgramRun dump = RunProgram({"--dump", random_});
    QVERIFY2(dump.finished, qPrintable(dump.problem));
    QCOMPARE(dump.exitCode, 0);
    QCOMPARE(CompactArray(DumpOf(dump)["scriptParts"]), QByteArray(R"([["planted script"]])"));
    QCOMPARE(CompactArray(DumpOf(dump)["runLogs"]),
             QByteArray(R"([["Started: 2026-12-01 10:00","==>script type: Method",)"
                        R"("File name of script: C:\\planted.vsc","planted line"]])"));
  }

  void nulBytesAreOrdinaryCharacters() {
    ExpectOutput(RunProgram({"--list", nul_}), kTableHeader + Bytes(kNulRow));
    const ProgramRun dump = RunProgram({"--dump", nul_});
    QVERIFY2(dump.finished, qPrintable(dump.problem));
    QCOMPARE(dump.exitCode, 0);
    QVERIFY(dump.out.contains(R"("A\u0000B")"));
    const QJsonObject store = DumpOf(dump);
    const QJsonObject run = store["runs"][0].toObject();
    QCOMPARE(run["dateTime"].toString(), Text("2026\0"
                                              "01"sv));
    QCOMPARE(run["script"].toString(), Text("A\0B"sv));
    QCOMPARE(run["scriptType"].toString(), Text("Me\0thod"sv));
    QCOMPARE(run["scriptFilename"].toString(), Text("C:\\a\0.vsc"sv));
    QCOMPARE(store["runLogs"][0][3].toString(), Text("line\0one"sv));
    QCOMPARE(store["scriptParts"][0][0].toString(), Text("sc\0ript"sv));
  }

  // The window.

  void refusedInTheWindow_data() {
    QTest::addColumn<Route>("route");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("reason");
    for (const RefusedFile& file : refused_) {
      QTest::addRow("%s, open dialog", qPrintable(file.label))
          << Route::OpenDialog << file.path << file.reason;
      QTest::addRow("%s, recent entry", qPrintable(file.label))
          << Route::RecentEntry << file.path << file.reason;
    }
  }
  void refusedInTheWindow() {
    QFETCH(Route, route);
    QFETCH(QString, path);
    QFETCH(QString, reason);
    window_->Open(good_);
    ExpectGoodLogShown(good_);
    if (route == Route::OpenDialog) {
      window_->Open(path);
    } else {
      window_->OpenRecent(path);
    }
    ExpectRefusedInTheWindow(path, reason);
    QCOMPARE(Form().windowTitle(), Caption(good_));
    QVERIFY(!Form().MRUList1->Entries().contains(path));
    ExpectWindowGoesOn();
  }

  void unreadableFileInTheWindow() {
    const QString path =
        files_.WriteUnreadable("unreadable in window.log", TestLogs::RunsWithDates(kGoodDates));
    {
      const ActingAsNobody nobody;
      if (RunsAsRoot() && !nobody.Active()) QSKIP("this process cannot act as user nobody");
      // The folder lets the user in, so that only the file's permissions stop the read below.
      window_->OpenRecent(good_);
      ExpectGoodLogShown(good_);
      window_->OpenRecent(path);
    }
    ExpectRefusedInTheWindow(path, "Permission denied");
    ExpectWindowGoesOn();
  }

  void oddNamesInTheWindow_data() { AddOddNames(); }
  void oddNamesInTheWindow() {
    QFETCH(QString, name);
    const QString path = files_.Write(name, TestLogs::RunsWithDates(kGoodDates));
    window_->Open(path);
    ExpectGoodLogShown(path);
    QCOMPARE(Form().MRUList1->Entries(), QStringList{path});
    const QString missing = path + ".gone";
    window_->OpenRecent(missing);
    ExpectRefusedInTheWindow(missing, "No such file or directory");
  }

  void oneLongLineInTheWindow() {
    window_->Open(good_);
    window_->Open(longLine_);
    QCOMPARE(window_->Errors(), QStringList());
    ExpectNothingShown();
    QCOMPARE(Form().windowTitle(), Caption(longLine_));
  }

  void randomBytesInTheWindow() {
    window_->Open(random_);
    QCOMPARE(window_->Errors(), QStringList());
    QCOMPARE(Form().RunsView->RowCount(), 1);
    QCOMPARE(Form().LogMemo->Text(), kPlantedLog);
    QCOMPARE(Form().ScriptMemo->Text(), QStringLiteral("planted script"));
  }

  void nulBytesInTheWindow() {
    window_->Open(nul_);
    QCOMPARE(window_->Errors(), QStringList());
    QCOMPARE(Form().RunsView->RowCount(), 1);
    const QAbstractItemModel* table = Form().RunsView->model();
    QCOMPARE(table->index(0, TRunsTableModel::ScriptColumn).data().toString(), Text("A\0B"sv));
    QCOMPARE(Form().LogMemo->Text(),
             Text("Started: 2026\0"
                  "01\n==>script type: Me\0thod\nFile name of script: C:\\a\0.vsc\nline\0one"sv));
    QCOMPARE(Form().ScriptMemo->Text(), Text("sc\0ript"sv));
  }

  void fileChangedBeforeReload_data() {
    QTest::addColumn<Change>("change");
    QTest::addColumn<int>("rowsAfter");
    QTest::addColumn<QString>("lastDate");  // of the last row after Reload
    // How row 3's log starts and ends after Reload; empty when no row is selected then.
    QTest::addColumn<QString>("logStart");
    QTest::addColumn<QString>("logEnd");
    QTest::addColumn<QString>("error");
    const QString none;
    const QString third = TestLogs::Dates(6)[2];
    QTest::newRow("truncated inside run 3")
        << Change::TruncateInsideRun << 3 << third << "Started: " + third << "run 2 li" << none;
    QTest::newRow("truncated to nothing")
        << Change::TruncateToNothing << 0 << none << none << none << none;
    QTest::newRow("grown") << Change::Grow << 9 << "grown 2"
                           << "Started: " + third << "run 2 line 2" << none;
    QTest::newRow("replaced by a rename") << Change::ReplaceByRename << 4 << "replaced 3"
                                          << "Started: replaced 2"
                                          << "run 2 line 2" << none;
    QTest::newRow("deleted") << Change::Delete << 0 << none << none << none
                             << "No such file or directory";
  }
  void fileChangedBeforeReload() {
    QFETCH(Change, change);
    QFETCH(int, rowsAfter);
    QFETCH(QString, lastDate);
    QFETCH(QString, logStart);
    QFETCH(QString, logEnd);
    QFETCH(QString, error);
    const QByteArray before = TestLogs::RunsWithDates(TestLogs::Dates(6));
    const QString path = files_.Write("changing.log", before);
    window_->Open(path);
    Form().RunsView->SetSelectedIndex(2);

    ApplyChange(change, path, before);
    if (QTest::currentTestFailed()) return;
    window_->Reload();
    if (error.isEmpty()) {
      QCOMPARE(window_->Errors(), QStringList());
    } else {
      ExpectRefusedInTheWindow(path, error);
    }
    QCOMPARE(Form().RunsView->RowCount(), rowsAfter);
    if (rowsAfter > 0) {
      const QAbstractItemModel* table = Form().RunsView->model();
      QCOMPARE(table->index(rowsAfter - 1, TRunsTableModel::DateTimeColumn).data().toString(),
               lastDate);
    }
    if (logStart.isEmpty()) {
      ExpectNothingShown();
    } else {
      QCOMPARE(Form().RunsView->SelectedIndex(), 2);
      const QString log = Form().LogMemo->Text();
      QVERIFY2(log.startsWith(logStart) && log.endsWith(logEnd), qPrintable(log));
    }

    files_.Write("changing.log", before);
    window_->Reload();
    QCOMPARE(Form().RunsView->RowCount(), 6);
  }

 private:
  static void AddOddNames() {
    QTest::addColumn<QString>("name");
    QTest::newRow("blanks") << " two  blanks .log";
    QTest::newRow("double quotes") << "say \"hi\".log";
    QTest::newRow("non-ASCII") << "Prüfung µl.log";
    QTest::newRow("leading dash") << "-leading dash.log";
    QTest::newRow("leading dashes") << "--two dashes.log";
  }

  TFormDisplay& Form() const { return window_->Form(); }
  static QString Caption(const QString& path) { return AppTitle + " - \"" + path + "\""; }

  // A log with the good dates is shown: its rows, its first run in the panes, its name in the
  // caption.
  void ExpectGoodLogShown(const QString& path) const {
    QCOMPARE(Form().RunsView->RowCount(), kGoodDates.size());
    QCOMPARE(Form().RunsView->SelectedIndex(), 0);
    QVERIFY(Form().LogMemo->Text().endsWith("run 0 line 2"));
    QCOMPARE(Form().ScriptMemo->Text(), QStringLiteral("script S"));
    QCOMPARE(Form().windowTitle(), Caption(path));
  }

  void ExpectNothingShown() const {
    QCOMPARE(Form().RunsView->RowCount(), 0);
    QCOMPARE(Form().RunsView->SelectedIndex(), -1);
    QCOMPARE(Form().LogMemo->LineCount(), 0);
    QCOMPARE(Form().ScriptMemo->LineCount(), 0);
  }

  void ExpectRefusedInTheWindow(const QString& path, const QString& reason) const {
    QCOMPARE(window_->Errors().size(), 1);
    const QString& message = window_->Errors().first();
    QVERIFY2(NamesFileAndReason(message, path, reason), qPrintable(message));
    ExpectNothingShown();
  }

  // After a failure the window goes on: a good file opens as it always does.
  void ExpectWindowGoesOn() const {
    const QString other = files_.Write("after a failure.log", TestLogs::RunsWithDates(kGoodDates));
    window_->Open(other);
    QCOMPARE(window_->Errors().size(), 1);
    ExpectGoodLogShown(other);
  }

  BadInputFiles files_;
  QList<RefusedFile> refused_;
  QString good_;
  QString longLine_;
  QString random_;
  QString nul_;
  std::unique_ptr<WindowBench> window_;
};

WINDOW_TEST_MAIN(BadInputTest)

#include "BadInputTest.moc"
