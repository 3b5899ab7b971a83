#include <QAbstractButton>
#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QTest>

#include "app/about_box.h"
#include "app/about_pictures.h"
#include "app/picture_registry.h"
#include "platform/events.h"
#include "platform/pictures.h"
#include "platform/shell.h"
#include "platform/windows.h"
#include "support.h"

namespace tz {
namespace {

QWidget* FindAboutBox() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->windowTitle() == "Acerca de...") return widget;
    }
    return nullptr;
}

class AboutBoxTest : public test::ProgramFolderTest {
  protected:
    void SetUp() override {
        test::ProgramFolderTest::SetUp();
        if (!PictureExists(37)) RegisterAllPictures();
        owner_.setFixedSize(200, 100);
        owner_.show();
    }

    // Shows the box; `act` gets it once it waits for input and must end it.
    void ShowAndThen(const std::function<void(QWidget*)>& act) {
        AppendInputStep([&] {
            QWidget* box = FindAboutBox();
            ASSERT_NE(box, nullptr);
            EXPECT_FALSE(owner_.isEnabled());
            act(box);
        });
        ShowAboutBox(&owner_);
        EXPECT_EQ(FindAboutBox(), nullptr);
        EXPECT_TRUE(owner_.isEnabled());
    }

    QWidget owner_;
};

TEST_F(AboutBoxTest, OpensWithItsControlsInPlaceAndFocusOnClose) {
    ShowAndThen([](QWidget* box) {
        EXPECT_EQ(box->size(), QSize(257, 335));
        EXPECT_TRUE(box->windowFlags().testFlag(Qt::FramelessWindowHint));
        EXPECT_TRUE(box->isEnabled());
        QWidget* close = FindControl(box, kAboutCloseId);
        ASSERT_NE(close, nullptr);
        EXPECT_EQ(box->focusWidget(), close);
        EXPECT_EQ(close->geometry(), QRect(202, 280, 46, 46));

        auto* version = qobject_cast<QLabel*>(FindControl(box, kAboutVersionId));
        ASSERT_NE(version, nullptr);
        EXPECT_EQ(version->text(), "2.9c");
        EXPECT_EQ(version->geometry(), QRect(219, 179, 31, 14));
        EXPECT_EQ(version->palette().color(QPalette::WindowText), QColor(Qt::white));
        EXPECT_EQ(version->palette().color(QPalette::Window), QColor(171, 131, 7));
        EXPECT_TRUE(version->autoFillBackground());
        EXPECT_EQ(version->font().family(), "Arial");

        auto* social = qobject_cast<QAbstractButton*>(FindControl(box, kAboutSocialId));
        ASSERT_NE(social, nullptr);
        EXPECT_EQ(social->geometry(), QRect(20, 185, 102, 45));
        EXPECT_EQ(social->toolTip(), QString::fromUtf8("Facebook ¡Me Gusta!"));

        auto* link = qobject_cast<QLabel*>(FindControl(box, kAboutLinkId));
        ASSERT_NE(link, nullptr);
        EXPECT_EQ(link->text(), " www.tipenzo.es");
        EXPECT_EQ(link->geometry(), QRect(10, 310, 116, 14));
        EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
        EXPECT_TRUE(link->font().bold());
        EXPECT_EQ(FindControl(box, kAboutBannerId)->geometry(), QRect(4, 4, 249, 56));
        EXPECT_EQ(FindControl(box, kAboutLogoId)->geometry(), QRect(4, 90, 249, 85));

        test::SaveScreen(box, "about_box");
        QTest::mouseClick(close, Qt::LeftButton);
    });
    EXPECT_TRUE(ShellRequests().isEmpty());
}

TEST_F(AboutBoxTest, TheLinkTurnsBlueUnderThePointerAndOpensTheWebSite) {
    ShowAndThen([](QWidget* box) {
        QWidget* link = FindControl(box, kAboutLinkId);
        const QColor normal = QApplication::palette().color(QPalette::WindowText);
        EXPECT_EQ(link->palette().color(QPalette::WindowText), normal);
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(link, &enter);
        EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(link, &leave);
        EXPECT_EQ(link->palette().color(QPalette::WindowText), normal);
        QTest::mouseClick(link, Qt::LeftButton);
    });
    EXPECT_EQ(ShellRequests(), QStringList{kMakerWebSite});
}

TEST_F(AboutBoxTest, TheSocialButtonOpensThePageAndClosesTheBox) {
    ShowAndThen(
        [](QWidget* box) { QTest::mouseClick(FindControl(box, kAboutSocialId), Qt::LeftButton); });
    EXPECT_EQ(ShellRequests(), QStringList{kSocialPage});
}

TEST_F(AboutBoxTest, ACloseRequestClosesIt) {
    ShowAndThen([](QWidget* box) { box->close(); });
    EXPECT_TRUE(ShellRequests().isEmpty());
}

TEST_F(AboutBoxTest, SpaceOnTheFocusedCloseButtonClosesIt) {
    ShowAndThen([](QWidget* box) { QTest::keyClick(box->focusWidget(), Qt::Key_Space); });
    EXPECT_TRUE(ShellRequests().isEmpty());
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
