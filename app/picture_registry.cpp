#include "app/picture_registry.h"

#include "app/about_pictures.h"
#include "app/menu_pictures.h"
#include "content/content_pictures.h"
#include "exercise/exercise_pictures.h"
#include "platform/pictures.h"
#include "users/users_pictures.h"

namespace tz {

namespace {

using N = PictureName;

// A picture no painter draws stays visible as a plain tile of the brand's colour.
QImage Painted(const PictureEntry& entry) {
    QImage image = entry.paint ? entry.paint(entry.name) : QImage();
    if (image.isNull()) {
        image = QImage(entry.size, QImage::Format_RGB32);
        image.fill(QColor(208, 134, 108));
    }
    return image;
}

}  // namespace

const std::vector<PictureEntry>& PictureTable() {
    static const std::vector<PictureEntry> table = {
        {N::ExerciseBackground, {800, 550}, MakeExercisePicture, {}},
        {N::TextPicture, {599, 202}, MakeExercisePicture, {}},
        {N::NoKeyboard, {599, 202}, nullptr, N::TextPicture},
        {N::Keyboard, {599, 202}, MakeExercisePicture, {}},
        {N::Hands, {147, 92}, MakeExercisePicture, {}},
        {N::FingerDot, {6, 6}, MakeExercisePicture, {}},
        {N::SecondFingerDot, {6, 6}, MakeExercisePicture, {}},
        // The exercise window's cancel button has the main menu's look of a quit button.
        {N::CancelExercise, {19, 19}, MakeMenuPicture, {}},
        {N::Pause, {34, 34}, MakeExercisePicture, {}},
        {N::Restart, {34, 34}, MakeExercisePicture, {}},
        {N::Header, {740, 23}, MakeExercisePicture, {}},
        {N::MoreText, {55, 13}, MakeExercisePicture, {}},
        {N::MenuBackground, {800, 550}, MakeMenuPicture, {}},
        {N::UsersButton, {300, 40}, MakeMenuPicture, {}},
        {N::StartButton, {300, 40}, MakeMenuPicture, {}},
        {N::LessonsButton, {300, 40}, MakeMenuPicture, {}},
        {N::Logo, {306, 84}, MakeMenuPicture, {}},
        {N::SocialButton, {97, 40}, MakeAboutPicture, {}},
        {N::HelpButton, {40, 40}, MakeMenuPicture, {}},
        {N::UpdateButton, {40, 40}, MakeMenuPicture, {}},
        {N::AboutButton, {40, 40}, MakeMenuPicture, {}},
        {N::MinimiseButton, {19, 19}, MakeMenuPicture, {}},
        {N::QuitButton, {19, 19}, nullptr, N::CancelExercise},
        {N::Banner, {249, 56}, MakeMenuPicture, {}},
        {N::StatusPanel, {440, 80}, MakeMenuPicture, {}},
        {N::CustomTextsButton, {300, 40}, MakeMenuPicture, {}},
        {N::UsersBackground, {160, 160}, MakeUsersPicture, {}},
        {N::AddUser, {40, 40}, MakeUsersPicture, {}},
        {N::DeleteUser, {40, 40}, MakeUsersPicture, {}},
        {N::Cancel, {40, 40}, MakeUsersPicture, {}},
        {N::Accept, {40, 40}, MakeUsersPicture, {}},
        {N::ViewerBackground, {160, 160}, nullptr, N::UsersBackground},
        {N::Result, {250, 285}, MakeExercisePicture, {}},
        {N::AboutBackground, {257, 335}, MakeAboutPicture, {}},
        {N::AboutBanner, {249, 56}, nullptr, N::Banner},
        {N::AboutLogo, {306, 84}, nullptr, N::Logo},
        {N::AboutClose, {40, 40}, nullptr, N::Accept},
        {N::SplashBanner, {249, 56}, nullptr, N::Banner},
        {N::SplashLogo, {306, 84}, nullptr, N::Logo},
        {N::UpdateLogo, {306, 84}, nullptr, N::Logo},
        {N::NewUserBackground, {160, 160}, nullptr, N::UsersBackground},
        {N::NewUserCancel, {40, 40}, nullptr, N::Cancel},
        {N::NewUserAccept, {40, 40}, nullptr, N::Accept},
        {N::TextsBackground, {160, 160}, nullptr, N::UsersBackground},
        {N::SaveText, {32, 32}, MakeContentPicture, {}},
        {N::DeleteText, {32, 32}, MakeContentPicture, {}},
        {N::TextsDone, {40, 40}, nullptr, N::Accept},
        {N::AnalysisButton, {40, 40}, MakeMenuPicture, {}},
    };
    return table;
}

QSize PictureSize(int number) {
    for (const PictureEntry& entry : PictureTable()) {
        if (PictureNumber(entry.name) == number) return entry.size;
    }
    return {};
}

void RegisterAllPictures() {
    for (const PictureEntry& entry : PictureTable()) {
        if (entry.copyOf) {
            const int original = PictureNumber(*entry.copyOf);
            RegisterPictureMaker(PictureNumber(entry.name),
                                 [original] { return Picture(original).copy(); });
        } else {
            RegisterPictureMaker(PictureNumber(entry.name), [entry] { return Painted(entry); });
        }
    }
}

}  // namespace tz
