// Panel operations: values, attributes, graphs, popups, the event loop and the
// error codes for bad input.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QChart>
#include <QLabel>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <limits>
#include <vector>

#include "panel_runtime_fixture.h"
#include "runtime/controls/graph.h"
#include "runtime/controls/meter.h"

namespace {

using PanelOps = PanelRuntimeTest;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Unknown panels and controls, and attributes a control does not have or
// values it cannot take.
TEST_F(PanelOps, UnknownPanelsControlsAndAttributesAreRefused) {
  int v = 0;
  double samples[2] = {0, 1};
  EXPECT_EQ(GetCtrlVal(panel, 99, &v), UIE_NO_CONTROL);
  EXPECT_EQ(SetCtrlAttribute(panel, -1, ATTR_DIMMED, 1), UIE_NO_CONTROL);
  EXPECT_EQ(GetCtrlVal(panel + 1000, CTL_RATE, &v), UIE_NO_PANEL);

  const int gone = LoadPanel(0, "nuvaro.uir", 1);
  ASSERT_GT(gone, 0);
  ASSERT_EQ(DiscardPanel(gone), 0);
  EXPECT_EQ(rt::PanelWidget(gone), nullptr);
  EXPECT_EQ(DisplayPanel(gone), UIE_NO_PANEL);
  EXPECT_EQ(DiscardPanel(gone), UIE_NO_PANEL);
  EXPECT_EQ(GetCtrlVal(gone, CTL_RATE, &v), UIE_NO_PANEL);
  EXPECT_EQ(SetCtrlVal(gone, CTL_RATE, 1), UIE_NO_PANEL);
  EXPECT_EQ(SetCtrlAttribute(gone, CTL_SEND, ATTR_CMD_BUTTON_COLOR, 0), UIE_NO_PANEL);
  EXPECT_EQ(ResetTextBox(gone, CTL_NOTES, ""), UIE_NO_PANEL);
  EXPECT_EQ(PlotY(gone, CTL_PULSE_GRAPH, samples, 2, VAL_DOUBLE, 0, 0, 0, 1, VAL_RED),
            UIE_NO_PANEL);
  EXPECT_EQ(DeleteGraphPlot(gone, CTL_PULSE_GRAPH, -1, 1), UIE_NO_PANEL);
  EXPECT_EQ(rt::DispatchControlEvent(gone, CTL_SEND, EVENT_COMMIT), UIE_NO_PANEL);

  EXPECT_EQ(SetCtrlAttribute(panel, CTL_RATE, 12345, 1), UIE_BAD_ATTRIBUTE);
  EXPECT_EQ(SetCtrlAttribute(panel, CTL_RATE, ATTR_CMD_BUTTON_COLOR, 0), UIE_BAD_ATTRIBUTE);
  EXPECT_EQ(SetCtrlAttribute(panel, CTL_RATE, ATTR_XAXIS_GAIN, 1.0), UIE_BAD_ATTRIBUTE);
  EXPECT_EQ(SetCtrlAttribute(panel, CTL_SEND, ATTR_MAX_VALUE, 1), UIE_BAD_ATTRIBUTE);
  EXPECT_EQ(SetCtrlAttribute(panel, CTL_SEND, ATTR_CMD_BUTTON_COLOR, -1), UIE_BAD_VALUE);
  EXPECT_EQ(SetCtrlAttribute(panel, CTL_SEND, ATTR_CMD_BUTTON_COLOR, 0x1000000), UIE_BAD_VALUE);
  EXPECT_EQ(SetCtrlAttribute(panel, CTL_RATE, ATTR_DIMMED, 0.5), UIE_BAD_VALUE);
  EXPECT_EQ(SetCtrlAttribute(panel, CTL_RATE, ATTR_MAX_VALUE, kNaN), UIE_BAD_VALUE);
  EXPECT_EQ(SetCtrlAttribute(panel, CTL_RATE, ATTR_MAX_VALUE, 1e12), UIE_BAD_VALUE);
  EXPECT_EQ(SetCtrlAttribute(panel, CTL_RATE, ATTR_MAX_VALUE, 5000.0), 0);
  EXPECT_EQ(Control<QSpinBox>(CTL_RATE)->maximum(), 5000);

  auto *graph = Control<Graph>(CTL_PULSE_GRAPH);
  ASSERT_EQ(SetCtrlAttribute(panel, CTL_PULSE_GRAPH, ATTR_XAXIS_GAIN, 0.25), 0);
  for (double bad : {kNaN, kInf, -kInf})
    EXPECT_EQ(SetCtrlAttribute(panel, CTL_PULSE_GRAPH, ATTR_XAXIS_GAIN, bad), UIE_BAD_VALUE);
  EXPECT_EQ(graph->xGain(), 0.25);
}

TEST_F(PanelOps, DimmingAndButtonColour) {
  QWidget *rate = Control<QWidget>(CTL_RATE);
  QLabel *label = nullptr;
  for (QLabel *l : rt::PanelWidget(panel)->findChildren<QLabel *>())
    if (l->buddy() == rate)
      label = l;
  ASSERT_NE(label, nullptr);
  SetCtrlAttribute(panel, CTL_RATE, ATTR_DIMMED, 1);
  EXPECT_FALSE(rate->isEnabled());
  EXPECT_FALSE(label->isEnabled());
  SetCtrlAttribute(panel, CTL_RATE, ATTR_DIMMED, 0);
  EXPECT_TRUE(rate->isEnabled());
  EXPECT_TRUE(label->isEnabled());

  // Each colour shows (one it had before too), white text on a dark one.
  for (auto [rgb, text] : {std::pair{COLOR_PENDING, "#ffffff"},
                           {COLOR_SENT, "#000000"},
                           {0x000080, "#ffffff"},
                           {COLOR_SENT, "#000000"}}) {
    EXPECT_EQ(SetCtrlAttribute(panel, CTL_SEND, ATTR_CMD_BUTTON_COLOR, rgb), 0);
    EXPECT_EQ(rt::CommandButtonColor(panel, CTL_SEND), rgb);
    EXPECT_TRUE(Control<QWidget>(CTL_SEND)->styleSheet().contains(QLatin1String("color: ") + text));
  }
  EXPECT_EQ(rt::CommandButtonColor(panel, CTL_RATE), UIE_BAD_ATTRIBUTE);
}

TEST_F(PanelOps, MeterTakesAnyRange) {
  auto *meter = Control<Meter>(CTL_RATE_METER);
  meter->resize(200, 180);
  ASSERT_EQ(SetCtrlAttribute(panel, CTL_RATE_METER, ATTR_MIN_VALUE, 8000), 0);
  ASSERT_EQ(SetCtrlAttribute(panel, CTL_RATE_METER, ATTR_MAX_VALUE, 2000), 0);
  SetCtrlVal(panel, CTL_RATE_METER, 5000);
  EXPECT_DOUBLE_EQ(meter->needlePosition(), 0.5); // the scale runs backwards
  EXPECT_FALSE(meter->grab().isNull());
  SetCtrlVal(panel, CTL_RATE_METER, 1000000);
  EXPECT_DOUBLE_EQ(meter->needlePosition(), 0.0);
  EXPECT_EQ(Value(CTL_RATE_METER), 1000000);

  SetCtrlAttribute(panel, CTL_RATE_METER, ATTR_MIN_VALUE, 2000); // empty scale
  EXPECT_DOUBLE_EQ(meter->needlePosition(), 0.0);
  SetCtrlAttribute(panel, CTL_RATE_METER, ATTR_MIN_VALUE, std::numeric_limits<int>::min());
  SetCtrlAttribute(panel, CTL_RATE_METER, ATTR_MAX_VALUE, std::numeric_limits<int>::max());
  SetCtrlVal(panel, CTL_RATE_METER, std::numeric_limits<int>::max());
  EXPECT_DOUBLE_EQ(meter->needlePosition(), 1.0);
  EXPECT_FALSE(meter->grab().isNull());
}

class GraphOps : public PanelRuntimeTest {
protected:
  int Plot(const std::vector<double> &samples, int graph = CTL_PULSE_GRAPH) {
    return PlotY(panel, graph, samples.data(), int(samples.size()), VAL_DOUBLE, VAL_THIN_LINE,
                 VAL_EMPTY_SQUARE, VAL_SOLID, 1, VAL_RED);
  }
  Graph *graph() { return Control<Graph>(CTL_PULSE_GRAPH); }
  static std::vector<double> Ramp(int n) {
    std::vector<double> v(n);
    for (int i = 0; i < n; ++i)
      v[i] = i % 7 - 3.0;
    return v;
  }
};

TEST_F(GraphOps, PlotsLieAtIndexTimesGain) {
  SetCtrlAttribute(panel, CTL_PULSE_GRAPH, ATTR_XAXIS_GAIN, 0.06);
  const std::vector<double> samples = Ramp(1000);
  const int first = Plot(samples);
  EXPECT_GT(first, 0);
  const QList<QPointF> points = graph()->plotPoints(first);
  ASSERT_EQ(points.size(), 1000);
  EXPECT_DOUBLE_EQ(points[999].x(), 999 * 0.06);
  EXPECT_DOUBLE_EQ(points[999].y(), samples[999]);

  // A new gain moves the plots already there.
  SetCtrlAttribute(panel, CTL_PULSE_GRAPH, ATTR_XAXIS_GAIN, 0.5);
  EXPECT_DOUBLE_EQ(graph()->plotPoints(first)[10].x(), 5.0);
  EXPECT_DOUBLE_EQ(graph()->xAxisMax(), 999 * 0.5);

  SetCtrlAttribute(panel, CTL_PULSE_GRAPH, ATTR_XAXIS_GAIN, -0.5);
  EXPECT_DOUBLE_EQ(graph()->xAxisMin(), -999 * 0.5);
  EXPECT_DOUBLE_EQ(graph()->xAxisMax(), 0.0);

  const auto *series = qobject_cast<QLineSeries *>(graph()->chart()->series().first());
  EXPECT_EQ(series->color(), QColor(Qt::red));
}

TEST_F(GraphOps, DeletingPlots) {
  const int a = Plot(Ramp(10));
  const int b = Plot(Ramp(20));
  EXPECT_NE(a, b);
  EXPECT_EQ(graph()->plotCount(), 2);
  EXPECT_EQ(DeleteGraphPlot(panel, CTL_PULSE_GRAPH, a, 1), 0);
  EXPECT_EQ(DeleteGraphPlot(panel, CTL_PULSE_GRAPH, a, 1), UIE_BAD_VALUE);
  EXPECT_EQ(graph()->plotHandles(), std::vector<int>{b});
  EXPECT_EQ(DeleteGraphPlot(panel, CTL_PULSE_GRAPH, VAL_ALL_OBJECTS, VAL_IMMEDIATE_DRAW), 0);
  EXPECT_EQ(graph()->plotCount(), 0);

  // Replotting over and over does not pile up series in the chart.
  for (int i = 0; i < 50; ++i) {
    DeleteGraphPlot(panel, CTL_PULSE_GRAPH, VAL_ALL_OBJECTS, VAL_IMMEDIATE_DRAW);
    Plot(Ramp(1000));
  }
  EXPECT_EQ(graph()->plotCount(), 1);
  EXPECT_LE(graph()->chart()->series().size(), 2);
  EXPECT_EQ(DeleteGraphPlot(panel, CTL_RATE, VAL_ALL_OBJECTS, 1), UIE_BAD_ATTRIBUTE);
}

TEST_F(GraphOps, BadSamplesAndArguments) {
  const double samples[] = {1.0, kNaN, kInf, 2.0, -1e300};
  const auto plot = [this](int control, const double *s, int n, int type, int colour) {
    return PlotY(panel, control, s, n, type, 0, 0, 0, 1, colour);
  };
  const int h = plot(CTL_LOGIC_GRAPH, samples, 5, VAL_DOUBLE, VAL_RED);
  ASSERT_GT(h, 0);
  // Points that cannot be drawn are left out; the others keep their x.
  const QList<QPointF> points = Control<Graph>(CTL_LOGIC_GRAPH)->plotPoints(h);
  ASSERT_EQ(points.size(), 3);
  EXPECT_DOUBLE_EQ(points[1].x(), 3.0);
  EXPECT_TRUE(std::isfinite(points[2].y()));
  EXPECT_FALSE(Control<QWidget>(CTL_LOGIC_GRAPH)->grab().isNull());

  EXPECT_EQ(plot(CTL_LOGIC_GRAPH, nullptr, 5, VAL_DOUBLE, VAL_RED), UIE_BAD_VALUE);
  EXPECT_EQ(plot(CTL_LOGIC_GRAPH, samples, 0, VAL_DOUBLE, VAL_RED), UIE_BAD_VALUE);
  EXPECT_EQ(plot(CTL_LOGIC_GRAPH, samples, -3, VAL_DOUBLE, VAL_RED), UIE_BAD_VALUE);
  EXPECT_EQ(plot(CTL_LOGIC_GRAPH, samples, 5, 3, VAL_RED), UIE_BAD_VALUE);
  EXPECT_EQ(plot(CTL_LOGIC_GRAPH, samples, 5, VAL_DOUBLE, -1), UIE_BAD_VALUE);
  EXPECT_EQ(plot(CTL_RATE, samples, 5, VAL_DOUBLE, VAL_RED), UIE_BAD_ATTRIBUTE);

  // A gain of zero or a huge one still gives a usable axis.
  for (double gain : {0.0, 1e300, -1e-310}) {
    ASSERT_EQ(SetCtrlAttribute(panel, CTL_LOGIC_GRAPH, ATTR_XAXIS_GAIN, gain), 0);
    auto *g = Control<Graph>(CTL_LOGIC_GRAPH);
    EXPECT_LT(g->xAxisMin(), g->xAxisMax()) << gain;
    EXPECT_FALSE(g->grab().isNull());
  }
}

TEST_F(PanelOps, TextBoxAndPopups) {
  auto *notes = Control<QPlainTextEdit>(CTL_NOTES);
  notes->setPlainText(QStringLiteral("备注一行"));
  EXPECT_EQ(ResetTextBox(panel, CTL_NOTES, ""), 0);
  EXPECT_TRUE(notes->toPlainText().isEmpty());
  EXPECT_EQ(ResetTextBox(panel, CTL_NOTES, nullptr), 0);
  EXPECT_EQ(ResetTextBox(panel, CTL_RATE, ""), UIE_BAD_ATTRIBUTE);

  std::vector<std::pair<std::string, std::string>> shown;
  rt::SetPopupHandler(
      [&](const std::string &t, const std::string &m) { shown.emplace_back(t, m); });
  EXPECT_EQ(MessagePopup("", "串口错误，请重新选择串口"), 0);
  EXPECT_EQ(MessagePopup(nullptr, nullptr), 0);
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].first, "");
  EXPECT_EQ(shown[0].second, "串口错误，请重新选择串口");
  EXPECT_EQ(shown[1].second, "");
}

