#include <QAbstractButton>
#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QTest>

#include "app/about_box.h"
#include "app/about_pictures.h"
#include "app/picture_registry.h"
#include "platform/pictures.h"
#include "platform/shell.h"
#include "platform/windows.h"
#include "screens.h"
#include "support.h"

namespace tz {
namespace {

class AboutBoxTest : public test::ProgramFolderTest {
  protected:
    void SetUp() override {
        test::ProgramFolderTest::SetUp();
        if (!PictureExists(37)) RegisterAllPictures();
        owner_.setFixedSize(200, 100);
        owner_.show();
    }

    // Shows the box modal over the owner; `act` gets it once it waits and must end it.
    void ShowAndThen(const std::function<void(QWidget*)>& act) {
        test::WhenShown("Acerca de...", [&](QWidget* box) {
            EXPECT_EQ(QApplication::activeModalWidget(), box);
            act(box);
        });
        ShowAboutBox(&owner_);
        EXPECT_EQ(test::VisibleWindow("Acerca de..."), nullptr);
    }

    QWidget owner_;
};

TEST_F(AboutBoxTest, ShowsTheVersionWithFocusOnCloseAndEveryControlNamed) {
    ShowAndThen([](QWidget* box) {
        EXPECT_EQ(box->size(), QSize(257, 335));
        EXPECT_TRUE(box->windowFlags().testFlag(Qt::FramelessWindowHint));
        EXPECT_TRUE(box->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QWidget* close = FindControl(box, kAboutCloseId);
        EXPECT_EQ(box->focusWidget(), close);
        EXPECT_EQ(qobject_cast<QLabel*>(FindControl(box, kAboutVersionId))->text(), "2.9c");
        const QStringList unnamed = test::ControlsWithoutNames(box);
        EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(", ").toStdString();
        test::SaveScreen(box, "about_box");
        // Escape is not one of its ways out; Space on the focused close button is.
        QTest::keyClick(box, Qt::Key_Escape);
        EXPECT_TRUE(box->isVisible());
        QTest::keyClick(box->focusWidget(), Qt::Key_Space);
    });
    EXPECT_TRUE(ShellRequests().isEmpty());
}

TEST_F(AboutBoxTest, EachWayOutClosesTheBoxAndOpensItsPage) {
    const struct {
        std::function<void(QWidget*)> act;
        QStringList opened;
    } cases[] = {
        {[](QWidget* box) { QTest::mouseClick(FindControl(box, kAboutCloseId), Qt::LeftButton); },
         {}},
        {[](QWidget* box) { box->close(); }, {}},
        {[](QWidget* box) { QTest::mouseClick(FindControl(box, kAboutSocialId), Qt::LeftButton); },
         {kSocialPage}},
        {[](QWidget* box) { QTest::mouseClick(FindControl(box, kAboutLinkId), Qt::LeftButton); },
         {kMakerWebSite}},
    };
    for (const auto& c : cases) {
        ClearShellRequests();
        ShowAndThen(c.act);
        EXPECT_EQ(ShellRequests(), c.opened);
    }
}

TEST_F(AboutBoxTest, TheLinkTurnsBlueUnderThePointer) {
    AboutBox box(&owner_);
    QWidget* link = FindControl(&box, kAboutLinkId);
    const QColor normal = QApplication::palette().color(QPalette::WindowText);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(link, &enter);
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(link, &leave);
    EXPECT_EQ(link->palette().color(QPalette::WindowText), normal);
}

TEST(AboutPictures, AreDrawnAtTheirSizes) {
    EXPECT_EQ(LogicalSize(MakeAboutPicture(test::Pic(37))), QSize(257, 335));
    EXPECT_EQ(LogicalSize(MakeAboutPicture(test::Pic(18))), QSize(97, 40));
    EXPECT_TRUE(MakeAboutPicture(test::Pic(17)).isNull());
    EXPECT_TRUE(MakeAboutPicture(test::Pic(0)).isNull());
    test::SaveImage(MakeAboutPicture(test::Pic(18)), "picture_18");
}

}  // namespace
}  // namespace tz
