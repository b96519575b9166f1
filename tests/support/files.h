// Test support: a file's bytes read and written whole, in binary mode, so that
// tests compare exactly what is on disk.
#pragma once

#include <string>

namespace wb::test {

// The file's bytes; "" when it cannot be read. On Windows the file is opened
// with every share mode, so a file the program under test still holds open
// (even for deletion) can be read.
std::string ReadBytes(const std::string& path);

// Writes the bytes over the file, making its folder first when it is missing;
// false when it cannot be written.
bool WriteBytes(const std::string& path, const std::string& bytes);

}  // namespace wb::test
