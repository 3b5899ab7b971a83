#pragma once
// State shared by every screen for the whole run of the program.

#include <QFont>
#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>

namespace tz {

// Who started the exercise about to run: "NO" (the course), "SI" (the lesson viewer) or
// "TXTLARGO" (a custom text).
extern QString ExerciseSource;
extern QFont ExerciseFont;
extern QImage ExerciseCanvas;       // 770 x 200, the page being typed
extern int StatusCanvas;            // picture number of the main menu's status panel
extern int HeaderCanvas;            // picture number of the exercise window's header
extern QString CustomDocumentName;  // the custom document typed with ExerciseSource "TXTLARGO"
extern QPointer<QWidget> MainMenuWindow;

}  // namespace tz
