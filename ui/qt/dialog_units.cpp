#include "dialog_units.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QString>
#include <cmath>

namespace vessane::qt {

QFont DialogFont() {
    // The templates ask for "MS Sans Serif" 8 pt. Where it is missing (any Linux without
    // it), Liberation Sans 8 pt stands in, installed by the set-up and narrowed to 97 %
    // of its width: its letters then average the original font's 6.21 px at 96 dpi, and
    // its height, rounded as the platform does, is the original's 13 px. Both fonts
    // thus give the same base units (6 x 13) and the texts fill their controls alike.
    // The family is checked explicitly: asking fontconfig for a missing family would
    // give whatever it prefers, and the layout would differ from machine to machine.
    const QString original = QStringLiteral("MS Sans Serif");
    QFont font;
    if (QFontDatabase::hasFamily(original)) {
        font.setFamily(original);
    } else {
        font.setFamily(QStringLiteral("Liberation Sans"));
        font.setStretch(97);
    }
    font.setPointSize(8);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

DialogUnits::DialogUnits(const QFont& font) {
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    // The platform's own rounding of the average: (width / 26 + 1) / 2.
    baseX_ = (QFontMetrics(font).horizontalAdvance(letters) / 26 + 1) / 2;
    // Its text height rounds ascent and descent up, each on its own.
    const QFontMetricsF metrics(font);
    baseY_ = static_cast<int>(std::ceil(metrics.ascent()) + std::ceil(metrics.descent()));
}

namespace {

// Rounds half away from zero, as the platform's MulDiv does.
int Scale(int units, int base, int divisor) {
    return static_cast<int>(std::lround(static_cast<double>(units) * base / divisor));
}

}  // namespace

int DialogUnits::X(int units) const {
    return Scale(units, baseX_, 4);
}

int DialogUnits::Y(int units) const {
    return Scale(units, baseY_, 8);
}

QRect DialogUnits::Rect(int x, int y, int cx, int cy) const {
    return QRect(X(x), Y(y), X(cx), Y(cy));
}

}  // namespace vessane::qt
