#include "app/picture_registry.h"

#include <QImage>

#include "app/about_pictures.h"
#include "app/menu_pictures.h"
#include "content/content_pictures.h"
#include "exercise/exercise_pictures.h"
#include "platform/pictures.h"
#include "users/users_pictures.h"

namespace tz {

namespace {

// Numbers registered from the same picture as a lower number.
int SameAs(int number) {
    switch (number) {
        case 3:
            return 2;
        case 23:
            return 8;
        case 35:
            return 30;
        case 38:
            return 24;
        case 39:
            return 17;
        case 40:
            return 34;
        case 44:
            return 24;
        case 45:
            return 17;
        case 46:
            return 17;
        case 47:
            return 30;
        case 48:
            return 33;
        case 49:
            return 34;
        case 50:
            return 30;
        case 53:
            return 34;
        default:
            return 0;
    }
}

QImage MakePicture(int number) {
    QImage image = MakeExercisePicture(number);
    if (image.isNull()) image = MakeMenuPicture(number);
    if (image.isNull()) image = MakeAboutPicture(number);
    if (image.isNull()) image = MakeUsersPicture(number);
    if (image.isNull()) image = MakeContentPicture(number);
    if (image.isNull()) {
        image = QImage(PictureSize(number), QImage::Format_RGB32);
        image.fill(QColor(208, 134, 108));
    }
    return image;
}

}  // namespace

QSize PictureSize(int number) {
    if (SameAs(number)) return PictureSize(SameAs(number));
    switch (number) {
        case 1:
        case 13:
            return {800, 550};
        case 2:
        case 4:
            return {599, 202};
        case 5:
            return {147, 92};
        case 6:
        case 7:
            return {6, 6};
        case 8:
        case 22:
            return {19, 19};
        case 9:
        case 10:
            return {34, 34};
        case 11:
            return {740, 23};
        case 12:
            return {55, 13};
        case 14:
        case 15:
        case 16:
        case 27:
            return {300, 40};
        case 17:
            return {306, 84};
        case 18:
            return {97, 40};
        case 19:
        case 20:
        case 21:
            return {40, 40};
        case 24:
            return {249, 56};
        case 25:
            return {440, 80};
        case 30:
            return {160, 160};
        case 31:
        case 32:
        case 33:
        case 34:
            return {40, 40};
        case 36:
            return {250, 285};
        case 37:
            return {257, 335};
        case 51:
        case 52:
            return {32, 32};
        default:
            return {};
    }
}

void RegisterAllPictures() {
    for (int number = 1; number <= 53; ++number) {
        const int same = SameAs(number);
        if (same) {
            RegisterPicture(number, Picture(same).copy());
        } else if (!PictureSize(number).isEmpty()) {
            RegisterPicture(number, MakePicture(number));
        }
    }
}

}  // namespace tz
