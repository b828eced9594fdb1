#pragma once

#include <cstddef>

// The few calls to the system's virtual memory that the text buffer is built on, one set per
// system: address space is reserved without memory, and pages get memory and access as the text
// needs them. Sizes and addresses are whole pages.
namespace AddressSpace {

size_t PageSize();
// Reserves `bytes` of address space that no one may touch yet; nullptr when there is none.
char* Reserve(size_t bytes);
void Release(char* start, size_t bytes);
// Gives the pages memory, where they have none, and makes them readable and writable.
bool MakeWritable(char* start, size_t bytes);
void MakeReadOnly(char* start, size_t bytes);

}  // namespace AddressSpace
