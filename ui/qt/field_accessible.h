// The accessible face of the window's line edits. The toolkit's own lets an assistive
// technology set any text, even in a read-only field and past a validator; this one
// reads the same but makes every edit as a paste over the given range would: refused
// in a read-only field, undone when the validator refuses its result, cut to the
// length limit, and reported as one text change, so the form recomputes once.
#pragma once

#include <QAccessibleWidget>

class QLineEdit;

namespace vessane::qt {

class FieldAccessible : public QAccessibleWidget,
                        public QAccessibleTextInterface,
                        public QAccessibleEditableTextInterface {
public:
    explicit FieldAccessible(QLineEdit* edit);

    QString text(QAccessible::Text type) const override;
    void setText(QAccessible::Text type, const QString& text) override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    // Reading, the caret and the selection.
    void addSelection(int startOffset, int endOffset) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;
    int cursorPosition() const override;
    QRect characterRect(int offset) const override;
    int selectionCount() const override;
    int offsetAtPoint(const QPoint& point) const override;
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    QString text(int startOffset, int endOffset) const override;
    void removeSelection(int selectionIndex) override;
    void setCursorPosition(int position) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int characterCount() const override;
    void scrollToSubstring(int startIndex, int endIndex) override;

    // Editing.
    void deleteText(int startOffset, int endOffset) override;
    void insertText(int offset, const QString& text) override;
    void replaceText(int startOffset, int endOffset, const QString& text) override;

private:
    QLineEdit* Edit() const;
    // The one road by which text arrives: replaces [start, end) by text.
    void Replace(int start, int end, const QString& text);
};

}  // namespace vessane::qt
