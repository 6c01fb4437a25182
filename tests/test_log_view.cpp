// The log view as the operator uses it: the list follows the newest row only
// while it is scrolled to the bottom, and "复制" copies the selected rows, or
// all of them, to the clipboard.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <QTreeView>

#include "runtime/controls/log_view.h"

namespace {

TEST(LogViewUse, FollowsTheNewestRowOnlyFromTheBottomAndCopiesTheSelection) {
  LogView view;
  view.resize(600, LogView::kHeight);
  view.show();
  QTreeView *list = view.list();
  QScrollBar *bar = list->verticalScrollBar();
  LogRow row;
  const auto add = [&](int n) {
    for (int i = 0; i < n; ++i) {
      ++row.id;
      row.payload = "row " + std::to_string(row.id);
      view.put(row);
    }
    view.refreshNow();
  };
  add(100);
  ASSERT_GT(bar->maximum(), 0);
  EXPECT_EQ(bar->value(), bar->maximum());
  bar->setValue(0); // the operator reads an older row
  add(50);
  EXPECT_EQ(bar->value(), 0);
  bar->setValue(bar->maximum());
  add(1);
  EXPECT_EQ(bar->value(), bar->maximum());

  EXPECT_EQ(view.copyText().count(QLatin1Char('\n')), 151);
  list->selectionModel()->select(view.model()->index(2, 0),
                                 QItemSelectionModel::Select | QItemSelectionModel::Rows);
  view.copy();
  const QString copied = QGuiApplication::clipboard()->text();
  EXPECT_EQ(copied.count(QLatin1Char('\n')), 1) << copied.toStdString();
  EXPECT_TRUE(copied.contains(QStringLiteral("row 3"))) << copied.toStdString();
}

} // namespace
