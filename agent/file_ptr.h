// Files of the agent (configuration, uploads, downloads) as owned stdio
// streams opened by program path.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Opens a program path (drive letters and both separators allowed) with an
// fopen mode; null when it cannot be opened.
FilePtr OpenFile(const std::string& path, const char* mode);
// Whether a program path names an existing entry.
bool FileExists(const std::string& path);
