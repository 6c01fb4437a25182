// The panel file: every control the program addresses is there, of the right
// kind, with its callback and a name for assistive technology; initial values;
// and what LoadPanel does with files that are not a usable panel.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

#include "own_classes.h"
#include "panel_runtime_fixture.h"
#include "parameters.h"
#include "runtime/console/panel_file.h"
#include "runtime/controls/graph.h"
#include "runtime/controls/led.h"
#include "runtime/controls/meter.h"
#include "runtime/controls/numeric_control.h"
#include "runtime/controls/ring_control.h"
#include "runtime/controls/timer_control.h"
#include "runtime/core/panel_limits.h"
#include "runtime/panel/panel_loader.h"

namespace {

using PanelFile = PanelRuntimeTest;

// The control table names every control the program addresses; LoadPanel has
// checked objectName, callback and event against it. What the table does not
// say: each control has a name for assistive technology.
TEST_F(PanelFile, EveryControlOfTheTableIsThereWithAnAccessibleName) {
  for (int i = 0; i < controlCount; ++i) {
    const rt::ControlRow &row = controlTable[i];
    SCOPED_TRACE(row.objectName);
    QWidget *w = rt::ControlWidget(panel, row.id);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->objectName().toStdString(), row.objectName);
    EXPECT_EQ(rt::ControlCallbackName(panel, row.id), row.callbackName);
    EXPECT_FALSE(w->accessibleName().isEmpty());
  }
  EXPECT_EQ(rt::PanelWidget(panel)->objectName(), "MainPanel");
  EXPECT_TRUE(rt::PanelWidget(panel)->windowTitle().contains(QStringLiteral("信号发生器")));
}

TEST_F(PanelFile, InitialValuesAndStartUpDimming) {
  for (const int id : {CTL_PORT_LED, CTL_COMM_LED, CTL_RATE_METER})
    EXPECT_EQ(Value(id), 0) << "control " << id;

  // The controls the starting work mode does not send are stored dimmed, with
  // their labels.
  const int sent = PanelStart().workMode ? SENT_IN_FIXED_RATE : SENT_IN_SWEEP;
  for (const Parameter &p : Parameters()) {
    const bool enabled = (p.row->sentIn & sent) != 0;
    EXPECT_EQ(Control<QWidget>(p.control)->isEnabled(), enabled) << p.name;
    for (QLabel *label : rt::PanelWidget(panel)->findChildren<QLabel *>()) {
      if (label->buddy() == Control<QWidget>(p.control)) {
        EXPECT_EQ(label->isEnabled(), enabled) << "label of " << p.name;
      }
    }
  }
  EXPECT_EQ(Control<Meter>(CTL_RATE_METER)->minimum(), 0);
  EXPECT_GT(Control<Meter>(CTL_RATE_METER)->maximum(), PanelStart().sweepMax);
  EXPECT_GT(Control<TimerControl>(CTL_TIMER)->interval(), 0);
  EXPECT_FALSE(Control<TimerControl>(CTL_TIMER)->isTicking()); // not shown yet
}

