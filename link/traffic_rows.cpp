#include "link/traffic_rows.h"

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

std::string TryText(int number) {
  return std::to_string(number) + "/" + std::to_string(ORDER_ATTEMPTS);
}
