// Straight lines that fall on whole device pixels, for the controls that
// draw themselves (the LED, the meter, the strip chart).
//
// Qt draws a widget at the screen's device pixel ratio: at 125 % a logical
// pixel is 1.25 device pixels. A one-pixel line at a logical coordinate then
// straddles two device pixels, half-toned into a blur; so does one drawn at
// 200 % on a half-pixel. Here a hairline is as many whole device pixels as
// the ratio rounds to, centred on them.
#pragma once

#include <QColor>
#include <QPen>
#include <QRectF>

class DevicePixels {
public:
  explicit DevicePixels(qreal ratio) : ratio_(ratio > 0.0 ? ratio : 1.0) {}

  // Device pixels across a one-pixel line: the ratio rounded, at least 1.
  int lineWidth() const;
  // A pen that draws such a line (cosmetic: its width is in device pixels).
  QPen hairline(const QColor &colour, Qt::PenStyle style = Qt::SolidLine) const;
  // The logical coordinate of the centre of the line that covers the device
  // pixels at `v`.
  qreal snap(qreal v) const;
  // `r` with each edge moved onto the centre of its line.
  QRectF snap(const QRectF &r) const;

private:
  qreal ratio_;
};
