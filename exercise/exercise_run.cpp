#include "exercise/exercise_run.h"

#include <QPointer>
#include <algorithm>

#include "content/course_data.h"
#include "content/exercise_call.h"
#include "content/exercise_text.h"
#include "content/results_chart.h"
#include "exercise/exercise_session.h"
#include "exercise/exercise_window.h"
#include "exercise/result_window.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/events.h"
#include "platform/globals.h"
#include "platform/textfile.h"
#include "platform/windows.h"
#include "users/user_record.h"
#include "users/user_store.h"

namespace tz {

int SpeedTarget = 0;

namespace {

constexpr int kMostErrorsThatPass = 5;
constexpr int kChartWidth = 440;
constexpr int kChartHeight = 180;
constexpr int kHelpPauseMs = 100;

const QString kCourseRun = QStringLiteral("NO");
const QString kManualRun = QStringLiteral("SI");
const QString kMessageTitle = QStringLiteral("TIPENZO 10");

// What comes after an attempt.
enum class Step {
    NewLevel,  // hide the help, then load the block
    NewBlock,  // load the block and draw the header
    Exercise,  // the same or the next exercise of the block loaded
    End,
};

QString Twice(const QString& text) {
    return text + text;
}

// Only a damaged users file holds a place outside the course: the run starts at the nearest
// place that exists instead of reading past the course data.
void MoveIntoCourse() {
    const std::vector<CourseLevel>& levels = CourseData().levels;
    if (levels.empty()) return;
    const int lastLevel = std::min<int>(LastLevel, static_cast<int>(levels.size()));
    CurrentUser.level = static_cast<std::int8_t>(std::clamp<int>(CurrentUser.level, 1, lastLevel));
    const CourseLevel& level = levels[static_cast<std::size_t>(CurrentUser.level - 1)];
    if (level.blocks.empty()) return;
    CurrentUser.block = static_cast<std::int8_t>(
        std::clamp<int>(CurrentUser.block, 1, static_cast<int>(level.blocks.size())));
    const CourseBlock& block = level.blocks[static_cast<std::size_t>(CurrentUser.block - 1)];
    const int entries = std::max<int>(1, static_cast<int>(block.entries.size()));
    CurrentUser.exercise =
        static_cast<std::int8_t>(std::clamp<int>(CurrentUser.exercise, 1, entries));
}

// A pass that cannot be written would be lost without a word: the pupil is told.
void SaveProgress() {
    if (SaveCurrentUser()) return;
    Tell(kMessageTitle,
         QStringLiteral("No se ha podido guardar el progreso de ") + CurrentUser.name +
             QStringLiteral(" en el archivo de usuarios.") + Twice(LineBreak) +
             QStringLiteral("Comprueba que la carpeta del programa permite escribir "
                            "y que usuarios.dat no está abierto en otro programa."),
         DialogIcon::Exclamation);
}

void TellMissingText() {
    Tell(kMessageTitle,
         QStringLiteral("No se puede abrir el texto de este ejercicio:") + Twice(LineBreak) +
             MissingTextFile + Twice(LineBreak) +
             QStringLiteral("Falta el archivo o no se puede leer, así que el ejercicio "
                            "no puede empezar."),
         DialogIcon::Exclamation);
}

void LoadBlockAndTarget() {
    LoadBlock();
    SpeedTarget =
        SpeedTargetOverride ? *SpeedTargetOverride : SpeedTargetFor(LevelSpeed, CurrentMode);
}

// One attempt at the exercise of the CurrentUser, its verdict and the moves it earns.
Step RunAttempt(ExerciseWindow& window) {
    const bool course = ExerciseSource == kCourseRun;
    if (!AssembleExerciseText()) {
        if (!MissingTextFile.isEmpty()) TellMissingText();
        return Step::End;
    }
    BringToFront(window.Window(), false);
    ExerciseSession session(window);
    const SessionOutcome outcome =
        session.Run(ExerciseText, CurrentUser.name, CurrentUser.level, SpeedTarget);
    if (outcome == kSessionRestart) return Step::Exercise;
    const std::optional<ExerciseResult> result = session.Result();
    if (outcome != kSessionFinished || !result) return Step::End;

    Verdict verdict = JudgeAttempt(result->errors, result->speed, SpeedTarget, course);
    Step next = Step::Exercise;
    if (verdict.passed) {
        ++CurrentUser.exercise;
        if (CurrentUser.exercise > EntryCount && course) {
            verdict.message += NewBlockWords();
            ++CurrentUser.block;
            CurrentUser.exercise = 1;
            next = Step::NewBlock;
        }
        RecordResult(std::max<std::int16_t>(result->speed, 0));
        if (course) {
            SaveProgress();
            BuildResultsChart(kChartWidth, kChartHeight);
        }
    }
    const int choice = ShowResultWindow(verdict.message, window.Window());

    if (CurrentUser.block > BlockCount) {
        CurrentUser.block = 1;
        ++CurrentUser.level;
        SaveProgress();
        QString message = NewLevelMessage(CurrentUser.level);
        next = Step::NewLevel;
        if (CurrentUser.level > LastLevel) {
            message = CourseCompleteMessage();
            next = Step::End;
        }
        // Only the verdict's answer counts.
        ShowResultWindow(message, window.Window());
    }
    if (choice == 0 || !course) return Step::End;
    return next;
}

}  // namespace

int SpeedTargetFor(int levelSpeed, const QString& mode) {
    if (mode == QStringLiteral("FACIL")) return levelSpeed / 2;
    if (mode == QStringLiteral("MUY FACIL")) return levelSpeed / 3;
    if (mode == QStringLiteral("DIFICIL")) return levelSpeed * 2;
    return levelSpeed;
}

Verdict JudgeAttempt(int errors, int speed, int target, bool course) {
    Verdict verdict;
    if (errors > kMostErrorsThatPass) {
        verdict.message = QStringLiteral("Lo siento, pero ") + QString::number(errors) +
                          QStringLiteral(" son muchos errores.") + Twice(LineBreak) +
                          QStringLiteral("Tendrás que repetir este ejercicio.") + LineBreak;
        if (speed >= target) {
            verdict.message += LineBreak + QStringLiteral("Tus pulsaciones son bastante altas,") +
                               QStringLiteral(" pero tendrás que reducir esa cantidad de errores.");
        } else {
            verdict.message +=
                LineBreak +
                QStringLiteral(
                    "Procura ir con más cuidado, no has logrado la velocidad requerida") +
                LineBreak + QStringLiteral("ni has escrito correctamente.");
        }
    } else if (speed < target) {
        verdict.message =
            QStringLiteral("Has escrito correctamente,") + LineBreak +
            QStringLiteral("pero un pelín LENTO...") + Twice(LineBreak) +
            QStringLiteral("Ánimo y escribe más rápido, seguro que puedes hacerlo !!!");
    } else {
        verdict.passed = true;
        verdict.message = QStringLiteral("HAS REALIZADO BIEN ESTA PRUEBA. ") + Twice(LineBreak);
        if (course) verdict.message += QStringLiteral(" ¡¡¡ A POR LA PROXIMA !!!") + LineBreak;
    }
    return verdict;
}

QString NewBlockWords() {
    return LineBreak + QStringLiteral("BIEN, SIGAMOS CON UN NUEVO BLOQUE DE EJERCICIOS.");
}

QString NewLevelMessage(int level) {
    return QStringLiteral("ENHORABUENA!!!") + Twice(LineBreak) +
           QStringLiteral("HAS SUBIDO DE NIVEL,") + Twice(LineBreak) +
           QStringLiteral("ENTRAMOS EN EL NIVEL ") + QString::number(level);
}

QString CourseCompleteMessage() {
    return QStringLiteral("ENHORABUENA,") + Twice(LineBreak) +
           QStringLiteral("HAS TERMINADO EL CURSO CON EXITO.") + Twice(LineBreak) +
           QStringLiteral("PUEDES ESTAR SEGURO QUE SABES ESCRIBIR CON PROPIEDAD");
}

QString CourseFinishedNotice(const QString& name) {
    return name + Twice(LineBreak) + QStringLiteral("Ha completado con éxito el curso.") +
           Twice(LineBreak) + QStringLiteral("Seleccione otro usuario.");
}

void RunExercises() {
    // A user past the last level has nothing left to type.
    if (CurrentUser.level > LastLevel) {
        ShowResultWindow(CourseFinishedNotice(CurrentUser.name));
        return;
    }
    MoveIntoCourse();

    // The lesson viewer hides and shows its own window; the others leave the main menu's.
    const QPointer<QWidget> caller = ExerciseSource == kManualRun ? nullptr : MainMenuWindow;
    if (caller) caller->hide();
    {
        ExerciseWindow window;
        window.ApplyOptions();
        Step step = Step::NewLevel;
        while (step != Step::End) {
            if (step == Step::NewLevel) {
                window.HideHelp();
                SleepMs(kHelpPauseMs);
                step = Step::NewBlock;
            }
            if (step == Step::NewBlock) {
                LoadBlockAndTarget();
                window.DrawHeader();
            }
            step = RunAttempt(window);
        }
    }
    if (caller) caller->show();
    DrainEvents();
    if (caller) BringToFront(caller, false);
}

bool RunExercisesForUser(const QString& id) {
    CurrentUser = UserRecord();
    CurrentUser.id = id;
    LoadCurrentUser();
    if (CurrentUser.name.isEmpty()) {
        Tell(kMessageTitle,
             QStringLiteral("No hay ningún usuario con el identificador ") + id +
                 QStringLiteral(" en el archivo de usuarios."),
             DialogIcon::Exclamation);
        CurrentUser = UserRecord();
        return false;
    }
    ExerciseSource = kCourseRun;
    RunExercises();
    return true;
}

}  // namespace tz
