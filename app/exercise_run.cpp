#include "app/exercise_run.h"

#include <QPointer>
#include <algorithm>

#include "content/figures_file.h"
#include "exercise/exercise_session.h"
#include "exercise/exercise_window.h"
#include "exercise/result_window.h"
#include "platform/dialogs.h"
#include "platform/textfile.h"
#include "users/user_record.h"
#include "users/user_store.h"

namespace tz {

namespace {

const QString kMessageTitle = QStringLiteral("TIPENZO 10");

// What the run does next.
enum class Step {
    NewLevel,  // hide the help, then load the block
    NewBlock,  // load the block and draw the header
    Exercise,  // the same or the next exercise of the block loaded
    End,
};

QString Twice(const QString& text) {
    return text + text;
}

CoursePlace PlaceOf(const UserRecord& user) {
    return {user.level, user.block, user.exercise};
}

void MoveTo(UserRecord& user, const CoursePlace& place) {
    user.level = static_cast<std::int8_t>(place.level);
    user.block = static_cast<std::int8_t>(place.block);
    user.exercise = static_cast<std::int8_t>(place.exercise);
}

// Only a damaged users file holds a place outside the course: the run starts at the nearest
// place that exists instead of reading past the course data.
CoursePlace IntoCourse(CoursePlace place) {
    const std::vector<CourseLevel>& levels = CourseData().levels;
    if (levels.empty()) return place;
    const int lastLevel = std::min<int>(LastLevel, static_cast<int>(levels.size()));
    place.level = std::clamp(place.level, 1, lastLevel);
    const CourseLevel& level = levels[static_cast<std::size_t>(place.level - 1)];
    if (level.blocks.empty()) return place;
    place.block = std::clamp(place.block, 1, static_cast<int>(level.blocks.size()));
    const CourseBlock& block = level.blocks[static_cast<std::size_t>(place.block - 1)];
    const int entries = std::max<int>(1, static_cast<int>(block.entries.size()));
    place.exercise = std::clamp(place.exercise, 1, entries);
    return place;
}

// One run: what it was asked, the program state it works on, its window, the exercise typed and
// its block.
struct Run {
    ProgramState& state;
    const ExerciseRequest& request;
    ExerciseWindow& window;
    CoursePlace place;  // for the course, the pupil's own
    LoadedBlock block;
    int speedTarget = 0;
    // Another program deleted the pupil meanwhile: told once, nothing more is saved.
    bool pupilGone = false;

