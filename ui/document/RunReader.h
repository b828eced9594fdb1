#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

#include "RunText.h"

class FileWork;
struct LogStore;

// Reads the runs a window shows, and what they gain while the file is followed: at once from an
// in-memory store, and from the file of an indexed store on a thread of its own (FileWork), so
// that a share whose server stops answering never stops the window. One read is out at a time;
// what is asked for meanwhile waits, and a run asked for makes every earlier request void.
class RunReader : public QObject {
  Q_OBJECT

 public:
  using Show = std::function<void(RunText text)>;
  using Extended = std::function<void(bool extended)>;

  explicit RunReader(const LogStore& store, QObject* parent = nullptr);

  // Hands the lines of the run of table row `row` to `show`, unless the store changes first.
  void Read(int row, Show show);
  // Takes into `text`, the lines of the run of `row` that Read gave, what the run has gained,
  // and tells `extended` whether it could (see RunText::Extend), unless the store changes or
  // another run is asked for first. `text` must stay until then.
  void Extend(RunText& text, int row, Extended extended);
  // A read whose answer is still wanted is out, or waits.
  bool Busy() const;
  // The store is about to change: nothing asked for so far is handed on.
  void Forget();

 signals:
  void Answering(bool answering);
  // The file is not the store's any more (FileChangedError); `message` names it and says so.
  void Replaced(const QString& message);
  // The file could not be read for another reason, such as a lock another program holds.
  void Failed(const QString& message);

 private:
  // What a read on the file's thread found: the bytes asked for, or why there are none.
  template <class Bytes>
  struct Answer;
  using Request = std::function<void()>;

  void Ask(Request request);
  bool HasRow(int row) const;
  void StartRead(int row, const Show& show);
  void StartExtend(RunText& text, int row, const Extended& extended);
  // Runs `read` on the file's thread and hands its bytes to `take` if the request that asked is
  // still wanted then; what it throws is told.
  template <class Bytes, class Reading, class Taking>
  void OnFileThread(Reading read, Taking take);
  void Told(const QString& message, bool replaced);
  void StartWaiting();

  const LogStore& store_;
  FileWork* work_;
  unsigned asked_ = 0;              // counts the requests that make earlier ones void
  std::optional<Request> waiting_;  // asked for while a read was out
};
