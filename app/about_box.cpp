#include "app/about_box.h"

#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QMouseEvent>

#include "platform/events.h"
#include "platform/fonts.h"
#include "platform/pictures.h"
#include "platform/shell.h"
#include "platform/windows.h"
#include "update/version_check.h"

namespace tz {

namespace {

// A text that behaves like a web link: hand pointer, blue under the pointer, a click posts
// Click(id) like a button.
class LinkText : public QLabel {
  public:
    LinkText(const QString& text, QWidget* parent, int id) : QLabel(text, parent), id_(id) {
        SetControlId(this, id);
        setCursor(Qt::PointingHandCursor);
        SetTextColour(this, QApplication::palette().color(QPalette::WindowText));
    }

  protected:
    void enterEvent(QEnterEvent* event) override {
        SetTextColour(this, QColor(0, 0, 255));
        QLabel::enterEvent(event);
    }
    void leaveEvent(QEvent* event) override {
        SetTextColour(this, QApplication::palette().color(QPalette::WindowText));
        QLabel::leaveEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
            Event click;
            click.type = EventType::Click;
            click.window = window();
            click.id = id_;
            PostEvent(click);
        }
        QLabel::mouseReleaseEvent(event);
    }

  private:
    int id_;
};

struct AboutBox {
    ScreenWindow* window = nullptr;
    QWidget* close = nullptr;
    QLabel* version = nullptr;
};

AboutBox BuildAboutBox(QWidget* owner) {
    AboutBox box;
    box.window = CreateScreenWindow("Acerca de...", 257, 335, true, owner);
    box.window->SetKeyCapture(KeyCapture::None);
    SetTiledBackground(box.window, PictureName::AboutBackground);

    AddPicture(box.window, kAboutBannerId, PictureName::AboutBanner, QRect(4, 4, 249, 56));
    QLabel* logo =
        AddPicture(box.window, kAboutLogoId, PictureName::AboutLogo, QRect(4, 90, 249, 85));
    logo->setPixmap(QPixmap::fromImage(ScaledPicture(Picture(PictureName::AboutLogo), 249, 85)));
    box.close = AddPictureButton(box.window, kAboutCloseId, PictureName::AboutClose,
                                 QRect(202, 280, 46, 46));
    box.close->setFocusPolicy(Qt::StrongFocus);
    AddPictureButton(box.window, kAboutSocialId, PictureName::SocialButton, QRect(20, 185, 102, 45),
                     QString::fromUtf8("Facebook ¡Me Gusta!"));
    auto* link = new LinkText(kMakerWebSiteText, box.window, kAboutLinkId);
    link->setGeometry(10, 310, 116, 14);
    link->setFont(MakeFont("Arial", 8, true));
    box.version = AddLabel(box.window, kAboutVersionId, QString(), QRect(219, 179, 31, 14));
    box.version->setAlignment(Qt::AlignCenter);
    box.version->setFont(MakeFont("Arial", 9, true));
    SetBackground(box.version, QColor(171, 131, 7));
    SetTextColour(box.version, Qt::white);
    return box;
}

}  // namespace

void ShowAboutBox(QWidget* owner) {
    AboutBox box = BuildAboutBox(owner);
    box.window->show();
    BringToFront(box.window, true);
    if (owner) owner->setEnabled(false);
    // A window follows its owner into the disabled state unless told otherwise.
    box.window->setEnabled(true);
    SetAlwaysOnTop(box.window, true);
    box.version->setText(kDisplayVersion);
    box.window->activateWindow();
    box.close->setFocus();

    for (;;) {
        const Event event = WaitEvent();
        if (event.window != box.window) continue;
        if (event.type == EventType::CloseRequest) break;
        if (event.type != EventType::Click) continue;
        if (event.id == kAboutCloseId) break;
        if (event.id == kAboutSocialId) {
            OpenExternal(kSocialPage);
            break;
        }
        if (event.id == kAboutLinkId) {
            OpenExternal(kMakerWebSite);
            break;
        }
    }

    if (owner) owner->setEnabled(true);
    SetAlwaysOnTop(box.window, false);
    DestroyWindow(box.window);
    if (owner) BringToFront(owner, false);
}

}  // namespace tz
