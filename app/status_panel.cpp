#include "app/status_panel.h"

#include <QLabel>

#include "app/main_menu.h"
#include "platform/globals.h"
#include "platform/pictures.h"
#include "platform/windows.h"
#include "users/user_record.h"

namespace tz {

namespace {

const QColor kLabelColour(0, 0, 0);
const QColor kValueColour(255, 237, 193);

}  // namespace

QString StatusPanelName(const QString& name) {
    int length = std::min<int>(kStatusNameLength, static_cast<int>(name.size()));
    if (length > 0 && length < name.size() && name.at(length - 1).isHighSurrogate()) --length;
    return name.left(length);
}

void DrawStatusPanel() {
    if (StatusCanvas > 0) FreePicture(StatusCanvas);
    StatusCanvas = CopyPicture(25);
    QImage& canvas = Picture(StatusCanvas);

    struct Text {
        int x, y;
        QString text;
        const QColor& colour;
    };
    const Text texts[] = {
        {3, 1, QStringLiteral("USUARIO:"), kLabelColour},
        {94, 1, StatusPanelName(CurrentUser.name), kValueColour},
        {3, 31, QStringLiteral("NIVEL:"), kLabelColour},
        {73, 31, QString::number(CurrentUser.level), kValueColour},
        {151, 31, QStringLiteral("BLOQUE:"), kLabelColour},
        {232, 31, QString::number(CurrentUser.block), kValueColour},
        {3, 58, QStringLiteral("P.P.M. de Media:"), kLabelColour},
        {182, 58, QString::number(CurrentUser.averageSpeed), kValueColour},
    };
    for (const Text& text : texts) {
        DrawTextOn(canvas, text.x, text.y, text.text, ExerciseFont, text.colour);
    }

    if (auto* panel = qobject_cast<QLabel*>(FindControl(MainMenuWindow, kMenuStatusPanelId))) {
        panel->setPixmap(QPixmap::fromImage(canvas));
    }
}

}  // namespace tz
