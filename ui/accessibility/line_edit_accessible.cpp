#include "ui/accessibility/line_edit_accessible.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>
#include <algorithm>

namespace thermo {

namespace {

// What QLineEdit keeps on each side of its text, within its contents.
constexpr int lineEditMargin = 2;

QAccessibleInterface* lineEditFactory(const QString&, QObject* object) {
    auto* field = qobject_cast<QLineEdit*>(object);
    return field != nullptr ? new LineEditAccessible(field) : nullptr;
}

} // namespace

LineEditAccessible::LineEditAccessible(QLineEdit* field)
    : QAccessibleWidget(field, QAccessible::EditableText) {}

QLineEdit* LineEditAccessible::field() const {
    return static_cast<QLineEdit*>(widget());
}

QString LineEditAccessible::shown() const {
    return field()->echoMode() == QLineEdit::Normal ? field()->text() : field()->displayText();
}

QString LineEditAccessible::text(QAccessible::Text kind) const {
    if (kind == QAccessible::Value) {
        return shown();
    }
    return QAccessibleWidget::text(kind);
}

void LineEditAccessible::setText(QAccessible::Text kind, const QString& text) {
    if (kind != QAccessible::Value) {
        QAccessibleWidget::setText(kind, text);
    } else if (!field()->isReadOnly()) {
        field()->setText(text);
    }
}

QAccessible::State LineEditAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = field()->isReadOnly();
    state.editable = !state.readOnly;
    state.selectableText = true;
    state.passwordEdit = field()->echoMode() != QLineEdit::Normal;
    return state;
}

void* LineEditAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface) {
        return static_cast<QAccessibleTextInterface*>(this);
    }
    if (type == QAccessible::EditableTextInterface && !field()->isReadOnly()) {
        return static_cast<QAccessibleEditableTextInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
}

void LineEditAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = 0;
    if (selectionIndex == 0 && field()->hasSelectedText()) {
        *startOffset = field()->selectionStart();
        *endOffset = *startOffset + field()->selectedText().size();
    }
}

int LineEditAccessible::selectionCount() const {
    return field()->hasSelectedText() ? 1 : 0;
}

void LineEditAccessible::addSelection(int startOffset, int endOffset) {
    setSelection(0, startOffset, endOffset);
}

void LineEditAccessible::removeSelection(int selectionIndex) {
    if (selectionIndex == 0) {
        field()->deselect();
    }
}

void LineEditAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
    if (selectionIndex == 0) {
        field()->setSelection(startOffset, endOffset - startOffset);
    }
}

int LineEditAccessible::cursorPosition() const {
    return field()->cursorPosition();
}

void LineEditAccessible::setCursorPosition(int position) {
    field()->setCursorPosition(position);
}

QString LineEditAccessible::text(int startOffset, int endOffset) const {
    if (startOffset > endOffset) {
        return {};
    }
    return shown().mid(startOffset, endOffset - startOffset);
}

int LineEditAccessible::characterCount() const {
    return static_cast<int>(shown().size());
}

// Where the field draws a character, as Qt lays out a line edit whose text fits it: within
// the style's contents rectangle, the text margins and two pixels, aligned as the field says.
QRect LineEditAccessible::characterRect(int offset) const {
    const QString text = field()->displayText();
    if (offset < 0 || offset >= text.size()) {
        return {};
    }
    QStyleOptionFrame option;
    option.initFrom(field());
    option.lineWidth =
        field()->hasFrame()
            ? field()->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, field())
            : 0;
    const QRect room = field()
                           ->style()
                           ->subElementRect(QStyle::SE_LineEditContents, &option, field())
                           .marginsRemoved(field()->textMargins())
                           .adjusted(lineEditMargin, 0, -lineEditMargin, 0);
    const QFontMetrics metrics(field()->font());
    const int width = metrics.horizontalAdvance(text);
    const Qt::Alignment alignment =
        QStyle::visualAlignment(field()->layoutDirection(), field()->alignment());
    int left = room.left();
    if (alignment & Qt::AlignHCenter) {
        left += (room.width() - width) / 2;
    } else if (alignment & Qt::AlignRight) {
        left = room.right() + 1 - width;
    }
    const QRect character(left + metrics.horizontalAdvance(text.left(offset)),
                          room.top() + (room.height() - metrics.height()) / 2,
                          metrics.horizontalAdvance(text.at(offset)), metrics.height());
    return character.translated(field()->mapToGlobal(QPoint(0, 0)));
}

int LineEditAccessible::offsetAtPoint(const QPoint& point) const {
    const QPoint local = field()->mapFromGlobal(point);
    return field()->rect().contains(local) ? field()->cursorPositionAt(local) : -1;
}

void LineEditAccessible::scrollToSubstring(int startIndex, int) {
    field()->setCursorPosition(startIndex);
}

// One run over the whole text, with no attributes of its own: the field has one font and one
// colour.
QString LineEditAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
    const int count = characterCount();
    if (offset < 0 || offset > count) {
        *startOffset = *endOffset = -1;
    } else {
        *startOffset = 0;
        *endOffset = count;
    }
    return {};
}

void LineEditAccessible::deleteText(int startOffset, int endOffset) {
    replaceText(startOffset, endOffset, {});
}

void LineEditAccessible::insertText(int offset, const QString& text) {
    replaceText(offset, offset, text);
}

void LineEditAccessible::replaceText(int startOffset, int endOffset, const QString& text) {
    if (field()->isReadOnly() || startOffset < 0 || endOffset < startOffset) {
        return;
    }
    QString whole = field()->text();
    whole.replace(startOffset, endOffset - startOffset, text);
    field()->setText(whole);
}

void installLineEditAccessible() {
    static const bool installed = [] {
        QAccessible::installFactory(lineEditFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace thermo
