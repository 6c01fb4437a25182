// A strip chart of a meter's readings over the last minute: the x axis in
// seconds up to now, the y axis the meter's own scale, so that a sweep fills
// it from its lower to its upper bound. It takes every value the meter is
// given (an unchanged reading too) and asks for nothing itself.
//
// Times are on the runtime clock. It takes the focus from the Tab key only,
// like the meter, and its accessible description sums up what it shows.
#pragma once

#include <QFont>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <deque>

class Meter;

class RateTrend : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString meter READ meterName WRITE setMeterName)
  Q_PROPERTY(int seconds READ seconds WRITE setSeconds)

public:
  static constexpr int kMaxSamples = 2000;

  explicit RateTrend(QWidget *parent = nullptr);

  // The objectName of the meter to follow; the panel loader connects it.
  QString meterName() const { return meterName_; }
  void setMeterName(const QString &name) { meterName_ = name; }
  void follow(Meter *meter);

  int seconds() const { return seconds_; }
  void setSeconds(int seconds);

  void addSample(int value);
  int sampleCount() const { return int(samples_.size()); }
  // The lowest and highest value within the window (0, 0 when empty).
  int windowMinimum() const;
  int windowMaximum() const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  struct Sample {
    double at;
    int value;
  };
  // Where things go at the current size and scale.
  struct Frame {
    QFont font; // of the labels
    double lo = 0.0, hi = 1.0;
    double left = 0.0; // room for the y labels
    QRectF plot;
  };
  Frame layOut() const;
  void paintBackground(QPainter &painter, const Frame &frame, qreal ratio) const;
  void dropOld(double now);
  void describe();

  QString meterName_;
  QPointer<Meter> meter_;
  int seconds_ = 60;
  std::deque<Sample> samples_;
  QTimer scroll_; // moves the trace left while samples are in the window
  QPixmap background_;
  QString backgroundKey_;
};
