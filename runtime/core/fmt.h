// Fmt: writes NUL-terminated text into a fixed buffer. "%d" a decimal
// integer, "%c" one byte from an int (0 included), "%s" a string; every other
// character is copied. Output that would not fit, terminator included, is cut:
// Fmt never writes past the target array.
#pragma once

#include <cstddef>
#include <initializer_list>

namespace rt {

struct FmtArg {
  enum class Kind { Int, Text } kind;
  long long number = 0;
  const char *text = nullptr;

  FmtArg(int v) : kind(Kind::Int), number(v) {}
  FmtArg(long v) : kind(Kind::Int), number(v) {}
  FmtArg(long long v) : kind(Kind::Int), number(v) {}
  FmtArg(unsigned v) : kind(Kind::Int), number(v) {}
  FmtArg(char v) : kind(Kind::Int), number(static_cast<unsigned char>(v)) {}
  FmtArg(const char *v) : kind(Kind::Text), text(v) {}
  FmtArg(char *v) : kind(Kind::Text), text(v) {}
};

// Returns the number of bytes written before the final terminator (which
// counts bytes written by "%c" with 0), or -1 when the output was cut.
int FormatInto(char *target, std::size_t capacity, const char *format,
               std::initializer_list<FmtArg> args);

} // namespace rt

template <std::size_t N, typename... Args>
int Fmt(char (&target)[N], const char *format, Args... args) {
  return rt::FormatInto(target, N, format, {rt::FmtArg(args)...});
}

template <std::size_t N, typename... Args>
int Fmt(unsigned char (&target)[N], const char *format, Args... args) {
  return rt::FormatInto(reinterpret_cast<char *>(target), N, format, {rt::FmtArg(args)...});
}
