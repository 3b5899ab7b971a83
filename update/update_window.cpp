#include "update/update_window.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <cstdio>
#include <cstdlib>

#include "platform/fonts.h"
#include "platform/shell.h"
#include "platform/windows.h"
#include "update/version_check.h"

namespace tz {

namespace {

QLabel* AddText(QWidget* window, int id, const QString& text, const QRect& geometry,
                const QColor& colour, Qt::Alignment alignment, const QString& spoken = {}) {
    QLabel* label = MakeLabel(window, id, text, geometry, spoken);
    label->setAlignment(alignment | Qt::AlignVCenter);
    SetTextColour(label, colour);
    return label;
}

void AddFrame(QWidget* window, int id, const QRect& geometry) {
    auto* frame = new QGroupBox(window);
    frame->setGeometry(geometry);
    SetControlId(frame, id);
}

// Only clicks count: Enter presses no button.
QPushButton* MakeClickOnlyButton(QWidget* window, int id, const QString& text,
                                 const QRect& geometry) {
    QPushButton* button = MakeButton(window, id, text, geometry);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

UpdateWindow::UpdateWindow(QWidget* owner) : QDialog(owner) {
    SetUpScreen(this, QString::fromUtf8("Actualización Online"), 305, 416, false);
    KeepOnTopWhileShown(this);
    SetBackground(this, QColor(255, 255, 196));
    setFont(MakeFont("Arial", 12, true));

    MakePicture(this, kUpdateLogoId, PictureName::UpdateLogo, QRect(0, 0, 306, 84),
                QStringLiteral("Logotipo de TIPENZO 10"));
    AddText(this, kUpdateLocalCodeId, kLocalVersionCode, QRect(115, 100, 180, 20),
            QColor(255, 0, 0), Qt::AlignLeft,
            QString::fromUtf8("Tu versión: ") + kLocalVersionCode);
    AddFrame(this, kUpdateLocalFrameId, QRect(5, 80, 295, 50));
    AddFrame(this, kUpdateLatestFrameId, QRect(5, 135, 295, 60));
    latest_ = AddText(this, kUpdateLatestCodeId, QStringLiteral("Descargando...."),
                      QRect(130, 160, 160, 20), QColor(0, 0, 255), Qt::AlignLeft);
    QPushButton* quit =
        MakeClickOnlyButton(this, kUpdateQuitId, QStringLiteral("Salir"), QRect(120, 345, 85, 40));
    AddText(this, kUpdateLocalCaptionId, QString::fromUtf8("Tu versión:"), QRect(10, 100, 105, 20),
            Qt::black, Qt::AlignRight);
    AddText(this, kUpdateLatestCaptionId, QString::fromUtf8("Última Versión:"),
            QRect(10, 160, 120, 20), Qt::black, Qt::AlignRight);
    download_ = MakeClickOnlyButton(this, kUpdateDownloadId,
                                    QString::fromUtf8("Visitar página de descarga"),
                                    QRect(20, 215, 265, 30));
    download_->hide();

    connect(quit, &QPushButton::clicked, this, &QDialog::reject);
    connect(download_, &QPushButton::clicked, this, [this] {
        OpenExternal(kDownloadPage);
        accept();
    });
    connect(&checker_, &VersionChecker::latestVersionKnown, this, &UpdateWindow::ShowLatest);
}

void UpdateWindow::ShowLatest(const QString& code) {
    latest_->setText(code);
    latest_->setAccessibleName(QString::fromUtf8("Última versión: ") + code);
    download_->setVisible(IsNewerVersion(code));
}

void UpdateWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Shown with "Descargando...." before the fetch begins.
    if (checked_) return;
    checked_ = true;
    checker_.Start();
}

void UpdateWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void UpdateWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
}

UpdateOutcome ShowUpdateWindow(QWidget* owner) {
    UpdateWindow window(owner);
    return window.exec() == QDialog::Accepted ? UpdateOutcome::QuitProgram : UpdateOutcome::Back;
}

void EndProgramAtOnce(int code) {
    std::fflush(nullptr);
    std::_Exit(code);
}

}  // namespace tz
