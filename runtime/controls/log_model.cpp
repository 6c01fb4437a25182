#include "runtime/controls/log_model.h"

#include <QBrush>
#include <QColor>
#include <QFont>

#include <algorithm>

namespace {

// A queued row waits for the model at most this many rows back.
constexpr std::size_t kPendingUpdateReach = 256;

QString Indented(const QString &text, int level) {
  return level > 0 ? QStringLiteral("    ") + text : text;
}

} // namespace

LogModel::LogModel(QObject *parent) : QAbstractTableModel(parent) {}

void LogModel::put(const LogRow &row) {
  // A row updated before the view took it is replaced where it waits.
  const std::size_t reach = std::min(pending_.size(), kPendingUpdateReach);
  for (std::size_t i = pending_.size(); i > pending_.size() - reach; --i) {
    if (pending_[i - 1].id == row.id) {
      pending_[i - 1] = row;
      return;
    }
  }
  pending_.push_back(row);
  if (pending_.size() > std::size_t(2 * kMaxRows))
    pending_.erase(pending_.begin(), pending_.begin() + kMaxRows);
}

LogModel::Row LogModel::Convert(const LogRow &r) {
  Row row;
  row.id = r.id;
  row.level = r.level;
  row.header = r.header;
  row.tone = r.tone;
  row.cells[Time] = QString::fromStdString(r.time);
  row.cells[Direction] = QString::fromStdString(r.direction);
  row.cells[Payload] = QString::fromStdString(r.payload);
  row.cells[Bytes] = QString::fromStdString(r.bytes);
  row.cells[Verdict] = QString::fromStdString(r.verdict);
  row.bytes = 64;
  for (const QString &cell : row.cells)
    row.bytes += cell.size() * qsizetype(sizeof(QChar));
  return row;
}

int LogModel::find(long long id) const {
  const auto at = std::lower_bound(rows_.begin(), rows_.end(), id,
                                   [](const Row &row, long long value) { return row.id < value; });
  return at != rows_.end() && at->id == id ? int(at - rows_.begin()) : -1;
}

void LogModel::apply() {
  if (pending_.empty())
    return;
  std::vector<LogRow> queued;
  queued.swap(pending_);
  std::vector<Row> added;
  for (const LogRow &r : queued) {
    const long long newest = !added.empty() ? added.back().id : rows_.empty() ? 0 : rows_.back().id;
    if (r.id > newest) {
      added.push_back(Convert(r));
      continue;
    }
    const auto inAdded =
        std::find_if(added.begin(), added.end(), [&](const Row &a) { return a.id == r.id; });
    if (inAdded != added.end()) {
      *inAdded = Convert(r);
      continue;
    }
    const int at = find(r.id);
    if (at < 0)
      continue; // dropped already
    Row &row = rows_[std::size_t(at)];
    bytes_ -= row.bytes;
    row = Convert(r);
    bytes_ += row.bytes;
    emit dataChanged(index(at, 0), index(at, ColumnCount - 1));
  }
  if (!added.empty()) {
    // Rows that would be dropped at once are not inserted at all.
    if (added.size() > std::size_t(kMaxRows))
      added.erase(added.begin(), added.end() - kMaxRows);
    const int first = int(rows_.size());
    beginInsertRows({}, first, first + int(added.size()) - 1);
    for (Row &row : added) {
      bytes_ += row.bytes;
      rows_.push_back(std::move(row));
    }
    endInsertRows();
  }
  dropOldest();
}

void LogModel::dropOldest() {
  int count = 0;
  qsizetype bytes = bytes_;
  while (count < int(rows_.size()) && (int(rows_.size()) - count > kMaxRows || bytes > kMaxBytes)) {
    bytes -= rows_[std::size_t(count)].bytes;
    ++count;
  }
  if (count == 0)
    return;
  beginRemoveRows({}, 0, count - 1);
  rows_.erase(rows_.begin(), rows_.begin() + count);
  bytes_ = bytes;
  endRemoveRows();
}

int LogModel::rowCount(const QModelIndex &parent) const {
  return parent.isValid() ? 0 : int(rows_.size());
}

int LogModel::columnCount(const QModelIndex &parent) const {
  return parent.isValid() ? 0 : ColumnCount;
}

QVariant LogModel::data(const QModelIndex &index, int role) const {
  if (!index.isValid() || index.row() >= int(rows_.size()))
    return {};
  const Row &row = rows_[std::size_t(index.row())];
  switch (role) {
  case Qt::DisplayRole:
  case Qt::ToolTipRole:
    return index.column() == Payload ? Indented(row.cells[Payload], row.level)
                                     : row.cells[index.column()];
  case Qt::FontRole:
    if (row.header) {
      QFont bold;
      bold.setBold(true);
      return bold;
    }
    return {};
  case Qt::BackgroundRole:
    return row.header ? QVariant(QBrush(QColor(0xe8, 0xee, 0xf6))) : QVariant();
  case Qt::ForegroundRole:
    if (index.column() != Verdict || row.tone == 0)
      return {};
    return QBrush(row.tone == 1 ? QColor(0x1a, 0x7a, 0x2e) : QColor(0xb0, 0x10, 0x10));
  default: return {};
  }
}

QVariant LogModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
    return {};
  static const char *const kTitles[] = {"时间", "方向", "内容", "字节（十六进制）", "结果"};
  return section >= 0 && section < ColumnCount ? QString::fromUtf8(kTitles[section]) : QVariant();
}

QString LogModel::text(std::vector<int> rows) const {
  if (rows.empty())
    for (int i = 0; i < int(rows_.size()); ++i)
      rows.push_back(i);
  std::sort(rows.begin(), rows.end());
  QString out;
  for (int i : rows) {
    if (i < 0 || i >= int(rows_.size()))
      continue;
    const Row &row = rows_[std::size_t(i)];
    for (int c = 0; c < ColumnCount; ++c) {
      if (c)
        out += QLatin1Char('\t');
      out += c == Payload ? Indented(row.cells[c], row.level) : row.cells[c];
    }
    out += QLatin1Char('\n');
  }
  return out;
}
