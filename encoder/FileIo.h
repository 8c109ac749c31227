#pragma once

#include <optional>
#include <string>
#include <string_view>

// Writes all of `text` to the descriptor, going on after interruptions and short writes. False when the
// reader is gone (or the descriptor refuses the bytes) before all of it was written.
bool WriteAll(int fd, std::string_view text);

// The bytes of the file at `path`; nullopt when it cannot be opened.
std::optional<std::string> ReadWholeFile(const std::string& path);
