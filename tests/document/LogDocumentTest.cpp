// The document as the window drives it, without a widget: a load in pieces of any size ends
// with the store a whole load of the file makes, rows only come while it runs, and a load that
// is replaced or fails leaves nothing of itself behind.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <filesystem>
#include <memory>
#include <optional>
#include <random>
#include <semaphore>

#include "FileWork.h"
#include "HangingFiles.h"
#include "LogDocument.h"
#include "LogGenerator.h"
#include "PieceLoader.h"
#include "StoreDumps.h"
#include "StoreInvariants.h"
#include "StoreLimit.h"

namespace {

// A generated log, and the same with a character late in it that makes Auto change its mind
// while the pieces come: UTF-8 after plain ASCII, or a Windows-1252 byte after UTF-8.
QList<QByteArray> GeneratedLogs(uint64_t seed) {
  LogTextWriter out;
  LogGenerator generator(out, seed);
  generator.WriteShortRuns(40);
  generator.WriteOneRun(200);
  generator.WriteShortRuns(40);
  const auto text = QByteArray::fromStdString(out.Written());
  const qsizetype late = text.size() * 4 / 5;
  QByteArray utf8Late = text;
  utf8Late.insert(late, "\xc2\xb5");
  QByteArray windows1252Late = QByteArray("\xe2\x82\xac") + text;
  windows1252Late.insert(late, "\xb5");
  QByteArray lf = text;
  lf.replace("\r\n", "\n");
  return {text, utf8Late, windows1252Late, lf};
}

}  // namespace

class LogDocumentTest : public QObject {
  Q_OBJECT

 private slots:
  void aLoadInPiecesEndsAsAWholeLoad() {
    QStringList files{QStringLiteral(MLD_EXAMPLE_LOG)};
    for (const QString& name : QDir(QStringLiteral(MLD_FUZZ_CORPUS)).entryList(QDir::Files)) {
      files << QStringLiteral(MLD_FUZZ_CORPUS "/") + name;
    }
    const qsizetype written = files.size();  // the sample and the corpus: a few kilobytes
    for (uint64_t seed = 1; seed <= 3; ++seed) {
      for (const QByteArray& log : GeneratedLogs(seed)) files << Write(log);
    }
    std::mt19937_64 random(7);
    const EncodingChoice encodings[] = {EncodingChoice::Auto, EncodingChoice::Windows1252,
                                        EncodingChoice::Utf8};
    int loads = 0;
    for (qsizetype i = 0; i < files.size(); ++i) {
      const QString& file = files[i];
      // A piece of one byte takes a turn of the event loop each, which costs far more under
      // Wine than on Linux: the generated logs take larger ones.
      const size_t smallest = i < written ? 1 : 64 + random() % 64;
      for (const size_t pieceBytes :
           {smallest, smallest + random() % 64, size_t{random() % 5000}}) {
        const EncodingChoice encoding = encodings[random() % 3];
        LoadAndCompare(file, pieceBytes, encoding);
        if (QTest::currentTestFailed()) return;
        ++loads;
      }
    }
    QVERIFY(loads >= 40);
  }

  // Above the in-memory limit the file is indexed while its first piece shows; the index is the
  // store a whole load in memory makes, also with an encoding chosen meanwhile.
  void anIndexedLoadEndsAsAWholeLoad() {
    const EncodingChoice encodings[] = {EncodingChoice::Auto, EncodingChoice::Windows1252,
                                        EncodingChoice::Utf8};
    int loads = 0;
    for (const QByteArray& log : GeneratedLogs(5)) {
      const QString path = Write(log);
      for (const EncodingChoice choice : encodings) {
        const bool chosenWhileLoading = loads++ % 2 == 1;
        SetInMemoryLimit(0);
        LogDocument document;
        document.SetPieceBytes(64);
        if (!chosenWhileLoading) document.SetEncoding(choice);
        QSignalSpy rows(&document, &LogDocument::RowsLoaded);
        QSignalSpy finished(&document, &LogDocument::LoadFinished);
        document.Load(path);
        QVERIFY(rows.wait());
        if (chosenWhileLoading) document.SetEncoding(choice);
        QVERIFY(finished.size() == 1 || finished.wait(20000));
        SetInMemoryLimit(std::nullopt);
        QVERIFY(document.Store().Indexed());
        QCOMPARE(Dump(document.Store()), WholeLoad(path, choice));
      }
    }
  }

