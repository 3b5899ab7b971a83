#include "exercise/keyboard_picture.h"

#include <QLineF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "exercise/exercise_look.h"
#include "platform/drawing.h"

namespace tz {

namespace {

// Where the keys of each row stand. The lookup gives the place of the key marker; the key
// around it starts `markerDx` to its left, at the row's top.
struct RowGeometry {
    int markerY;
    int top;
    int markerDx;
};
constexpr RowGeometry kRows[] = {{10, 4, 15}, {63, 42, 10}, {100, 80, 10}, {138, 118, 10}};
constexpr int kBottomRowTop = 156;
constexpr int kKeyWidth = 36;
constexpr int kKeyHeight = 34;
constexpr int kGap = 4;
constexpr int kLeft = 10;
constexpr int kRight = 595;

// Accented vowels are typed with the dead accent key, not shown on the vowel's key.
const QString kAccentedVowels = QStringLiteral("áéíóúÁÉÍÓÚ");
// The dead keys' marks and the tilde, printed alone on a key.
const QString kLoneMarks = QStringLiteral("´¨`^~");

const QColor kNamedKeyFace(214, 207, 200);
const QColor kLegendInk(40, 34, 30);
const QColor kAltGrInk(28, 86, 160);

std::optional<RowGeometry> RowAt(int markerY) {
    for (const RowGeometry& row : kRows) {
        if (row.markerY == markerY) return row;
    }
    return std::nullopt;
}

QString Shown(QChar c) {
    return c == QChar(0x0080) ? QStringLiteral("€") : QString(c);
}

// Sorts the characters a key types into its legends. A row string lists the keys' plain
// characters first, then their shifted ones, then those of Alt Gr, so the first character a
// key gets is its own, the next its shifted one. A letter key shows its capital only, and the
// accented vowels belong to the dead accent key.
void FillLegends(KeyCap& cap, const QString& altGrCharacters) {
    for (const QChar c : cap.types) {
        if (kAccentedVowels.contains(c)) continue;
        if (cap.base.isEmpty()) {
            cap.base = c.toUpper() != c.toLower() ? QString(c.toUpper()) : Shown(c);
        } else if (altGrCharacters.contains(c)) {
            cap.altGr += Shown(c);
        } else if (QString(c.toUpper()) != cap.base && cap.shifted.isEmpty()) {
            cap.shifted = Shown(c);
        }
    }
}

KeyCap NamedKey(const QRect& rect, const QString& name) {
    KeyCap cap;
    cap.rect = rect;
    cap.name = name;
    return cap;
}

// Left edge of the first and right edge of the last character key of a row.
std::pair<int, int> RowSpan(const std::vector<KeyCap>& caps, int top) {
    int first = kRight;
    int last = kLeft;
    for (const KeyCap& cap : caps) {
        if (cap.rect.top() != top || !cap.name.isEmpty()) continue;
        first = std::min(first, cap.rect.left());
        last = std::max(last, cap.rect.right() + 1);
    }
    return {first, last};
}

void AddNamedKeys(std::vector<KeyCap>& caps, const KeyboardTables& tables) {
    const int row1Last = RowSpan(caps, kRows[0].top).second;
    const int row2First = RowSpan(caps, kRows[1].top).first;
    const auto [row3First, row3Last] = RowSpan(caps, kRows[2].top);
    const auto [row4First, row4Last] = RowSpan(caps, kRows[3].top);
    const int wide = kKeyHeight;
    caps.push_back(NamedKey(QRect(row1Last + kGap, kRows[0].top, kRight - row1Last - kGap, wide),
                            QStringLiteral("←")));
    caps.push_back(NamedKey(QRect(kLeft, kRows[1].top, row2First - kGap - kLeft, wide),
                            QStringLiteral("Tab")));
    caps.push_back(NamedKey(QRect(kLeft, kRows[2].top, row3First - kGap - kLeft, wide),
                            QStringLiteral("Bloq Mayús")));
    caps.push_back(
        NamedKey(QRect(kLeft, kRows[3].top, row4First - kGap - kLeft, wide), QStringLiteral("⇧")));
    caps.push_back(NamedKey(QRect(row4Last + kGap, kRows[3].top, kRight - row4Last - kGap, wide),
                            QStringLiteral("⇧")));

    // Enter: its upright part stands where the lookup puts the carriage return, right of the
    // row of the home keys; its top reaches left over the end of the row above.
    const KeyHint enter = LookupHint(tables, QStringLiteral("\r"), kNoFinger);
    const int enterLeft = enter.keyPos ? enter.keyPos->x() - 10 : row3Last + kGap;
    KeyCap enterCap = NamedKey(
        QRect(enterLeft, kRows[1].top, kRight - enterLeft, kRows[2].top + wide - kRows[1].top),
        QStringLiteral("Intro"));
    enterCap.types = QStringLiteral("\r");
    enterCap.finger = enter.finger;
    caps.push_back(enterCap);

    // The bottom row: the space bar holds the places of both thumbs.
    const struct {
        int left;
        int right;
        const char* name;
    } bottom[] = {{kLeft, 58, "Ctrl"},  {62, 100, "❖"},  {104, 150, "Alt"},  {154, 414, ""},
                  {418, 466, "Alt Gr"}, {470, 508, "❖"}, {512, 550, "Menú"}, {554, kRight, "Ctrl"}};
    for (const auto& key : bottom) {
        KeyCap cap = NamedKey(QRect(key.left, kBottomRowTop, key.right - key.left, wide),
                              QString::fromUtf8(key.name));
        if (cap.name.isEmpty()) {
            cap.types = QStringLiteral(" ");
            cap.finger = 5;
        }
        caps.push_back(cap);
    }
}

QPainterPath RoundedKey(const QRectF& rect) {
    QPainterPath path;
    path.addRoundedRect(rect, 4, 4);
    return path;
}

// The Enter key's outline: the upright part and the step at its top left, one L-shaped face
// with rounded corners.
QPainterPath EnterShape(const QRectF& upright, double stepLeft, double stepBottom) {
    const QPointF corners[] = {
        {stepLeft, upright.top()},           {upright.right(), upright.top()},
        {upright.right(), upright.bottom()}, {upright.left(), upright.bottom()},
        {upright.left(), stepBottom},        {stepLeft, stepBottom},
    };
    constexpr int kCount = 6;
    constexpr double kRadius = 4;
    const auto toward = [](const QPointF& from, const QPointF& to, double distance) {
        const QLineF line(from, to);
        return line.length() <= 2 * distance ? line.center()
                                             : line.pointAt(distance / line.length());
    };
    QPainterPath shape;
    for (int i = 0; i < kCount; ++i) {
        const QPointF& corner = corners[i];
        const QPointF before = toward(corner, corners[(i + kCount - 1) % kCount], kRadius);
        const QPointF after = toward(corner, corners[(i + 1) % kCount], kRadius);
        if (i == 0) {
            shape.moveTo(before);
        } else {
            shape.lineTo(before);
        }
        shape.quadTo(corner, after);
    }
    shape.closeSubpath();
    return shape;
}

// The darker skirt under the face gives the key its height.
void DrawKeyFace(QPainter& painter, const QPainterPath& skirt, const QPainterPath& top,
                 const QColor& face) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(face.darker(150));
    painter.drawPath(skirt);
    QLinearGradient light(0, top.boundingRect().top(), 0, top.boundingRect().bottom());
    light.setColorAt(0, face.lighter(110));
    light.setColorAt(1, face);
    painter.setBrush(light);
    painter.setPen(QPen(face.darker(125), 0.8));
    painter.drawPath(top);
}

// Draws a legend in its corner of the key (`corner`: left or right, top or bottom). Accents and
// the tilde alone are small marks that sit high in their font's box: they are printed larger
// and placed by their ink, so that they read as well as the other legends and keep to their
// corner.
void DrawLegend(QPainter& painter, const QRectF& r, Qt::Alignment corner, const QString& text,
                int pixels) {
    if (text.size() != 1 || !kLoneMarks.contains(text[0])) {
        painter.setFont(ArialPixels(pixels, true));
        painter.drawText(r, corner, text);
        return;
    }
    const QFont font = ArialPixels(pixels + 7, true);
    painter.setFont(font);
    QPainterPath glyph;
    glyph.addText(0, 0, font, text);
    const QRectF ink = glyph.boundingRect();
    const double x =
        corner.testFlag(Qt::AlignRight) ? r.right() - ink.right() : r.left() + 1 - ink.left();
    const double y =
        corner.testFlag(Qt::AlignBottom) ? r.bottom() - 4 - ink.bottom() : r.top() + 3 - ink.top();
    painter.drawText(QPointF(x, y), text);
}

void DrawLegends(QPainter& painter, const KeyCap& cap) {
    const QRectF r = QRectF(cap.rect).adjusted(4, 1, -4, -5);
    painter.setPen(kLegendInk);
    if (cap.name == QStringLiteral("Intro")) {
        // On the step, where the marker of the key does not cover it.
        painter.setFont(ArialPixels(9, true));
        painter.drawText(QRectF(cap.rect.left() - 6, cap.rect.top() + 2, 40, 12),
                         Qt::AlignLeft | Qt::AlignTop, QStringLiteral("Intro ↵"));
        return;
    }
    if (!cap.name.isEmpty()) {
        painter.setFont(ArialPixels(cap.name.size() > 2 ? 9 : 14, true));
        painter.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, cap.name);
        return;
    }
    const bool letter = cap.base.size() == 1 && cap.base[0].isLetter() &&
                        cap.base[0].toUpper() != cap.base[0].toLower();
    if (letter) {
        painter.setFont(ArialPixels(14, true));
        painter.drawText(r, Qt::AlignLeft | Qt::AlignTop, cap.base);
    } else {
        DrawLegend(painter, r, Qt::AlignLeft | Qt::AlignBottom, cap.base, 11);
        DrawLegend(painter, r, Qt::AlignLeft | Qt::AlignTop, cap.shifted, 10);
    }
    if (!cap.altGr.isEmpty()) {
        painter.setPen(kAltGrInk);
        DrawLegend(painter, r, Qt::AlignRight | Qt::AlignBottom, cap.altGr, 9);
    }
}

}  // namespace

