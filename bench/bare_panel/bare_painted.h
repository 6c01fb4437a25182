// The baseline's three painted controls, each the shortest QPainter code that
// draws what the panel's own control shows at start: a round lamp, a dial
// meter without a reading, and the empty strip chart of the last minute.
// They draw; nothing else (no accessibility bridge, no stale timer, no
// cached background, no readings: the baseline has no device). The panel
// file's properties reach them through bare_panel.cpp.
#pragma once

#include <QWidget>

namespace bare {

// A dark lamp as high as a line of text plus a margin.
class Lamp : public QWidget {
public:
  explicit Lamp(QWidget *parent = nullptr);
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return {12, 12}; }

protected:
  void paintEvent(QPaintEvent *event) override;
};

// A 270° dial from `minimum` to `maximum` with 5 labelled divisions of 5
// ticks, and a hollow hub: no needle and no number before a reading.
class Dial : public QWidget {
public:
  explicit Dial(QWidget *parent = nullptr);
  void setScale(int minimum, int maximum);
  QSize sizeHint() const override { return {200, 180}; }
  QSize minimumSizeHint() const override { return {120, 110}; }

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  int minimum_ = 0;
  int maximum_ = 10000;
};

// The frame of a strip chart over the last `seconds` on a scale from 0 to
// `top`: y labels, a dotted line every 10 s and time labels every 30 s.
class Strip : public QWidget {
public:
  explicit Strip(QWidget *parent = nullptr);
  void setScale(int top, int seconds);
  QSize sizeHint() const override { return {200, 110}; }
  QSize minimumSizeHint() const override { return {120, 80}; }

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  int top_ = 10000;
  int seconds_ = 60;
};

} // namespace bare
