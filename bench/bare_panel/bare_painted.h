// The baseline's three painted controls, each the shortest QPainter code that
// draws what the panel's own control shows at start: a round lamp, a dial
// meter without a reading, and the empty strip chart of the last minute.
// They take the panel file's properties and draw; nothing else (no
// accessibility bridge, no stale timer, no cached background, no readings:
// the baseline has no device).
#pragma once

#include <QString>
#include <QWidget>

namespace bare {

// A lamp as high as a line of text plus a margin, dark. Its tool tip and
// accessible description say its state (`offText`), as the panel's do.
class Lamp : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString onText MEMBER onText_)
  Q_PROPERTY(QString offText READ offText WRITE setOffText)

public:
  explicit Lamp(QWidget *parent = nullptr);
  QString offText() const { return offText_; }
  void setOffText(const QString &text);
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return {12, 12}; }

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  QString onText_;
  QString offText_;
};

// A 270° dial from `minimum` to `maximum` with 5 labelled divisions of 5
// ticks, and a hollow hub: no needle and no number before a reading.
class Dial : public QWidget {
  Q_OBJECT
  Q_PROPERTY(int minimum MEMBER minimum_)
  Q_PROPERTY(int maximum MEMBER maximum_)
  Q_PROPERTY(int value MEMBER value_)
  Q_PROPERTY(QString unit MEMBER unit_)

public:
  explicit Dial(QWidget *parent = nullptr);
  int maximum() const { return maximum_; }
  QSize sizeHint() const override { return {200, 180}; }
  QSize minimumSizeHint() const override { return {120, 110}; }

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  int minimum_ = 0;
  int maximum_ = 10000;
  int value_ = 0;
  QString unit_;
};

// The frame of a strip chart over the last `seconds` on a dial's scale (the
// dial its `meter` property names): y labels, a dotted line every 10 s and
// time labels every 30 s.
class Strip : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString meter MEMBER meter_)
  Q_PROPERTY(int seconds MEMBER seconds_)

public:
  explicit Strip(QWidget *parent = nullptr);
  QString meter() const { return meter_; }
  void setTop(int top) { top_ = top; }
  QSize sizeHint() const override { return {200, 110}; }
  QSize minimumSizeHint() const override { return {120, 80}; }

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  QString meter_;
  int seconds_ = 60;
  int top_ = 10000;
};

} // namespace bare
