#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "AddressSpace.h"
#include "TextBuffer.h"

char* AddressSpace::Reserve(size_t bytes) {
  return static_cast<char*>(VirtualAlloc(nullptr, bytes, MEM_RESERVE, PAGE_NOACCESS));
}

void AddressSpace::Release(char* start, size_t /*bytes*/) {
  VirtualFree(start, 0, MEM_RELEASE);
}

bool AddressSpace::MakeWritable(char* start, size_t bytes) {
  // Committing gives memory to the pages that have none yet; the pages already sealed are
  // opened for writing again by the protection change.
  DWORD previous = 0;
  return VirtualAlloc(start, bytes, MEM_COMMIT, PAGE_READWRITE) &&
         VirtualProtect(start, bytes, PAGE_READWRITE, &previous);
}

void AddressSpace::MakeReadOnly(char* start, size_t bytes) {
  DWORD previous = 0;
  VirtualProtect(start, bytes, PAGE_READONLY, &previous);
}

size_t AddressSpace::PageSize() {
  static const size_t page = [] {
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    return static_cast<size_t>(info.dwPageSize);
  }();
  return page;
}

size_t TextBuffer::PhysicalMemory() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof(status);
  return GlobalMemoryStatusEx(&status) ? static_cast<size_t>(status.ullTotalPhys)
                                       : static_cast<size_t>(-1);
}
