#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <memory>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/fonts.h"
#include "platform/pictures.h"
#include "platform/translations.h"
#include "support.h"

namespace tz {
namespace {

class PlatformTest : public test::ProgramFolderTest {};

TEST_F(PlatformTest, PictureTableHandsOutTheLowestFreeNumber) {
    FreeAllPictures();
    for (int n = 1; n <= 3; ++n) RegisterPicture(n, QImage(4, 4, QImage::Format_RGB32));
    RegisterPicture(5, QImage(7, 3, QImage::Format_RGB32));
    EXPECT_EQ(LowestFreePicture(), 4);
    EXPECT_EQ(CopyPicture(5), 4);
    EXPECT_EQ(Picture(4).size(), QSize(7, 3));
    EXPECT_EQ(CreateEmptyPicture(10, 20), 6);
    EXPECT_EQ(Picture(6).pixelColor(3, 3), QColor(Qt::white));
    FreePicture(2);
    EXPECT_FALSE(PictureExists(2));
    EXPECT_TRUE(Picture(2).isNull());
    EXPECT_EQ(CreateEmptyPicture(1, 1), 2);

    // The end of drawn text is where the font's advance says.
    const QFont font = MakeFont("Courier New", 14, true);
    const int end = DrawTextOn(Picture(6), 5, 2, "XX", font, Qt::black);
    EXPECT_EQ(end, TextEnd(5, "XX", font));
    EXPECT_GT(end, 5);
    FreeAllPictures();
}

// Qt's own file dialog and an editor's context menu, as the pupil sees them.
TEST_F(PlatformTest, QtOwnDialogsAndMenusSpeakSpanish) {
    ASSERT_TRUE(InstallSpanishTranslations()) << "qtbase_es.qm not found";
    EXPECT_TRUE(InstallSpanishTranslations());  // once is enough

    QPlainTextEdit editor;
    editor.setPlainText("hola");
    std::unique_ptr<QMenu> menu(editor.createStandardContextMenu());
    QStringList actions;
    for (QAction* action : menu->actions()) {
        if (!action->isSeparator()) actions << action->text().remove('&').split('\t').first();
    }
    EXPECT_TRUE(actions.contains("Deshacer")) << actions.join(", ").toStdString();
    EXPECT_TRUE(actions.contains("Copiar")) << actions.join(", ").toStdString();
    EXPECT_TRUE(actions.contains("Pegar")) << actions.join(", ").toStdString();

    QFileDialog dialog(nullptr, "Selecciona un texto", Path(""), "Texto (*.txt)");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    QStringList labels;
    for (QLabel* label : dialog.findChildren<QLabel*>()) labels << label->text();
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) labels << button->text();
    const std::string all = labels.join(" | ").toStdString();
    EXPECT_TRUE(labels.contains("Ver en:")) << all;
    EXPECT_TRUE(labels.contains("&Nombre de fichero:")) << all;
    EXPECT_TRUE(labels.contains("Cancelar")) << all;
    for (const char* english : {"Look in:", "File &name:", "Cancel", "&Open"}) {
        EXPECT_FALSE(labels.contains(english)) << all;
    }
    EXPECT_NE(QCoreApplication::translate("QFileDialog",
                                          "%1\nFile not found.\nPlease verify the "
                                          "correct file name was given."),
              QString("%1\nFile not found.\nPlease verify the correct file name was given."));
}

TEST_F(PlatformTest, FontPointsTurnIntoPixelsAtTheScreenResolution) {
    // 96 dots per inch offscreen: 14 points are 18.67 pixels, rounded to 19.
    EXPECT_EQ(MakeFont("Arial", 14).pixelSize(), 19);
    EXPECT_EQ(MakeFont("Arial", 9).pixelSize(), 12);
    const QFont font = MakeFont("Courier New", 10, true, true);
    EXPECT_TRUE(font.bold());
    EXPECT_TRUE(font.italic());
}

TEST_F(PlatformTest, RandomNumbersStayWithinTheirBounds) {
    SetRandomSource([] { return 0.0; });
    EXPECT_EQ(RandomInt(0, 30000), 0);
    SetRandomSource([] { return 0.999999999; });
    EXPECT_EQ(RandomInt(0, 30000), 30000);
    EXPECT_EQ(RandomInt(150, 350), 350);
    SetRandomSource({});
    for (int i = 0; i < 1000; ++i) {
        const int value = RandomInt(0, 200);
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 200);
    }
}

TEST_F(PlatformTest, RealMessageBoxSpeaksSpanishAndAnswersYesOrNo) {
    SetDialogScripting(false);
    QStringList buttons;
    auto answer = [&buttons](const QString& which) {
        QTimer::singleShot(50, [&buttons, which] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(top);
                if (!box || !box->isVisible()) continue;
                buttons.clear();
                for (QAbstractButton* b : box->buttons()) buttons << b->text();
                for (QAbstractButton* b : box->buttons()) {
                    if (b->text() == which) b->click();
                }
            }
        });
    };
    answer(QString::fromUtf8("Sí"));
    EXPECT_TRUE(AskYesNo("ATENCION", "¿Seguro?", DialogIcon::Exclamation));
    EXPECT_TRUE(buttons.contains(QString::fromUtf8("Sí")) && buttons.contains("No"));
    answer("No");
    EXPECT_FALSE(AskYesNo("ATENCION", "¿Seguro?"));
    answer("Aceptar");
    Tell("Aviso", "Hecho.", DialogIcon::Information);
    EXPECT_EQ(buttons, QStringList{"Aceptar"});
    SetDialogScripting(true);

    // Scripted, nothing is shown: queued answers first, then No.
    QueueAnswer(Answer::Yes);
    EXPECT_TRUE(AskYesNo("t", "x", DialogIcon::Question));
    EXPECT_FALSE(AskYesNo("t", "x", DialogIcon::Question));
    Tell("t", "x", DialogIcon::Exclamation);
    EXPECT_EQ(test::BoxOf(AskedDialogs().back()), (test::Box{false, DialogIcon::Exclamation}));
}

}  // namespace
}  // namespace tz
