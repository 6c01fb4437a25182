// The text of a file the tests read as a user would (documents, man pages,
// examples), and one part of it.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

// The whole of the file at `path`; an expectation fails when it cannot be read.
inline std::string FileText(const std::string &path) {
  std::ifstream file(path, std::ios::binary);
  EXPECT_TRUE(file.good()) << path;
  std::stringstream read;
  read << file.rdbuf();
  return read.str();
}

// The file at `path` in the source tree.
inline std::string SourceText(const std::string &path) {
  return FileText(std::string(NUVARO_SOURCE_DIR "/") + path);
}

// `text` from the line that starts with `heading` to the next line that
// starts with `next` (or the end); "" when no line starts with `heading`.
inline std::string Part(const std::string &text, const std::string &heading,
                        const std::string &next) {
  const std::size_t start = text.find("\n" + heading);
  if (start == std::string::npos)
    return {};
  const std::size_t end = text.find("\n" + next, start + 1);
  return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}