QColor FingerZoneColour(int finger) {
    switch (finger) {
        case 1:
        case 10:
            return QColor(214, 198, 238);
        case 2:
        case 9:
            return QColor(190, 218, 242);
        case 3:
        case 8:
            return QColor(196, 232, 200);
        case 4:
        case 7:
            return QColor(252, 224, 170);
        case 5:
        case 6:
            return QColor(232, 228, 222);
        default:
            return kNamedKeyFace;
    }
}

std::vector<KeyCap> KeyboardKeyCaps(const KeyboardTables& tables) {
    std::vector<KeyCap> caps;
    for (int row = 1; row <= 4; ++row) {
        for (const QChar c : tables.keyRows[row]) {
            // The previous finger matters only to characters of no finger group (the
            // backslash): the little finger puts it on the first key of the row.
            const KeyHint hint = LookupHint(tables, QString(c), 1);
            if (!hint.keyPos) continue;
            const std::optional<RowGeometry> geometry = RowAt(hint.keyPos->y());
            if (!geometry) continue;
            const QRect rect(hint.keyPos->x() - geometry->markerDx, geometry->top, kKeyWidth,
                             kKeyHeight);
            auto found = std::find_if(caps.begin(), caps.end(),
                                      [&rect](const KeyCap& cap) { return cap.rect == rect; });
            if (found == caps.end()) {
                KeyCap cap;
                cap.rect = rect;
                cap.finger = hint.finger;
                caps.push_back(cap);
                found = caps.end() - 1;
            }
            found->types += c;
        }
    }
    for (KeyCap& cap : caps) FillLegends(cap, tables.altGrCharacters);
    AddNamedKeys(caps, tables);
    return caps;
}

