#include "runtime/core/fmt.h"

#include <cstdio>

namespace rt {

namespace {

// Appends bytes while they fit, keeping room for the final terminator.
class Writer {
public:
  Writer(char *target, std::size_t capacity) : target_(target), capacity_(capacity) {}

  void Put(char c) {
    if (length_ + 1 < capacity_)
      target_[length_++] = c;
    else
      cut_ = true;
  }
  void Put(const char *text) {
    for (; text && *text; ++text)
      Put(*text);
  }
  int Finish() {
    if (capacity_ > 0)
      target_[length_] = '\0';
    return cut_ ? -1 : static_cast<int>(length_);
  }

private:
  char *target_;
  std::size_t capacity_;
  std::size_t length_ = 0;
  bool cut_ = false;
};

} // namespace

int FormatInto(char *target, std::size_t capacity, const char *format,
               std::initializer_list<FmtArg> args) {
  if (!target || capacity == 0)
    return -1;
  Writer out(target, capacity);
  const FmtArg *next = args.begin();
  const FmtArg *end = args.end();
  bool missing = false;
  for (const char *f = format ? format : ""; *f; ++f) {
    if (*f != '%' || (f[1] != 'd' && f[1] != 'c' && f[1] != 's')) {
      out.Put(*f);
      continue;
    }
    const char conversion = *++f;
    if (next == end) {
      missing = true;
      continue;
    }
    const FmtArg &arg = *next++;
    if (conversion == 's') {
      out.Put(arg.kind == FmtArg::Kind::Text ? arg.text : "");
    } else if (conversion == 'c') {
      out.Put(static_cast<char>(arg.kind == FmtArg::Kind::Int ? arg.number : 0));
    } else {
      char digits[24];
      std::snprintf(digits, sizeof digits, "%lld",
                    arg.kind == FmtArg::Kind::Int ? arg.number : 0LL);
      out.Put(digits);
    }
  }
  const int written = out.Finish();
  return missing ? -1 : written;
}

} // namespace rt
