#include "RunReader.h"

#include <exception>
#include <new>
#include <string>
#include <utility>

#include "FileWork.h"
#include "LogFileSource.h"
#include "LogStore.h"

template <class Bytes>
struct RunReader::Answer {
  std::optional<Bytes> Read;
  QString Message;  // without `Read`
  bool Replaced = false;
};

RunReader::RunReader(const LogStore& store, QObject* parent)
    : QObject(parent), store_(store), work_(new FileWork(this)) {
  connect(work_, &FileWork::Answering, this, &RunReader::Answering);
}

void RunReader::Read(int row, Show show) {
  ++asked_;
  waiting_.reset();
  if (!store_.Indexed()) {
    show(RunText(store_, store_.RunOfRow(static_cast<size_t>(row))));
    return;
  }
  Ask([this, row, show = std::move(show)] { StartRead(row, show); });
}

void RunReader::Extend(RunText& text, int row, Extended extended) {
  if (!store_.Indexed()) {
    extended(text.Extend(store_, store_.RunOfRow(static_cast<size_t>(row))));
    return;
  }
  // What the run has gained is found when the read starts, after whatever is out has come back.
  Ask([this, &text, row, extended = std::move(extended)] { StartExtend(text, row, extended); });
}

bool RunReader::Busy() const {
  return work_->Busy() || waiting_.has_value();
}

void RunReader::Forget() {
  ++asked_;
  waiting_.reset();
  work_->Drop();
}

void RunReader::Ask(Request request) {
  if (work_->Busy()) {
    waiting_ = std::move(request);
  } else {
    request();
  }
}

void RunReader::StartWaiting() {
  if (work_->Busy() || !waiting_) return;
  const Request request = std::move(*waiting_);
  waiting_.reset();
  request();
}

template <class Bytes, class Reading, class Taking>
void RunReader::OnFileThread(Reading read, Taking take) {
  const auto job = [read]() -> Answer<Bytes> {
    try {
      return {read(), QString(), false};
    } catch (const FileChangedError& error) {
      return {std::nullopt, QString::fromStdString(error.what()), true};
    } catch (const std::exception& error) {
      return {std::nullopt, QString::fromStdString(error.what()), false};
    } catch (...) {
      return {std::nullopt, RunReader::tr("The file could not be read."), false};
    }
  };
  const unsigned asked = asked_;
  const bool started = work_->Run(job, [this, asked, take](Answer<Bytes> answer) {
    if (asked == asked_) {
      if (answer.Read) {
        take(std::move(*answer.Read));
      } else {
        Told(answer.Message, answer.Replaced);
      }
    }
    StartWaiting();
  });
  if (!started) Told(tr("No thread could be started to read the file."), false);
}

bool RunReader::HasRow(int row) const {
  return row >= 0 && static_cast<size_t>(row) < store_.RowToRun.size();
}

void RunReader::StartRead(int row, const Show& show) {
  // A request that waited may be for a row that a run folded into the one before meanwhile.
  if (!HasRow(row)) return;
  const RunsInfo& run = store_.RunOfRow(static_cast<size_t>(row));
  OnFileThread<RunText>([source = LogFileSource(store_), script = store_.ScriptOf(run),
                         log = store_.LogOf(run)] { return RunText(source, script, log); },
                        [show](RunText text) { show(std::move(text)); });
}

void RunReader::StartExtend(RunText& text, int row, const Extended& extended) {
  const std::optional<LineSpan> log =
      HasRow(row) ? text.GrownLog(store_, store_.RunOfRow(static_cast<size_t>(row))) : std::nullopt;
  if (!log) {
    extended(false);
    return;
  }
  const uint64_t from = text.LogSpan().End;
  OnFileThread<std::string>(
      [source = LogFileSource(store_), from, to = log->End] {
        std::string added(to - from, '\0');
        source.Read(from, added.data(), added.size());
        return added;
      },
      [&text, log = *log, extended](const std::string& added) {
        extended(text.TakeIn(log, added));
      });
}

void RunReader::Told(const QString& message, bool replaced) {
  if (replaced) {
    emit Replaced(message);
  } else {
    emit Failed(message);
  }
}
