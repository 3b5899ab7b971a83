#pragma once
// The main menu's status panel: who is working and where they are in the course.

#include <QFont>
#include <QImage>
#include <QString>

#include "users/user_record.h"

namespace tz {

// The most characters of a name the panel shows.
inline constexpr int kStatusNameLength = 31;

// The name as the panel shows it: its first 31 characters (a character outside the basic plane
// is never cut in half).
QString StatusPanelName(const QString& name);

// The panel for `user`: a copy of picture 25 with the labels in black and the user's name,
// level, block and average speed in the light colour, in `font`.
QImage DrawStatusPanel(const UserRecord& user, const QFont& font);

}  // namespace tz
