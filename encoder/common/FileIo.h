#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Writes all of `text` to the descriptor, going on after interruptions and short writes. False when the
// reader is gone (or the descriptor refuses the bytes) before all of it was written.
bool WriteAll(int fd, std::string_view text);
// The same at `offset`, leaving the descriptor's own position as it is.
bool WriteAllAt(int fd, uint64_t offset, std::string_view bytes);
// Reads up to `count` bytes at `offset`; returns how many were read (fewer at the end of the file or on an
// error).
size_t ReadAt(int fd, uint64_t offset, void* into, size_t count);

// The bytes of the file at `path`; nullopt when it cannot be opened.
std::optional<std::string> ReadWholeFile(const std::string& path);