TEST_F(PanelFile, KeyboardAccessAndLayout) {
  QWidget *window = rt::PanelWidget(panel);
  for (QLabel *label : window->findChildren<QLabel *>()) {
    if (label->text().contains(QLatin1Char('&'))) {
      EXPECT_NE(label->buddy(), nullptr) << label->text().toStdString();
    }
  }
  EXPECT_EQ(Control<QAbstractButton>(CTL_SEND)->shortcut(),
            QKeySequence(QStringLiteral("Ctrl+Return")));
  EXPECT_EQ(Control<QAbstractButton>(CTL_QUIT)->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
  EXPECT_EQ(Control<Led>(CTL_PORT_LED)->focusPolicy() & Qt::TabFocus, Qt::TabFocus);

  window->resize(window->minimumSize());
  window->layout()->activate();
  const QWidget *pulse = Control<QWidget>(CTL_PULSE_GRAPH);
  const QWidget *logic = Control<QWidget>(CTL_LOGIC_GRAPH);
  EXPECT_LT(pulse->mapTo(window, QPoint()).y(), logic->mapTo(window, QPoint()).y());
  EXPECT_EQ(Control<Graph>(CTL_PULSE_GRAPH)->title(), QStringLiteral("脉冲信号"));
  EXPECT_EQ(Control<Graph>(CTL_LOGIC_GRAPH)->title(), QStringLiteral("逻辑信号"));
}

// The link view takes its height from the graphs: opening and closing it
// leaves every other part where it was, and the graphs keep their tops and
// widths and give way to it.
TEST_F(PanelFile, OpeningTheLinkViewMovesNothingButTheGraphsBelowTheirTops) {
  QWidget *window = rt::PanelWidget(panel);
  window->move(0, 0);
  window->show();
  const int parts[] = {CTL_RATE_METER, CTL_RATE_TREND, CTL_SEND, CTL_LINK_BUTTON,
                       CTL_CLEAN,      CTL_QUIT,       CTL_NOTES};
  const int graphs[] = {CTL_PULSE_GRAPH, CTL_LOGIC_GRAPH};
  auto place = [&](int id) {
    window->layout()->activate();
    const QWidget *w = Control<QWidget>(id);
    return QRect(w->mapToGlobal(QPoint()), w->size());
  };
  auto placesNow = [&] {
    std::vector<QRect> places;
    for (int id : parts)
      places.push_back(place(id));
    return places;
  };
  auto expectNear = [&](const std::vector<QRect> &now, const std::vector<QRect> &then) {
    for (std::size_t i = 0; i < now.size(); ++i) {
      const QRect &a = now[i], &b = then[i];
      EXPECT_LE(std::max({std::abs(a.left() - b.left()), std::abs(a.top() - b.top()),
                          std::abs(a.right() - b.right()), std::abs(a.bottom() - b.bottom())}),
                2)
          << "control " << parts[i];
    }
  };
  const std::vector<QRect> closed = placesNow();
  const QRect firstGraph = place(CTL_PULSE_GRAPH);
  std::vector<QRect> graphsClosed;
  for (int id : graphs)
    graphsClosed.push_back(place(id));
  SetCtrlAttribute(panel, CTL_LINK_VIEW, ATTR_VISIBLE, 1); // as its button does
  ASSERT_TRUE(Control<QWidget>(CTL_LINK_VIEW)->isVisible());
  expectNear(placesNow(), closed);
  EXPECT_EQ(place(CTL_PULSE_GRAPH).top(), firstGraph.top());
  for (std::size_t i = 0; i < std::size(graphs); ++i) {
    EXPECT_EQ(place(graphs[i]).width(), graphsClosed[i].width());
    EXPECT_LT(place(graphs[i]).height(), graphsClosed[i].height());
  }
  EXPECT_GT(place(CTL_LINK_VIEW).top(), place(CTL_LOGIC_GRAPH).bottom());
  SetCtrlAttribute(panel, CTL_LINK_VIEW, ATTR_VISIBLE, 0);
  expectNear(placesNow(), closed);
  for (std::size_t i = 0; i < std::size(graphs); ++i)
    EXPECT_EQ(place(graphs[i]), graphsClosed[i]);
  window->hide();
}

class PanelFileErrors : public ::testing::Test {
protected:
  QString Write(const QString &name, const QByteArray &content) {
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    return path;
  }
  int Load(const QString &path) { return LoadPanel(0, path.toUtf8().constData(), 1); }

  QTemporaryDir dir;
};

// Files that are no panel, and the real panel file with one edit that breaks
// its match with the control table: each is a load failure, not a panel with
// a dead control, and shows no window.
TEST_F(PanelFileErrors, UnusableAndMismatchedFilesAreRefusedWithoutShowingAWindow) {
  QFile original(QCoreApplication::applicationDirPath() + QStringLiteral("/nuvaro.uir"));
  ASSERT_TRUE(original.open(QIODevice::ReadOnly));
  const QByteArray panelFile = original.readAll();
  const int unedited = Load(Write("same.uir", panelFile));
  ASSERT_GT(unedited, 0);
  DiscardPanel(unedited);

  const int windowsBefore = int(QApplication::topLevelWidgets().size());
  EXPECT_EQ(Load(dir.filePath("missing.uir")), UIE_FILE);
  EXPECT_EQ(Load(Write("empty.uir", "")), UIE_FILE);
  EXPECT_EQ(Load(Write("garbage.uir", QByteArray("\x00\xff<ui><widget", 13))), UIE_FILE);
  EXPECT_EQ(Load(Write("other.uir", "<?xml version=\"1.0\"?><html><body/></html>")), UIE_FILE);
  const QByteArray twice =
      "<ui version=\"4.0\"><widget class=\"QWidget\" name=\"MainPanel\">"
      "<widget class=\"QPushButton\" name=\"a\"><property name=\"ctrlId\" stdset=\"0\">"
      "<number>5</number></property></widget>"
      "<widget class=\"QPushButton\" name=\"b\"><property name=\"ctrlId\" stdset=\"0\">"
      "<number>5</number></property></widget></widget></ui>";
  EXPECT_EQ(Load(Write("twice.uir", twice)), UIE_FILE);
  EXPECT_EQ(LoadPanel(0, nullptr, 1), UIE_FILE);
  EXPECT_EQ(LoadPanel(0, "", 1), UIE_FILE);
  EXPECT_LT(LoadPanel(0, "nuvaro.uir", 2), 0);

  const struct {
    const char *what;
    QByteArray from, to;
  } edits[] = {
      {"misspelled callback", ">SweepMin</string>", ">SweepMn</string>"},
      {"callback of another control", ">SweepMin</string>", ">SweepMax</string>"},
      {"missing control", "name=\"CTL_RATE_METER\"", "name=\"CTL_RATE_GAUGE\""},
      {"repeated ID", "<number>23</number>", "<number>7</number>"},
      {"ID of no control in the table", "<number>23</number>", "<number>99</number>"},
      {"callback on a control that never sends its event", "class=\"Led\" name=\"CTL_PORT_LED\"",
       "class=\"Meter\" name=\"CTL_PORT_LED\""},
  };
  for (const auto &e : edits) {
    ASSERT_EQ(panelFile.count(e.from), 1) << e.what;
    QByteArray edited = panelFile;
    edited.replace(e.from, e.to);
    EXPECT_EQ(Load(Write("edited.uir", edited)), UIE_FILE) << e.what;
  }
  // A control of a class no kind claims, which Qt's form loader makes.
  const QByteArray unclaimed = WithOwnClass(panelFile, "CTL_NOTES", kUnclaimedClass);
  ASSERT_NE(unclaimed, panelFile);
  EXPECT_EQ(Load(Write("unclaimed.uir", unclaimed)), UIE_FILE);
  EXPECT_EQ(int(QApplication::topLevelWidgets().size()), windowsBefore);
}

// The limits nuvaroctl reads from a panel file without making a widget are
// those the panel's widgets take from it: for the panel file itself, and for
// a form with a spin box's default range, bounds that cross over its value,
// and a ring whose item values are partly missing; and the values they start
// with. A file that is no form, or gives two
// controls one ID, is refused.
TEST_F(PanelFileErrors, LimitsReadWithoutWidgetsAreThoseThePanelsWidgetsTake) {
  const auto item = [](const char *type, int id, const char *properties) {
    return QByteArray("<item><widget class=\"") + type + "\" name=\"c" + QByteArray::number(id) +
           "\"><property name=\"ctrlId\" stdset=\"0\"><number>" + QByteArray::number(id) +
           "</number></property>" + properties + "</widget></item>";
  };
  const auto form = [](const QByteArray &items) {
    return "<ui version=\"4.0\"><widget class=\"QWidget\" name=\"MainPanel\">"
           "<layout class=\"QVBoxLayout\" name=\"l\">" +
           items + "</layout></widget></ui>";
  };
  const QByteArray text = "<item><property name=\"text\"><string>x</string></property></item>";
  QFile original(QCoreApplication::applicationDirPath() + QStringLiteral("/nuvaro.uir"));
  ASSERT_TRUE(original.open(QIODevice::ReadOnly));
  const QString forms[] = {
      Write("panel.uir", original.readAll()),
      Write("edges.uir",
            form(item("NumericControl", 1, "") +
                 item("NumericControl", 2,
                      "<property name=\"value\"><number>7</number></property>"
                      "<property name=\"minimum\"><number>10</number></property>"
                      "<property name=\"maximum\"><number>5</number></property>") +
                 item("RingControl", 3,
                      "<property name=\"itemValues\" stdset=\"0\"><string>7,x</string></property>" +
                          text + text + text))),
  };
  for (const QString &path : forms) {
    SCOPED_TRACE(path.toStdString());
    std::map<int, rt::ControlLimits> limits;
    std::string error;
    ASSERT_TRUE(rt::ReadControlLimits(path.toUtf8().constData(), &limits, &error)) << error;
    const std::unique_ptr<QWidget> window(rt::BuildPanelWidget(path).window);
    ASSERT_NE(window, nullptr);
    std::size_t seen = 0;
    for (QWidget *w : window->findChildren<QWidget *>()) {
      const auto found = limits.find(w->property("ctrlId").toInt());
      if (auto *numeric = qobject_cast<NumericControl *>(w)) {
        ASSERT_NE(found, limits.end()) << w->objectName().toStdString();
        EXPECT_EQ(
            std::make_tuple(found->second.minimum, found->second.maximum, found->second.start),
            std::make_tuple(numeric->minimum(), numeric->maximum(), numeric->value()));
        ++seen;
      } else if (auto *ring = qobject_cast<RingControl *>(w)) {
        ASSERT_NE(found, limits.end()) << w->objectName().toStdString();
        ring->applyItemValues(); // as LoadPanel does once the items are there
        std::vector<int> values;
        for (int i = 0; i < ring->count(); ++i)
          values.push_back(ring->itemData(i).toInt());
        EXPECT_EQ(found->second.choices, values);
        EXPECT_EQ(found->second.start, ring->currentData().toInt());
        ++seen;
      }
    }
    EXPECT_EQ(seen, limits.size());
  }

  std::string error;
  for (const QString &bad :
       {dir.filePath("missing.uir"), Write("other.uir", "<html><body/></html>"),
        Write("twice.uir", form(item("NumericControl", 5, "") + item("RingControl", 5, "")))}) {
    EXPECT_FALSE(rt::ReadControlLimits(bad.toUtf8().constData(), nullptr, &error));
    EXPECT_NE(error.find(bad.toStdString()), std::string::npos) << error;
  }
}

// A build tree has the panel file beside the executable, an install has it in
// <prefix>/share/nuvaro/; the copy beside the executable wins, whatever the
// working folder.
TEST_F(PanelFileErrors, BareNameIsSearchedBesideTheExecutableThenInTheDataFolder) {
  const QString before = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(dir.path()));
  const int bare = LoadPanel(0, "nuvaro.uir", 1);
  const int relative = LoadPanel(0, "./nuvaro.uir", 1); // a path is taken as given
  QDir::setCurrent(before);
  EXPECT_GT(bare, 0);
  EXPECT_EQ(relative, UIE_FILE);
  DiscardPanel(bare);

  const QString bin = dir.filePath("bin");
  const QString data = dir.filePath("share/nuvaro");
  ASSERT_TRUE(QDir().mkpath(bin) && QDir().mkpath(data));
  Write("bin/both.uir", "");
  Write("share/nuvaro/both.uir", "");
  Write("share/nuvaro/installed.uir", "");
  const struct {
    const char *name;
    QString expected;
  } cases[] = {
      {"both.uir", bin + "/both.uir"},
      {"installed.uir", data + "/installed.uir"},
      {"missing.uir", bin + "/missing.uir"}, // and loading it fails
  };
  for (const auto &c : cases)
    EXPECT_EQ(rt::FindPanelFile(bin, QString::fromUtf8(c.name)), c.expected) << c.name;
}

} // namespace
