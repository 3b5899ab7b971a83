#pragma once
// What every typing benchmark needs before it runs: the embedded assets, the pictures, and the
// exercise font as start-up makes it.

#include <QFont>
#include <QString>

#include "app/picture_registry.h"
#include "platform/fonts.h"

void TipenzoInitAssets();

namespace tz::bench {

// Returns the exercise font.
inline QFont PrepareExerciseDrawing() {
    TipenzoInitAssets();
    RegisterAllPictures();
    return MakeFont(QStringLiteral("Courier New"), 14, true);
}

}  // namespace tz::bench
