#pragma once
// The pictures of the picture table by name. Each name stands for the number the picture is
// registered under; the table of sizes, painters and copies is the program's (app).

namespace tz {

enum class PictureName : int {
    ExerciseBackground = 1,
    TextPicture = 2,
    NoKeyboard = 3,  // the same as TextPicture
    Keyboard = 4,
    Hands = 5,
    FingerDot = 6,
    SecondFingerDot = 7,
    CancelExercise = 8,
    Pause = 9,
    Restart = 10,
    Header = 11,
    MoreText = 12,
    MenuBackground = 13,
    UsersButton = 14,
    StartButton = 15,
    LessonsButton = 16,
    Logo = 17,
    SocialButton = 18,
    HelpButton = 19,
    UpdateButton = 20,
    AboutButton = 21,
    MinimiseButton = 22,
    QuitButton = 23,  // the same as CancelExercise
    Banner = 24,
    StatusPanel = 25,
    CustomTextsButton = 27,
    UsersBackground = 30,
    AddUser = 31,
    DeleteUser = 32,
    Cancel = 33,
    Accept = 34,
    ViewerBackground = 35,  // the same as UsersBackground
    Result = 36,
    AboutBackground = 37,
    AboutBanner = 38,        // the same as Banner
    AboutLogo = 39,          // the same as Logo
    AboutClose = 40,         // the same as Accept
    SplashBanner = 44,       // the same as Banner
    SplashLogo = 45,         // the same as Logo
    UpdateLogo = 46,         // the same as Logo
    NewUserBackground = 47,  // the same as UsersBackground
    NewUserCancel = 48,      // the same as Cancel
    NewUserAccept = 49,      // the same as Accept
    TextsBackground = 50,    // the same as UsersBackground
    SaveText = 51,
    DeleteText = 52,
    TextsDone = 53,  // the same as Accept
    AnalysisButton = 54,
};

// The number a picture is registered under.
constexpr int PictureNumber(PictureName name) {
    return static_cast<int>(name);
}

}  // namespace tz
