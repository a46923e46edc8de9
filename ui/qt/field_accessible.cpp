#include "field_accessible.h"

#include <QFontMetrics>
#include <QLineEdit>

#include "accessible_guards.h"

namespace vessane::qt {

FieldAccessible::FieldAccessible(QLineEdit* edit)
    : QAccessibleWidget(edit, QAccessible::EditableText) {}

QLineEdit* FieldAccessible::Edit() const {
    return static_cast<QLineEdit*>(widget());
}

QString FieldAccessible::text(QAccessible::Text type) const {
    if (type == QAccessible::Value) return Edit()->text();
    return QAccessibleWidget::text(type);
}

void FieldAccessible::setText(QAccessible::Text type, const QString& text) {
    // Only the value is the field's to change; its name and description are the
    // window's.
    if (type == QAccessible::Value) Replace(0, characterCount(), text);
}

QAccessible::State FieldAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = Edit()->isReadOnly();
    state.editable = !Edit()->isReadOnly();
    state.selectableText = true;
    return state;
}

void* FieldAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    if (type == QAccessible::EditableTextInterface && !Edit()->isReadOnly())
        return static_cast<QAccessibleEditableTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

void FieldAccessible::addSelection(int startOffset, int endOffset) {
    setSelection(0, startOffset, endOffset);
}

QString FieldAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
    // Plain text: no run of attributes anywhere.
    *startOffset = *endOffset = offset;
    return QString();
}

int FieldAccessible::cursorPosition() const {
    return Edit()->cursorPosition();
}

QRect FieldAccessible::characterRect(int offset) const {
    const QString all = Edit()->text();
    if (offset < 0 || offset >= all.size()) return QRect();
    // The caret's place is known; a character's is that place moved by the width of
    // the text between them.
    const QRect caret = Edit()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    const QFontMetrics metrics(Edit()->font());
    const int cursor = Edit()->cursorPosition();
    const int x = caret.x() + metrics.horizontalAdvance(all.left(offset)) -
                  metrics.horizontalAdvance(all.left(cursor));
    QRect rect(x, caret.y(), metrics.horizontalAdvance(all.at(offset)), caret.height());
    rect.moveTo(Edit()->mapToGlobal(rect.topLeft()));
    return rect;
}

int FieldAccessible::selectionCount() const {
    return Edit()->hasSelectedText() ? 1 : 0;
}

int FieldAccessible::offsetAtPoint(const QPoint& point) const {
    return Edit()->cursorPositionAt(Edit()->mapFromGlobal(point));
}

void FieldAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || !Edit()->hasSelectedText()) return;
    *startOffset = Edit()->selectionStart();
    *endOffset = Edit()->selectionEnd();
}

QString FieldAccessible::text(int startOffset, int endOffset) const {
    if (startOffset < 0 || endOffset < startOffset) return QString();
    return Edit()->text().mid(startOffset, endOffset - startOffset);
}

void FieldAccessible::removeSelection(int selectionIndex) {
    if (selectionIndex == 0) Edit()->deselect();
}

void FieldAccessible::setCursorPosition(int position) {
    Edit()->setCursorPosition(position);
}

void FieldAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
    if (selectionIndex != 0) return;
    Edit()->setSelection(startOffset, endOffset - startOffset);
}

int FieldAccessible::characterCount() const {
    return static_cast<int>(Edit()->text().size());
}

void FieldAccessible::scrollToSubstring(int startIndex, int endIndex) {
    // The line edit scrolls to show its caret: past the end first, then the start.
    Edit()->setCursorPosition(endIndex);
    Edit()->setCursorPosition(startIndex);
}

void FieldAccessible::deleteText(int startOffset, int endOffset) {
    Replace(startOffset, endOffset, QString());
}

void FieldAccessible::insertText(int offset, const QString& text) {
    Replace(offset, offset, text);
}

void FieldAccessible::replaceText(int startOffset, int endOffset, const QString& text) {
    Replace(startOffset, endOffset, text);
}

void FieldAccessible::Replace(int start, int end, const QString& text) {
    QLineEdit* edit = Edit();
    if (edit->isReadOnly() || !edit->isEnabled() || BlockedByModalWindow(edit)) return;
    // No caret can stand outside the text: such a request is no edit a user can make.
    if (start < 0 || end < start || end > characterCount()) return;
    // Selected, then replaced as a paste replaces a selection: the validator runs on
    // the result and undoes a refused edit, the length limit holds, and the change
    // is reported once.
    edit->setSelection(start, end - start);
    edit->insert(text);
}

}  // namespace vessane::qt
