// Dialog units to pixels. The window templates give positions and sizes in
// dialog units, which scale with the dialog font: a horizontal unit is a
// quarter of the font's average character width, a vertical unit an eighth of
// its height. Converting through the font keeps the templates' proportions on
// any screen.
#pragma once

#include <QFont>
#include <QRect>

namespace qtface {

// The font of every template: a sans-serif face at 8 points.
QFont DialogFont();

class DialogUnits {
 public:
  // Units of DialogFont().
  DialogUnits();
  explicit DialogUnits(const QFont& font);

  int X(int units) const;  // horizontal units to pixels
  int Y(int units) const;  // vertical units to pixels
  QRect Rect(int x, int y, int w, int h) const;

  int base_width() const { return base_width_; }
  int base_height() const { return base_height_; }

 private:
  int base_width_;
  int base_height_;
};

}  // namespace qtface
