#include "LineList.h"

#include <stdexcept>
#include <string>

std::string_view LineList::At(size_t index) const {
  if (index >= count_) {
    throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
  }
  LineScanner scanner(begin_, end_);
  for (size_t i = 0; i < index; ++i) scanner.Next();
  return scanner.Next();
}
