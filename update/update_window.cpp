#include "update/update_window.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <cstdio>
#include <cstdlib>

#include "platform/events.h"
#include "platform/files.h"
#include "platform/fonts.h"
#include "platform/http.h"
#include "platform/shell.h"
#include "platform/windows.h"
#include "update/version_check.h"

namespace tz {

namespace {

QLabel* AddText(QWidget* window, int id, const QString& text, const QRect& geometry,
                const QColor& colour, Qt::Alignment alignment) {
    QLabel* label = AddLabel(window, id, text, geometry);
    label->setAlignment(alignment | Qt::AlignVCenter);
    SetTextColour(label, colour);
    return label;
}

QGroupBox* AddFrame(QWidget* window, int id, const QRect& geometry) {
    auto* frame = new QGroupBox(window);
    frame->setGeometry(geometry);
    SetControlId(frame, id);
    return frame;
}

ScreenWindow* BuildUpdateWindow(QWidget* owner) {
    ScreenWindow* window =
        CreateScreenWindow(QString::fromUtf8("Actualización Online"), 305, 416, false, owner);
    // Only clicks count here; keys keep their ordinary meaning for the buttons.
    window->SetKeyCapture(KeyCapture::None);
    SetBackground(window, QColor(255, 255, 196));
    window->setFont(MakeFont("Arial", 12, true));

    AddPicture(window, kUpdateLogoId, PictureName::UpdateLogo, QRect(0, 0, 306, 84));
    AddText(window, kUpdateLocalCodeId, kLocalVersionCode, QRect(115, 100, 180, 20),
            QColor(255, 0, 0), Qt::AlignLeft);
    AddFrame(window, kUpdateLocalFrameId, QRect(5, 80, 295, 50));
    AddFrame(window, kUpdateLatestFrameId, QRect(5, 135, 295, 60));
    AddText(window, kUpdateLatestCodeId, QStringLiteral("Descargando...."),
            QRect(130, 160, 160, 20), QColor(0, 0, 255), Qt::AlignLeft);
    AddButton(window, kUpdateQuitId, QStringLiteral("Salir"), QRect(120, 345, 85, 40));
    AddText(window, kUpdateLocalCaptionId, QString::fromUtf8("Tu versión:"),
            QRect(10, 100, 105, 20), Qt::black, Qt::AlignRight);
    AddText(window, kUpdateLatestCaptionId, QString::fromUtf8("Última Versión:"),
            QRect(10, 160, 120, 20), Qt::black, Qt::AlignRight);
    QPushButton* download =
        AddButton(window, kUpdateDownloadId, QString::fromUtf8("Visitar página de descarga"),
                  QRect(20, 215, 265, 30));
    download->hide();
    return window;
}

}  // namespace

void EndProgramAtOnce(int code) {
    std::fflush(nullptr);
    std::_Exit(code);
}

UpdateOutcome ShowUpdateWindow(QWidget* owner) {
    if (owner) owner->setEnabled(false);
    ScreenWindow* window = BuildUpdateWindow(owner);
    // A window follows its owner into the disabled state unless told otherwise.
    window->setEnabled(true);
    window->show();
    SetAlwaysOnTop(window, true);
    // Painted with "Descargando...." before the program stops to fetch.
    DrainEvents();
    window->raise();

    const QString latest = LatestVersionCode(DownloadText(VersionFileUrl()));
    static_cast<QLabel*>(FindControl(window, kUpdateLatestCodeId))->setText(latest);
    if (IsNewerVersion(latest)) FindControl(window, kUpdateDownloadId)->show();

    UpdateOutcome outcome = UpdateOutcome::Back;
    for (;;) {
        const Event event = WaitEvent();
        // No close box: a close request (Alt+F4) is not a way out; "Salir" is.
        if (event.type != EventType::Click || event.window != window) continue;
        if (event.id == kUpdateQuitId) break;
        if (event.id == kUpdateDownloadId) {
            OpenExternal(kDownloadPage);
            outcome = UpdateOutcome::QuitProgram;
            break;
        }
    }

    if (owner) owner->setEnabled(true);
    SetAlwaysOnTop(window, false);
    DestroyWindow(window);
    return outcome;
}

void RunVersionCheck(QWidget* owner, const std::function<void(int)>& endProgram) {
    if (ShowUpdateWindow(owner) == UpdateOutcome::QuitProgram && endProgram) endProgram(0);
}

}  // namespace tz
