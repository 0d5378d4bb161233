#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QLineEdit>
#include <QString>
#include <QStyle>
#include <QStyleOptionFrame>
#include <algorithm>

namespace thermo::test {

// Width Qt's line edit leaves for text: the style's contents rectangle, less the text margins
// and the 2 pixels QLineEdit keeps on each side.
inline int usableTextWidth(const QLineEdit& field) {
    QStyleOptionFrame option;
    option.initFrom(&field);
    option.rect = field.rect();
    option.lineWidth =
        field.hasFrame() ? field.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &field)
                         : 0;
    const QRect contents =
        field.style()->subElementRect(QStyle::SE_LineEditContents, &option, &field);
    constexpr int lineEditHorizontalMargin = 2;
    return contents.marginsRemoved(field.textMargins()).width() - 2 * lineEditHorizontalMargin;
}

// Room a text takes: its advance, or its ink where glyphs overhang.
inline int textWidth(const QFont& font, const QString& text) {
    const QFontMetrics metrics(font);
    return std::max(metrics.horizontalAdvance(text), metrics.boundingRect(text).width());
}

} // namespace thermo::test
