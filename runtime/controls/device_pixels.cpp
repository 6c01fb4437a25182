#include "runtime/controls/device_pixels.h"

#include <algorithm>
#include <cmath>

int DevicePixels::lineWidth() const {
  return std::max(1, static_cast<int>(std::lround(ratio_)));
}

QPen DevicePixels::hairline(const QColor &colour, Qt::PenStyle style) const {
  QPen pen(colour, lineWidth(), style);
  pen.setCosmetic(true);
  return pen;
}

qreal DevicePixels::snap(qreal v) const {
  return (std::floor(v * ratio_) + lineWidth() / 2.0) / ratio_;
}

QRectF DevicePixels::snap(const QRectF &r) const {
  return QRectF(QPointF(snap(r.left()), snap(r.top())), QPointF(snap(r.right()), snap(r.bottom())));
}
