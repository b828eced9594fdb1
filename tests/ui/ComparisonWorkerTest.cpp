// The comparison's worker: what it tells, that nothing is told once it is cancelled, and that a
// failure to read the runs comes back as a message, not as an exception on its thread.
#include <QSignalSpy>
#include <QtTest>

#include "CompareLogs.h"
#include "ComparisonWorker.h"
#include "LogStore.h"
#include "StoreLimit.h"
#include "TestLogs.h"

namespace {

// Long, since sanitizer builds run the diff many times slower; a wait ends as soon as it does.
constexpr int kCompareWaitMs = 120'000;

// Two runs of `lines` lines that differ in every line, which keeps a diff busy.
QByteArray TwoLongRuns(int lines) {
  QStringList first;
  QStringList second;
  for (int k = 0; k < lines; ++k) {
    first << QStringLiteral("step %1 of the first kind").arg(k % 7);
    second << QStringLiteral("other step %1").arg(k % 11);
  }
  return CompareLogs::LogOf(
      {{"a.vsc", CompareLogs::kFinished, first}, {"a.vsc", CompareLogs::kFinished, second}});
}

}  // namespace

class ComparisonWorkerTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { SetInMemoryLimit(std::nullopt); }

  void tellsTheComparison() {
    LogStore store;
    LoadLogText(store, CompareLogs::FiveRuns().toStdString());
    ComparisonWorker worker;
    QSignalSpy finished(&worker, &ComparisonWorker::Finished);
    worker.Start(ComparisonRequest::For(store, 4, 2, MaskRules()));
    QVERIFY(finished.wait(kCompareWaitMs));
    const auto comparison = finished.first().first().value<std::shared_ptr<const RunComparison>>();
    QCOMPARE(comparison->Run.Row, 4);
    QCOMPARE(comparison->Baseline.Row, 2);
    QVERIFY(CountDifferences(comparison->Log.Diff()).Any());
    QVERIFY(!worker.Running());
  }

  void tellsNothingOnceCancelled_data() {
    QTest::addColumn<bool>("indexed");
    // An indexed store's file is not waited for: the comparison ends on its own.
    QTest::newRow("store in memory") << false;
    QTest::newRow("indexed store") << true;
  }
  void tellsNothingOnceCancelled() {
    QFETCH(bool, indexed);
    const QString path = logs_.Write("long.log", TwoLongRuns(100'000));
    SetInMemoryLimit(indexed ? std::optional<uint64_t>(0) : std::nullopt);
    LogStore store;
    LoadLogFile(store, std::filesystem::path(path.toStdU16String()));
    QCOMPARE(store.Indexed(), indexed);
    ComparisonWorker worker;
    QSignalSpy finished(&worker, &ComparisonWorker::Finished);
    QSignalSpy failed(&worker, &ComparisonWorker::Failed);
    worker.Start(ComparisonRequest::For(store, 1, 0, MaskRules()));
    worker.Cancel();
    QVERIFY(!worker.Running());
    // Whatever the thread had sent on its way arrives now, and is dropped.
    QCoreApplication::processEvents();
    QCOMPARE(finished.count() + failed.count(), 0);
    worker.Start(ComparisonRequest::For(store, 1, 0, MaskRules()));
    QVERIFY(finished.wait(kCompareWaitMs));
    // Runs that share no line are far too costly for the fewest differences.
    const auto comparison = finished.first().first().value<std::shared_ptr<const RunComparison>>();
    QVERIFY(!comparison->Log.Diff().Exact);
  }

  void tellsAReplacedFileAsAFailure() {
    const QString path = logs_.Write("replaced.log", CompareLogs::FiveRuns());
    SetInMemoryLimit(0);
    LogStore store;
    LoadLogFile(store, std::filesystem::path(path.toStdU16String()));
    QVERIFY(store.Indexed());
    const ComparisonRequest request = ComparisonRequest::For(store, 4, 2, MaskRules());
    logs_.Write("replaced.log", "------ NextEntry\r\n");
    ComparisonWorker worker;
    QSignalSpy failed(&worker, &ComparisonWorker::Failed);
    worker.Start(request);
    QVERIFY(failed.wait(kCompareWaitMs));
    const QString message = failed.first().first().toString();
    QVERIFY2(message.contains(QStringLiteral("replaced.log")), qPrintable(message));
  }

 private:
  TestLogs logs_;
};

QTEST_GUILESS_MAIN(ComparisonWorkerTest)
#include "ComparisonWorkerTest.moc"
