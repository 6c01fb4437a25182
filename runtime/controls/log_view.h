// A log view control: a list of rows, newest at the bottom, with a "复制"
// button that copies the selected rows, or all of them, to the clipboard as
// tab-separated text (Ctrl+C in the list does the same).
//
// Rows given to it (LogModel::put, through PutLogRow) are drawn from the event
// loop, at most every 100 ms: a callback that blocks can give rows without
// anything being drawn until it returns. The list follows the newest row while
// it is scrolled to the bottom.
//
// The list, its title and the button are made when the view is first shown
// (or its list is asked for): the view starts hidden, and most sessions never
// open it. Rows are kept in the model either way.
//
// The view takes the height its layout gives it, down to its title, the
// list's header and kLeastRows rows: the panel file places it under the
// graphs, which give way to it; its window keeps its size.
#pragma once

#include <QTimer>
#include <QWidget>

#include "runtime/controls/log_model.h"

class QLabel;
class QPushButton;
class QTreeView;

class LogView : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString title READ title WRITE setTitle)

public:
  static constexpr int kRefreshMs = 100;

  explicit LogView(QWidget *parent = nullptr);

  QString title() const;
  void setTitle(const QString &title);

  void put(const LogRow &row);
  // Draws what is queued now (the refresh does this from the event loop).
  void refreshNow();
  // What "复制" puts on the clipboard.
  QString copyText() const;
  void copy();

  LogModel *model() const { return model_; }
  QTreeView *list() const;

  static constexpr int kHeight = 272; // what it asks for
  static constexpr int kLeastRows = 3;
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;
  void setVisible(bool visible) override;

protected:
  void showEvent(QShowEvent *event) override;

private:
  LogModel *model_;
  QTreeView *list_ = nullptr; // these three from the first show on
  QPushButton *copyButton_ = nullptr;
  QLabel *titleLabel_ = nullptr;
  QString title_;
  QTimer refresh_;
  bool columnsSized_ = false; // sized when first shown: the view starts hidden

  void build();
  void sizeColumns();
};
