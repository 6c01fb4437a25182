#include "link/traffic_rows.h"

#include <cstdio>
#include <ctime>

#include "link/exchange.h"

namespace {
TrafficRowSink rowSink = nullptr;
long long nextId = 1;
long long newestId = 0;
} // namespace

void SetRowSink(TrafficRowSink sink) {
  rowSink = sink;
}

void PutRow(LogRow &row) {
  if (row.id == 0)
    row.id = nextId++;
  if (row.id > newestId)
    newestId = row.id;
  if (rowSink)
    rowSink(row);
}

long long NewestRowId() {
  return newestId;
}

std::string TimeOfDay(long long wallMs) {
  const std::time_t seconds = static_cast<std::time_t>(wallMs / 1000);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &seconds);
#else
  localtime_r(&seconds, &local);
#endif
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min, local.tm_sec,
                static_cast<int>(wallMs % 1000));
  return text;
}

std::string TryText(int number) {
  return std::to_string(number) + "/" + std::to_string(ORDER_ATTEMPTS);
}
