#include "runtime/controls/log_view.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

LogView::LogView(QWidget *parent) : QWidget(parent), model_(new LogModel(this)) {
  refresh_.setSingleShot(true);
  refresh_.setInterval(kRefreshMs);
  connect(&refresh_, &QTimer::timeout, this, &LogView::refreshNow);
  title_ = QStringLiteral("通讯记录");
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QSize LogView::sizeHint() const {
  return {QWidget::sizeHint().width(), std::max(kHeight, minimumSizeHint().height())};
}

QSize LogView::minimumSizeHint() const {
  // The title's row (the copy button's height), the header and the rows, in
  // the list's own font; estimated from the view's before the list exists.
  const QFontMetrics metrics(list_ ? list_->font() : font());
  const int row = metrics.height() + 4;
  const int bar = copyButton_ ? copyButton_->sizeHint().height() : row + 8;
  const int spacing = layout() ? std::max(0, layout()->spacing()) : 6;
  return {200, bar + spacing + row * (kLeastRows + 1) + 2 * 2};
}

void LogView::build() {
  if (list_)
    return;
  list_ = new QTreeView(this);
  copyButton_ = new QPushButton(QStringLiteral("复制(&Y)"), this);
  titleLabel_ = new QLabel(title_, this);
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto *bar = new QHBoxLayout;
  QFont bold = titleLabel_->font();
  bold.setBold(true);
  titleLabel_->setFont(bold);
  bar->addWidget(titleLabel_);
  bar->addStretch(1);
  copyButton_->setAutoDefault(false);
  copyButton_->setToolTip(QStringLiteral("把选中的行（未选中时为全部）复制到剪贴板"));
  copyButton_->setAccessibleName(QStringLiteral("复制通讯记录"));
  bar->addWidget(copyButton_);
  layout->addLayout(bar);

  list_->setModel(model_);
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true); // rows of one height keep long lists cheap
  list_->setAlternatingRowColors(true);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setTextElideMode(Qt::ElideRight);
  list_->setAccessibleName(QStringLiteral("通讯记录列表"));
  layout->addWidget(list_, 1);

  auto *copyAction = new QAction(list_);
  copyAction->setShortcut(QKeySequence::Copy);
  copyAction->setShortcutContext(Qt::WidgetShortcut);
  list_->addAction(copyAction);
  connect(copyAction, &QAction::triggered, this, &LogView::copy);
  connect(copyButton_, &QPushButton::clicked, this, &LogView::copy);

  setFocusProxy(list_);
  list_->scrollToBottom();
  if (isVisible()) { // shown with its window, never hidden on its own
    titleLabel_->show();
    copyButton_->show();
    list_->show();
  }
}

QTreeView *LogView::list() const {
  const_cast<LogView *>(this)->build();
  return list_;
}

// Fixed widths: sizing columns to their contents would read every row.
void LogView::sizeColumns() {
  const QFontMetrics metrics(list_->font());
  QHeaderView *header = list_->header();
  header->setStretchLastSection(true);
  header->resizeSection(LogModel::Time,
                        metrics.horizontalAdvance(QStringLiteral("00:00:00.000")) + 16);
  header->resizeSection(LogModel::Direction,
                        metrics.horizontalAdvance(QStringLiteral("方向")) + 16);
  header->resizeSection(LogModel::Payload,
                        metrics.horizontalAdvance(QStringLiteral("    D1000,6000,100,")) + 16);
  header->resizeSection(LogModel::Bytes,
                        metrics.horizontalAdvance(QStringLiteral("24 08 52 33 30 30 30 2C 3F 00")) +
                            16);
}

void LogView::showEvent(QShowEvent *event) {
  build();
  if (!columnsSized_) {
    columnsSized_ = true;
    sizeColumns();
  }
  QWidget::showEvent(event);
}

QString LogView::title() const {
  return title_;
}
void LogView::setTitle(const QString &title) {
  title_ = title;
  if (titleLabel_)
    titleLabel_->setText(title);
}

void LogView::put(const LogRow &row) {
  model_->put(row);
  // Starting a timer draws nothing: it fires once the event loop runs again.
  if (!refresh_.isActive())
    refresh_.start();
}

void LogView::refreshNow() {
  refresh_.stop();
  if (!model_->hasPending())
    return;
  if (!list_) {
    model_->apply(); // nothing drawn yet: the list starts at the bottom
    return;
  }
  QScrollBar *bar = list_->verticalScrollBar();
  const bool following = bar->value() >= bar->maximum();
  model_->apply();
  if (following)
    list_->scrollToBottom();
}

QString LogView::copyText() const {
  std::vector<int> rows;
  if (list_ && list_->selectionModel())
    for (const QModelIndex &index : list_->selectionModel()->selectedRows())
      rows.push_back(index.row());
  return model_->text(std::move(rows));
}

void LogView::copy() {
  if (QClipboard *clipboard = QGuiApplication::clipboard())
    clipboard->setText(copyText());
}

void LogView::setVisible(bool visible) {
  if (visible)
    build();
  QWidget::setVisible(visible);
}
