#include "ui/qt/dialog_units.h"

#include <QFontMetrics>

namespace qtface {
namespace {

// Rounded units * base / divisor, as the dialog manager computes it.
int Scale(int units, int base, int divisor) {
  const long product = static_cast<long>(units) * base;
  return static_cast<int>((product + (product >= 0 ? divisor / 2 : -divisor / 2)) /
                          divisor);
}

}  // namespace

QFont DialogFont() {
  QFont font(QStringLiteral("Sans Serif"));
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(8);
  return font;
}

DialogUnits::DialogUnits() : DialogUnits(DialogFont()) {}

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  base_width_ = metrics.averageCharWidth();
  base_height_ = metrics.height();
  // A font without metrics (no font at all on a bare system) must not
  // collapse every control to nothing.
  if (base_width_ <= 0) base_width_ = 6;
  if (base_height_ <= 0) base_height_ = 13;
}

int DialogUnits::X(int units) const { return Scale(units, base_width_, 4); }
int DialogUnits::Y(int units) const { return Scale(units, base_height_, 8); }

QRect DialogUnits::Rect(int x, int y, int w, int h) const {
  return QRect(X(x), Y(y), X(w), Y(h));
}

}  // namespace qtface
