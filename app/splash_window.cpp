#include "app/splash_window.h"

#include <QLabel>

#include "platform/fonts.h"
#include "platform/pictures.h"
#include "platform/windows.h"

namespace tz {

SplashWindow::SplashWindow() {
    SetUpScreen(this, QStringLiteral("Tipenzo 10"), 249, 165, true);
    KeepOnTopWhileShown(this);
    SetBackground(this, QColor(208, 134, 108));
    MakePicture(this, 1, PictureName::SplashBanner, QRect(0, 0, 249, 56),
                QString::fromUtf8("TIPENZO 10, curso de mecanografía"));
    QLabel* loading = MakeLabel(this, 2, QStringLiteral("Cargando..."), QRect(0, 55, 249, 25));
    loading->setAlignment(Qt::AlignCenter);
    loading->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    loading->setFont(MakeFont("Courier New", 14, true, true));
    QLabel* logo = MakeLabel(this, 3, QString(), QRect(0, 80, 249, 85),
                             QStringLiteral("Logotipo de TIPENZO 10"));
    logo->setPixmap(QPixmap::fromImage(ScaledPicture(Picture(PictureName::SplashLogo), 249, 85)));
}

void SplashWindow::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (painted_) return;
    painted_ = true;
    emit painted();
}

}  // namespace tz
