#include "exercise/exercise_page.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <optional>

#include "platform/pictures.h"

namespace tz {

namespace {

constexpr int kTextOrigin = 5;  // x of every line and y of the first
const QSize kPageSize(770, 200);
// The mark that tells more text follows.
constexpr int kMorePicture = PictureNumber(PictureName::MoreText);

const QColor kPageColour(20, 20, 20);
const QColor kCorrectColour(0, 206, 206);
const QColor kWrongColour(255, 0, 0);
const QColor kCursorColour(179, 30, 196);
constexpr int kCursorWidth = 9;
constexpr int kCursorHeight = 3;
constexpr int kCursorDrop = 20;  // below the top of the character cell
// Bold glyphs reach a pixel into the cells beside theirs.
constexpr int kInkOverhang = 1;

// A wrong space has nothing to show, so a mark of its own is drawn in its place.
constexpr QChar kWrongSpaceMark(0x0085);

}  // namespace

// The painter of a repaint limited by Clip, or one of its own for a single operation.
class ExercisePage::Painter {
  public:
    explicit Painter(ExercisePage& page) {
        if (page.painter_) {
            painter_ = page.painter_.get();
        } else {
            own_.emplace(&page.canvas_);
            painter_ = &*own_;
        }
    }
    QPainter* operator->() { return painter_; }

  private:
    std::optional<QPainter> own_;
    QPainter* painter_ = nullptr;
};

ExercisePage::ExercisePage(const QFont& font) : canvas_(NewPicture(kPageSize)), font_(font) {
    canvas_.fill(Qt::white);
}

ExercisePage::~ExercisePage() = default;

QPoint ExercisePage::CellOrigin(const TextPlace& place, int characterWidth) {
    return QPoint(kTextOrigin + place.column * characterWidth,
                  kTextOrigin + place.line * TextLineHeight);
}

void ExercisePage::Show(const QStringList& lines, bool morePages) {
    lines_ = lines;
    morePages_ = morePages;
    previousCell_ = TextPlace{-1, -1};
    canvas_.fill(Qt::white);
    changed_ = QRect(QPoint(0, 0), LogicalSize(canvas_));
    for (qsizetype k = 0; k < lines.size(); ++k) {
        DrawGlyphs(kTextOrigin, kTextOrigin + TextLineHeight * static_cast<int>(k), lines[k],
                   kPageColour);
    }
    if (morePages_) DrawMoreMark();
    DrawCursor(TextPlace());
}

// The cell is painted afresh (white, the neighbours' strokes that reach into it, then the typed
// character), so no stroke of the page's character is left under it and the neighbours stay
// whole.
void ExercisePage::Draw(const JudgedKeystroke& keystroke) {
    const int width = CharacterWidth();
    const TextPlace& place = keystroke.cell;
    const QPoint origin = CellOrigin(place, width);
    QString drawn = keystroke.typed;
    QColor colour = kCorrectColour;
    if (!keystroke.correct) {
        colour = kWrongColour;
        if (drawn == QStringLiteral(" ")) drawn = QString(kWrongSpaceMark);
    }

    // The cell holds the cursor box too, which goes with the rest.
    const QRect cell(origin.x() - kInkOverhang, origin.y(), width + 2 * kInkOverhang,
                     TextLineHeight);
    Clip(cell);
    Fill(cell, Qt::white);
    if (previousCell_ == TextPlace{place.line, place.column - 1}) {
        DrawGlyphs(origin.x() - width, origin.y(), previousDrawn_, previousColour_);
    }
    const QString line = place.line < lines_.size() ? lines_[place.line] : QString();
    if (place.column + 1 < line.size() && line[place.column + 1] != QChar(u' ')) {
        DrawGlyphs(origin.x() + width, origin.y(), line.mid(place.column + 1, 1), kPageColour);
    }
    DrawGlyphs(origin.x(), origin.y(), drawn, colour);
    if (morePages_ && cell.intersects(MoreMarkRect())) DrawMoreMark();
    Clip(QRect());

    previousCell_ = place;
    previousDrawn_ = drawn;
    previousColour_ = colour;
    DrawCursor(keystroke.next);
}

QRect ExercisePage::TakeChanged() {
    const QRect changed = changed_;
    changed_ = QRect();
    return changed;
}

void ExercisePage::Fill(const QRect& box, const QColor& colour) {
    Painter(*this)->fillRect(box, colour);
    changed_ |= clip_.isEmpty() ? box : box & clip_;
}

void ExercisePage::DrawGlyphs(int x, int y, const QString& text, const QColor& colour) {
    // The cursor moves by the whole-pixel width of a character; the font's own advance has a
    // fraction, so a line drawn in one piece would drift away from the keystrokes drawn on it.
    const int width = CharacterWidth();
    {
        Painter painter(*this);
        painter->setFont(font_);
        painter->setPen(colour);
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] == QChar(u' ')) continue;
            // Each character is laid out once and kept: a keystroke draws three of them.
            QStaticText& glyph = glyphs_[text[i]];
            if (glyph.text().isEmpty()) {
                glyph.setText(QString(text[i]));
                glyph.setTextFormat(Qt::PlainText);
                glyph.prepare(QTransform(), font_);
            }
            painter->drawStaticText(x + static_cast<int>(i) * width, y, glyph);
        }
    }
    // Glyphs may reach a little beyond their cells.
    QRect drawn(x - width, y - 2, width * (static_cast<int>(text.size()) + 2), fontHeight_ + 4);
    if (!clip_.isEmpty()) drawn &= clip_;
    changed_ |= drawn;
}

QRect ExercisePage::MoreMarkRect() const {
    const QSize size = LogicalSize(canvas_);
    return QRect(QPoint(size.width() - 54, size.height() - 12), LogicalSize(Picture(kMorePicture)));
}

void ExercisePage::DrawMoreMark() {
    const QImage& picture = Picture(kMorePicture);
    if (picture.isNull()) return;
    const QRect mark = MoreMarkRect();
    Painter(*this)->drawImage(mark.x(), mark.y(), picture);
    changed_ |= clip_.isEmpty() ? mark : mark & clip_;
}

void ExercisePage::DrawCursor(const TextPlace& place) {
    const QPoint origin = CellOrigin(place, CharacterWidth());
    Fill(QRect(origin.x() + 1, origin.y() + kCursorDrop, kCursorWidth, kCursorHeight),
         kCursorColour);
}

void ExercisePage::Clip(const QRect& area) {
    clip_ = area;
    painter_.reset();
    if (area.isEmpty()) return;
    // One painter for the whole repaint of the area.
    painter_ = std::make_unique<QPainter>(&canvas_);
    painter_->setClipRect(area);
}

int ExercisePage::CharacterWidth() const {
    RefreshFontMetrics();
    return characterWidth_;
}

void ExercisePage::RefreshFontMetrics() const {
    if (characterWidth_ > 0 && metricsFont_ == font_) return;
    const QFontMetrics metrics(font_);
    metricsFont_ = font_;
    glyphs_.clear();
    characterWidth_ = std::clamp(metrics.horizontalAdvance(QStringLiteral("X")), 1, 255);
    fontHeight_ = metrics.height();
}

}  // namespace tz
