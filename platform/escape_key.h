#pragma once
// Escape as a Char event for a window whose other keys all belong to its controls (an editor
// where Enter starts a new line), which therefore takes no key capture of its own.

class QWidget;

namespace tz {

// From now on, Escape pressed anywhere in the window (while it is enabled) posts a Char event
// with code 27 for it instead of reaching the control. Ends with the window.
void PostEscapeOf(QWidget* window);

}  // namespace tz
