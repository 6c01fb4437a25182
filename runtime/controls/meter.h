// A dial meter: an arc scale from `minimum` to `maximum` with ticks and
// labels, a needle, and the value written out below with its unit. The value
// shown is never clamped; the needle stops at the ends of the scale. A minimum
// above the maximum gives a scale that runs backwards.
//
// It takes the focus from the Tab key only (so that a screen reader can land
// on it; a dashed frame shows the focus) and reads out as a read-only dial
// with a value (runtime/panel/kinds/meter_kind.cpp); every change of the value is announced.
//
// A reading can go stale: the meter keeps its value but greys the number and
// draws a hollow grey needle, and its accessible description says so. It is
// stale before the first reading (then it shows no number at all), after the
// runtime reports a port lost, and after kStaleAfterTicks timer ticks of its
// panel with no reading; the next reading makes it live again.
#pragma once

#include <QString>
#include <QWidget>

class Meter : public QWidget {
  Q_OBJECT
  Q_PROPERTY(int minimum READ minimum WRITE setMinimum)
  Q_PROPERTY(int maximum READ maximum WRITE setMaximum)
  Q_PROPERTY(int value READ value WRITE setValue)
  Q_PROPERTY(QString unit READ unit WRITE setUnit)

public:
  explicit Meter(QWidget *parent = nullptr);

  int minimum() const { return minimum_; }
  void setMinimum(int minimum);
  int maximum() const { return maximum_; }
  void setMaximum(int maximum);
  int value() const { return value_; }
  void setValue(int value);
  QString unit() const { return unit_; }
  void setUnit(const QString &unit);
  // The value as written below the dial: "3000 r/min".
  QString valueText() const;

  // Where the needle stands: 0 at the start of the scale, 1 at its end.
  double needlePosition() const;

  static constexpr int kStaleAfterTicks = 4;
  // A reading arrived (the program set the value): live again.
  void noteReading();
  // A timer tick of the panel ended; ticks with no reading add up.
  void noteTimerTick();
  // The value no longer tells what the device does now.
  void markStale();
  bool isStale() const { return stale_; }
  bool hasReading() const { return hasReading_; }
  // What the accessible description adds while stale: "" when live.
  QString staleNote() const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

signals:
  // Every value given to setValue, an unchanged one too (RateTrend follows it).
  void reading(int value);

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  void describeValue();
  void setStale(bool stale);

  int minimum_ = 0;
  int maximum_ = 10000;
  int value_ = 0;
  QString unit_ = QStringLiteral("r/min");
  bool stale_ = true;
  bool hasReading_ = false;
  bool readingThisTick_ = false;
  int ticksWithoutReading_ = 0;
};
