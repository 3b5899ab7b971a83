// The first pupil's whole road through the real program, as a school meets it on the first day:
// start-up in an empty folder, the letter R, the users window and the new-user dialog, the first
// word drill of level 10 typed key by key in the exercise window, back to the menu, and quit.

#include <QDir>
#include <QFontMetrics>
#include <QPainter>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTreeWidget>
#include <memory>

#include "app/exercise_run.h"
#include "app/main_menu.h"
#include "app/startup.h"
#include "content/course_data.h"
#include "content/exercise_text.h"
#include "content/results_chart.h"
#include "exercise_screens.h"
#include "menu_screens.h"
#include "platform/dialogs.h"
#include "platform/shell.h"
#include "users/new_user_dialog.h"
#include "users/users_window.h"

namespace tz {
namespace {

using test::AnswerResult;
using test::ClickControl;
using test::ExerciseWindowWidget;
using test::ExpectedPanel;
using test::NewUserDialogOnScreen;
using test::PressKey;
using test::ResultMessage;
using test::UsersWindowOnScreen;
using test::VisibleTopLevels;
using test::VisibleWindow;

const QString kPupil = QString::fromUtf8("ANA PÉREZ");
const QString kStamp = QStringLiteral("yyyyMMddHHmmss");

// The option of the new-user dialog that shows exactly these words.
QRadioButton* OptionCalled(QWidget* dialog, const char* words) {
    for (QRadioButton* option : dialog->findChildren<QRadioButton*>()) {
        if (option->text() == QString::fromUtf8(words)) return option;
    }
    return nullptr;
}

// Types a name key by key into the focused entry, letters outside ASCII as composed characters.
void TypeName(QWidget* entry, const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 128) {
            QTest::keyClick(entry, c.toLatin1());
        } else {
            QTest::sendKeyEvent(QTest::Click, entry, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
}

// The keystrokes of the first exercise of level 10 as the run builds it: its lines with Enter
// between them (the drill has fewer than seven lines, so every line end is typed).
QString FirstDrillOfLevel10() {
    const LoadedBlock block = LoadBlock(10, 1);
    EXPECT_TRUE(block.found);
    EXPECT_EQ(block.levelSpeed, 60);
    EXPECT_EQ(block.Entry(1), CourseData().levels[9].blocks[0].entries[0]);
    const ExerciseText built = AssembleExerciseText(block, 1);
    EXPECT_TRUE(built.built);
    const QString text = QString(built.text).remove(QChar(u'\n'));
    EXPECT_LT(text.count(QChar(u'\r')), 7);
    return text;
}

class NewPupilPathTest : public test::ProgramStateTest {
  protected:
    void SetUp() override {
        test::ProgramStateTest::SetUp();
        SetClock(&clock_);
        // As a fresh process: nothing left over from other screens' tests.
        FreeAllPictures();
    }
    void TearDown() override {
        SetClock(nullptr);
        test::ProgramStateTest::TearDown();
    }

    // Types `keys` into the exercise window with real key events, the first at a whole second
    // and the last `seconds` and a half later: the attempt lasts exactly `seconds` whole seconds
    // on the clock the session reads.
    void TypeAll(QWidget* window, const QString& keys, qint64 seconds) {
        const qint64 start = (clock_.milliseconds / 1000 + 1) * 1000;
        for (int k = 0; k < keys.size(); ++k) {
            const qint64 at = start + (seconds * 1000 + 500) * k / (keys.size() - 1);
            if (at > clock_.milliseconds) clock_.Advance(at - clock_.milliseconds);
            PressKey(window, keys[k]);
        }
    }

    // "r" with nobody chosen: the users window, empty; the new-user dialog, where the name is
    // typed as a pupil types it, a good typist, the hard mode; her line and her row; Accept.
    void AddAndChooseHer(QWidget* users, QString& id) {
        EXPECT_EQ(QApplication::activeModalWidget(), users);
        auto* list = qobject_cast<QTreeWidget*>(FindControl(users, kUsersListId));
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->topLevelItemCount(), 0);
        EXPECT_FALSE(FindControl(users, kUsersAcceptId)->isEnabled());
        const QString stampBefore = clock_.now.toString(kStamp);
        test::WhenShown("Datos de nuevo usuario", [](QWidget* dialog) {
            QWidget* name = FindControl(dialog, kNewUserNameId);
            EXPECT_EQ(dialog->focusWidget(), name);
            TypeName(name, QString::fromUtf8("  ana pérez "));
            QRadioButton* goodTypist =
                OptionCalled(dialog, "Teclea correctamente (más de 100 p.p.m.)");
            QRadioButton* hard = OptionCalled(dialog, "Difícil (pulsaciones a conseguir * 2)");
            ASSERT_NE(goodTypist, nullptr);
            ASSERT_NE(hard, nullptr);
            QTest::mouseClick(goodTypist, Qt::LeftButton);
            QTest::mouseClick(hard, Qt::LeftButton);
            // The other option of each group gave way.
            EXPECT_FALSE(OptionCalled(dialog, "Comenzar desde el primer nivel?")->isChecked());
            EXPECT_FALSE(OptionCalled(dialog, "Normal (por defecto en el programa)")->isChecked());
            ClickControl(dialog, kNewUserAcceptId);
        });
        ClickControl(users, kUsersAddId);
        // Her line is the file's second line, byte for byte; her row waits selected.
        const QByteArray bytes = ReadBytes(kUsersFileName);
        const QByteArray start = kUsersHeader.toUtf8() + "\r\n" +
                                 QString::fromUtf8(
                                     "ANA PÉREZ|10|1|1|0|-1|-1|-1|-1|-1|-1|-1|-1|-1|-1|"
                                     "DIFICIL|ID-")
                                     .toUtf8();
        ASSERT_TRUE(bytes.startsWith(start)) << bytes.toStdString();
        const QRegularExpressionMatch digits =
            QRegularExpression("^(\\d{14})\\r\\n$")
                .match(QString::fromUtf8(bytes.mid(start.size())));
        ASSERT_TRUE(digits.hasMatch()) << bytes.toStdString();
        // The date stamp of the moment she was added.
        EXPECT_GE(digits.captured(1), stampBefore);
        EXPECT_LE(digits.captured(1), clock_.now.toString(kStamp));
        id = "ID-" + digits.captured(1);
        EXPECT_EQ(LeftoverTemps(), QStringList());
        ASSERT_EQ(list->topLevelItemCount(), 1);
        const QTreeWidgetItem* row = list->topLevelItem(0);
        EXPECT_EQ(row->text(kNameColumn), kPupil);
        EXPECT_EQ(row->text(kLevelColumn), "10");
        EXPECT_EQ(row->text(kModeColumn), "DIFICIL");
        EXPECT_EQ(row->text(kIdColumn), id);
        EXPECT_TRUE(row->isSelected());
        // Added, not yet chosen.
        EXPECT_TRUE(CurrentUser.name.isEmpty());
        EXPECT_EQ(CurrentMode, "NORMAL");
        ClickControl(users, kUsersAcceptId);
    }

    int RunWholeProgram() {
        char name[] = "tipenzo10";
        char* argv[] = {name, nullptr};
        return RunProgram(1, argv, state_);
    }

    ManualClock clock_;
    QPointer<QWidget>& MainMenuWindow = state_.mainMenu;
};

TEST_F(NewPupilPathTest, FirstPupilIsAddedTypesHerFirstDrillAndIsSaved) {
    ASSERT_TRUE(QDir(Path("")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    const QString keys = FirstDrillOfLevel10();
    ASSERT_GT(keys.size(), 200);
    // All the keys in 60 whole seconds: the speed is the number of keys, well above the 120
    // that level 10 (60) asks in DIFICIL.
    const int speed = static_cast<int>(keys.size());
    ASSERT_GT(speed, 2 * 120);
    const QByteArray header = kUsersHeader.toUtf8() + "\r\n";

    QImage nobodysChart;
    auto id = std::make_shared<QString>();

    // Each window's steps run when it shows.
    std::function<void(QWidget*)> menuAgain, menuAtTheEnd;
    // Start: the menu of nobody, over a users file that holds only its header.
    test::WhenShown(MainMenuTitle(), [&](QWidget*) {
        ASSERT_TRUE(MainMenuWindow);
        EXPECT_TRUE(MainMenuWindow->isVisible());
        EXPECT_EQ(MainMenuWindow->windowTitle(), "TIPENZO 10 v2.9c");
        EXPECT_EQ(VisibleTopLevels(), 1);
        EXPECT_EQ(test::ShownPicture(MainMenuWindow, kMenuStatusPanelId),
                  ExpectedPanel(state_.ExerciseFont, "NO SELECCIONADO", 0, 0, 0));
        EXPECT_TRUE(CurrentUser.name.isEmpty());
        EXPECT_TRUE(CurrentUser.id.isEmpty());
        EXPECT_EQ(CurrentMode, "NORMAL");
        EXPECT_EQ(ReadBytes(kUsersFileName), header);
        nobodysChart = test::ShownPicture(MainMenuWindow, kMenuChartId);
        EXPECT_EQ(LogicalSize(nobodysChart), QSize(440, 180));
        test::WhenShown("USUARIOS", [&](QWidget* users) { AddAndChooseHer(users, *id); });
        // Chosen from "r", she goes straight on to her exercise; Escape leaves it untouched.
        test::WhenShown(kPupil + "  |  NIVEL: 10", [this, id, &menuAgain](QWidget* window) {
            EXPECT_EQ(UsersWindowOnScreen(), nullptr);
            EXPECT_EQ(CurrentUser.id, *id);
            EXPECT_EQ(CurrentUser.level, 10);
            EXPECT_EQ(CurrentUser.block, 1);
            EXPECT_EQ(CurrentUser.exercise, 1);
            EXPECT_EQ(CurrentUser.averageSpeed, 0);
            EXPECT_EQ(CurrentUser.mode, "DIFICIL");
            EXPECT_EQ(CurrentMode, "DIFICIL");
            EXPECT_FALSE(MainMenuWindow->isVisible());
            test::WhenShown(MainMenuTitle(), menuAgain);
            PressKey(window, QChar(27));
        });
        QTest::keyClick(MainMenuWindow.data(), 'r');
    });
    // Back in the menu with her on the panel and nothing saved; "r" now starts at once.
    menuAgain = [this, header, keys, speed, &menuAtTheEnd](QWidget*) {
        EXPECT_EQ(ExerciseWindowWidget(), nullptr);
        EXPECT_TRUE(MainMenuWindow->isVisible());
        EXPECT_TRUE(MainMenuWindow->isEnabled());
        EXPECT_EQ(VisibleTopLevels(), 1);
        EXPECT_EQ(test::ShownPicture(MainMenuWindow, kMenuStatusPanelId),
                  ExpectedPanel(state_.ExerciseFont, kPupil, 10, 1, 0));
        EXPECT_TRUE(ReadBytes(kUsersFileName).startsWith(header + kPupil.toUtf8() + "|10|1|1|0|"));
        // "r" now starts at once. Level 10 asks 60 a minute; DIFICIL doubles it.
        test::InTurn({{kPupil + "  |  NIVEL: 10",
                       [this, keys](QWidget* window) {
                           EXPECT_EQ(UsersWindowOnScreen(), nullptr);
                           EXPECT_EQ(
                               qobject_cast<QLabel*>(FindControl(window, kExTargetDisplay))->text(),
                               "120");
                           EXPECT_EQ(window->focusWidget(), FindControl(window, kExTextPicture));
                           TypeAll(window, keys, 60);
                       }},
                      // The verdict; her progress is in the file before she answers.
                      {kResultWindowTitle, [this, speed, &menuAtTheEnd](QWidget*) {
                           EXPECT_EQ(ResultMessage(),
                                     QString::fromUtf8("HAS REALIZADO BIEN ESTA PRUEBA. \r\n\r\n"
                                                       " ¡¡¡ A POR LA PROXIMA !!!\r\n"));
                           EXPECT_FALSE(ExerciseWindowWidget()->isVisible());
                           // Not one key went wrong.
                           EXPECT_EQ(CurrentUser.exercise, 2);
                           EXPECT_EQ(CurrentUser.history[0], speed);
                           test::WhenShown(MainMenuTitle(), menuAtTheEnd);
                           AnswerResult(kResultMenuButton);
                       }}});
        QTest::keyClick(MainMenuWindow.data(), 'r');
    };
    // The menu again: the users file, the panel and the chart all show the passed drill.
    menuAtTheEnd = [&](QWidget*) {
        EXPECT_EQ(ExerciseWindowWidget(), nullptr);
        EXPECT_EQ(VisibleWindow(kResultWindowTitle), nullptr);
        ASSERT_TRUE(MainMenuWindow);
        EXPECT_TRUE(MainMenuWindow->isVisible());
        EXPECT_TRUE(MainMenuWindow->isEnabled());
        EXPECT_EQ(VisibleTopLevels(), 1);
        const QByteArray saved = header + kPupil.toUtf8() + "|10|1|2|" + QByteArray::number(speed) +
                                 "|" + QByteArray::number(speed) +
                                 "|-1|-1|-1|-1|-1|-1|-1|-1|-1|DIFICIL|" + id->toUtf8() + "\r\n";
        EXPECT_EQ(ReadBytes(kUsersFileName), saved);
        EXPECT_EQ(LeftoverTemps(), QStringList());
        EXPECT_EQ(CurrentUser.averageSpeed, speed);

        EXPECT_EQ(test::ShownPicture(MainMenuWindow, kMenuStatusPanelId),
                  ExpectedPanel(state_.ExerciseFont, kPupil, 10, 1, speed));
        const std::vector<ChartPoint> points = ResultsChartPoints(CurrentUser.history);
        ASSERT_EQ(points.size(), 11u);
        EXPECT_EQ(points[0].value, speed);  // the scale reaches her one result
        EXPECT_EQ(points[1].value, speed);
        for (std::size_t i = 2; i < points.size(); ++i) EXPECT_EQ(points[i].value, 0);
        const QImage chart = test::ShownPicture(MainMenuWindow, kMenuChartId);
        EXPECT_EQ(chart, DrawResultsChart(CurrentUser.history, 440, 180));
        EXPECT_NE(chart, nobodysChart);
        test::SaveScreen(MainMenuWindow, "e2e_menu_after_exercise");
        ClickControl(MainMenuWindow, kMenuQuitId);
    };

    EXPECT_EQ(RunWholeProgram(), 0);

    // An orderly end: no lock copy, no temporary file, her progress kept as it was saved.
    EXPECT_FALSE(MainMenuWindow);
    EXPECT_EQ(VisibleTopLevels(), 0);
    EXPECT_FALSE(Exists(kLockCopyName));
    EXPECT_EQ(LeftoverTemps(), QStringList());
    EXPECT_TRUE(ReadBytes(kUsersFileName).endsWith("|DIFICIL|" + id->toUtf8() + "\r\n"));
    EXPECT_TRUE(ReadBytes(kUsersFileName).contains(kPupil.toUtf8() + "|10|1|2|"));
    EXPECT_TRUE(AskedDialogs().empty());
    EXPECT_TRUE(ShellRequests().isEmpty());
}

}  // namespace
}  // namespace tz
