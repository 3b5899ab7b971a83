// The page the pupil types over, drawn for real in the exercise font as a session shows it.

#include "exercise/exercise_page.h"

#include <gtest/gtest.h>

#include <functional>

#include "exercise/exercise_session.h"
#include "platform/clock.h"
#include "platform/fonts.h"
#include "platform/pictures.h"
#include "support.h"

namespace tz {
namespace {

const QColor kPage(20, 20, 20);
const QColor kWrong(255, 0, 0);
const QColor kCursor(179, 30, 196);

// The session's pages and keystrokes go onto a page of their own.
class PageDisplay : public SessionDisplay {
  public:
    explicit PageDisplay(const QFont& font) : page(font) {}
    void ShowPage(const QStringList& lines, bool more) override { page.Show(lines, more); }
    void ShowKeystroke(const JudgedKeystroke& keystroke) override { page.Draw(keystroke); }
    ExercisePage page;
};

TEST(ExercisePage, TypedCellsCursorAndTheWrongSpaceMark) {
    ManualClock clock;
    SetClock(&clock);
    PageDisplay display(MakeFont(QStringLiteral("Courier New"), 14, true));
    int finger = kNoFinger;
    ExerciseSession session(display, finger);
    session.Begin(QStringLiteral("Había una vez\r\nun niño"), "x", 1, 10);
    const int cell = display.page.CharacterWidth();
    EXPECT_GE(cell, 10);
    EXPECT_LE(cell, 13);
    for (const char* key : {"H", "a", "x"}) session.Type(key);  // the third one wrong

    const QImage& live = display.page.Canvas();
    EXPECT_EQ(live.size(), QSize(770, 200) * PictureScale());
    QImage canvas = test::Logical(live);
    const auto count = [&](const QRect& area, const std::function<bool(QColor)>& wanted) {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) n += wanted(canvas.pixelColor(x, y));
        }
        return n;
    };
    const auto exactly = [](QColor colour) { return [colour](QColor c) { return c == colour; }; };
    // Antialiased edges blend into the page text below: count the pixels of the colour family.
    const auto cyan = [](QColor c) { return c.red() < 90 && c.green() > 150 && c.blue() > 150; };
    const auto red = [](QColor c) { return c.red() > 180 && c.green() < 90 && c.blue() < 90; };
    const auto pageInk = [](QColor c) {
        return c.red() < 200 && c.red() == c.green() && c.green() == c.blue();
    };
    // The cursor under the fourth cell, the first erased; the first cells in colour.
    EXPECT_EQ(count(QRect(5 + 3 * cell + 1, 25, 9, 3), exactly(kCursor)), 27);
    EXPECT_EQ(count(QRect(5 + 1, 25, 9, 3), exactly(kCursor)), 0);
    EXPECT_GT(count(QRect(5, 5, 2 * cell, 20), cyan), 20);
    EXPECT_EQ(count(QRect(5, 5, 2 * cell, 20), red), 0);
    EXPECT_GT(count(QRect(5 + 2 * cell, 5, cell, 20), red), 10);
    // The typed characters replace the page's: no pixel of the page's ink in their cells.
    EXPECT_EQ(count(QRect(5, 5, 3 * cell, 22), pageInk), 0);
    // The rest of the page is untouched page text on white.
    EXPECT_EQ(count(QRect(5 + 3 * cell, 5, 10 * cell, 20), cyan), 0);
    EXPECT_GT(count(QRect(5 + 3 * cell, 5, 10 * cell, 20), exactly(kPage)), 20);
    EXPECT_GT(count(QRect(5, 33, 7 * cell, 20), exactly(kPage)), 20);
    EXPECT_EQ(canvas.pixelColor(769, 199), QColor(Qt::white));

    // A space where "í" is due shows the wrong-space mark alone, exactly as it looks drawn by
    // itself on white.
    session.Type(" ");
    canvas = test::Logical(live);
    QImage alone = NewPicture(LogicalSize(live), live.format());
    alone.fill(Qt::white);
    DrawTextOn(alone, 5 + 3 * cell, 5, QString(QChar(0x0085)), display.page.Font(), kWrong);
    const QRect markCell(5 + 3 * cell, 5, cell, 22);
    EXPECT_EQ(canvas.copy(markCell), test::Logical(alone).copy(markCell));
    EXPECT_GT(count(markCell, [](QColor c) { return c.red() == 255 && c.green() < 200; }), 10);
    test::SaveImage(live, QStringLiteral("exercise_canvas_typing"));
    SetClock(nullptr);
}

}  // namespace
}  // namespace tz
