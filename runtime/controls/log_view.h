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
// The view has a fixed height, kHeight. Opening it makes its window taller by
// that and the spacing above it (as far as the screen allows), closing it
// gives them back: placed in a row of its own under the rest, as the panel
// file places it, it takes only new space and moves nothing.
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

  static constexpr int kHeight = 272;
  QSize sizeHint() const override;
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
  int grown_ = 0;
  int growBy() const;
  bool columnsSized_ = false; // sized when first shown: the view starts hidden

  void build();
  void sizeColumns();
};
