#include "platform/globals.h"

namespace tz {

QString KeyboardLayout = QStringLiteral("español");
QString ExerciseSource;
int LastLevel = 36;
QFont ExerciseFont;
QImage ExerciseCanvas;
int TextLineHeight = 28;
int StatusCanvas = 0;
int HeaderCanvas = 0;
const QString LineBreak = QStringLiteral("\r\n");
QString CustomDocumentName;
QPointer<QWidget> MainMenuWindow;

}  // namespace tz
