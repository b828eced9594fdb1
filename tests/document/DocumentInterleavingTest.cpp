// The document driven by a random sequence of what a user and a writer do, interleaved with its
// loads and searches: whenever it is at rest and should show the file, it shows what a fresh
// load of the file's bytes shows, and a search that ends counts what a search of that load
// counts. Held in memory and indexed alike.
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <random>

#include "LogDocument.h"
#include "LogGenerator.h"
#include "RunSearch.h"
#include "RunsSearch.h"
#include "StoreDumps.h"
#include "StoreLimit.h"

namespace {

enum class Action {
  Load,
  Reload,
  OpenOther,
  Close,
  ChooseEncoding,
  Append,
  Rewrite,
  Shorten,
  Delete,
  Search,
  Cancel,
  Count
};

QByteArray GeneratedLog(uint64_t seed, int runs) {
  LogTextWriter out;
  LogGenerator generator(out, seed);
  generator.WriteShortRuns(runs);
  generator.WriteOneRun(100 + static_cast<int>(seed % 100));
  return QByteArray::fromStdString(out.Written());
}

// Find in runs as the document runs it, and the counts it reports, in row order.
class SearchWatch {
 public:
  explicit SearchWatch(RunsSearch& search)
      : search_(search), finished_(&search, &RunsSearch::Finished) {
    QObject::connect(&search, &RunsSearch::Counted,
                     [this](int firstRow, const std::vector<size_t>& counts) {
                       counts_.resize(static_cast<size_t>(firstRow));
                       counts_.insert(counts_.end(), counts.begin(), counts.end());
                     });
  }
  void Start(std::shared_ptr<const LineMatcher> search, const LogStore& store) {
    counts_.clear();
    finished_.clear();
    search_.Start(std::move(search), store, RowLogSpans(store));
  }
  bool Finished() { return finished_.size() > 0 || finished_.wait(20000); }
  const std::vector<size_t>& Counts() const { return counts_; }

 private:
  RunsSearch& search_;
  QSignalSpy finished_;
  std::vector<size_t> counts_;
};

}  // namespace

class DocumentInterleavingTest : public QObject {
  Q_OBJECT

 private slots:
  void randomActionsLeaveTheDocumentAsAFreshLoad_data() {
    QTest::addColumn<bool>("indexed");
    QTest::addColumn<uint64_t>("seed");
    for (const uint64_t seed : {1, 2, 3}) {
      QTest::addRow("held in memory, seed %d", int(seed)) << false << seed;
      QTest::addRow("indexed, seed %d", int(seed)) << true << seed;
    }
  }
  void randomActionsLeaveTheDocumentAsAFreshLoad() {
    QFETCH(bool, indexed);
    QFETCH(uint64_t, seed);
    SetInMemoryLimit(indexed ? std::optional<uint64_t>(0) : std::nullopt);
    SetIndexedPieceBytes(indexed ? std::optional<size_t>(512) : std::nullopt);
    random_.seed(seed);
    files_ = {folder_.filePath(QStringLiteral("a.log")), folder_.filePath(QStringLiteral("b.log"))};
    for (int k = 0; k < 2; ++k) Write(files_[k], GeneratedLog(seed * 10 + k, 30));
    LogDocument document;
    document.SetPieceBytes(256);
    SearchWatch search(document.Search());
    int current = 0;
    bool shows = false;  // the store should be what the file holds
    bool following = false;
    // A load that fails, as when the writer rewrites the file while it is read, leaves what it
    // had read, which is not the file; the next load shows it again.
    connect(&document, &LogDocument::LoadFailed, &document, [&shows] { shows = false; });
    // As the window does: the follower's reports, and the look a load posts when it ends, read
    // what the file gained, and each piece read is taken in, or the file loaded again.
    connect(&document, &LogDocument::FollowedFileChanged, &document,
            [&document] { document.ReadGrowth(); });
    LogDocument::Growth taken = LogDocument::Growth::Unchanged;
    connect(&document, &LogDocument::GrowthRead, &document, [&document, &taken] {
      taken = document.TakeInGrowth().What;
      if (taken == LogDocument::Growth::Shrank || taken == LogDocument::Growth::Changed) {
        document.Load(document.FileName());
      }
    });
    for (int step = 0; step < 120; ++step) {
      const auto action = static_cast<Action>(random_() % static_cast<int>(Action::Count));
      const QString& file = files_[current];
      switch (action) {
        case Action::OpenOther:
          current = 1 - current;
          [[fallthrough]];
        case Action::Load:
          document.Follow(files_[current]);
          following = true;
          document.Load(files_[current]);
          shows = true;
          break;
        case Action::Reload:
          if (!document.FileName().isEmpty()) {
            document.Follow(document.FileName());
            following = true;
            document.Load(document.FileName());
          }
          shows = !document.FileName().isEmpty();
          break;
        case Action::Close:
          document.Clear();
          document.Follow(QString());
          following = false;
          shows = false;
          break;
        case Action::ChooseEncoding:
          document.SetEncoding(static_cast<EncodingChoice>(random_() % 3));
          break;
        case Action::Append:
          Append(file, GeneratedLog(random_(), 1 + static_cast<int>(random_() % 5)));
          document.ReadGrowth();
          break;
        case Action::Rewrite:
          Write(file, GeneratedLog(random_(), 5 + static_cast<int>(random_() % 30)));
          document.ReadGrowth();
          break;
        case Action::Shorten:
          Shorten(file);
          document.ReadGrowth();
          break;
        case Action::Delete:
          // On Windows a reader that was stopped and still finishes its piece may hold the file
          // against a delete, or keep its name, delete pending, so that no file of that name can
          // be made, until it has.
          QTRY_VERIFY(QFile::remove(file) || !QFileInfo::exists(file));
          if (!document.Loading() && !QFileInfo::exists(file) && document.FileName() == file) {
            Settle(document, false);
            taken = LogDocument::Growth::Unchanged;
            document.ReadGrowth();
            QTRY_VERIFY_WITH_TIMEOUT(!document.ReadingGrowth(), 20000);
            QCOMPARE(taken, following ? LogDocument::Growth::Gone : LogDocument::Growth::Unchanged);
          }
          // The writer starts a new log.
          QTRY_VERIFY(TryWrite(file, GeneratedLog(random_(), 10)));
          shows = false;
          break;
        case Action::Search:
          // A search counts the store as it is; what a read of the file's growth brings is
          // searched with the rows it changes, as the window does.
          if (!document.Loading() && !document.ReadingGrowth()) Search(document, search, shows);
          break;
        case Action::Cancel:
          document.CancelLoad();
          document.Search().Cancel();
          shows = false;
          break;
        case Action::Count:
          break;
      }
      if (QTest::currentTestFailed()) return;
      // Half the time the next action comes while the load still runs.
      if (random_() % 2 == 0) Settle(document, shows);
      if (QTest::currentTestFailed()) {
        qWarning("at step %d, action %d", step, static_cast<int>(action));
        return;
      }
    }
    SetInMemoryLimit(std::nullopt);
    SetIndexedPieceBytes(std::nullopt);
  }

