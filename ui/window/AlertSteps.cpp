#include "AlertSteps.h"

#include <QMenu>

#include "AlertsCommand.h"
#include "DisplayForm.h"
#include "RunsView.h"
#include "StatusLine.h"
#include "TextPane.h"

AlertSteps::AlertSteps(TFormDisplay& window, AlertsCommand& alerts, TStatusLine& statusLine,
                       QMenu& menu)
    : QObject(&window), window_(window), alerts_(alerts), statusLine_(statusLine) {
  menu.addAction(tr("Next Aler&t"), QKeySequence(Qt::Key_F8), this, [this] { Step(TStep::Next); });
  menu.addAction(tr("Pre&vious Alert"), QKeySequence(Qt::SHIFT | Qt::Key_F8), this,
                 [this] { Step(TStep::Previous); });
  connect(&window, &TFormDisplay::RunShown, this, &AlertSteps::RunShown);
}

void AlertSteps::Step(TStep step) {
  pending_.reset();
  if (StepInRun(step, false) || StepToRun(step)) return;
  statusLine_.showMessage(alerts_.Matchers().For(window_.LogData().TextEncoding)->CanMatch()
                              ? tr("No run has alert lines, or they are still being counted.")
                              : tr("No highlight rule is an alert rule."));
}

bool AlertSteps::StepInRun(TStep step, bool fromEnd) {
  TTextPane& pane = *window_.LogMemo;
  const std::string_view bytes = window_.ShownRun().Log().Bytes();
  if (pane.LineCount() == 0 || bytes.empty()) return false;
  const auto lineCount = static_cast<size_t>(pane.LineCount());
  const TTextRange selection = pane.Selection();
  const auto offsetOfLine = [&](size_t line) {
    return line >= lineCount ? bytes.size()
                             : static_cast<size_t>(pane.Lines().Line(line).data() - bytes.data());
  };
  const auto matcher = alerts_.Matchers().For(window_.LogData().TextEncoding);
  const std::optional<ByteMatch> line =
      step == TStep::Next
          ? matcher->FindForward(bytes, fromEnd ? 0 : offsetOfLine(selection.To.Ref.Line + 1))
          : matcher->FindBackward(bytes,
                                  fromEnd ? bytes.size() : offsetOfLine(selection.From.Ref.Line));
  if (!line) return false;
  const char* start = bytes.data() + line->Offset;
  const std::optional<TTextRange> range = pane.RangeOfBytes(start, start + line->Size);
  if (!range) return false;
  pane.Select(*range);
  return true;
}

bool AlertSteps::StepToRun(TStep step) {
  // The other runs need their counts: from now on they are kept.
  alerts_.Want();
  const TRunsTableModel& table = *window_.RunsView->Items();
  const int rows = table.rowCount();
  const int shown = window_.ShownRow();
  const int direction = step == TStep::Next ? 1 : -1;
  for (int k = 1; k <= rows; ++k) {
    const int row = ((shown + direction * k) % rows + rows) % rows;
    if (table.AlertCount(row).value_or(0) == 0) continue;
    if (row == shown) return StepInRun(step, true);
    pending_ = std::pair(row, step);
    window_.RunsView->SetSelectedIndex(row);
    window_.RunsView->MakeVisible(row);
    return true;
  }
  return false;
}

void AlertSteps::RunShown(int row) {
  if (!pending_ || pending_->first != row) return;
  const TStep step = pending_->second;
  pending_.reset();
  StepInRun(step, true);
}
