// Whole files and byte ranges for tests.
#pragma once

#include <cstdint>
#include <string>

// The bytes of a file ("" when it cannot be read).
std::string ReadFileBytes(const std::string& path);
// size bytes from offset (fewer at the end of file).
std::string ReadFileRange(const std::string& path, int64_t offset, size_t size);
void WriteFileBytes(const std::string& path, const std::string& bytes);
