#pragma once
// What every typing benchmark needs before it runs: the embedded assets, the pictures, and the
// exercise font and canvas as start-up makes them.

#include <QImage>
#include <QString>

#include "app/picture_registry.h"
#include "platform/fonts.h"
#include "platform/globals.h"

void TipenzoInitAssets();

namespace tz::bench {

inline void PrepareExerciseDrawing() {
    TipenzoInitAssets();
    RegisterAllPictures();
    ExerciseFont = MakeFont(QStringLiteral("Courier New"), 14, true);
    ExerciseCanvas = QImage(770, 200, QImage::Format_RGB32);
    ExerciseCanvas.fill(Qt::white);
}

}  // namespace tz::bench
