// The baseline's three painted controls, each the shortest QPainter code that
// draws what the panel's own control shows: a round lamp, a dial meter and a
// strip chart of the last 60 s of rate readings. They draw, and keep what
// they draw; they do nothing else (no accessibility bridge, no stale timer,
// no cached background), since the baseline is to show what the panel
// shows at the least cost plain Qt allows.
#pragma once

#include <QPointF>
#include <QWidget>

#include <deque>

namespace bare {

// A lamp as high as a line of text plus a margin, dark until lit.
class Lamp : public QWidget {
public:
  explicit Lamp(QWidget *parent = nullptr);
  void setLit(bool lit);
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return {12, 12}; }

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  bool lit_ = false;
};

// A 270° dial from 0 to `maximum` with 5 labelled divisions of 5 ticks. Until
// the first reading it shows neither needle nor number, only a hollow hub.
class Dial : public QWidget {
public:
  explicit Dial(QWidget *parent = nullptr);
  void setReading(int value);
  QSize sizeHint() const override { return {200, 180}; }
  QSize minimumSizeHint() const override { return {120, 110}; }

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  int maximum_ = 10000;
  int value_ = 0;
  bool read_ = false;
};

// Rate readings over the last 60 s on the dial's scale, the newest at the
// right edge; a dotted line every 10 s.
class Strip : public QWidget {
public:
  explicit Strip(QWidget *parent = nullptr);
  // `seconds` on any steady clock; readings older than a minute fall off.
  void addReading(double seconds, int rate);
  QSize sizeHint() const override { return {200, 110}; }
  QSize minimumSizeHint() const override { return {120, 80}; }

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  static constexpr int kSeconds = 60;
  static constexpr int kTop = 10000;
  std::deque<QPointF> readings_; // (seconds, rate)
};

} // namespace bare
