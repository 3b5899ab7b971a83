#pragma once

#include <QImage>

namespace tz {

// Picture 36, 250 x 285: the illustration beside the verdict in the result window.
QImage DrawResultPicture();

}  // namespace tz
