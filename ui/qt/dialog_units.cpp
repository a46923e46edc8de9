#include "dialog_units.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QString>
#include <cmath>

#include <fontconfig/fontconfig.h>

namespace vessane::qt {

namespace {

// Asks fontconfig for exactly this family, without substitutes. Qt's own answers cost
// far more: QFontDatabase::hasFamily lists the styles of every family of the system,
// and matching a missing family searches all fallbacks; either would be a good part of
// the window's start-up.
bool FamilyInstalled(const char* family) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* fonts = FcFontList(nullptr, pattern, objects);
    const bool found = fonts && fonts->nfont > 0;
    if (fonts) FcFontSetDestroy(fonts);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return found;
}

}  // namespace

QFont DialogFont() {
    // The templates ask for "MS Sans Serif" 8 pt. Where it is missing (any Linux without
    // it), Liberation Sans 8 pt stands in, installed by the set-up and narrowed to 97 %
    // of its width: its letters then average MS Sans Serif's 6.21 px at 96 dpi, and
    // its height, rounded as dialog units are, is its 13 px. Both fonts
    // thus give the same base units (6 x 13) and the texts fill their controls alike.
    // The family is checked explicitly: asking fontconfig for a missing family would
    // give whatever it prefers, and the layout would differ from machine to machine.
    QFont font;
    if (FamilyInstalled("MS Sans Serif")) {
        font.setFamily(QStringLiteral("MS Sans Serif"));
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