 private:
  // Lets the loads end, and the looks they post, and when the document should show the file,
  // compares it with a fresh load.
  void Settle(LogDocument& document, bool shows) {
    QSignalSpy failed(&document, &LogDocument::LoadFailed);
    QCoreApplication::processEvents();
    do {
      QTRY_VERIFY_WITH_TIMEOUT(!document.Loading() && !document.ReadingGrowth(), 20000);
      // The look that the load posted when it ended, or a piece read, which may start another.
      QCoreApplication::processEvents();
    } while (document.Loading() || document.ReadingGrowth());
    if (!shows || failed.size() > 0) return;
    QCOMPARE(Dump(document.Store()), WholeLoad(document.FileName(), document.Encoding()));
  }

  void Search(LogDocument& document, SearchWatch& search, bool shows) {
    const std::string text = random_() % 2 ? "step" : "µl";
    const bool matchCase = random_() % 2 == 0;
    search.Start(std::make_shared<TextLineMatcher>(text, document.Store().TextEncoding, matchCase),
                 document.Store());
    if (random_() % 2 == 0) return;  // left to run into what comes next
    QVERIFY(search.Finished());
    if (!shows) return;
    LogStore fresh;
    LoadLogFile(fresh, PathOf(document.FileName()), document.Encoding());
    QCOMPARE(search.Counts(),
             RowMatchCounts(fresh, TextLineMatcher(text, fresh.TextEncoding, matchCase)));
  }

  void Shorten(const QString& path) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.resize(
        static_cast<qint64>(static_cast<uint64_t>(file.size()) * (random_() % 90) / 100)));
  }

  static bool TryWrite(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
  }
  static void Write(const QString& path, const QByteArray& bytes) {
    if (!TryWrite(path, bytes)) qFatal("cannot write %s", qPrintable(path));
  }
  static void Append(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::Append) || file.write(bytes) != bytes.size()) {
      qFatal("cannot append to %s", qPrintable(path));
    }
  }

  QTemporaryDir folder_;
  QStringList files_;
  std::mt19937_64 random_;
};

QTEST_GUILESS_MAIN(DocumentInterleavingTest)
#include "DocumentInterleavingTest.moc"
