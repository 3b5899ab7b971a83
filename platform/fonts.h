#pragma once

#include <QFont>
#include <QString>

namespace tz {

// A font by face, size in points (turned into pixels with the screen's vertical resolution,
// rounded as the desktop does), bold and italic.
QFont MakeFont(const QString& face, int points, bool bold = false, bool italic = false);

}  // namespace tz
