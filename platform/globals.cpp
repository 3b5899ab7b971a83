#include "platform/globals.h"

namespace tz {

QString ExerciseSource;
QFont ExerciseFont;
QImage ExerciseCanvas;
int StatusCanvas = 0;
int HeaderCanvas = 0;
QString CustomDocumentName;
QPointer<QWidget> MainMenuWindow;

}  // namespace tz
