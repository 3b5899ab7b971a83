#pragma once
// The main menu: the program's one permanent window and the hub every other screen returns to.

#include <QString>
#include <QWidget>
#include <functional>

#include "app/program_state.h"
#include "platform/picture_names.h"

class QLabel;

namespace tz {

// Control ids of the main menu.
enum MainMenuControl {
    kMenuUsersId = 24,
    kMenuStartId = 25,
    kMenuLessonsId = 26,
    kMenuStatusFrameId = 28,
    kMenuLogoId = 29,
    kMenuSocialId = 30,
    kMenuHelpId = 31,
    kMenuUpdateId = 32,
    kMenuAboutId = 33,
    kMenuMinimiseId = 34,
    kMenuQuitId = 35,
    kMenuBannerId = 37,
    kMenuChartFrameId = 38,
    kMenuChartId = 39,
    kMenuStatusPanelId = 40,
    kMenuCustomTextsId = 42,
    kMenuAnalysisId = 43,
};

// The main menu's title, shown only in the task bar.
QString MainMenuTitle();

// The main menu of the program `state` describes (it becomes the state's mainMenu). Every other
// screen opens from its buttons, modal over it; its status panel and chart show the state's
// pupil ("NO SELECCIONADO" for nobody) and are drawn again when the state's pupilSignals say
// she changed.
class MainMenu : public QWidget {
    Q_OBJECT
  public:
    explicit MainMenu(ProgramState& state);

  signals:
    // The quit button or a close request: the program is to end in order.
    void quitRequested();
    // The update window opened the download page: the program is to end at once.
    void endAtOnceRequested();

  protected:
    // The shortcut letters (MenuShortcutControl) move the focus to their button and click it.
    void keyPressEvent(QKeyEvent* event) override;
    // The menu stays; whoever ends the program closes it.
    void closeEvent(QCloseEvent* event) override;

  private:
    void ShowPupil(const UserRecord& pupil);
    void ShowResults(const UserRecord& pupil);
    // The users window; true when it returned with a pupil chosen.
    bool ChooseUser();
    // The pupil's exercises, or her analysis (`analysis`), choosing her first when nobody is.
    void ForThePupil(bool analysis);
    void OpenLessons();
    void OpenTexts();
    void CheckVersion();
    // A picture button of the menu that runs `act` when clicked.
    void AddButton(int id, PictureName picture, const QRect& geometry, const QString& tooltip,
                   const QString& spoken, const std::function<void()>& act);

    ProgramState& state_;
    QLabel* panel_ = nullptr;
    QLabel* chart_ = nullptr;
};

// The control a typed character stands for (R, G, V, I, E in either case), 0 for any other.
int MenuShortcutControl(const QString& typed);

// The help document of this installation: "tipzhelp.chm" in the program folder on Windows when
// it is there, otherwise the HTML help "tipzhelp.html" in the program folder.
QString HelpDocumentPath();

}  // namespace tz
