#include "runtime/panel/kinds/field_text.h"

#include <QFontMetrics>

namespace rt {

void FieldText::selection(int selectionIndex, int *startOffset, int *endOffset) const {
  *startOffset = *endOffset = 0;
  if (selectionIndex != 0 || !field_ || !field_->hasSelectedText())
    return;
  *startOffset = field_->selectionStart();
  *endOffset = *startOffset + int(field_->selectedText().size());
}

int FieldText::selectionCount() const {
  return field_ && field_->hasSelectedText() ? 1 : 0;
}

void FieldText::addSelection(int startOffset, int endOffset) {
  setSelection(0, startOffset, endOffset);
}

void FieldText::removeSelection(int selectionIndex) {
  if (selectionIndex == 0 && field_)
    field_->deselect();
}

void FieldText::setSelection(int selectionIndex, int startOffset, int endOffset) {
  if (selectionIndex == 0 && field_)
    field_->setSelection(startOffset, endOffset - startOffset);
}

int FieldText::cursorPosition() const {
  return field_ ? field_->cursorPosition() : 0;
}

void FieldText::setCursorPosition(int position) {
  if (field_)
    field_->setCursorPosition(position);
}

QString FieldText::text(int startOffset, int endOffset) const {
  if (!field_ || startOffset > endOffset)
    return {};
  return field_->text().mid(startOffset, endOffset - startOffset);
}

int FieldText::characterCount() const {
  return field_ ? int(field_->text().size()) : 0;
}

QRect FieldText::characterRect(int offset) const {
  if (!field_ || offset < 0 || offset >= characterCount())
    return {};
  // Where the text starts, as the field draws it scrolled to its start.
  const QFontMetrics metrics = field_->fontMetrics();
  const QRect inside = field_->contentsRect().marginsRemoved(field_->textMargins());
  const int x = inside.left() + metrics.horizontalAdvance(field_->text().left(offset));
  const int width = metrics.horizontalAdvance(field_->text().at(offset));
  const QRect local(x, inside.top() + (inside.height() - metrics.height()) / 2, width,
                    metrics.height());
  return QRect(field_->mapToGlobal(local.topLeft()), local.size());
}

int FieldText::offsetAtPoint(const QPoint &point) const {
  return field_ ? field_->cursorPositionAt(field_->mapFromGlobal(point)) : -1;
}

void FieldText::scrollToSubstring(int startIndex, int endIndex) {
  if (!field_)
    return;
  field_->setCursorPosition(endIndex);
  field_->setCursorPosition(startIndex);
}

QString FieldText::attributes(int offset, int *startOffset, int *endOffset) const {
  *startOffset = *endOffset = offset; // plain text: no runs of attributes
  return {};
}

// Deleting everything is typing too: a reader may clear the field and then
// insert the new text.
void FieldText::deleteText(int startOffset, int endOffset) {
  take(startOffset, endOffset, {}, false);
}

void FieldText::insertText(int offset, const QString &text) {
  take(offset, offset, text, false);
}

void FieldText::replaceText(int startOffset, int endOffset, const QString &text) {
  take(startOffset, endOffset, text, startOffset == 0 && endOffset >= characterCount());
}

void FieldText::take(int startOffset, int endOffset, const QString &text, bool whole) {
  if (!field_ || !field_->isEnabled() || field_->isReadOnly() || startOffset < 0 ||
      endOffset < startOffset || startOffset > characterCount())
    return;
  edit_(field_->text().replace(startOffset, endOffset - startOffset, text), whole);
}

} // namespace rt
