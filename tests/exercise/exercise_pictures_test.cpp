// The pictures of the exercise window: their sizes, the keyboard drawn from the lookup's
// tables, and the hands drawn under the finger dots.

#include <gtest/gtest.h>

#include <QPainter>

#include "app/picture_registry.h"
#include "exercise/exercise_pictures.h"
#include "exercise/hands_picture.h"
#include "exercise/keyboard_picture.h"
#include "exercise/keyboard_tables.h"
#include "support.h"

namespace tz {
namespace {

const KeyboardTables& Spanish() {
    static const KeyboardTables tables = MakeKeyboardTables(QStringLiteral("español"));
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
    const std::vector<KeyCap> caps = KeyboardKeyCaps(Spanish());
    QString characters = QStringLiteral(" \r");
    for (int row = 1; row <= 4; ++row) characters += Spanish().keyRows[row];
    for (const QChar c : characters) {
        // The finger of the character before only moves the space (and the backslash).
        for (int previous = 1; previous <= 10; ++previous) {
            const KeyHint hint = LookupHint(Spanish(), QString(c), previous);
            SCOPED_TRACE(QStringLiteral("'%1' after finger %2").arg(c).arg(previous).toStdString());
            ASSERT_TRUE(hint.keyPos.has_value());
            const KeyCap* key = KeyHolding(caps, QRect(*hint.keyPos, QSize(10, 10)));
            if (c == QChar(u'\\') && previous != 1) continue;  // no finger of its own
            ASSERT_NE(key, nullptr);
            EXPECT_TRUE(key->types.contains(c));
            if (hint.modifierBox) {
                const ModifierBox& box = *hint.modifierBox;
                const KeyCap* modifier = KeyHolding(caps, QRect(box.x, box.y, box.width, 10));
                ASSERT_NE(modifier, nullptr);
                EXPECT_TRUE(modifier->name == QStringLiteral("⇧") ||
                            modifier->base == QStringLiteral("´"));
            }
        }
    }
}

TEST(ExercisePictures, KeysShowTheirLegendsAndNeverOverlap) {
    const std::vector<KeyCap> caps = KeyboardKeyCaps(Spanish());
    const auto find = [&caps](const QString& base) -> const KeyCap* {
        for (const KeyCap& cap : caps) {
            if (cap.base == base) return &cap;
        }
        return nullptr;
    };
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
    const QRect picture(0, 0, kKeyboardPictureWidth, kKeyboardPictureHeight);
    for (std::size_t i = 0; i < caps.size(); ++i) {
        EXPECT_TRUE(picture.contains(caps[i].rect)) << caps[i].base.toStdString();
        for (std::size_t j = i + 1; j < caps.size(); ++j) {
            EXPECT_FALSE(caps[i].rect.intersects(caps[j].rect))
                << caps[i].base.toStdString() << caps[i].name.toStdString() << " / "
                << caps[j].base.toStdString() << caps[j].name.toStdString();
        }
    }
    // The picture paints a key face, not the casing, under every marker place.
    const QImage keyboard = DrawKeyboardPicture(Spanish());
    const QColor casing = keyboard.pixelColor(5, 100);
    for (const QChar c : QStringLiteral("qaz1ñ-ç´+¡Q ")) {
        const KeyHint hint = LookupHint(Spanish(), QString(c), 1);
        EXPECT_NE(keyboard.pixelColor(*hint.keyPos + QPoint(5, 5)), casing)
            << QString(c).toStdString();
    }
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

TEST(ExercisePictures, SavesThePictures) {
    test::SaveImage(DrawKeyboardPicture(Spanish()), "picture_04_keyboard");
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