    bool Course() const { return request.source == ExerciseSource::Course; }
    UserRecord& Pupil() { return state.CurrentUser; }
};

// Told once: what she types from now on has no pupil to be saved for.
void TellPupilGone(Run& run) {
    if (run.pupilGone) return;
    run.pupilGone = true;
    Tell(kMessageTitle,
         QStringLiteral("No se puede guardar nada más de ") + run.Pupil().name +
             QStringLiteral(": ") + NotWrittenText(*run.state.store, {WriteOutcome::UserGone}) +
             Twice(LineBreak) +
             QStringLiteral("Su progreso y sus estadísticas de este ejercicio no se han guardado."),
         DialogIcon::Exclamation);
}

// A pass that cannot be written would be lost without a word: the pupil is told, and may try
// again as often as she likes.
void SaveProgress(Run& run) {
    PupilStore& store = *run.state.store;
    UserRecord& user = run.Pupil();
    while (!run.pupilGone) {
        const WriteResult saved = store.SaveUser(user);
        if (saved) return;
        if (saved.outcome == WriteOutcome::UserGone) {
            TellPupilGone(run);
            return;
        }
        const QString failed =
            QStringLiteral("No se ha podido guardar el progreso de ") + user.name;
        // Another program held the pupils: waiting a moment is likely to be enough.
        if (saved.Busy()) {
            if (!AskYesNo(kMessageTitle,
                          failed + QStringLiteral(": ") + BusyText(store) + Twice(LineBreak) +
                              QStringLiteral("¿Quieres volver a intentarlo?"),
                          DialogIcon::Exclamation)) {
                return;
            }
            continue;
        }
        const QString why = saved.outcome == WriteOutcome::Failed && saved.reason.isEmpty()
                                ? QStringLiteral(" en ") + store.Place() + u'.' + Twice(LineBreak) +
                                      store.WhatToCheck()
                                : QStringLiteral(": ") + NotWrittenText(store, saved);
        if (!AskRetry(kMessageTitle,
                      failed + why + Twice(LineBreak) +
                          QStringLiteral("Si cancelas, este progreso no quedará guardado."),
                      DialogIcon::Exclamation)) {
            return;
        }
    }
}

// Every keystroke counts for the pupil's figures; when they cannot be kept she is told once in
// this run of the program (her progress is saved apart and is told on its own).
void RecordFigures(Run& run, const KeystrokeLog& keystrokes) {
    PupilStore& store = *run.state.store;
    const UserRecord& pupil = run.Pupil();
    if (run.pupilGone) return;
    const WriteResult kept = RecordAttemptFigures(store, pupil.id, keystrokes);
    if (kept) return;
    if (kept.outcome == WriteOutcome::UserGone) {
        TellPupilGone(run);
        return;
    }
    if (run.state.toldFiguresNotKept.contains(pupil.id)) return;
    run.state.toldFiguresNotKept.insert(pupil.id);
    const QString why = kept.outcome == WriteOutcome::Failed && kept.reason.isEmpty()
                            ? QStringLiteral(".") + Twice(LineBreak) + store.WhatToCheck()
                            : QStringLiteral(": ") + NotWrittenText(store, kept);
    Tell(kMessageTitle,
         QStringLiteral("No se han podido guardar las estadísticas de pulsaciones de ") +
             pupil.name + why + Twice(LineBreak) +
             QStringLiteral("Su progreso en el curso se guarda aparte. Este aviso no se repetirá "
                            "hasta que el programa vuelva a empezar."),
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
    run.block = LoadBlock(run.place.level, run.place.block);
    run.speedTarget = run.request.speedTarget
                          ? *run.request.speedTarget
                          : SpeedTargetFor(run.block.levelSpeed, run.state.CurrentMode);
}

ExerciseText TextToType(const Run& run) {
    if (!run.request.drillText.isEmpty()) return {true, run.request.drillText, QString()};
    return AssembleExerciseText(run.block, run.place.exercise, run.request.source,
                                run.request.customDocumentName);
}

Step StepAfter(NextStep next) {
    switch (next) {
        case NextStep::SameExercise:
        case NextStep::NextExercise:
            return Step::Exercise;
        case NextStep::NewBlock:
            return Step::NewBlock;
        case NextStep::NewLevel:
            return Step::NewLevel;
        case NextStep::CourseComplete:
        case NextStep::Leave:
            break;
    }
    return Step::End;
}

// Begins an attempt at the exercise of the run in its window; false (after telling why) when
// there is nothing to type.
bool BeginAttempt(Run& run) {
    const ExerciseText text = TextToType(run);
    if (!text.built) {
        if (!text.missingFile.isEmpty()) TellMissingText(text.missingFile);
        return false;
    }
    // Shown and judged as the PC's keyboard types it.
    run.window.Begin(TypeableText(run.state.keyboard, text.text), run.Pupil().name, run.place.level,
                     run.speedTarget);
    return true;
}

// An attempt ended: every keystroke counts for the pupil's figures, whatever became of it. A
// restart begins again at once in the window as it stands; otherwise the window gives way.
void AttemptEnded(Run& run) {
    const ExerciseSession& session = *run.window.Session();
    RecordFigures(run, session.Keystrokes());
    const SessionOutcome outcome = session.Outcome();
    if (outcome == SessionOutcome::Restart && BeginAttempt(run)) return;
    run.window.done(outcome == SessionOutcome::Finished ? QDialog::Accepted : QDialog::Rejected);
}

// Attempts at the exercise of the run until one is finished, then its verdict and what it
// earns.
Step RunAttempt(Run& run) {
    if (!BeginAttempt(run) || run.window.exec() != QDialog::Accepted) return Step::End;
    const std::optional<ExerciseResult> result = run.window.Session()->Result();
    if (!result) return Step::End;

    UserRecord& pupil = run.Pupil();
    const Progression progression =
        Progress(pupil, *result, run.speedTarget, {run.block.EntryCount(), run.block.blockCount},
                 run.Course());
    if (run.Course()) {
        pupil = progression.pupil;
        run.place = PlaceOf(pupil);
    }
    if (progression.save) {
        SaveProgress(run);
        emit run.state.pupilSignals->resultsChanged(pupil);
    }
    const ResultAnswer answer = ShowResultWindow(progression.verdict, &run.window);
    if (!progression.notice.isEmpty()) ShowResultWindow(progression.notice, &run.window);
    if (answer == ResultAnswer::MainMenu) return Step::End;
    return StepAfter(progression.next);
}

}  // namespace

ExerciseRequest ManualExerciseRequest(const CoursePlace& place) {
    return {ExerciseSource::Manual, place, std::nullopt, QString(), QString()};
}

ExerciseRequest CustomTextRequest(const QString& document) {
    return {ExerciseSource::CustomText, CoursePlace(), 0, document, QString()};
}

ExerciseRequest DrillRequest(const QString& text, int level) {
    return {ExerciseSource::Manual, CoursePlace{level, 1, 1}, std::nullopt, QString(), text};
}

void RunExercises(ProgramState& state, const ExerciseRequest& request) {
    UserRecord& pupil = state.CurrentUser;
    const bool course = request.source == ExerciseSource::Course;
    CoursePlace place = course ? PlaceOf(pupil) : request.place;
    // A user past the last level has nothing left to type.
    if (place.level > LastLevel) {
        ShowResultWindow(CourseFinishedNotice(pupil.name));
        return;
    }
    place = IntoCourse(place);
    if (course) MoveTo(pupil, place);

    // The lesson viewer hides and shows its own window; the others leave the main menu's.
    const QPointer<QWidget> caller =
        request.source == ExerciseSource::Manual ? nullptr : state.mainMenu;
    if (caller) caller->hide();
    {
        ExerciseWindow window(state.ExerciseFont, state.hideOptions, state.HeaderCanvas,
                              state.previousFinger, state.keyboard);
        window.ApplyOptions();
        Run run{state, request, window, place, {}, 0, false};
        QObject::connect(&window, &ExerciseWindow::SessionEnded, &window,
                         [&run] { AttemptEnded(run); });
        Step step = Step::NewLevel;
        while (step != Step::End) {
            if (step == Step::NewLevel) {
                window.HideHelp();
                step = Step::NewBlock;
            }
            if (step == Step::NewBlock) {
                LoadBlockAndTarget(run);
                window.DrawHeader(run.Course(), pupil.name, run.place.level, run.place.block);
            }
            step = RunAttempt(run);
        }
    }
    if (caller) {
        caller->show();
        caller->raise();
        caller->activateWindow();
    }
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
