#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "LineMatcher.h"

// Counts the lines that hold a match for a matcher that must see each line whole, as an
// expression that looks at where its line starts or ends: the line that a block leaves open is
// kept until its end comes. So that memory stays bounded, a line is kept up to kLongestLine bytes
// and one longer than that is tested on its first kLongestLine bytes.
class WholeLineCounter final : public LineCounter {
 public:
  static constexpr size_t kLongestLine = size_t{4} << 20;

  explicit WholeLineCounter(const LineMatcher& matcher) : matcher_(&matcher) {}

  void Add(std::string_view block) override;
  size_t Lines() const override;
  size_t LinesEnded() const override { return ended_; }
  uint64_t BytesEnded() const override { return bytesEnded_; }

 private:
  void AddLines(std::string_view lines);
  void KeepOpen(std::string_view piece);
  void EndLine();
  bool OpenLineMatches() const;

  const LineMatcher* matcher_;
  std::string open_;
  bool lineOpen_ = false;
  // The last block ended with a CR: the LF that may start the next one belongs to it, and the line
  // it ends is ended only when that is known.
  bool crPending_ = false;
  size_t ended_ = 0;
  uint64_t bytesAdded_ = 0;
  uint64_t bytesEnded_ = 0;
};
