#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>
#include <optional>
#include <utility>

#include "RunSelectPaths.h"
#include "RunSelectTestSupport.h"

namespace {

enum class FolderSetup { OpenToGroup, OpenToOthers, OpenToAll, LinkToGoodFolder, FileInTheWay };

mode_t ModeOf(const QString& path) {
  struct stat status {};
  if (::lstat(QFile::encodeName(path).constData(), &status) != 0) return 0;
  return status.st_mode;
}

void MakeFolder(const QString& path, mode_t mode) {
  QVERIFY(QDir().mkdir(path));
  QVERIFY(::chmod(QFile::encodeName(path).constData(), mode) == 0);
}

void Prepare(FolderSetup setup, const QString& folder) {
  switch (setup) {
    case FolderSetup::OpenToGroup:
      return MakeFolder(folder, 0750);
    case FolderSetup::OpenToOthers:
      return MakeFolder(folder, 0701);
    case FolderSetup::OpenToAll:
      return MakeFolder(folder, 0777);
    case FolderSetup::LinkToGoodFolder:
      MakeFolder(folder + "-target", 0700);
      QVERIFY(QFile::link(folder + "-target", folder));
      return;
    case FolderSetup::FileInTheWay: {
      QFile file(folder);
      QVERIFY(file.open(QIODevice::WriteOnly));
      return;
    }
  }
}

QStringList FileNames(const QStringList& paths) {
  QStringList names;
  for (const QString& path : paths) names << QFileInfo(path).fileName();
  return names;
}

}  // namespace

class RunSelectPathsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { runtime_.emplace(); }
  void cleanup() { runtime_.reset(); }

  void createsFolderOnlyItsOwnerMayEnter() {
    const TRunSelectFolder folder = OpenRunSelectFolder();
    QCOMPARE(folder.error, QString());
    QCOMPARE(folder.path, runtime_->SocketFolder());
    const mode_t mode = ModeOf(folder.path);
    QVERIFY(S_ISDIR(mode));
    QCOMPARE(mode & 07777, mode_t(0700));
  }

  void acceptsFolderItCreatedBefore() {
    const QString first = OpenRunSelectFolder().path;
    const TRunSelectFolder second = OpenRunSelectFolder();
    QCOMPARE(second.error, QString());
    QCOMPARE(second.path, first);
  }

  void refusesUnsafeFolder_data() {
    QTest::addColumn<FolderSetup>("setup");
    QTest::addColumn<QString>("reason");
    QTest::newRow("open to group") << FolderSetup::OpenToGroup << "open to other users";
    QTest::newRow("open to others") << FolderSetup::OpenToOthers << "open to other users";
    QTest::newRow("open to all") << FolderSetup::OpenToAll << "open to other users";
    QTest::newRow("link to a good folder") << FolderSetup::LinkToGoodFolder << "symbolic link";
    QTest::newRow("file in the way") << FolderSetup::FileInTheWay << "not a folder";
  }

  void refusesUnsafeFolder() {
    QFETCH(FolderSetup, setup);
    QFETCH(QString, reason);
    Prepare(setup, runtime_->SocketFolder());

    const TRunSelectFolder folder = OpenRunSelectFolder();
    QCOMPARE(folder.path, QString());
    QVERIFY2(folder.error.contains(runtime_->SocketFolder()), qPrintable(folder.error));
    QVERIFY2(folder.error.contains(reason), qPrintable(folder.error));
  }

  void refusesFolderOfAnotherUser() {
    if (::geteuid() != 0) QSKIP("only root can hand a folder to another user");
    const QString path = runtime_->SocketFolder();
    MakeFolder(path, 0700);
    QVERIFY(::chown(QFile::encodeName(path).constData(), 65534, 65534) == 0);

    const TRunSelectFolder folder = OpenRunSelectFolder();
    QCOMPARE(folder.path, QString());
    QVERIFY2(folder.error.contains("belongs to another user"), qPrintable(folder.error));
  }

  void fallsBackToTempFolder_data() {
    QTest::addColumn<bool>("isSet");
    QTest::addColumn<QString>("runtimeFolder");
    QTest::newRow("unset") << false << QString();
    QTest::newRow("empty") << true << QString();
    QTest::newRow("relative") << true << QString("run/user");
    QTest::newRow("missing") << true << QString("/nonexistent/run/user");
    QTest::newRow("a file") << true << QString("/etc/passwd");
  }

  void fallsBackToTempFolder() {
    QFETCH(bool, isSet);
    QFETCH(QString, runtimeFolder);
    const QTemporaryDir temp;
    const ScopedEnvironment tempFolder("TMPDIR", temp.path());
    const ScopedEnvironment runtime("XDG_RUNTIME_DIR",
                                    isSet ? std::optional(runtimeFolder) : std::nullopt);

    const TRunSelectFolder folder = OpenRunSelectFolder();
    QCOMPARE(folder.error, QString());
    QCOMPARE(folder.path, temp.path() + QString("/message-log-display-%1").arg(::geteuid()));
    QCOMPARE(ModeOf(folder.path) & 07777, mode_t(0700));
  }

  void namesSocketAfterProcessId() {
    QCOMPARE(RunSelectSocketPath("/run/user/1000/message-log-display", 4242),
             QString("/run/user/1000/message-log-display/4242"));
  }

  void listsViewerSocketsNewestFirst() {
    const QString folder = OpenRunSelectFolder().path;
    const QDateTime now = QDateTime::currentDateTime();
    const QList<std::pair<QString, int>> socketsAndAges = {
        {"100", 30}, {"200", 10}, {"300", 20}, {"viewer", 0}};
    for (const auto& [name, age] : socketsAndAges) {
      MakeStaleSocket(folder + '/' + name);
      SetModificationTime(folder + '/' + name, now.addSecs(-age));
    }
    QVERIFY(QDir(folder).mkdir("400"));
    QFile file(folder + "/500");
    QVERIFY(file.open(QIODevice::WriteOnly));

    QCOMPARE(FileNames(ViewerSocketsNewestFirst(folder)), QStringList({"200", "300", "100"}));
  }

 private:
  std::optional<ScratchRuntimeFolder> runtime_;
};

QTEST_GUILESS_MAIN(RunSelectPathsTest)
#include "RunSelectPathsTest.moc"
