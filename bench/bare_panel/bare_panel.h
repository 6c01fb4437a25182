// The baseline the panel's costs are compared with: a bare Qt Widgets window
// built from the panel file itself (app/nuvaro.uir, compiled by uic), so it
// shows every group, label, mnemonic, range, value, list item, tool tip and
// accessible name the panel shows, and follows any change to them. The
// panel's own control classes are replaced by plain Qt stand-ins
// (bare_controls.h, bare_painted.h). It uses Qt alone, none of the code it is
// compared with.
//
// Its visible job: the port list read from the system with the demo entry and
// its notice, the sweep settings dimmed, and the two preview charts of 1000
// points whose traces and time axes follow the rate. It does that job the
// cheapest way plain Qt Charts allows: on a rate change each chart empties its
// line, moves its axis and gives the line its new points, so each line is laid
// out once; and the charts get their first points before the window is shown,
// so they are first laid out with them, at the window's size.
#pragma once

#include <QWidget>

#include <memory>

class QApplication;
class QChartView;
class QSpinBox;
class Ui_MainPanel;

namespace bare {

// What the panel's start-up does to the application object: Qt's Chinese
// translations and the window icon.
void SetUpApplication(QApplication &app);

class BarePanel : public QWidget {
public:
  explicit BarePanel(QWidget *parent = nullptr);
  ~BarePanel() override;

  QSpinBox *rateBox() const;
  QChartView *pulseView() const;
  QChartView *logicView() const;

private:
  // Both traces and both time axes for `rate` revolutions per minute.
  void follow(int rate);

  std::unique_ptr<Ui_MainPanel> ui_;
};

} // namespace bare