  void anotherLoadReplacesTheOneThatRuns() {
    const QList<QByteArray> logs = GeneratedLogs(4);
    const QString first = Write(logs[0]);
    const QString second = Write(logs[3]);
    LogDocument document;
    document.SetPieceBytes(64);
    QSignalSpy finished(&document, &LogDocument::LoadFinished);
    QSignalSpy rows(&document, &LogDocument::RowsLoaded);
    document.Load(first);
    QVERIFY(rows.wait());
    QVERIFY(document.Loading());
    document.Load(second);
    QVERIFY(finished.wait(20000));
    QCOMPARE(Dump(document.Store()), WholeLoad(second, EncodingChoice::Auto));
    // Nothing of the first load comes after the second has finished.
    QCoreApplication::processEvents();
    QCOMPARE(finished.size(), 1);
    QCOMPARE(document.FileName(), second);
  }

  // The first reader is held once it has taken memory for its text, and the file is loaded
  // again four times meanwhile: each reader takes memory only once the one before has let go of
  // its text, and the last load ends as a fresh one.
  void reloadsHoldOneTextAtATime() {
    const QList<QByteArray> logs = GeneratedLogs(6);
    const QString first = Write(logs[0]);
    const QString last = Write(logs[2]);
    SetReadPieceBytes(1024);
    std::counting_semaphore<4> held(0);
    std::atomic<int> taken = 0;
    std::atomic<bool> overlapped = false;
    PieceLoader::SetMemoryTakenHook([&](int holding) {
      if (holding > 1) overlapped = true;
      if (taken++ == 0) held.acquire();
    });
    const auto reset = qScopeGuard([] {
      PieceLoader::SetMemoryTakenHook(nullptr);
      SetReadPieceBytes(std::nullopt);
    });
    LogDocument document;
    const auto letGo = qScopeGuard([&] { held.release(); });
    QSignalSpy finished(&document, &LogDocument::LoadFinished);
    document.Load(first);
    QTRY_VERIFY(taken == 1);
    for (const QString& file : {first, first, first, last}) document.Load(file);
    held.release();
    QVERIFY(finished.wait(20000));
    QVERIFY(!overlapped);
    QCOMPARE(finished.size(), 1);
    QCOMPARE(Dump(document.Store()), WholeLoad(last, EncodingChoice::Auto));
  }

  // Chosen before the whole file has been read, and while its pieces come.
  void anEncodingChosenWhileLoadingHoldsForTheRest_data() {
    QTest::addColumn<int>("piecesFirst");
    QTest::newRow("at the first piece") << 1;
    QTest::newRow("later") << 20;
  }
  void anEncodingChosenWhileLoadingHoldsForTheRest() {
    QFETCH(int, piecesFirst);
    const QString path = Write(GeneratedLogs(6)[2]);
    for (const EncodingChoice choice : {EncodingChoice::Windows1252, EncodingChoice::Auto}) {
      LogDocument document;
      document.SetEncoding(choice == EncodingChoice::Auto ? EncodingChoice::Utf8
                                                          : EncodingChoice::Auto);
      document.SetPieceBytes(64);
      QSignalSpy rows(&document, &LogDocument::RowsLoaded);
      QSignalSpy finished(&document, &LogDocument::LoadFinished);
      document.Load(path);
      while (rows.size() < piecesFirst) QVERIFY(rows.wait());
      QVERIFY(document.Loading());
      document.SetEncoding(choice);
      QVERIFY(finished.wait(20000));
      QCOMPARE(Dump(document.Store()), WholeLoad(path, choice));
    }
  }

