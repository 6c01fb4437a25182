// The application on its real panel: start-up reading, the preview, the
// parameter callbacks, the work-mode dimming, clearing and quitting.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include "own_classes.h"
#include "panel_fixture.h"
#include "preview/plot.h"
#include "preview/synthesis.h"
#include "runtime/controls/graph.h"
#include "runtime/controls/meter.h"

namespace {

using AppPanel = PanelTest;

bool Dimmed(int control) {
  return !rt::ControlWidget(panelHandle, control)->isEnabled();
}

// The y values a graph's only plot shows, and its x step.
void ExpectOnlyPlot(int control, const double *samples, double gain) {
  Graph *graph = Control<Graph>(control);
  ASSERT_NE(graph, nullptr);
  ASSERT_EQ(graph->plotCount(), 1);
  const QList<QPointF> points = graph->plotPoints(graph->plotHandles().front());
  ASSERT_EQ(points.size(), WAVE_SAMPLES);
  for (int i = 0; i < WAVE_SAMPLES; ++i) {
    ASSERT_DOUBLE_EQ(points[i].y(), samples[i]) << i;
    ASSERT_NEAR(points[i].x(), i * gain, 1e-9) << i;
  }
}

TEST_F(AppPanel, InitReadsThePanelAndDrawsThePreview) {
  EXPECT_EQ(Settings, PanelStart());
  // Start-up leaves the dimming as stored: fixed-rate mode, sweep dimmed.
  EXPECT_FALSE(Dimmed(CTL_RATE));
  EXPECT_TRUE(Dimmed(CTL_SWEEPMIN));
  EXPECT_TRUE(Dimmed(CTL_REPEAT));
  // The first preview: 20 ms revolution, the pulse at 30 degrees.
  ExpectOnlyPlot(CTL_PULSE_GRAPH, datapoints, 0.02);
  ExpectOnlyPlot(CTL_LOGIC_GRAPH, datapoints1, 0.02);
  EXPECT_EQ(datapoints[83], -8.0);
  EXPECT_EQ(datapoints1[82], 5.0);
  // Start-up opens no port.
  EXPECT_FALSE(rt::IsPortOpen(kDevicePort));
  EXPECT_TRUE(Sent().empty());
}

TEST_F(AppPanel, RateChangeRescalesBothGraphsAndWidensThePulse) {
  Change(CTL_RATE, 6000, EVENT_VAL_CHANGED);
  EXPECT_EQ(Settings.rate, 6000);
  ExpectOnlyPlot(CTL_PULSE_GRAPH, datapoints, 0.01);
  ExpectOnlyPlot(CTL_LOGIC_GRAPH, datapoints1, 0.01);
  EXPECT_EQ(datapoints[92], -8.0); // r = 10: samples 83 to 92
  EXPECT_EQ(datapoints[93], 0.0);
  // A commit alone does not reach the rate callback.
  Change(CTL_RATE, 1500, EVENT_COMMIT);
  EXPECT_EQ(Settings.rate, 6000);
}

// A stopped device has no revolution: no pulses, and the graphs keep the
// time scale they had. Start-up plotted already: still one plot per graph.
TEST_F(AppPanel, RateZeroShowsNoPulsesAndKeepsTheScale) {
  Settings.rate = 0;
  plotwave();
  for (double v : datapoints)
    ASSERT_EQ(v, 0.0);
  ExpectOnlyPlot(CTL_PULSE_GRAPH, datapoints, 0.02);
  ExpectOnlyPlot(CTL_LOGIC_GRAPH, datapoints1, 0.02);
  // A negative rate scales the axis negative, and still draws.
  Settings.rate = -3000;
  plotwave();
  ExpectOnlyPlot(CTL_PULSE_GRAPH, datapoints, -0.02);
}

TEST_F(AppPanel, EachParameterCallbackStoresItsValueAndMarksPending) {
  for (const Parameter &c : Parameters()) {
    SCOPED_TRACE(c.name);
    Download(); // grey
    ASSERT_EQ(SendColour(), COLOR_SENT);
    ASSERT_EQ(SetCtrlVal(panelHandle, c.control, c.other), 0);
    // Other events leave everything as it was.
    Event(c.control, c.event == EVENT_COMMIT ? EVENT_VAL_CHANGED : EVENT_COMMIT);
    EXPECT_NE(Settings.*c.field, c.other);
    EXPECT_EQ(SendColour(), COLOR_SENT);
    Event(c.control, c.event);
    EXPECT_EQ(Settings.*c.field, c.other);
    EXPECT_EQ(SendColour(), COLOR_PENDING);
    Download(); // an unchanged value marks pending too
    Event(c.control, c.event);
    EXPECT_EQ(SendColour(), COLOR_PENDING);
  }
}

TEST_F(AppPanel, PreviewFollowsAngleWidthAndSignalModeButNotTheRest) {
  Change(CTL_ANGLE, 180);
  Graph *logic = Control<Graph>(CTL_LOGIC_GRAPH);
  EXPECT_EQ(logic->plotPoints(logic->plotHandles().front())[499].y(), 5.0);
  EXPECT_EQ(datapoints[500], -8.0);
  Change(CTL_SIGNALMODE, 0);
  EXPECT_EQ(datapoints[500], 8.0);
  ExpectOnlyPlot(CTL_PULSE_GRAPH, datapoints, 0.02);
  Change(CTL_WIDTH, 0);
  ExpectOnlyPlot(CTL_PULSE_GRAPH, datapoints, 0.02);
  EXPECT_EQ(datapoints[500], 0.0);
  // The sweep values and the work mode leave the preview alone.
  datapoints[500] = 123.0;
  Change(CTL_WORKMODE, 0);
  Event(CTL_SWEEPMIN, EVENT_COMMIT);
  Event(CTL_REPEAT, EVENT_COMMIT);
  EXPECT_EQ(datapoints[500], 123.0);
}

// A control is dimmed exactly when the chosen work mode's download does not
// carry its value: each parameter changed and downloaded, in either mode.
TEST_F(AppPanel, WorkModeDimsTheControlsItsDownloadDoesNotCarry) {
  for (const int mode : {0, 1}) { // sweep, then fixed rate
    Change(CTL_WORKMODE, mode);
    EXPECT_EQ(SendColour(), COLOR_PENDING);
    for (const Parameter &p : Parameters()) {
      if (p.field == &SettingsRecord::workMode) {
        EXPECT_FALSE(Dimmed(p.control));
        continue;
      }
      device->ClearRecord();
      Download();
      const Strings before = Sent();
      const int was = Settings.*p.field;
      Settings.*p.field = p.other == was ? p.start : p.other;
      device->ClearRecord();
      Download();
      const Strings after = Sent();
      Settings.*p.field = was;
      EXPECT_FALSE(before.empty());
      EXPECT_EQ(Dimmed(p.control), before == after) << p.name << " in mode " << mode;
    }
  }
}

TEST_F(AppPanel, SweepBoundsSetTheMeterRangeInAnyMode) {
  Meter *meter = Control<Meter>(CTL_RATE_METER);
  ASSERT_NE(meter, nullptr);
  const int minBefore = meter->minimum();
  Change(CTL_SWEEPMAX, 8000);
  EXPECT_EQ(meter->maximum(), 8000);
  EXPECT_EQ(meter->minimum(), minBefore);
  Change(CTL_SWEEPMIN, 9000); // above the maximum: passed on as it is
  EXPECT_EQ(meter->minimum(), 9000);
  EXPECT_EQ(meter->maximum(), 8000);
}

TEST_F(AppPanel, CleanEmptiesTheNotes) {
  auto *notes = Control<QPlainTextEdit>(CTL_NOTES);
  ASSERT_NE(notes, nullptr);
  notes->setPlainText(QStringLiteral("第一行\n第二行"));
  Event(CTL_CLEAN, EVENT_VAL_CHANGED);
  EXPECT_FALSE(notes->toPlainText().isEmpty());
  Event(CTL_CLEAN, EVENT_COMMIT);
  EXPECT_TRUE(notes->toPlainText().isEmpty());
}

// Only the commit ends the loop: the value changed before it leaves the loop
// running, or the commit would never be dispatched from it.
TEST_F(AppPanel, QuitButtonEndsTheEventLoop) {
  DisplayPanel(panelHandle);
  bool committedInLoop = false;
  QTimer::singleShot(0, [] { rt::DispatchControlEvent(panelHandle, CTL_QUIT, EVENT_VAL_CHANGED); });
  QTimer::singleShot(10, [&committedInLoop] {
    committedInLoop = true;
    rt::DispatchControlEvent(panelHandle, CTL_QUIT, EVENT_COMMIT);
  });
  // A guard in case the quit never arrives.
  QTimer guard;
  guard.setSingleShot(true);
  bool timedOut = false;
  QObject::connect(&guard, &QTimer::timeout, [&timedOut] {
    timedOut = true;
    QuitUserInterface(7);
  });
  guard.start(20000);
  EXPECT_EQ(RunUserInterface(), 0);
  EXPECT_TRUE(committedInLoop);
  EXPECT_FALSE(timedOut);
}

// The program itself ends at once with -1, with no window, when its start
// fails: started from a folder without the panel file, with one whose
// callback names do not match the control table or that gives a control a
// class no kind of control claims, or (X11 only) with a display that cannot
// be reached (where Qt alone would abort). A POSIX parent sees the low byte,
// 255; a Windows one the whole status, 0xFFFFFFFF, which is -1 as QProcess
// and cmd's %ERRORLEVEL% read it.
TEST(AppBinary, FailedStartsExitWithMinusOne) {
  enum class Fault { NoPanelFile, MisspelledCallback, UnclaimedClass, NoDisplay };
#ifdef _WIN32
  constexpr int kFailedStart = -1;
  const auto faults = {Fault::NoPanelFile, Fault::MisspelledCallback, Fault::UnclaimedClass};
#else
  constexpr int kFailedStart = 255;
  const auto faults = {Fault::NoPanelFile, Fault::MisspelledCallback, Fault::UnclaimedClass,
                       Fault::NoDisplay};
#endif
  const QString exeDir = QFileInfo(QStringLiteral(NUVARO_EXE)).absolutePath();
  QFile original(exeDir + QStringLiteral("/nuvaro.uir"));
  ASSERT_TRUE(original.open(QIODevice::ReadOnly));
  const QByteArray panelFile = original.readAll();
  QByteArray misspelled = panelFile, unclaimed = panelFile;
  ASSERT_EQ(misspelled.count(">SweepMin</string>"), 1);
  misspelled.replace(">SweepMin</string>", ">SweepMn</string>");
  // A class of the tests' own, which no kind of control claims.
  unclaimed = WithOwnClass(unclaimed, "CTL_NOTES", kUnclaimedClass);
  ASSERT_NE(unclaimed, panelFile);
  int display = 97;
  while (QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(display)))
    ++display;

