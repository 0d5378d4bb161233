#pragma once

#include <QAccessibleWidget>

class QLineEdit;

namespace thermo {

// What a screen reader reads of a single-line field: its text, caret, selection and editing,
// as Qt's own interface, but with the text's attributes reported as one run over the whole
// text. Qt 6.4 reports an empty run at every offset, and Orca 43, which splits a line by its
// runs, then drops the last character: "1000" for R = 10000, "A00" for A000.
class LineEditAccessible : public QAccessibleWidget,
                           public QAccessibleTextInterface,
                           public QAccessibleEditableTextInterface {
public:
    explicit LineEditAccessible(QLineEdit* field);

    QString text(QAccessible::Text kind) const override;
    void setText(QAccessible::Text kind, const QString& text) override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

    void deleteText(int startOffset, int endOffset) override;
    void insertText(int offset, const QString& text) override;
    void replaceText(int startOffset, int endOffset, const QString& text) override;

private:
    QLineEdit* field() const;
    // What the field shows: its text, or the echo of a password.
    QString shown() const;
};

// Makes every single-line field of the program, spin boxes' included, read through
// LineEditAccessible; called before any window is made.
void installLineEditAccessible();

} // namespace thermo
