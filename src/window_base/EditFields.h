#pragma once
// Input fields that are switched off look switched off: the edit background becomes the
// button-face colour while disabled and the window colour again when enabled.

class QWidget;

namespace kelvorn {

/// Enables edit and gives its background the palette's window colour (QPalette::Base).
void EnableEdit(QWidget* edit);

/// Empties edit's text when clear is set (line edits, text edits and editable combo boxes),
/// gives its background the palette's button-face colour (QPalette::Button) and disables it.
void DisableEdit(QWidget* edit, bool clear);

} // namespace kelvorn