  // An Auto load tells of another encoding only when rows were shown in the one it leaves.
  void anAutoLoadTellsOnlyOfEncodingsThatChangeWhatIsShown_data() {
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("late");
    QTest::addColumn<int>("changes");
    QTest::newRow("ASCII") << QByteArray() << QByteArray() << 0;
    QTest::newRow("UTF-8 from its first line") << QByteArray("\xc2\xb5") << QByteArray() << 0;
    QTest::newRow("UTF-8 after ASCII rows") << QByteArray() << QByteArray("\xc2\xb5") << 1;
    QTest::newRow("Windows-1252 after UTF-8 rows")
        << QByteArray("\xc2\xb5") << QByteArray("\xb5") << 1;
  }
  void anAutoLoadTellsOnlyOfEncodingsThatChangeWhatIsShown() {
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, late);
    QFETCH(int, changes);
    QByteArray log = GeneratedLogs(3)[0];
    log.removeIf([](char byte) { return static_cast<unsigned char>(byte) >= 0x80; });
    log.insert(log.size() * 4 / 5, late);
    const QString path = Write(first + "\r\n" + log);
    LogDocument document;
    document.SetPieceBytes(64);
    QSignalSpy finished(&document, &LogDocument::LoadFinished);
    QSignalSpy changing(&document, &LogDocument::StoreChanging);
    QSignalSpy encoding(&document, &LogDocument::EncodingChanged);
    document.Load(path);
    changing.clear();  // the load's own emptying of the store
    QVERIFY(finished.wait(20000));
    QCOMPARE(changing.size(), changes);
    QCOMPARE(encoding.size(), changes);
  }

  void aLoadShortOfMemoryFailsNamingTheFile() {
    const QString path = Write(GeneratedLogs(7)[0]);
    PieceLoader::SetMemoryTakenHook([](int) { throw std::bad_alloc(); });
    const auto reset = qScopeGuard([] { PieceLoader::SetMemoryTakenHook(nullptr); });
    LogDocument document;
    QSignalSpy failed(&document, &LogDocument::LoadFailed);
    document.Load(path);
    QVERIFY(failed.wait());
    const QString message = failed.first().first().toString();
    QVERIFY2(
        message.contains(QDir::toNativeSeparators(path)) && message.contains("not enough memory"),
        qPrintable(message));
  }

  void aFileThatCannotBeReadFailsTheLoad() {
    LogDocument document;
    QSignalSpy failed(&document, &LogDocument::LoadFailed);
    QSignalSpy finished(&document, &LogDocument::LoadFinished);
    const QString gone = folder_.filePath(QStringLiteral("gone.log"));
    document.Load(gone);
    QVERIFY(failed.wait());
    QVERIFY(failed.first().first().toString().contains(QDir::toNativeSeparators(gone)));
    QVERIFY(!document.Loading());
    QCOMPARE(finished.size(), 0);
    QCOMPARE(document.Store().Runs.size(), size_t{0});
  }

  // Following takes over where the load ended, and not before.
  void followingStartsWhenTheLoadHasFinished() {
    const QList<QByteArray> logs = GeneratedLogs(5);
    const QString path = Write(logs[0]);
    LogDocument document;
    document.SetPieceBytes(100);
    document.Follow(path);
    QSignalSpy rows(&document, &LogDocument::RowsLoaded);
    QSignalSpy finished(&document, &LogDocument::LoadFinished);
    document.Load(path);
    QVERIFY(rows.wait());
    AppendTo(path, "==>loading script \"late\".\r\n");
    QCOMPARE(TakeInGrowthNow(document).What, LogDocument::Growth::Unchanged);
    QVERIFY(finished.wait(20000));
    AppendTo(path, "-\r\nStarted: 2099-01-01\r\n");
    const LogDocument::Change change = TakeInGrowthNow(document);
    QCOMPARE(change.What, LogDocument::Growth::Appended);
    QCOMPARE(Dump(document.Store()), WholeLoad(path, EncodingChoice::Auto));
  }

  // A share whose server stops answering while the document reads the run a window shows, or
  // what the followed file gained: the thread that asked goes on, hears that the file is not
  // answering, and gets what it asked for once it answers.
  void aReadThatHangsIsToldAndAnsweredLater_data() {
    QTest::addColumn<bool>("growth");
    QTest::newRow("the lines of a run") << false;
    QTest::newRow("what the followed file gained") << true;
  }
  void aReadThatHangsIsToldAndAnsweredLater() {
    QFETCH(bool, growth);
    SetInMemoryLimit(0);
    const auto unlimited = qScopeGuard([] { SetInMemoryLimit(std::nullopt); });
    const QByteArray log = GeneratedLogs(8)[0];
    const QString path = Write(log.left(log.size() / 2));
    LogDocument document;
    QSignalSpy finished(&document, &LogDocument::LoadFinished);
    document.Load(path);
    QVERIFY(finished.wait(20000));
    document.Follow(path);
    if (growth) AppendTo(path, log.mid(log.size() / 2));
    QSignalSpy answering(&document, &LogDocument::FileAnswering);
    QSignalSpy grown(&document, &LogDocument::GrowthRead);
    const int row = static_cast<int>(document.Store().RowToRun.size()) - 1;
    std::optional<RunText> shown;
    auto share = std::make_unique<HangingFiles>();
    if (growth) {
      document.ReadGrowth();
    } else {
      document.ReadRun(row, [&shown](RunText text) { shown = std::move(text); });
    }
    QVERIFY(answering.wait(FileWork::kNotAnsweringMilliseconds * 3));
    QCOMPARE(answering.last().first().toBool(), false);
    QVERIFY(share->Hanging() && !shown && grown.isEmpty());
    share.reset();
    QTRY_VERIFY_WITH_TIMEOUT(answering.last().first().toBool(), 20000);

    LogStore fresh;
    LoadLogFile(fresh, PathOf(path), EncodingChoice::Auto);
    if (growth) {
      QTRY_VERIFY_WITH_TIMEOUT(!grown.isEmpty(), 20000);
      QCOMPARE(document.TakeInGrowth().What, LogDocument::Growth::Appended);
      QCOMPARE(Dump(document.Store()), Dump(fresh));
    } else {
      QTRY_VERIFY_WITH_TIMEOUT(shown.has_value(), 20000);
      const RunText expected(fresh, fresh.RunOfRow(static_cast<size_t>(row)));
      QCOMPARE(Lines(shown->Log()), Lines(expected.Log()));
      QCOMPARE(Lines(shown->Script()), Lines(expected.Script()));
    }
  }

 private:
  // Following's answer to a change of the file, as the window gives it: the document reads what
  // the file gained, piece by piece, and each piece is taken in as it comes. The first change that
  // is more than an append ends it.
  static LogDocument::Change TakeInGrowthNow(LogDocument& document) {
    QSignalSpy read(&document, &LogDocument::GrowthRead);
    document.ReadGrowth();
    LogDocument::Change taken;
    while (!read.isEmpty() || document.ReadingGrowth()) {
      if (read.isEmpty() && !read.wait(20000)) break;
      read.removeFirst();
      const LogDocument::Change change = document.TakeInGrowth();
      if (change.What == LogDocument::Growth::Unchanged) continue;
      if (change.What != LogDocument::Growth::Appended) return change;
      const bool appended = taken.What == LogDocument::Growth::Appended;
      taken = {change.What, appended ? std::min(taken.FirstChangedRow, change.FirstChangedRow)
                                     : change.FirstChangedRow};
    }
    return taken;
  }

  static QByteArray Lines(const LineList& lines) {
    QByteArray text;
    for (const std::string_view line : lines)
      text.append(line.data(), static_cast<qsizetype>(line.size())) += '\n';
    return text;
  }

  QString Write(const QByteArray& bytes) {
    const QString path = folder_.filePath(QStringLiteral("log%1.log").arg(++written_));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
      qFatal("cannot write %s", qPrintable(path));
    }
    return path;
  }

  static void AppendTo(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::Append) || file.write(bytes) != bytes.size()) {
      qFatal("cannot append to %s", qPrintable(path));
    }
  }

  // Loads `file` in pieces of `pieceBytes` and checks every piece against the rows before it and
  // the end against a whole load.
  static void LoadAndCompare(const QString& file, size_t pieceBytes, EncodingChoice encoding) {
    LogDocument document;
    document.SetEncoding(encoding);
    document.SetPieceBytes(pieceBytes);
    std::vector<int32_t> rowsBefore;
    bool rowsKept = true;
    QObject::connect(&document, &LogDocument::RowsLoaded, [&](int firstChangedRow) {
      const std::vector<int32_t>& rows = document.Store().RowToRun;
      rowsKept = rowsKept && static_cast<size_t>(firstChangedRow) <= rowsBefore.size() &&
                 std::equal(rowsBefore.begin(), rowsBefore.begin() + firstChangedRow, rows.begin());
      rowsBefore = rows;
    });
    QSignalSpy finished(&document, &LogDocument::LoadFinished);
    document.Load(file);
    const QString what = QStringLiteral("%1 in pieces of %2").arg(file).arg(pieceBytes);
    QVERIFY2(finished.wait(30000), qPrintable(what));
    QVERIFY2(rowsKept, qPrintable(what));
    QVERIFY2(Dump(document.Store()) == WholeLoad(file, encoding), qPrintable(what));
    QCOMPARE(CheckStoreInvariants(document.Store()), std::string());
  }

  QTemporaryDir folder_;
  int written_ = 0;
};

QTEST_GUILESS_MAIN(LogDocumentTest)
#include "LogDocumentTest.moc"
