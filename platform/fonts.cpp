#include "platform/fonts.h"

#include <QGuiApplication>
#include <QScreen>

namespace tz {

QFont MakeFont(const QString& face, int points, bool bold, bool italic) {
    int dpi = 96;
    if (auto* screen = QGuiApplication::primaryScreen()) {
        dpi = static_cast<int>(screen->logicalDotsPerInchY() + 0.5);
    }
    QFont font(face);
    font.setPixelSize((points * dpi + 36) / 72);
    font.setBold(bold);
    font.setItalic(italic);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

}  // namespace tz
