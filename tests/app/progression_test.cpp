// What follows a finished attempt, as functions: the verdict and its words, the pupil's next
// place and results, the notice of a new level or of the end of the course, and whether she is
// saved.

#include "app/progression.h"

#include <gtest/gtest.h>

#include "content/course_data.h"
#include "platform/textfile.h"

namespace tz {
namespace {

QString Lines(std::initializer_list<const char*> lines) {
    QStringList parts;
    for (const char* line : lines) parts.append(QString::fromUtf8(line));
    return parts.join(LineBreak);
}

const QString kPass =
    Lines({"HAS REALIZADO BIEN ESTA PRUEBA. ", "", " ¡¡¡ A POR LA PROXIMA !!!", ""});

UserRecord PupilAt(int level, int block, int exercise) {
    UserRecord pupil;
    pupil.id = QStringLiteral("ID-20240101000001");
    pupil.name = QStringLiteral("ANA LOPEZ");
    pupil.level = static_cast<std::int8_t>(level);
    pupil.block = static_cast<std::int8_t>(block);
    pupil.exercise = static_cast<std::int8_t>(exercise);
    pupil.history = {40, 42, -1, -1, -1, -1, -1, -1, -1, -1};
    return pupil;
}

TEST(Progression, Verdicts) {
    const struct {
        int errors, speed, target;
        bool course;
        bool passed;
        QString message;
    } cases[] = {
        {5, 25, 25, true, true, kPass},  // 5 errors at the target pass
        {0, 300, 25, false, true, Lines({"HAS REALIZADO BIEN ESTA PRUEBA. ", "", ""})},
        {0, 0, 0, false, true, Lines({"HAS REALIZADO BIEN ESTA PRUEBA. ", "", ""})},
        {6, 300, 25, true, false,
         Lines({"Lo siento, pero 6 son muchos errores.", "", "Tendrás que repetir este ejercicio.",
                "",
                "Tus pulsaciones son bastante altas, pero tendrás que reducir esa cantidad "
                "de errores."})},
        {9, 24, 25, true, false,
         Lines({"Lo siento, pero 9 son muchos errores.", "", "Tendrás que repetir este ejercicio.",
                "", "Procura ir con más cuidado, no has logrado la velocidad requerida",
                "ni has escrito correctamente."})},
        {0, 24, 25, true, false,
         Lines({"Has escrito correctamente,", "pero un pelín LENTO...", "",
                "Ánimo y escribe más rápido, seguro que puedes hacerlo !!!"})},
    };
    for (const auto& c : cases) {
        const Verdict verdict = JudgeAttempt(c.errors, c.speed, c.target, c.course);
        EXPECT_EQ(verdict.passed, c.passed) << c.errors << " " << c.speed << " " << c.target;
        EXPECT_EQ(verdict.message, c.message) << c.errors << " " << c.speed << " " << c.target;
    }
}

TEST(Progression, SpeedTargetsByMode) {
    const struct {
        int levelSpeed;
        const char* mode;
        int target;
    } cases[] = {
        {25, "NORMAL", 25},    {25, "FACIL", 12},     {25, "MUY FACIL", 8}, {25, "DIFICIL", 50},
        {40, "MUY FACIL", 13}, {40, "muy facil", 40},  // an unknown mode counts as normal
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SpeedTargetFor(c.levelSpeed, c.mode), c.target) << c.levelSpeed << " " << c.mode;
    }
}

TEST(Progression, WhereThePupilGoesWhatSheIsToldAndWhetherSheIsSaved) {
    const struct {
        const char* story;
        CoursePlace from;
        BlockCounts counts;
        int errors, speed;
        bool course;
        CoursePlace to;
        std::int16_t recorded;  // the speed added to her results; -1 for none
        QString verdict, notice;
        bool save;
        NextStep next;
    } cases[] = {
        // clang-format off
        {"a pass goes on to the next exercise, the last of the block too", {1, 1, 5}, {6, 5}, 0,
         30, true, {1, 1, 6}, 30,
         kPass, "", true, NextStep::NextExercise},
        {"a fail repeats the exercise and keeps nothing", {1, 1, 1}, {6, 5}, 6, 30, true,
         {1, 1, 1}, -1, "", "", false, NextStep::SameExercise},
        {"too slow repeats it too", {1, 1, 1}, {6, 5}, 0, 24, true, {1, 1, 1}, -1, "", "", false,
         NextStep::SameExercise},
        {"the last exercise of a block opens the next block", {1, 1, 6}, {6, 5}, 0, 30, true,
         {1, 2, 1}, 30, kPass + Lines({"", "BIEN, SIGAMOS CON UN NUEVO BLOQUE DE EJERCICIOS."}),
         "", true, NextStep::NewBlock},
        {"the last block of a level opens the next level", {4, 4, 2}, {2, 4}, 0, 30, true,
         {5, 1, 1}, 30, kPass + Lines({"", "BIEN, SIGAMOS CON UN NUEVO BLOQUE DE EJERCICIOS."}),
         Lines({"ENHORABUENA!!!", "", "HAS SUBIDO DE NIVEL,", "", "ENTRAMOS EN EL NIVEL 5"}), true,
         NextStep::NewLevel},
        {"the last exercise of level 36 ends the course", {36, 5, 1}, {1, 5}, 0, 200, true,
         {37, 1, 1}, 200,
         kPass + Lines({"", "BIEN, SIGAMOS CON UN NUEVO BLOQUE DE EJERCICIOS."}),
         Lines({"ENHORABUENA,", "", "HAS TERMINADO EL CURSO CON EXITO.", "",
                "PUEDES ESTAR SEGURO QUE SABES ESCRIBIR CON PROPIEDAD"}),
         true, NextStep::CourseComplete},
        {"an exercise of the lesson viewer moves no one and saves nothing", {1, 1, 6}, {6, 5}, 0,
         30, false, {1, 1, 6}, -1, Lines({"HAS REALIZADO BIEN ESTA PRUEBA. ", "", ""}), "",
         false, NextStep::Leave},
        {"and neither does a failed one", {1, 1, 6}, {6, 5}, 8, 30, false, {1, 1, 6}, -1, "",
         "", false, NextStep::Leave},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.story);
        const UserRecord pupil = PupilAt(c.from.level, c.from.block, c.from.exercise);
        ExerciseResult result;
        result.errors = c.errors;
        result.speed = static_cast<qint16>(c.speed);
        const Progression next = Progress(pupil, result, 25, c.counts, c.course);
        EXPECT_EQ(CoursePlace({next.pupil.level, next.pupil.block, next.pupil.exercise}), c.to);
        std::array<std::int16_t, 10> history = pupil.history;
        if (c.recorded >= 0) history[2] = c.recorded;
        EXPECT_EQ(next.pupil.history, history);
        EXPECT_EQ(next.pupil.name, pupil.name);
        EXPECT_TRUE(c.verdict.isEmpty() || next.verdict == c.verdict) << next.verdict.toStdString();
        EXPECT_EQ(next.notice, c.notice);
        EXPECT_EQ(next.save, c.save);
        EXPECT_EQ(next.next, c.next);
    }
}

}  // namespace
}  // namespace tz