  for (const Fault fault : faults) {
    SCOPED_TRACE(static_cast<int>(fault));
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString copy = dir.filePath(QFileInfo(QStringLiteral(NUVARO_EXE)).fileName());
    ASSERT_TRUE(QFile::copy(QStringLiteral(NUVARO_EXE), copy));
    QFile::setPermissions(copy, QFile::permissions(copy) | QFileDevice::ExeOwner);
    if (fault != Fault::NoPanelFile) {
      QFile beside(dir.filePath(QStringLiteral("nuvaro.uir")));
      ASSERT_TRUE(beside.open(QIODevice::WriteOnly));
      beside.write(fault == Fault::MisspelledCallback ? misspelled
                   : fault == Fault::UnclaimedClass   ? unclaimed
                                                      : panelFile);
    }
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path()); // else Qt warns of its absence
    // Without a console Qt gives its warnings to the debugger on Windows; a
    // panel file's author runs the program from one.
    env.insert(QStringLiteral("QT_FORCE_STDERR_LOGGING"), QStringLiteral("1"));
    if (fault == Fault::NoDisplay) {
      env.remove(QStringLiteral("QT_QPA_PLATFORM"));
      env.remove(QStringLiteral("WAYLAND_DISPLAY"));
      env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":%1").arg(display));
    } else {
      env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    }
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(exeDir); // a good file is here, not beside the copy
    process.start(copy, {});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), kFailedStart);
    // Only a panel file that disagrees with the program says why, for its
    // author.
    const QByteArray said = process.readAllStandardError();
    if (fault == Fault::MisspelledCallback)
      EXPECT_TRUE(said.contains("SweepMn")) << said.constData();
    else if (fault == Fault::UnclaimedClass)
      EXPECT_TRUE(said.contains(QByteArray("class \"") + kUnclaimedClass + "\""))
          << said.constData();
    else
      EXPECT_EQ(said, QByteArray());
  }
}

