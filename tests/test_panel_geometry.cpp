// The window on the screen it opens on, by geometry: within the screen's
// available area, every control wholly on it and in its own place, the send
// button in reach, and the graphs and the meter tall enough for Qt Charts to
// show every axis label; with the link view closed and open.
//
// The discovered run is one 1920 x 1080 screen at 100 %, where the window
// opens at its stored 1180 x 720. ctest runs the suite again on the screens
// operators have, each under QT_SCALE_FACTOR (tests/CMakeLists.txt), and
// under Wine a check runs it on Wine's own screen at 120 and 144 dpi
// (scripts/windows-checks/). The screen is whatever the run has.
#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QScreen>
#include <QWindow>

#include <QAbstractAxis>
#include <QChart>
#include <QGraphicsScene>
#include <QGraphicsTextItem>

#include <sstream>
#include <vector>

#include "panel_fixture.h"
#include "runtime/controls/graph.h"

namespace {

// Below this Qt Charts elides the axis labels to "…".
constexpr int kLeastChartHeight = 180;
// What a Windows desktop takes beyond an offscreen screen's area, in logical
// pixels: the taskbar (48 on Windows 11, 40 on 10) and the window's frame
// (the title bar, and the borders Windows counts in a window's frame).
constexpr int kTaskbarHeight = 48;
const QMargins kWindowsFrame(8, 31, 8, 8);

struct Placed {
  QString name;
  QRect area; // in the screen's logical coordinates
};

bool HasControlAbove(const QWidget *w, const QWidget *window) {
  for (const QWidget *p = w->parentWidget(); p && p != window; p = p->parentWidget())
    if (p->property("ctrlId").isValid())
      return true;
  return false;
}

// What the operator sees as one thing: each control (its inner parts are
// its own), each label and each button, shown.
std::vector<Placed> VisibleThings(QWidget *window) {
  std::vector<Placed> things;
  for (QWidget *w : window->findChildren<QWidget *>()) {
    const bool thing = w->property("ctrlId").isValid() || qobject_cast<QLabel *>(w) ||
                       qobject_cast<QAbstractButton *>(w);
    if (!thing || !w->isVisibleTo(window) || HasControlAbove(w, window))
      continue;
    things.push_back({w->objectName(), QRect(w->mapToGlobal(QPoint(0, 0)), w->size())});
  }
  return things;
}

std::string Describe(const QRect &r) {
  std::ostringstream out;
  out << r.width() << "x" << r.height() << "+" << r.x() << "+" << r.y();
  return out.str();
}

class PanelGeometry : public PanelTest {
protected:
  void SetUp() override {
    PanelTest::SetUp();
    window = rt::PanelWidget(panelHandle);
    ASSERT_EQ(DisplayPanel(panelHandle), 0);
    Settle();
    screen = window->screen()->availableGeometry();
  }
  void Settle() {
    for (int i = 0; i < 3; ++i)
      QApplication::processEvents();
  }
  void ToggleLinkView() {
    Event(CTL_LINK_BUTTON, EVENT_COMMIT);
    Settle();
  }
  int Height(int control) { return rt::ControlWidget(panelHandle, control)->height(); }

  // Everything the operator must reach, in the state the window is in.
  void ExpectEverythingInReach(const char *state) {
    SCOPED_TRACE(state);
    const QRect frame = window->frameGeometry();
    EXPECT_TRUE(screen.contains(frame))
        << "window " << Describe(frame) << " on the screen's area " << Describe(screen);
    const std::vector<Placed> things = VisibleThings(window);
    const QRect inside(window->mapToGlobal(QPoint(0, 0)), window->size());
    for (std::size_t i = 0; i < things.size(); ++i) {
      const Placed &a = things[i];
      EXPECT_TRUE(inside.contains(a.area) && screen.contains(a.area))
          << a.name.toStdString() << " at " << Describe(a.area) << " not wholly in the window "
          << Describe(inside) << " on the screen";
      for (std::size_t j = i + 1; j < things.size(); ++j)
        EXPECT_FALSE(a.area.intersects(things[j].area))
            << a.name.toStdString() << " " << Describe(a.area) << " overlaps "
            << things[j].name.toStdString() << " " << Describe(things[j].area);
    }
    EXPECT_TRUE(rt::ControlWidget(panelHandle, CTL_SEND)->isVisible());
    // The offscreen platform has neither: the window must also fit what a
    // Windows desktop of this screen leaves, at the least size of its layout.
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
      const QSize least = window->minimumSizeHint().grownBy(kWindowsFrame);
      EXPECT_LE(least.height(), screen.height() - kTaskbarHeight)
          << "the layout needs " << least.height() << " px with a Windows frame";
      EXPECT_LE(least.width(), screen.width());
    }
    for (int control : {CTL_PULSE_GRAPH, CTL_LOGIC_GRAPH, CTL_RATE_METER})
      EXPECT_GE(Height(control), kLeastChartHeight) << "control " << control;
    // Every text of each chart whole: its title, each axis's title, and
    // labels that read as numbers; Qt Charts writes what has no room as "...".
    for (int control : {CTL_PULSE_GRAPH, CTL_LOGIC_GRAPH}) {
      QChart *chart = Control<Graph>(control)->chart();
      for (QAbstractAxis *axis : chart->axes())
        EXPECT_FALSE(axis->labelsTruncated())
            << "graph " << control << ", axis " << axis->titleText().toStdString();
      QStringList titles = {chart->title()};
      for (QAbstractAxis *axis : chart->axes())
        titles << axis->titleText();
      int labels = 0;
      for (QGraphicsItem *item : chart->scene()->items()) {
        auto *text = dynamic_cast<QGraphicsTextItem *>(item);
        if (!text || !text->isVisible())
          continue;
        const QString shown = text->toPlainText().trimmed();
        bool number = false;
        shown.toDouble(&number);
        labels += number;
        EXPECT_TRUE(number || titles.contains(shown))
            << "graph " << control << " shows " << shown.toStdString();
      }
      EXPECT_GE(labels, 4) << "graph " << control; // two on each axis at least
    }
  }

  QWidget *window = nullptr;
  QRect screen;
};

TEST_F(PanelGeometry, EverythingInReachWithTheLinkViewClosedAndOpen) {
  ASSERT_FALSE(rt::ControlWidget(panelHandle, CTL_LINK_VIEW)->isVisible());
  ExpectEverythingInReach("link view closed");
  ToggleLinkView();
  ASSERT_TRUE(rt::ControlWidget(panelHandle, CTL_LINK_VIEW)->isVisible());
  ExpectEverythingInReach("link view open");
  ToggleLinkView();
  ExpectEverythingInReach("link view closed again");
}

// Where the screen has room, the window opens at its stored size, and the
// link view takes its height from the graphs without growing the window.
TEST_F(PanelGeometry, OpensAtItsStoredSizeWhereTheScreenHasRoom) {
  const QSize stored(1180, 720);
  const QMargins frame = window->windowHandle()->frameMargins();
  const QSize room = screen.size().shrunkBy(frame);
  if (room.width() < stored.width() || room.height() < stored.height())
    GTEST_SKIP() << "the screen's area " << Describe(screen) << " is smaller than the window";
  EXPECT_EQ(window->size(), stored);
  ToggleLinkView();
  EXPECT_EQ(window->size(), stored);
}

} // namespace
