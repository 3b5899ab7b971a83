// The course teaches in order: each level's drills bring only a few new signs, and the lesson
// texts use what has been taught, practise it soon after and again later, fit a five-minute
// attempt, and follow the course's style sheet (assets/estilo.md).

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringList>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "content/course_data.h"
#include "content/exercise_text.h"
#include "content_test.h"
#include "support.h"

namespace tz {
namespace {

// What a pupil learns to type: one key each, except that all capital letters are one skill
// (Shift) and all digits another.
const QString kShift = QStringLiteral("Mayús");
const QString kDigits = QStringLiteral("cifras");

using Skills = std::set<QString>;

QString SkillOf(QChar c) {
    if (c.isUpper()) return kShift;
    if (c.isDigit()) return kDigits;
    return QString(c);
}

QString Describe(const Skills& skills) {
    QStringList names(skills.begin(), skills.end());
    return names.join(' ');
}

Skills SkillsFrom(const char* spaced) {
    const QStringList names = QString::fromUtf8(spaced).split(' ', Qt::SkipEmptyParts);
    return Skills(names.begin(), names.end());
}

// The signs the drills bring first, level by level; the levels after 17 bring nothing new.
struct Step {
    int level;
    const char* skills;
};
// clang-format off
const Step kSchedule[] = {
    {8,  "á é í ó ú Mayús"},
    {9,  "¿ ? ¡ !"},
    {10, ": ;"},
    {11, "( ) \""},
    {12, "ü %"},
    {13, "/ $ '"},
    {14, "@ # + ="},
    {15, "* º ª &"},
    {16, "· _"},
    {17, "< > [ ] { }"},
};
// clang-format on
constexpr int kFirstNewLevel = 8;
constexpr int kMostNewSkills = 6;

// The skills each level's word entries bring for the first time in the course.
const std::vector<Skills>& NewSkillsByLevel() {
    static const std::vector<Skills> levels = [] {
        std::vector<Skills> result(LastLevel + 1);
        Skills known;
        const CourseTable& course = CourseData();
        for (size_t l = 0; l < course.levels.size(); ++l) {
            for (const CourseBlock& block : course.levels[l].blocks) {
                for (QString entry : block.entries) {
                    if (IsLessonTextRef(entry)) continue;
                    entry.replace(kQuoteMarker, "\"");
                    for (const QChar c : entry) {
                        const QString skill = SkillOf(c);
                        if (c != ' ' && !known.count(skill)) result[l + 1].insert(skill);
                    }
                }
            }
            known.insert(result[l + 1].begin(), result[l + 1].end());
        }
        return result;
    }();
    return levels;
}

// The level whose drills first teach each skill.
int TaughtAt(const QString& skill) {
    const std::vector<Skills>& levels = NewSkillsByLevel();
    for (int l = 1; l <= LastLevel; ++l) {
        if (levels[l].count(skill)) return l;
    }
    return 0;
}

struct LessonText {
    QString name;  // "TEXTO_05"
    int level = 0;
    int speed = 0;
    bool read = false;
    QStringList lines;  // as typed: "|kom|" already a double quote, spaces at the line end dropped
    Skills taught;      // what the drills before it in the course have taught
};

// The lesson texts in course order, read from the source tree like the program reads them.
const std::vector<LessonText>& LessonTexts() {
    static const std::vector<LessonText> texts = [] {
        std::vector<LessonText> result;
        Skills known;
        const CourseTable& course = CourseData();
        for (size_t l = 0; l < course.levels.size(); ++l) {
            for (const CourseBlock& block : course.levels[l].blocks) {
                for (QString entry : block.entries) {
                    if (!IsLessonTextRef(entry)) {
                        for (const QChar c : entry.replace(kQuoteMarker, "\"")) {
                            known.insert(SkillOf(c));
                        }
                        continue;
                    }
                    LessonText text;
                    text.taught = known;
                    const QString file = LessonTextFileName(entry);
                    text.name = file.section('/', -1);
                    text.level = static_cast<int>(l) + 1;
                    text.speed = course.levels[l].speed;
                    QFile source(test::SourcePath("assets/" + file));
                    if (source.open(QIODevice::ReadOnly)) {
                        text.read = true;
                        QStringDecoder decoder(QStringDecoder::Utf8);
                        QString whole = decoder(source.readAll());
                        whole.replace("\r\n", "\n").replace('\r', '\n');
                        if (whole.endsWith('\n')) whole.chop(1);
                        for (QString line : whole.split('\n')) {
                            while (line.endsWith(' ')) line.chop(1);
                            text.lines.append(line.replace(kQuoteMarker, "\""));
                        }
                    }
                    result.push_back(text);
                }
            }
        }
        return result;
    }();
    return texts;
}

std::string Name(const LessonText& text) {
    return QString("%1 (nivel %2)").arg(text.name).arg(text.level).toStdString();
}

// Each character is one keystroke ("|kom|" is one double quote), each line break one Enter.
qsizetype Keystrokes(const LessonText& text) {
    qsizetype keystrokes = text.lines.isEmpty() ? 0 : text.lines.size() - 1;
    for (const QString& line : text.lines) keystrokes += line.size();
    return keystrokes;
}

TEST(CourseRules, EachLevelBringsAFewNewSignsOnTheSchedule) {
    const std::vector<Skills>& levels = NewSkillsByLevel();
    std::map<int, Skills> expected;
    for (const Step& step : kSchedule) expected[step.level] = SkillsFrom(step.skills);
    for (int l = kFirstNewLevel; l <= LastLevel; ++l) {
        EXPECT_LE(static_cast<int>(levels[l].size()), kMostNewSkills)
            << "nivel " << l << " trae " << levels[l].size()
            << " signos nuevos: " << Describe(levels[l]).toStdString();
        EXPECT_EQ(Describe(levels[l]), Describe(expected[l])) << "signos nuevos del nivel " << l;
    }
}

// A text comes after the drills that teach its signs, even within its own level.
TEST(CourseRules, LessonTextsUseOnlyWhatTheDrillsBeforeThemTaught) {
    ASSERT_EQ(LessonTexts().size(), 69u);
    for (const LessonText& text : LessonTexts()) {
        EXPECT_TRUE(text.read) << "falta " << Name(text);
        std::set<QString> reported;
        for (int n = 0; n < text.lines.size(); ++n) {
            for (const QChar c : text.lines[n]) {
                const QString skill = SkillOf(c);
                if (c == ' ' || reported.count(skill) || text.taught.count(skill)) continue;
                reported.insert(skill);
                const int taught = TaughtAt(skill);
                const QString shown =
                    skill == QString(c) ? skill : QString("%1 (%2)").arg(c).arg(skill);
                ADD_FAILURE() << Name(text) << ", línea " << n + 1 << ": '" << shown.toStdString()
                              << "' "
                              << (taught
                                      ? "se enseña después, en el nivel " + std::to_string(taught)
                                      : std::string("no se enseña en ningún ejercicio"));
            }
        }
    }
}

TEST(CourseRules, EverySignTaughtComesUpInOneOfTheNextFourLessonTexts) {
    const std::vector<LessonText>& texts = LessonTexts();
    const QString plainLetters = QString::fromUtf8("abcdefghijklmnñopqrstuvwxyz");
    const std::vector<Skills>& levels = NewSkillsByLevel();
    for (int l = 1; l <= LastLevel; ++l) {
        for (const QString& skill : levels[l]) {
            if (skill.size() == 1 && plainLetters.contains(skill)) continue;
            QStringList looked;
            bool found = false;
            for (const LessonText& text : texts) {
                if (text.level < l) continue;
                looked << text.name;
                for (const QString& line : text.lines) {
                    for (const QChar c : line) found = found || SkillOf(c) == skill;
                }
                if (found || looked.size() == 4) break;
            }
            EXPECT_TRUE(found) << "'" << skill.toStdString() << "', enseñado en el nivel " << l
                               << ", no aparece en " << looked.join(", ").toStdString();
        }
    }
}

TEST(CourseRules, EverySignTaughtComesBackInThreeLessonTextsOrMore) {
    const QString plainLetters = QString::fromUtf8("abcdefghijklmnñopqrstuvwxyz");
    const std::vector<Skills>& levels = NewSkillsByLevel();
    for (int l = 1; l <= LastLevel; ++l) {
        for (const QString& skill : levels[l]) {
            if (skill.size() == 1 && plainLetters.contains(skill)) continue;
            QStringList holding;
            for (const LessonText& text : LessonTexts()) {
                if (text.level < l) continue;
                bool found = false;
                for (const QString& line : text.lines) {
                    for (const QChar c : line) found = found || SkillOf(c) == skill;
                }
                if (found) holding << text.name;
            }
            EXPECT_GE(holding.size(), 3)
                << "'" << skill.toStdString() << "', enseñado en el nivel " << l
                << ", solo aparece en " << holding.join(", ").toStdString();
        }
    }
}

TEST(CourseRules, CapitalAccentedVowelsComeUpInTwoLessonTextsOrMore) {
    for (const QChar capital : QString::fromUtf8("ÁÉÍÓÚ")) {
        QStringList holding;
        for (const LessonText& text : LessonTexts()) {
            if (text.lines.join('\n').contains(capital)) holding << text.name;
        }
        EXPECT_GE(holding.size(), 2) << QString(capital).toStdString() << " solo aparece en "
                                     << holding.join(", ").toStdString();
    }
}

TEST(CourseRules, TheFirstFourLessonTextsHoldEveryDigit) {
    ASSERT_GE(LessonTexts().size(), 4u);
    QString firstFour;
    for (size_t t = 0; t < 4; ++t) firstFour += LessonTexts()[t].lines.join('\n');
    for (char digit = '0'; digit <= '9'; ++digit) {
        EXPECT_TRUE(firstFour.contains(QChar(digit)))
            << "la cifra " << digit << " no aparece en TEXTO_01 a TEXTO_04";
    }
}

TEST(CourseRules, TheFirstTwelveLessonTextsLeaveRoomInTheirFiveMinutes) {
    for (size_t t = 0; t < 12 && t < LessonTexts().size(); ++t) {
        const LessonText& text = LessonTexts()[t];
        const qsizetype keystrokes = Keystrokes(text);
        // Near 85 % of the limit, never above 90 %.
        EXPECT_LE(keystrokes * 100, 5 * text.speed * 90)
            << Name(text) << ": " << keystrokes << " pulsaciones de " << 5 * text.speed;
    }
}

// What the style sheet rules out, in the texts and in the drills alike. A text is matched whole,
// its lines joined by "\n", so "\s" also finds what a line end splits.
struct StyleCase {
    const char* pattern;  // a regular expression, "^" at a line start
    const char* rule;
};
// clang-format off
const StyleCase kHouseStyle[] = {
    {"Cuzco",                  "se escribe Cusco"},
    {"Amazonía",               "se escribe Amazonia"},
    {"UNESCO",                 "se escribe Unesco"},
    {"Würzburg",               "se escribe Wurzburgo"},
    {"La\\sCoruña",            "se escribe A Coruña"},
    {"Fidípides",              "se escribe Filípides"},
    {"(?<![Ll]a\\s)Ciudad\\sde\\sMéxico", "se escribe la Ciudad de México"},
    {"\\d%",                   "el % va separado de la cifra: 25 %"},
    {"\\$\\d",                 "el $ va separado de la cifra: $ 6"},
    {"\\d ?\\$",               "el $ va delante de la cifra: $ 24,90"},
    {"\\d\\.\\d{3}(?!\\d)",    "los millares van con espacio: 12 800"},
    {"\\b(unos|unas|más\\sde|menos\\sde|casi|cerca\\sde|roza\\slos)\\s\\d{1,3}000\\b",
                               "un número redondo aproximado va en letra: más de cuatro mil"},
    {"^-.* -[A-ZÁÉÍÓÚÑ¿¡]",    "un solo hablante por línea de diálogo"},
    {"¿[^?]{0,12}\\b[Uu]stedes\\b", "fórmula: la pregunta con «ustedes»"},
    {"\\b[Ss]e\\scuenta|[Cc]uenta\\s(la|una)\\sleyenda|[Ss]e\\sdice\\sque|[Ss]e\\ssuele\\scontar"
     "|[Uu]na\\s(leyenda|anécdota)\\s(dice|cuenta)", "fórmula: «se cuenta» y sus parientes"},
    {"billete\\s(chileno|mexicano|de\\s\\d)|(rostro|cara)\\s(aparece|está)\\sen",
                               "fórmula: el billete"},
    {"\\b[Ff]ue\\sla\\sprimera\\s(?!vez)", "fórmula: «fue la primera»"},
    {"Patrimonio\\s(de\\sla\\sHumanidad|Mundial|Cultural)", "cierre de enciclopedia: el patrimonio"},
};
// clang-format on

// The word entries as typed.
QStringList Drills() {
    QStringList drills;
    for (const CourseLevel& level : CourseData().levels) {
        for (const CourseBlock& block : level.blocks) {
            for (QString entry : block.entries) {
                if (!IsLessonTextRef(entry)) drills << entry.replace(kQuoteMarker, "\"");
            }
        }
    }
    return drills;
}

void ExpectNoMatch(const StyleCase& style, const std::string& where, const QString& text) {
    const QRegularExpression pattern(QString::fromUtf8(style.pattern),
                                     QRegularExpression::MultilineOption);
    ASSERT_TRUE(pattern.isValid()) << style.pattern;
    const QRegularExpressionMatch match = pattern.match(text);
    EXPECT_FALSE(match.hasMatch())
        << where << ", línea " << text.left(match.capturedStart()).count('\n') + 1 << ": "
        << style.rule << ": «" << match.captured().toStdString() << "»";
}

TEST(CourseRules, TextsAndDrillsFollowTheHouseStyle) {
    for (const StyleCase& style : kHouseStyle) {
        for (const LessonText& text : LessonTexts()) {
            ExpectNoMatch(style, text.name.toStdString(), text.lines.join('\n'));
        }
        for (const QString& drill : Drills()) {
            ExpectNoMatch(style, "curso.txt: " + drill.toStdString(), drill);
        }
    }
}

// A sign, a unit or a thousands group stays on the line of its number ("\n" is the line end).
// clang-format off
const StyleCase kLineEnds[] = {
    {"[$<>=+·]\\n\\d",                      "el signo se queda sin su número"},
    {"\\d\\n[%<>=+·]",                      "el número se queda sin su signo"},
    {"\\d\\n\\d{3}(?!\\d)",                  "el número se parte en dos líneas"},
    {"\\d\\n(km|kg|g|m|cm|mm|a\\. C\\.)(?!\\w)", "la unidad se separa de su número"},
    {"n\\.º\\n\\d",                         "n.º se separa de su número"},
};
// clang-format on

TEST(CourseRules, SignsStayOnTheLineOfTheirNumber) {
    for (const StyleCase& style : kLineEnds) {
        for (const LessonText& text : LessonTexts()) {
            ExpectNoMatch(style, text.name.toStdString(), text.lines.join('\n'));
        }
    }
}

// Topics and names the course has used up: each has one place, a lesson text or a drill.
// clang-format off
const char* const kOnePlace[] = {
    "madrugar", "Titicaca", "Aconcagua", "latidos?|pulsaciones", "Juana Inés", "Amazon(as|ia)",
    "\\bF y la J\\b", "[Ee]spalda", "un poco cada día", "Rubén Darío", "O'Higgins", "Mistral",
    "pingüino", "kiwi", "bilingüe", "Caribe colombiano", "\\bMarta\\b", "\\bCarmen\\b",
    "\\bDaniela\\b", "\\bTomás\\b", "\\bRuiz\\b", "\\bSara\\b", "\\bOmar\\b", "\\bIker\\b",
};
// clang-format on

TEST(CourseRules, EachUsedTopicAndNameHasOnePlace) {
    for (const char* topic : kOnePlace) {
        const QRegularExpression pattern(QString::fromUtf8(topic));
        ASSERT_TRUE(pattern.isValid()) << topic;
        QStringList places;
        for (const LessonText& text : LessonTexts()) {
            if (text.lines.join('\n').contains(pattern)) places << text.name;
        }
        for (const QString& drill : Drills()) {
            if (drill.contains(pattern)) places << "curso.txt: " + drill;
        }
        EXPECT_LE(places.size(), 1) << topic << " aparece en " << places.join("; ").toStdString();
    }
}

// A text ends on its own subject, not on a prize, a heritage listing or a death date.
TEST(CourseRules, LessonTextsDoNotEndOnAnEncyclopediaCloser) {
    const QRegularExpression closer(QString::fromUtf8("Premio|Patrimonio|^ ?Murió"));
    for (const LessonText& text : LessonTexts()) {
        const QString whole = text.lines.join(' ');
        const QString last = whole.mid(whole.lastIndexOf(". ", whole.size() - 2) + 1);
        EXPECT_FALSE(last.contains(closer)) << Name(text) << " acaba en: " << last.toStdString();
    }
}

// The help writes the modes as Spanish words; the unaccented keys appear only as the program
// stores and shows them, in <code> or between « ».
TEST(CourseRules, TheHelpAccentsTheModeNamesInItsProse) {
    QFile file(test::SourcePath("assets/help/tipzhelp.html"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QString prose = QString::fromUtf8(file.readAll());
    prose.remove(QRegularExpression("<code>.*?</code>|«[^»]*»",
                                    QRegularExpression::DotMatchesEverythingOption));
    prose.remove(QRegularExpression("<[^>]*>"));
    const QRegularExpressionMatch bare = QRegularExpression("\\b(FACIL|DIFICIL)\\b").match(prose);
    EXPECT_FALSE(bare.hasMatch()) << "sin tilde: …"
                                  << prose.mid(bare.capturedStart() - 40, 60).toStdString();
    for (const char* mode : {"MUY FÁCIL", "FÁCIL", "DIFÍCIL"}) {
        EXPECT_TRUE(prose.contains(QString::fromUtf8(mode))) << mode;
    }
}

TEST(CourseRules, EveryLessonTextTakesAtMostFiveMinutesAtItsLevelSpeed) {
    for (const LessonText& text : LessonTexts()) {
        const qsizetype keystrokes = Keystrokes(text);
        EXPECT_LE(keystrokes, 5 * text.speed)
            << Name(text) << ": " << keystrokes << " pulsaciones, más que 5 x " << text.speed;
    }
}

TEST(CourseRules, EveryLessonTextHasCapitalsAsOrdinaryProseDoes) {
    for (const LessonText& text : LessonTexts()) {
        qsizetype characters = 0;
        qsizetype capitals = 0;
        for (const QString& line : text.lines) {
            characters += line.size();
            for (const QChar c : line) capitals += c.isUpper();
        }
        // At least 2.5 % of the characters.
        EXPECT_GE(capitals * 1000, characters * 25)
            << Name(text) << ": " << capitals << " mayúsculas en " << characters << " caracteres ("
            << QString::number(characters ? 100.0 * capitals / characters : 0.0, 'f', 2)
                   .toStdString()
            << " %)";
    }
}

}  // namespace
}  // namespace tz
