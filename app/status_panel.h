#pragma once
// The main menu's status panel: who is working and where they are in the course.

#include <QString>

namespace tz {

// The most characters of a name the panel shows.
inline constexpr int kStatusNameLength = 31;

// The name as the panel shows it: its first 31 characters (a character outside the basic plane
// is never cut in half).
QString StatusPanelName(const QString& name);

// Draws the CurrentUser on a fresh copy of picture 25 (the previous StatusCanvas is freed; the
// copy becomes the StatusCanvas) and shows it in the main menu's status panel.
void DrawStatusPanel();

}  // namespace tz
