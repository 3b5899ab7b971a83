#include "app/progression.h"

#include <algorithm>

#include "content/course_data.h"
#include "platform/textfile.h"
#include "users/user_store.h"

namespace tz {

namespace {

constexpr int kMostErrorsThatPass = 5;

QString Twice(const QString& text) {
    return text + text;
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

Progression Progress(const UserRecord& pupil, const ExerciseResult& result, int speedTarget,
                     const BlockCounts& course, bool courseRun) {
    const Verdict verdict = JudgeAttempt(result.errors, result.speed, speedTarget, courseRun);
    Progression progression{pupil, verdict.message, QString(), false, NextStep::SameExercise};
    if (!courseRun) {
        progression.next = NextStep::Leave;
        return progression;
    }
    if (!verdict.passed) return progression;

    UserRecord& moved = progression.pupil;
    progression.next = NextStep::NextExercise;
    ++moved.exercise;
    if (moved.exercise > course.exercisesInBlock) {
        progression.verdict += NewBlockWords();
        ++moved.block;
        moved.exercise = 1;
        progression.next = NextStep::NewBlock;
    }
    RecordResult(moved.history, std::max<std::int16_t>(result.speed, 0));
    progression.save = true;
    if (moved.block > course.blocksInLevel) {
        moved.block = 1;
        ++moved.level;
        progression.notice = NewLevelMessage(moved.level);
        progression.next = NextStep::NewLevel;
        if (moved.level > LastLevel) {
            progression.notice = CourseCompleteMessage();
            progression.next = NextStep::CourseComplete;
        }
    }
    return progression;
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

}  // namespace tz
