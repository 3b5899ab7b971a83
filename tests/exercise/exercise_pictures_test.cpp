// The pictures of the exercise window: their sizes, the keyboard drawn from the lookup's
// tables, and the hands drawn under the finger dots.

#include <gtest/gtest.h>

#include <QPainter>
#include <algorithm>

#include "app/picture_registry.h"
#include "exercise/exercise_pictures.h"
#include "exercise/hands_picture.h"
#include "exercise/keyboard_picture.h"
#include "exercise/keyboard_tables.h"
#include "platform/pictures.h"
#include "support.h"

namespace tz {
namespace {

const KeyboardTables& Spanish() {
    static const KeyboardTables tables = MakeKeyboardTables(QStringLiteral("español"));
    return tables;
}

const KeyboardTables& LatinAmerican() {
    static const KeyboardTables tables = MakeKeyboardTables(QStringLiteral("latinoamericano"));
    return tables;
}

// The key whose area holds the whole of a box; the Enter key's area includes its step.
const KeyCap* KeyHolding(const std::vector<KeyCap>& caps, const QRect& box) {
    for (const KeyCap& cap : caps) {
        QRect area = cap.rect;
        if (cap.name == QStringLiteral("Intro")) area = area.united(area.translated(-10, 0));
        if (area.contains(box)) return &cap;
    }
    return nullptr;
}

TEST(ExercisePictures, EachPictureHasItsSize) {
    for (int number : {1, 2, 4, 5, 6, 7, 9, 10, 11, 12, 36}) {
        const QImage picture = MakeExercisePicture(test::Pic(number));
        EXPECT_FALSE(picture.isNull()) << number;
        EXPECT_EQ(LogicalSize(picture), PictureSize(number)) << number;
        EXPECT_EQ(picture.size(), PictureSize(number) * PictureScale()) << number;
    }
    // The cancel button is the main menu's quit button, drawn there; 3 is a copy of 2.
    EXPECT_TRUE(MakeExercisePicture(test::Pic(8)).isNull());
    EXPECT_TRUE(MakeExercisePicture(test::Pic(3)).isNull());
    EXPECT_TRUE(MakeExercisePicture(test::Pic(13)).isNull());
}

TEST(ExercisePictures, EveryCharacterOfTheKeyRowsHasItsMarkerOnItsOwnKey) {
    for (const KeyboardTables* tables : {&Spanish(), &LatinAmerican()}) {
        SCOPED_TRACE(tables->layout.toStdString());
        const std::vector<KeyCap> caps = KeyboardKeyCaps(*tables);
        QString characters = QStringLiteral(" \r");
        for (int row = 1; row <= 4; ++row) characters += tables->keyRows[row];
        for (const QChar c : characters) {
            // The finger of the character before only moves the space (and the Spanish
            // backslash).
            for (int previous = 1; previous <= 10; ++previous) {
                const KeyHint hint = LookupHint(*tables, QString(c), previous);
                SCOPED_TRACE(
                    QStringLiteral("'%1' after finger %2").arg(c).arg(previous).toStdString());
                ASSERT_TRUE(hint.keyPos.has_value());
                const KeyCap* key = KeyHolding(caps, QRect(*hint.keyPos, QSize(10, 10)));
                if (tables == &Spanish() && c == QChar(u'\\') && previous != 1) continue;
                ASSERT_NE(key, nullptr);
                EXPECT_TRUE(key->types.contains(c));
                // Green boxes on the Shift keys or on the dead accent key.
                for (const std::optional<ModifierBox>& box : {hint.modifierBox, hint.shiftBox}) {
                    if (!box) continue;
                    const KeyCap* modifier =
                        KeyHolding(caps, QRect(box->x, box->y, box->width, 10));
                    ASSERT_NE(modifier, nullptr);
                    EXPECT_TRUE(modifier->name == QStringLiteral("⇧") ||
                                modifier->base == QStringLiteral("´"));
                }
            }
        }
    }
}

const KeyCap* CapWithBase(const std::vector<KeyCap>& caps, const QString& base) {
    for (const KeyCap& cap : caps) {
        if (cap.base == base) return &cap;
    }
    return nullptr;
}

TEST(ExercisePictures, KeysShowTheirLegendsAndNeverOverlap) {
    const std::vector<KeyCap> caps = KeyboardKeyCaps(Spanish());
    const auto find = [&caps](const QString& base) { return CapWithBase(caps, base); };
    ASSERT_NE(find("Ñ"), nullptr);
    EXPECT_EQ(find("E")->altGr, "€");
    EXPECT_EQ(find("2")->shifted, "\"");
    EXPECT_EQ(find("2")->altGr, "@");
    EXPECT_EQ(find("º")->shifted, "ª");
    EXPECT_EQ(find("º")->altGr, "\\");
    EXPECT_EQ(find("´")->shifted, "¨");
    EXPECT_EQ(find("Ç")->altGr, "}");
    EXPECT_EQ(find("<")->shifted, ">");
    EXPECT_EQ(find("A")->types, "aáAÁ");
    for (const KeyboardTables* tables : {&Spanish(), &LatinAmerican()}) {
        SCOPED_TRACE(tables->layout.toStdString());
        const std::vector<KeyCap> shown = KeyboardKeyCaps(*tables);
        const QRect picture(0, 0, kKeyboardPictureWidth, kKeyboardPictureHeight);
        for (std::size_t i = 0; i < shown.size(); ++i) {
            EXPECT_TRUE(picture.contains(shown[i].rect)) << shown[i].base.toStdString();
            for (std::size_t j = i + 1; j < shown.size(); ++j) {
                EXPECT_FALSE(shown[i].rect.intersects(shown[j].rect))
                    << shown[i].base.toStdString() << shown[i].name.toStdString() << " / "
                    << shown[j].base.toStdString() << shown[j].name.toStdString();
            }
        }
        // The picture paints a key face, not the casing, under every marker place.
        const QImage keyboard = DrawKeyboardPicture(*tables);
        const QColor casing = keyboard.pixelColor(5, 100);
        for (const QChar c : QStringLiteral("qaz1ñ-´+¡Q {}")) {
            const KeyHint hint = LookupHint(*tables, QString(c), 1);
            EXPECT_NE(keyboard.pixelColor(*hint.keyPos + QPoint(5, 5)), casing)
                << QString(c).toStdString();
        }
    }
}

// Both keyboards have the same keys in the same places: only what is printed on them differs.
TEST(ExercisePictures, TheLatinAmericanKeyboardKeepsTheShapeWithItsOwnKeyCaps) {
    const std::vector<KeyCap> spanish = KeyboardKeyCaps(Spanish());
    const std::vector<KeyCap> latin = KeyboardKeyCaps(LatinAmerican());
    ASSERT_EQ(latin.size(), spanish.size());
    for (const KeyCap& cap : latin) {
        const auto same = std::find_if(spanish.begin(), spanish.end(), [&cap](const KeyCap& other) {
            return other.rect == cap.rect;
        });
        ASSERT_NE(same, spanish.end()) << cap.base.toStdString() << cap.name.toStdString();
        EXPECT_EQ(same->finger, cap.finger) << cap.base.toStdString();
        EXPECT_EQ(same->name, cap.name);
    }
    // The caps as a Latin American keyboard prints them: plain, Shift, Alt Gr.
    const struct {
        const char* base;
        const char* shifted;
        const char* altGr;
        const char* spanishBase;  // the Spanish cap of the same key
    } printed[] = {
        {"|", "°", "¬", "º"}, {"3", "#", "", "3"},  {"'", "?", "\\", "'"},
        {"¿", "¡", "", "¡"},  {"´", "¨", "", "`"},  {"+", "*", "~", "+"},
        {"{", "[", "^", "´"}, {"}", "]", "`", "Ç"}, {"<", ">", "", "<"},
    };
    for (const auto& p : printed) {
        const KeyCap* cap = CapWithBase(latin, QString::fromUtf8(p.base));
        ASSERT_NE(cap, nullptr) << p.base;
        EXPECT_EQ(cap->shifted, QString::fromUtf8(p.shifted)) << p.base;
        EXPECT_EQ(cap->altGr, QString::fromUtf8(p.altGr)) << p.base;
        const KeyCap* spanishCap = CapWithBase(spanish, QString::fromUtf8(p.spanishBase));
        ASSERT_NE(spanishCap, nullptr) << p.spanishBase;
        EXPECT_EQ(spanishCap->rect, cap->rect) << p.base;
    }
    EXPECT_EQ(CapWithBase(latin, "Q")->altGr, "@");
    EXPECT_EQ(CapWithBase(latin, "E")->altGr, "");
    EXPECT_EQ(CapWithBase(latin, "2")->altGr, "");
    EXPECT_EQ(CapWithBase(latin, "º"), nullptr);
    EXPECT_EQ(CapWithBase(latin, "Ç"), nullptr);
}

TEST(ExercisePictures, EveryFingerDotLiesOnItsFingertip) {
    const QImage hands = test::Logical(DrawHandsPicture(Spanish()));
    const std::array<QPoint, 11> dots = FingerDotPlaces(Spanish());
    for (int finger = 1; finger <= 10; ++finger) {
        SCOPED_TRACE(finger);
        const QPoint centre = dots[finger] + QPoint(3, 3);
        // The dot is on the hand, and a little further up there is no more finger.
        EXPECT_EQ(qAlpha(hands.pixel(centre)), 255);
        EXPECT_EQ(qAlpha(hands.pixel(centre - QPoint(0, 8))), 0);
    }
    EXPECT_EQ(dots[1], QPoint(6, 20));
    EXPECT_EQ(dots[5], QPoint(57, 39));
    EXPECT_EQ(dots[6], QPoint(85, 39));
    EXPECT_EQ(dots[10], QPoint(136, 20));
    // The key label between the hands stays clear of them.
    const QRect label(311 - 245, 463 - 450, 17, 22);
    for (int y = label.top(); y <= label.bottom(); ++y) {
        for (int x = label.left(); x <= label.right(); ++x) {
            EXPECT_EQ(qAlpha(hands.pixel(x, y)), 0) << x << "," << y;
        }
    }
}

// The keyboard picture the exercise window shows is the PC's once start-up has named it.
TEST(ExercisePictures, TheKeyboardPicturesFollowTheTablesRegistered) {
    RegisterAllPictures();
    EXPECT_EQ(Picture(PictureName::Keyboard), DrawKeyboardPicture(Spanish()));
    RegisterKeyboardPictures(LatinAmerican());
    EXPECT_EQ(Picture(PictureName::Keyboard), DrawKeyboardPicture(LatinAmerican()));
    EXPECT_NE(Picture(PictureName::Keyboard), DrawKeyboardPicture(Spanish()));
    EXPECT_EQ(Picture(PictureName::Hands), DrawHandsPicture(LatinAmerican()));
    RegisterKeyboardPictures(Spanish());
    EXPECT_EQ(Picture(PictureName::Keyboard), DrawKeyboardPicture(Spanish()));
}

TEST(ExercisePictures, SavesThePictures) {
    test::SaveImage(DrawKeyboardPicture(Spanish()), "picture_04_keyboard");
    test::SaveImage(DrawKeyboardPicture(LatinAmerican()), "picture_04_keyboard_latinoamericano");
    QImage hands(kHandsPictureWidth * 4, kHandsPictureHeight * 4, QImage::Format_RGB32);
    hands.fill(QColor(255, 251, 245));
    {
        QPainter painter(&hands);
        painter.scale(4, 4);
        painter.drawImage(0, 0, DrawHandsPicture(Spanish()));
        const std::array<QPoint, 11> dots = FingerDotPlaces(Spanish());
        for (int finger = 1; finger <= 10; ++finger) {
            painter.drawImage(dots[finger], DrawFingerDot(false));
        }
    }
    test::SaveImage(hands, "picture_05_hands_with_dots_x4");
    for (int number : {1, 2, 9, 10, 11, 12}) {
        test::SaveImage(MakeExercisePicture(test::Pic(number)),
                        QStringLiteral("picture_%1").arg(number, 2, 10, QChar(u'0')));
    }
}

}  // namespace
}  // namespace tz
