#pragma once
// The page of text the pupil types over, as a picture: the lines of the page in the exercise
// font, every keystroke in its cell in the colour of its judgement, the cursor under the cell
// due, and the mark that tells more text follows. The exercise window shows it.

#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QStaticText>
#include <QString>
#include <QStringList>
#include <memory>

#include "exercise/exercise_session.h"

class QPainter;

namespace tz {

// Pixels from one line of the page to the next.
inline constexpr int TextLineHeight = 28;

class ExercisePage {
  public:
    // A white page of 770 x 200 pixels, drawn in `font`.
    explicit ExercisePage(const QFont& font);
    ~ExercisePage();
    ExercisePage(const ExercisePage&) = delete;
    ExercisePage& operator=(const ExercisePage&) = delete;

    // The lines of a new page on white, and the cursor under the first cell.
    void Show(const QStringList& lines, bool morePages);
    // The typed character takes the place of the page's in its cell (red when wrong, a wrong
    // space as a mark of its own), and the cursor moves to the next place.
    void Draw(const JudgedKeystroke& keystroke);

    const QImage& Canvas() const { return canvas_; }
    const QFont& Font() const { return font_; }
    // Width of "X" in the exercise font (the font is monospaced): one cell.
    int CharacterWidth() const;
    // The top left pixel of a cell.
    static QPoint CellOrigin(const TextPlace& place, int characterWidth);
    // What changed since the last call, to be painted again.
    QRect TakeChanged();

  private:
    class Painter;
    void Fill(const QRect& box, const QColor& colour);
    void DrawGlyphs(int x, int y, const QString& text, const QColor& colour);
    void DrawMoreMark();
    QRect MoreMarkRect() const;
    void DrawCursor(const TextPlace& place);
    void Clip(const QRect& area);
    void RefreshFontMetrics() const;

    QImage canvas_;
    QFont font_;
    QStringList lines_;
    bool morePages_ = false;
    // What the cell left of the next keystroke shows, when the pupil typed it on this line.
    TextPlace previousCell_{-1, -1};
    QString previousDrawn_;
    QColor previousColour_;
    QRect changed_;
    QRect clip_;
    std::unique_ptr<QPainter> painter_;  // while a clip is set

    mutable QFont metricsFont_;
    mutable int characterWidth_ = 0;
    mutable int fontHeight_ = 0;
    mutable QHash<QChar, QStaticText> glyphs_;  // laid out in the exercise font
};

}  // namespace tz
