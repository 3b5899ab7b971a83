#include "app/exercise_run.h"

#include <QPointer>
#include <algorithm>

#include "app/user_views.h"
#include "content/course_data.h"
#include "content/exercise_text.h"
#include "content/figures_file.h"
#include "exercise/exercise_session.h"
#include "exercise/exercise_window.h"
#include "exercise/result_window.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/events.h"
#include "platform/textfile.h"
#include "platform/windows.h"
#include "users/user_record.h"
#include "users/user_store.h"

namespace tz {

namespace {

constexpr int kMostErrorsThatPass = 5;
constexpr int kHelpPauseMs = 100;

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

// One run: what it was asked, the program state it works on, its window and the block loaded.
struct Run {
    ProgramState& state;
    const ExerciseRequest& request;
    ExerciseWindow& window;
    LoadedBlock block;
    int speedTarget = 0;

    bool Course() const { return request.source == ExerciseSource::Course; }
    UserRecord& User() { return state.CurrentUser; }
};

// Only a damaged users file holds a place outside the course: the run starts at the nearest
// place that exists instead of reading past the course data.
void MoveIntoCourse(UserRecord& user) {
    const std::vector<CourseLevel>& levels = CourseData().levels;
    if (levels.empty()) return;
    const int lastLevel = std::min<int>(LastLevel, static_cast<int>(levels.size()));
    user.level = static_cast<std::int8_t>(std::clamp<int>(user.level, 1, lastLevel));
    const CourseLevel& level = levels[static_cast<std::size_t>(user.level - 1)];
    if (level.blocks.empty()) return;
    user.block = static_cast<std::int8_t>(
        std::clamp<int>(user.block, 1, static_cast<int>(level.blocks.size())));
    const CourseBlock& block = level.blocks[static_cast<std::size_t>(user.block - 1)];
    const int entries = std::max<int>(1, static_cast<int>(block.entries.size()));
    user.exercise = static_cast<std::int8_t>(std::clamp<int>(user.exercise, 1, entries));
}

// A pass that cannot be written would be lost without a word: the pupil is told.
void SaveProgress(PupilStore& store, UserRecord& user) {
    WriteResult saved = store.SaveUser(user, DrainEvents);
    // Another program held the users file: the pupil may try again, as often as needed.
    while (saved.Busy() &&
           AskYesNo(kMessageTitle,
                    QStringLiteral("No se ha podido guardar el progreso de ") + user.name +
                        QStringLiteral(": ") + BusyText(store) + Twice(LineBreak) +
                        QStringLiteral("¿Quieres volver a intentarlo?"),
                    DialogIcon::Exclamation)) {
        saved = store.SaveUser(user, DrainEvents);
    }
    if (saved || saved.Busy()) return;
    Tell(kMessageTitle,
         QStringLiteral("No se ha podido guardar el progreso de ") + user.name +
             QStringLiteral(" en el archivo de usuarios.") + Twice(LineBreak) +
             QStringLiteral("Comprueba que la carpeta del programa permite escribir "
                            "y que usuarios.dat no está abierto en otro programa."),
         DialogIcon::Exclamation);
}

void TellMissingText(const QString& missingFile) {
    Tell(kMessageTitle,
         QStringLiteral("No se puede abrir el texto de este ejercicio:") + Twice(LineBreak) +
             missingFile + Twice(LineBreak) +
             QStringLiteral("Falta el archivo o no se puede leer, así que el ejercicio "
                            "no puede empezar."),
         DialogIcon::Exclamation);
}

void LoadBlockAndTarget(Run& run) {
    run.block = LoadBlock(run.User().level, run.User().block);
    run.speedTarget = run.request.speedTarget
                          ? *run.request.speedTarget
                          : SpeedTargetFor(run.block.levelSpeed, run.state.CurrentMode);
}

// One attempt at the exercise of the CurrentUser, its verdict and the moves it earns.
Step RunAttempt(Run& run) {
    UserRecord& user = run.User();
    const bool course = run.Course();
    ExerciseText text;
    if (!run.request.drillText.isEmpty()) {
        text.text = run.request.drillText;
        text.built = true;
    } else {
        text = AssembleExerciseText(run.block, user.exercise, run.request.source,
                                    run.request.customDocumentName);
    }
    if (!text.built) {
        if (!text.missingFile.isEmpty()) TellMissingText(text.missingFile);
        return Step::End;
    }
    BringToFront(run.window.Window(), false);
    ExerciseSession session(run.window, run.state.previousFinger, run.state.keyboard);
    // Shown and judged as the PC's keyboard types it.
    const QString typed = TypeableText(run.state.keyboard, text.text);
    const SessionOutcome outcome = session.Run(typed, user.name, user.level, run.speedTarget);
    // Every keystroke counts for the pupil's figures, whatever becomes of the attempt.
    RecordAttemptFigures(*run.state.store, user.id, session.Keystrokes());
    if (outcome == kSessionRestart) return Step::Exercise;
    const std::optional<ExerciseResult> result = session.Result();
    if (outcome != kSessionFinished || !result) return Step::End;

    Verdict verdict = JudgeAttempt(result->errors, result->speed, run.speedTarget, course);
    Step next = Step::Exercise;
    if (verdict.passed) {
        ++user.exercise;
        if (user.exercise > run.block.EntryCount() && course) {
            verdict.message += NewBlockWords();
            ++user.block;
            user.exercise = 1;
            next = Step::NewBlock;
        }
        RecordResult(user.history, std::max<std::int16_t>(result->speed, 0));
        if (course) {
            SaveProgress(*run.state.store, user);
            ShowResultsChart(run.state);
        }
    }
    const int choice = ShowResultWindow(verdict.message, run.window.Window());

    if (user.block > run.block.blockCount) {
        user.block = 1;
        ++user.level;
        SaveProgress(*run.state.store, user);
        QString message = NewLevelMessage(user.level);
        next = Step::NewLevel;
        if (user.level > LastLevel) {
            message = CourseCompleteMessage();
            next = Step::End;
        }
        // Only the verdict's answer counts.
        ShowResultWindow(message, run.window.Window());
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

ExerciseRequest ManualExerciseRequest() {
    return {ExerciseSource::Manual, std::nullopt, QString(), QString()};
}

ExerciseRequest CustomTextRequest(const QString& document) {
    return {ExerciseSource::CustomText, 0, document, QString()};
}

ExerciseRequest DrillRequest(const QString& text) {
    return {ExerciseSource::Manual, std::nullopt, QString(), text};
}

void RunExercises(ProgramState& state, const ExerciseRequest& request) {
    UserRecord& user = state.CurrentUser;
    // A user past the last level has nothing left to type.
    if (user.level > LastLevel) {
        ShowResultWindow(CourseFinishedNotice(user.name));
        return;
    }
    MoveIntoCourse(user);

    // The lesson viewer hides and shows its own window; the others leave the main menu's.
    const QPointer<QWidget> caller =
        request.source == ExerciseSource::Manual ? nullptr : state.mainMenu;
    if (caller) caller->hide();
    {
        ExerciseWindow window(state.ExerciseFont, state.hideOptions, state.HeaderCanvas);
        window.ApplyOptions();
        Run run{state, request, window, {}, 0};
        Step step = Step::NewLevel;
        while (step != Step::End) {
            if (step == Step::NewLevel) {
                window.HideHelp();
                SleepMs(kHelpPauseMs);
                step = Step::NewBlock;
            }
            if (step == Step::NewBlock) {
                LoadBlockAndTarget(run);
                window.DrawHeader(run.Course(), user.name, user.level, user.block);
            }
            step = RunAttempt(run);
        }
    }
    if (caller) caller->show();
    DrainEvents();
    if (caller) BringToFront(caller, false);
}

bool RunExercisesForUser(ProgramState& state, const QString& id) {
    const std::optional<UserRecord> user = state.store->LoadUser(id);
    if (!user || user->name.isEmpty()) {
        Tell(kMessageTitle,
             QStringLiteral("No hay ningún usuario con el identificador ") + id +
                 QStringLiteral(" en el archivo de usuarios."),
             DialogIcon::Exclamation);
        return false;
    }
    state.CurrentUser = *user;
    state.CurrentMode = user->mode;
    RunExercises(state);
    return true;
}

}  // namespace tz
