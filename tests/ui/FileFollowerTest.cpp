#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "FileFollower.h"
#include "FilePath.h"
#include "HangingFiles.h"

// What the follower sees of a file, by its poll alone (as on Windows, where a writer that keeps
// its handle open makes no notification, and on network shares) and with the system's
// notifications beside it.
class FileFollowerTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { usedByDefault_ = TFileFollower::UsesSystemNotifications(); }
  void cleanup() { TFileFollower::UseSystemNotifications(usedByDefault_); }

  // A share whose server stops answering: the looks hang until it answers again, and meanwhile
  // the thread that asked goes on, tells that the file is not answering, and sees the change
  // the file made meanwhile once it answers.
  void aLookThatHangsIsToldWhileTheThreadGoesOn() {
    TFileFollower::UseSystemNotifications(false);
    const QString path = folder_.filePath("share.log");
    Write(path, "first\r\n");
    TFileFollower follower;
    follower.Follow(path, ProbeFile(PathOf(path)));
    QSignalSpy answering(&follower, &TFileFollower::Answering);
    QSignalSpy changed(&follower, &TFileFollower::Changed);
    auto share = std::make_unique<HangingFiles>();
    int ticks = 0;
    QTimer ticking;
    connect(&ticking, &QTimer::timeout, this, [&ticks] { ++ticks; });
    ticking.start(50);

    QVERIFY(answering.wait(FileWork::kNotAnsweringMilliseconds * 3));
    QCOMPARE(answering.last().first().toBool(), false);
    QVERIFY(share->Hanging());
    QVERIFY(ticks >= FileWork::kNotAnsweringMilliseconds / 50 / 2);
    QVERIFY(changed.isEmpty());
    Write(path, "first\r\nsecond\r\n");
    share.reset();
    QVERIFY(answering.wait(FileWork::kNotAnsweringMilliseconds));
    QCOMPARE(answering.last().first().toBool(), true);
    QVERIFY(changed.wait(2000));
  }

  void showsAWriterThatKeepsItsFileOpenWithinHalfASecond_data() { BothWays(); }
  void showsAWriterThatKeepsItsFileOpenWithinHalfASecond() {
    QFETCH(bool, notifications);
    TFileFollower::UseSystemNotifications(notifications);
    const QString path = folder_.filePath("live.log");
    QFile writer(path);
    QVERIFY(writer.open(QIODevice::WriteOnly) && writer.write("start\r\n") > 0 && writer.flush());
    TFileFollower follower;
    follower.Follow(path, ProbeFile(PathOf(path)));

    // In nanoseconds: a report made in the same millisecond as the last append, and after it,
    // must still count as later than that append.
    QElapsedTimer clock;
    QList<qint64> appends, reports;
    connect(&follower, &TFileFollower::Changed, this, [&] { reports << clock.nsecsElapsed(); });
    QTimer appending;
    appending.setInterval(100);
    connect(&appending, &QTimer::timeout, this, [&] {
      QVERIFY(writer.write("line\r\n") > 0 && writer.flush());
      appends << clock.nsecsElapsed();
    });
    clock.start();
    appending.start();
    QTRY_VERIFY_WITH_TIMEOUT(appends.size() >= 20, 10000);
    appending.stop();
    QTRY_VERIFY_WITH_TIMEOUT(!reports.isEmpty() && reports.last() > appends.last(), 2000);

    // Every append was reported within half a second of being written. A machine too busy to
    // run this thread on time delays every timer alike, so the longest the appending timer
    // itself came late is added to the bound.
    qint64 stall = 0;
    for (qsizetype i = 1; i < appends.size(); ++i) {
      stall = std::max(stall, appends[i] - appends[i - 1] - appending.interval() * kMillisecond);
    }
    for (const qint64 appended : appends) {
      const auto report = std::lower_bound(reports.begin(), reports.end(), appended);
      QVERIFY2(report != reports.end() && *report - appended <= 500 * kMillisecond + stall,
               qPrintable(QStringLiteral("append at %1 ms, reports at %2 ms")
                              .arg(appended / kMillisecond)
                              .arg(ToText(reports))));
    }
  }

  void seesALogDeletedAndCreatedAgain_data() { BothWays(); }
  void seesALogDeletedAndCreatedAgain() {
    QFETCH(bool, notifications);
    TFileFollower::UseSystemNotifications(notifications);
    const QString path = folder_.filePath("again.log");
    Write(path, "first\r\n");
    TFileFollower follower;
    follower.Follow(path, ProbeFile(PathOf(path)));
    QSignalSpy changed(&follower, &TFileFollower::Changed);

    QVERIFY(QFile::remove(path));
    QVERIFY(changed.wait(2000));
    Write(path, "second\r\n");
    QVERIFY(changed.wait(2000));
    QCOMPARE(changed.last().first().toString(), QFileInfo(path).absoluteFilePath());
  }

 private:
  static constexpr qint64 kMillisecond = 1'000'000;  // in the clock's nanoseconds

  static void BothWays() {
    QTest::addColumn<bool>("notifications");
    QTest::newRow("by the poll alone") << false;
    QTest::newRow("with the system's notifications") << true;
  }

  static void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
  }

  static QString ToText(const QList<qint64>& times) {
    QStringList texts;
    for (const qint64 time : times) texts << QString::number(time / kMillisecond);
    return texts.join(' ');
  }

  bool usedByDefault_ = true;
  QTemporaryDir folder_;
};

QTEST_GUILESS_MAIN(FileFollowerTest)

#include "FileFollowerTest.moc"
