#pragma once

#include <memory>
#include <vector>

#include "LineHighlighter.h"
#include "LineMatcher.h"

// The alert lines of a store's bytes: the lines whose colour comes from a rule with the alert
// tick, the first enabled rule that matches them. A match is a whole line. Only the lines that
// an alert rule's pattern picks (each pattern searching the bytes once, through the byte search
// where it can) are decoded and given to the rules in order.
class TAlertLineMatcher final : public LineMatcher {
 public:
  TAlertLineMatcher(std::shared_ptr<const LineHighlighter> highlighter, Encoding encoding);

  bool CanMatch() const override { return !alertPatterns_.empty(); }
  // The first alert line that starts at or after `from`.
  std::optional<ByteMatch> FindForward(std::string_view lines, size_t from) const override;
  // The last alert line that starts before `before`.
  std::optional<ByteMatch> FindBackward(std::string_view lines, size_t before) const override;
  size_t CountMatchingLines(std::string_view lines) const override;
  size_t Reach() const override { return 0; }

 private:
  // Calls `onLine` with each alert line from the line start `from` on, while it returns true.
  template <class OnLine>
  void VisitAlertLines(std::string_view lines, size_t from, OnLine&& onLine) const;
  bool IsAlertLine(std::string_view line) const;

  std::shared_ptr<const LineHighlighter> highlighter_;
  Encoding encoding_;
  std::vector<std::shared_ptr<const LineMatcher>> alertPatterns_;
};

// Alert lines in a store of each encoding, by the rules of `highlighter`.
LineMatchers AlertMatchersFor(std::shared_ptr<const LineHighlighter> highlighter);
