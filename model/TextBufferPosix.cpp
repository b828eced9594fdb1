#include <sys/mman.h>
#include <unistd.h>

#include "AddressSpace.h"
#include "TextBuffer.h"

char* AddressSpace::Reserve(size_t bytes) {
  void* memory =
      mmap(nullptr, bytes, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (memory == MAP_FAILED) return nullptr;
  // Filling a 1 GiB buffer then costs hundreds of page faults instead of a quarter of a million.
  madvise(memory, bytes, MADV_HUGEPAGE);
  return static_cast<char*>(memory);
}

void AddressSpace::Release(char* start, size_t bytes) {
  munmap(start, bytes);
}

bool AddressSpace::MakeWritable(char* start, size_t bytes) {
  return mprotect(start, bytes, PROT_READ | PROT_WRITE) == 0;
}

void AddressSpace::MakeReadOnly(char* start, size_t bytes) {
  mprotect(start, bytes, PROT_READ);
}

size_t AddressSpace::PageSize() {
  static const auto page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  return page;
}

size_t TextBuffer::PhysicalMemory() {
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long pageSize = sysconf(_SC_PAGESIZE);
  return pages > 0 && pageSize > 0 ? static_cast<size_t>(pages) * static_cast<size_t>(pageSize)
                                   : static_cast<size_t>(-1);
}
