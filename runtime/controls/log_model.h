// The rows behind a log view, bounded: at most kMaxRows rows and about
// kMaxBytes of text, the oldest dropped first.
//
// Rows are given at any time (also while a callback blocks) and wait in a
// queue; apply() moves them into the model, which is what the view draws. The
// queue itself is bounded the same way, so nothing grows while no event loop
// runs.
#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <deque>
#include <vector>

#include "runtime/core/log_view_ops.h"

class LogModel : public QAbstractTableModel {
  Q_OBJECT

public:
  static constexpr int kMaxRows = 5000;
  static constexpr qsizetype kMaxBytes = 2 * 1024 * 1024;
  enum Column { Time, Direction, Payload, Bytes, Verdict, ColumnCount };

  explicit LogModel(QObject *parent = nullptr);

  // Queues a row: new, or replacing the queued or shown row with its id.
  void put(const LogRow &row);
  bool hasPending() const { return !pending_.empty(); }
  // Moves the queued rows into the model.
  void apply();

  int rowCount(const QModelIndex &parent = {}) const override;
  int columnCount(const QModelIndex &parent = {}) const override;
  QVariant data(const QModelIndex &index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // The rows as text, one line each, cells separated by tabs; `rows` empty
  // means every row.
  QString text(std::vector<int> rows) const;
  qsizetype textBytes() const { return bytes_; }

private:
  struct Row {
    long long id = 0;
    int level = 0;
    bool header = false;
    int tone = 0;
    QString cells[ColumnCount];
    qsizetype bytes = 0;
  };
  static Row Convert(const LogRow &row);
  // Index of the shown row with that id, or -1.
  int find(long long id) const;
  void dropOldest();

  std::deque<Row> rows_;
  std::vector<LogRow> pending_;
  qsizetype bytes_ = 0;
};