int quitWithSeven(int, int, int event, void *, int, int) {
  if (event == EVENT_COMMIT)
    QuitUserInterface(7);
  return 0;
}

TEST_F(PanelOps, EventLoopRunsUntilQuit) {
  EXPECT_EQ(InitCVIRTE(nullptr, nullptr, nullptr), 1); // already started: still fine

  QuitUserInterface(3); // no loop running: nothing to end
  QTimer::singleShot(0, [] { QuitUserInterface(5); });
  EXPECT_EQ(RunUserInterface(), 5);

  // A callback ends the loop; closing the window does the same with 0.
  rt::RegisterCallback("quit", &quitWithSeven);
  const int second = LoadPanel(0, "nuvaro.uir", 1);
  ASSERT_GT(second, 0);
  QTimer::singleShot(
      0, [&] { qobject_cast<QAbstractButton *>(rt::ControlWidget(second, CTL_QUIT))->click(); });
  EXPECT_EQ(RunUserInterface(), 7);
  DisplayPanel(second);
  QTimer::singleShot(0, [&] { rt::PanelWidget(second)->close(); });
  EXPECT_EQ(RunUserInterface(), 0);
  EXPECT_NE(rt::PanelWidget(second), nullptr);
  DiscardPanel(second);
}

int discardOwnPanel(int panel, int, int event, void *, int, int) {
  if (event == EVENT_COMMIT)
    DiscardPanel(panel);
  return 0;
}

TEST_F(PanelOps, CallbackMayDiscardItsOwnPanel) {
  rt::RegisterCallback("Tqj", &discardOwnPanel);
  const int own = LoadPanel(0, "nuvaro.uir", 1);
  ASSERT_GT(own, 0);
  QPointer<QWidget> window = rt::PanelWidget(own);
  QPointer<QWidget> angle = rt::ControlWidget(own, CTL_ANGLE);
  QTest::keyClick(angle, Qt::Key_Up); // commit from inside the spin box's step
  EXPECT_EQ(rt::PanelWidget(own), nullptr);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
}

} // namespace
