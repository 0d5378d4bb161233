#include "ui/fonts.h"

#include "ui/embedded_resources.h"

#include <QFontDatabase>
#include <QString>

namespace thermo {

namespace {

constexpr const char* embeddedFontFiles[] = {
    ":/fonts/LiberationSans-Regular.ttf",
    ":/fonts/LiberationSans-Bold.ttf",
    ":/fonts/LiberationSerif-Regular.ttf",
};

QFont tableFont(const char* family, double points, bool bold) {
    registerEmbeddedFonts();
    QFont font(QString::fromLatin1(family));
    font.setPointSizeF(points);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

} // namespace

bool registerEmbeddedFonts() {
    static const bool registered = [] {
        initEmbeddedResources();
        bool all = true;
        for (const char* file : embeddedFontFiles) {
            all = QFontDatabase::addApplicationFont(QString::fromLatin1(file)) >= 0 && all;
        }
        return all;
    }();
    return registered;
}

QFont sansFont(double points, bool bold) {
    return tableFont(sansFamily, points, bold);
}

QFont serifFont(double points) {
    return tableFont(serifFamily, points, false);
}

} // namespace thermo
