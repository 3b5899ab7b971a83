// A PC with the Latin American keyboard: the exercise window shows that keyboard with its
// markers on that keyboard's keys, the course's ordinals are typed as its keys give them, and
// the error analysis draws the same keyboard.

#include <QDir>
#include <QLabel>
#include <map>

#include "app/analysis_window.h"
#include "app/exercise_run.h"
#include "content/analysis_pictures.h"
#include "content/course_data.h"
#include "content/custom_texts.h"
#include "content/exercise_text.h"
#include "content/figures_file.h"
#include "exercise/exercise_pictures.h"
#include "exercise/keyboard_picture.h"
#include "exercise_screens.h"
#include "platform/dialogs.h"

namespace tz {
namespace {

using test::AnswerResult;
using test::ExerciseWindowWidget;
using test::InTurn;
using test::PressKey;
using test::ResultMessage;

const QByteArray kRosa =
    "ROSA QUISPE|15|2|3|90|80|85|90|-1|-1|-1|-1|-1|-1|-1|NORMAL|ID-20240101000021";

class LatinAmericanKeyboardTest : public test::ExerciseScreenTest {
  protected:
    void SetUp() override {
        ExerciseScreenTest::SetUp();
        // What start-up does on such a PC.
        state_.keyboard = MakeKeyboardTables(kLatinAmericanLayout);
        RegisterKeyboardPictures(state_.keyboard);
    }
    void TearDown() override {
        RegisterKeyboardPictures(KeyboardTablesFor(kSpanishLayout));
        ExerciseScreenTest::TearDown();
    }

    // The key of the Latin American keyboard that holds the whole of a marker.
    const KeyCap* KeyUnder(QWidget* window, int marker) const {
        QWidget* control = FindControl(window, marker);
        if (!control || control->isHidden()) return nullptr;
        const QRect place = control->geometry().translated(-kKeyboardRect.topLeft());
        for (const KeyCap& cap : caps_) {
            if (cap.rect.contains(place)) return &cap;
        }
        return nullptr;
    }