// And with the file beside it, from any working folder, it starts and runs
// until it is stopped: where it was built, and installed under a folder whose
// name has spaces and characters beyond ASCII ("Program Files", a Chinese
// user's folder).
TEST(AppBinary, StartsFromAnyFolder) {
  QTemporaryDir dir, elsewhere;
  const QString exeDir = QFileInfo(QStringLiteral(NUVARO_EXE)).absolutePath();
  const QString installed = dir.filePath(QStringLiteral("新 文件夹 ü"));
  ASSERT_TRUE(QDir().mkpath(installed));
  const QString copy =
      installed + QLatin1Char('/') + QFileInfo(QStringLiteral(NUVARO_EXE)).fileName();
  ASSERT_TRUE(QFile::copy(QStringLiteral(NUVARO_EXE), copy));
  QFile::setPermissions(copy, QFile::permissions(copy) | QFileDevice::ExeOwner);
  ASSERT_TRUE(QFile::copy(exeDir + QStringLiteral("/nuvaro.uir"),
                          installed + QStringLiteral("/nuvaro.uir")));
  for (const QString &program : {QStringLiteral(NUVARO_EXE), copy}) {
    SCOPED_TRACE(program.toStdString());
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(elsewhere.path());
    process.start(program, {});
    ASSERT_TRUE(process.waitForStarted(10000));
    EXPECT_FALSE(process.waitForFinished(1500)) << "exited with " << process.exitCode();
    process.kill();
    process.waitForFinished(10000);
  }
}

} // namespace
