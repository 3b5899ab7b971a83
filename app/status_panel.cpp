#include "app/status_panel.h"

#include "platform/pictures.h"

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

QImage DrawStatusPanel(const UserRecord& user, const QFont& font) {
    QImage canvas = Picture(PictureName::StatusPanel).copy();
    struct Text {
        int x, y;
        QString text;
        const QColor& colour;
    };
    const Text texts[] = {
        {3, 1, QStringLiteral("USUARIO:"), kLabelColour},
        {94, 1, StatusPanelName(user.name), kValueColour},
        {3, 31, QStringLiteral("NIVEL:"), kLabelColour},
        {73, 31, QString::number(user.level), kValueColour},
        {151, 31, QStringLiteral("BLOQUE:"), kLabelColour},
        {232, 31, QString::number(user.block), kValueColour},
        {3, 58, QStringLiteral("P.P.M. de Media:"), kLabelColour},
        {182, 58, QString::number(user.averageSpeed), kValueColour},
    };
    for (const Text& text : texts) DrawTextOn(canvas, text.x, text.y, text.text, font, text.colour);
    return canvas;
}

}  // namespace tz
