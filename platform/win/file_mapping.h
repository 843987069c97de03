// Named file mappings backed by the paging file: a block of memory that code in the process
// finds by name. The blocks live in the process; other processes do not see them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/win/handles.h"

namespace win {

inline constexpr uint32_t PAGE_READWRITE = 0x04;
inline constexpr uint32_t FILE_MAP_WRITE = 0x0002;
inline constexpr uint32_t FILE_MAP_READ = 0x0004;

/// Creates a named block of `size` bytes (zero-filled), or opens the existing one of that name
/// (with ERROR_ALREADY_EXISTS as last error). The block lives while a handle to it is open.
Handle CreateFileMapping(uint32_t protect, size_t size, std::string_view name);
/// Opens an existing block by name; kNoHandle (ERROR_FILE_NOT_FOUND) when there is none.
Handle OpenFileMapping(uint32_t access, std::string_view name);
/// The block's memory; nullptr for a handle that is not a mapping.
void* MapViewOfFile(Handle mapping, uint32_t access);
bool UnmapViewOfFile(const void* view);

}  // namespace win
