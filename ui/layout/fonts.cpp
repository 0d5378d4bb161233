#include "ui/layout/fonts.h"

#include "ui/embedded_resources.h"

#include <QByteArray>
#include <QFontDatabase>
#include <QResource>
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

// Stored uncompressed (thermo_ui.qrc.in), a font is handed to Qt where it lies in the
// program's image: no decompressed copy stays on the heap for as long as the program runs.
int addEmbeddedFont(const char* file) {
    const QResource resource(QString::fromLatin1(file));
    if (resource.isValid() && resource.compressionAlgorithm() == QResource::NoCompression) {
        return QFontDatabase::addApplicationFontFromData(
            QByteArray::fromRawData(reinterpret_cast<const char*>(resource.data()),
                                    static_cast<qsizetype>(resource.size())));
    }
    return QFontDatabase::addApplicationFont(QString::fromLatin1(file));
}

} // namespace

bool registerEmbeddedFonts() {
    static const bool registered = [] {
        initEmbeddedResources();
        bool all = true;
        for (const char* file : embeddedFontFiles) {
            all = addEmbeddedFont(file) >= 0 && all;
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
