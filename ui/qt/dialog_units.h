// Dialog units: the template coordinates of the windows, turned into pixels from the
// dialog font's metrics as the Windows dialog manager does, so that every control
// keeps its place relative to the text it holds.
#pragma once

#include <QFont>
#include <QRect>

namespace vessane::qt {

// The dialogs' font: "MS Sans Serif" 8 pt where it is installed, else a stand-in with
// the same base units (see dialog_units.cpp).
QFont DialogFont();

class DialogUnits {
public:
    // Base units from the font: average width of the 52 Latin letters and the font's
    // height, both rounded to whole pixels.
    explicit DialogUnits(const QFont& font);
    DialogUnits(int baseX, int baseY) : baseX_(baseX), baseY_(baseY) {}

    int X(int units) const;  // round(units * baseX / 4)
    int Y(int units) const;  // round(units * baseY / 8)
    // Position and size are converted independently, as the platform does.
    QRect Rect(int x, int y, int cx, int cy) const;

    int BaseX() const { return baseX_; }
    int BaseY() const { return baseY_; }

private:
    int baseX_;
    int baseY_;
};

}  // namespace vessane::qt
