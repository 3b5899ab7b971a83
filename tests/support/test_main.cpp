#include <gtest/gtest.h>

#include <QApplication>

#include "platform/dialogs.h"
#include "platform/pictures.h"
#include "platform/shell.h"

void TipenzoInitAssets();

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TipenzoInitAssets();
    // With QT_SCALE_FACTOR=2 the tests see the program as on a screen at 200 %.
    tz::SetPictureScale(app.devicePixelRatio());
    // No test ever shows a real dialog or opens a browser.
    tz::SetDialogScripting(true);
    tz::SetShellRecording(true);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