QImage DrawKeyboardPicture(const KeyboardTables& tables) {
    return DrawKeyboardPicture(tables, KeyFace());
}

QImage DrawKeyboardPicture(const KeyboardTables& tables, const KeyFace& faceOf) {
    QImage image = NewPicture(kKeyboardPictureWidth, kKeyboardPictureHeight);
    image.fill(look::kGround);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    // The casing, with a soft shadow on the window's ground.
    const QRectF casing(1.5, 0.5, kKeyboardPictureWidth - 3, kKeyboardPictureHeight - 3);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(90, 60, 40, 40));
    painter.drawRoundedRect(casing.translated(0, 2), 9, 9);
    QLinearGradient body(0, 0, 0, kKeyboardPictureHeight);
    body.setColorAt(0, look::kCasingTop);
    body.setColorAt(1, look::kCasingBottom);
    painter.setBrush(body);
    painter.setPen(QPen(QColor(30, 26, 24), 1));
    painter.drawRoundedRect(casing, 9, 9);

    const std::vector<KeyCap> caps = KeyboardKeyCaps(tables);
    for (const KeyCap& cap : caps) {
        QColor face = cap.name.isEmpty() || !cap.types.isEmpty() ? FingerZoneColour(cap.finger)
                                                                 : kNamedKeyFace;
        if (faceOf) {
            if (const std::optional<QColor> chosen = faceOf(cap)) face = *chosen;
        }
        const QRectF key(cap.rect);
        if (cap.name == QStringLiteral("Intro")) {
            // The step reaches over the end of the row above, as far as its keys' gap.
            const double stepLeft = key.left() - 10;
            const double stepBottom = kRows[1].top + kKeyHeight;
            DrawKeyFace(painter, EnterShape(key, stepLeft, stepBottom),
                        EnterShape(key.adjusted(0, 0, 0, -3), stepLeft, stepBottom - 3), face);
        } else {
            DrawKeyFace(painter, RoundedKey(key), RoundedKey(key.adjusted(0, 0, 0, -3)), face);
        }
        DrawLegends(painter, cap);
        // The home keys carry a ridge the fingers find without looking.
        if (cap.base == QStringLiteral("F") || cap.base == QStringLiteral("J")) {
            painter.setPen(QPen(QColor(60, 50, 44, 150), 1.4, Qt::SolidLine, Qt::RoundCap));
            const double y = cap.rect.bottom() - 7.5;
            painter.drawLine(QPointF(cap.rect.center().x() - 3, y),
                             QPointF(cap.rect.center().x() + 5, y));
        }
    }
    return image;
}

}  // namespace tz
