#pragma once
// The small window that tells the pupil the verdict of an attempt and asks how to go on.

#include <QDialog>
#include <QString>

namespace tz {

// Control ids of the result window.
inline constexpr int kResultPictureControl = 1;
inline constexpr int kResultMessageControl = 2;
inline constexpr int kResultContinueButton = 3;
inline constexpr int kResultMenuButton = 4;

inline const QString kResultWindowTitle = QStringLiteral("Resultados");

// How the pupil answers a result.
enum class ResultAnswer { Continue, MainMenu };

// `message` (lines joined by LineBreak) and two answers: "Continuar" (also Enter, Escape and a
// close request) or "Menú Principal". exec() gives 1 for the first, 0 for the second.
class ResultWindow : public QDialog {
    Q_OBJECT
  public:
    ResultWindow(const QString& message, QWidget* owner);

    // Escape and a close request go on, as "Continuar" does.
    void reject() override;

  protected:
    // Enter goes on whichever button has the focus.
    void keyPressEvent(QKeyEvent* event) override;
};

// Shows the window modal and waits for the pupil. When the exercise window is given, it is
// hidden and owns the result window; it stays hidden afterwards.
ResultAnswer ShowResultWindow(const QString& message, QWidget* exerciseWindow = nullptr);

}  // namespace tz