    const std::vector<KeyCap> caps_ = KeyboardKeyCaps(KeyboardTablesFor(kLatinAmericanLayout));
};

// A custom text typed on such a PC: where the markers send the pupil for each character, by the
// legends of the keys under them (the key that prints the character or its letter, then the
// second key), and its ordinal typed with the degree sign the keyboard has.
TEST_F(LatinAmericanKeyboardTest, TheExerciseWindowShowsItsKeysAndPutsTheMarkersOnThem) {
    WriteUsers({kRosa});
    CurrentUser.id = QStringLiteral("ID-20240101000021");
    LoadCurrentUser();
    ASSERT_TRUE(QDir().mkpath(Path(kCustomTextsFolder)));
    WriteBytes(kCustomTextsFolder + QStringLiteral("/muestra.t10"),
               QStringLiteral("¿Qué año? ¡Pingüino! #1 {a} @ 2.º").toUtf8());
    const QString typed = QStringLiteral("¿Qué año? ¡Pingüino! #1 {a} @ 2.°");

    struct Expected {
        const char* key;
        const char* modifier;
        const char* shift;
    };
    const std::map<QChar, Expected> expected = {
        {u'¿', {"¿", "", ""}},   {u'Q', {"Q", "⇧", ""}}, {u'é', {"E", "´", ""}},
        {u'ñ', {"Ñ", "", ""}},   {u'?', {"'", "⇧", ""}}, {u'¡', {"¿", "⇧", ""}},
        {u'ü', {"U", "´", "⇧"}}, {u'!', {"1", "⇧", ""}}, {u'#', {"3", "⇧", ""}},
        {u'{', {"{", "", ""}},   {u'}', {"}", "", ""}},  {u'@', {"Q", "", ""}},
        {u'°', {"|", "⇧", ""}},
    };
    InTurn({{QStringLiteral("ROSA QUISPE  |  NIVEL: 1"),
             [&](QWidget* window) {
                 // The window shows the Latin American keyboard.
                 auto* keyboard = qobject_cast<QLabel*>(FindControl(window, kExKeyboardPicture));
                 EXPECT_EQ(test::Logical(keyboard->pixmap().toImage()),
                           test::Logical(DrawKeyboardPicture(state_.keyboard)));
                 for (const QChar ch : typed) {
                     clock_.Advance(400);
                     ASSERT_EQ(qobject_cast<QLabel*>(FindControl(window, kExKeyLabel))->text(),
                               QString(ch));
                     const auto found = expected.find(ch);
                     if (found != expected.end()) {
                         SCOPED_TRACE(QString(ch).toStdString());
                         const KeyCap* key = KeyUnder(window, kExKeyMarker);
                         ASSERT_NE(key, nullptr);
                         EXPECT_EQ(key->base, QString::fromUtf8(found->second.key));
                         const KeyCap* modifier = KeyUnder(window, kExModifierMarker);
                         EXPECT_EQ(modifier ? modifier->base + modifier->name : QString(),
                                   QString::fromUtf8(found->second.modifier));
                         const KeyCap* shift = KeyUnder(window, kExShiftMarker);
                         EXPECT_EQ(shift ? shift->name : QString(),
                                   QString::fromUtf8(found->second.shift));
                     }
                     if (ch == u'ü') test::SaveScreen(window, "exercise_window_latinoamericano");
                     PressKey(window, ch);
                 }
             }},
            {kResultWindowTitle, [](QWidget*) {
                 // No error, the ordinal included.
                 EXPECT_TRUE(
                     ResultMessage().startsWith(QStringLiteral("HAS REALIZADO BIEN ESTA PRUEBA.")))
                     << ResultMessage().toStdString();
                 auto* errors =
                     qobject_cast<QLabel*>(FindControl(ExerciseWindowWidget(), kExErrorsDisplay));
                 EXPECT_TRUE(errors->text().startsWith(QStringLiteral("0 (")))
                     << errors->text().toStdString();
                 AnswerResult(kResultMenuButton);
             }}});
    RunExercises(state_, CustomTextRequest(QStringLiteral("muestra.t10")));
    EXPECT_EQ(ExerciseWindowWidget(), nullptr);
}

// Level 15 teaches the ordinals. The keyboard has "°" and no "ª": the pupil types "1.a 2.a 3.a"
// and passes; on a Spanish keyboard the same keystrokes miss every "ª".
class OrdinalsTest : public LatinAmericanKeyboardTest {
  protected:
    void TypeTheOrdinals(const QString& verdict) {
        WriteUsers({kRosa});
        CurrentUser.id = QStringLiteral("ID-20240101000021");
        LoadCurrentUser();
        ASSERT_EQ(LoadBlock(15, 2).Entry(3), QStringLiteral("1.ª 2.ª 3.ª"));
        const QString line = WordExerciseLine(QStringLiteral("1.a 2.a 3.a"));
        QStringList lines;
        for (int i = 0; i < LoadBlock(15, 2).linesPerExercise; ++i) lines << line;
        InTurn({{QStringLiteral("ROSA QUISPE  |  NIVEL: 15"),
                 [&](QWidget* window) { TypeAll(window, lines.join(u'\r'), 120); }},
                {kResultWindowTitle, [verdict](QWidget*) {
                     EXPECT_TRUE(ResultMessage().startsWith(verdict))
                         << ResultMessage().toStdString();
                     AnswerResult(kResultMenuButton);
                 }}});
        RunExercises(state_);
        EXPECT_EQ(ExerciseWindowWidget(), nullptr);
        EXPECT_TRUE(AskedDialogs().empty());
    }
};

TEST_F(OrdinalsTest, TheLatinAmericanKeyboardTypesThemWithItsOwnKeys) {
    TypeTheOrdinals(QStringLiteral("HAS REALIZADO BIEN ESTA PRUEBA. "));
    EXPECT_EQ(CurrentUser.exercise, 4);
}

TEST_F(OrdinalsTest, TheSpanishKeyboardStillAsksForTheOrdinalSign) {
    state_.keyboard = MakeKeyboardTables(kSpanishLayout);
    RegisterKeyboardPictures(state_.keyboard);
    // Three "ª" an entry, five entries a line, five lines.
    TypeTheOrdinals(QStringLiteral("Lo siento, pero 75 son muchos errores."));
    EXPECT_EQ(CurrentUser.exercise, 3);
}

// The error analysis on such a PC: the keys tinted are the Latin American keyboard's.
TEST_F(LatinAmericanKeyboardTest, TheErrorAnalysisDrawsTheSameKeyboard) {
    WriteUsers({kRosa});
    CurrentUser.id = QStringLiteral("ID-20240101000021");
    LoadCurrentUser();
    KeystrokeLog log;
    const auto strokes = [&log](const char* due, const char* typed, int times) {
        for (int i = 0; i < times; ++i) {
            log.push_back({QString::fromUtf8(due), QString::fromUtf8(typed), 10, 240});
        }
    };
    strokes("¿", "¿", 6);
    strokes("¿", "'", 6);  // half of them missed
    strokes("{", "{", 20);
    strokes("a", "a", 30);
    const PupilFigures figures = FiguresOfAttempt(log, QDateTime(QDate(2024, 5, 6), QTime(9, 0)));
    ASSERT_TRUE(AddPupilFigures(store_, CurrentUser.id, figures));
    QWidget menu;
    menu.show();
    state_.mainMenu = &menu;
    InTurn({{QStringLiteral("Análisis de errores"), [this](QWidget* window) {
                 EXPECT_TRUE(QTest::qWaitForWindowActive(window));
                 auto* label = qobject_cast<QLabel*>(FindControl(window, kAnalysisKeyboardId));
                 ASSERT_NE(label, nullptr);
                 const QImage keyboard = test::Logical(label->pixmap().toImage());
                 const PupilFigures saved = LoadPupilFigures(store_, CurrentUser.id);
                 EXPECT_EQ(keyboard, test::Logical(DrawErrorKeyboard(saved, state_.keyboard)));
                 // The "¿" key, right of the "'" key, wears the worst band; "{" right of Ñ the
                 // best.
                 for (const KeyCap& cap : caps_) {
                     if (cap.base != QStringLiteral("¿") && cap.base != QStringLiteral("{"))
                         continue;
                     const QColor wanted =
                         ErrorRateColour(cap.base == QStringLiteral("¿") ? 0.5 : 0.0);
                     const QColor seen =
                         keyboard.pixelColor(cap.rect.right() - 6, cap.rect.bottom() - 8);
                     EXPECT_LT(std::abs(seen.red() - wanted.red()) +
                                   std::abs(seen.green() - wanted.green()) +
                                   std::abs(seen.blue() - wanted.blue()),
                               60)
                         << cap.base.toStdString() << " shows " << seen.name().toStdString();
                 }
                 test::SaveScreen(window, "analysis_latinoamericano");
                 window->close();
             }}});
    RunAnalysisWindow(state_);
    state_.mainMenu = nullptr;
}

}  // namespace
}  // namespace tz
