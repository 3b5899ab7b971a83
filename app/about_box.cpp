#include "app/about_box.h"

#include <QApplication>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

#include "platform/fonts.h"
#include "platform/pictures.h"
#include "platform/shell.h"
#include "platform/windows.h"
#include "update/version_check.h"

namespace tz {

namespace {

// A text that behaves like a web link: hand pointer, blue under the pointer, clicked like a
// button.
class LinkText : public QLabel {
    Q_OBJECT
  public:
    LinkText(const QString& text, QWidget* parent) : QLabel(text, parent) {
        setCursor(Qt::PointingHandCursor);
        SetTextColour(this, QApplication::palette().color(QPalette::WindowText));
    }

  signals:
    void clicked();

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
        QLabel::mouseReleaseEvent(event);
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
            emit clicked();
        }
    }
};

}  // namespace

AboutBox::AboutBox(QWidget* owner) : QDialog(owner) {
    SetUpScreen(this, QStringLiteral("Acerca de..."), 257, 335, true);
    KeepOnTopWhileShown(this);
    SetTiledBackground(this, PictureName::AboutBackground);

    MakePicture(this, kAboutBannerId, PictureName::AboutBanner, QRect(4, 4, 249, 56),
                QStringLiteral("TIPENZO 10"));
    QLabel* logo = MakePicture(this, kAboutLogoId, PictureName::AboutLogo, QRect(4, 90, 249, 85),
                               QStringLiteral("Logotipo de TIPENZO 10"));
    logo->setPixmap(QPixmap::fromImage(ScaledPicture(Picture(PictureName::AboutLogo), 249, 85)));
    QAbstractButton* close =
        MakePictureButton(this, kAboutCloseId, PictureName::AboutClose, QRect(202, 280, 46, 46),
                          QString(), QStringLiteral("Cerrar"));
    close->setFocusPolicy(Qt::StrongFocus);
    connect(close, &QAbstractButton::clicked, this, &QDialog::accept);
    QAbstractButton* social =
        MakePictureButton(this, kAboutSocialId, PictureName::SocialButton, QRect(20, 185, 102, 45),
                          QString::fromUtf8("Facebook ¡Me Gusta!"));
    connect(social, &QAbstractButton::clicked, this, [this] { Open(kSocialPage); });
    auto* link = new LinkText(kMakerWebSiteText, this);
    SetControlId(link, kAboutLinkId);
    link->setGeometry(10, 310, 116, 14);
    link->setFont(MakeFont("Arial", 8, true));
    connect(link, &LinkText::clicked, this, [this] { Open(kMakerWebSite); });
    QLabel* version = MakeLabel(this, kAboutVersionId, kDisplayVersion, QRect(219, 179, 31, 14),
                                QStringLiteral("Versión ") + kDisplayVersion);
    version->setAlignment(Qt::AlignCenter);
    version->setFont(MakeFont("Arial", 9, true));
    SetBackground(version, QColor(171, 131, 7));
    SetTextColour(version, Qt::white);
    close->setFocus();
}

void AboutBox::Open(const QString& page) {
    OpenExternal(page);
    accept();
}

void AboutBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ShowAboutBox(QWidget* owner) {
    AboutBox box(owner);
    box.exec();
}

}  // namespace tz

#include "about_box.moc"
