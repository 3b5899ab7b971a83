#pragma once
// The small window that tells the pupil the verdict of an attempt and asks how to go on.

#include <QString>
#include <QWidget>

namespace tz {

// Control ids of the result window.
inline constexpr int kResultPictureControl = 1;
inline constexpr int kResultMessageControl = 2;
inline constexpr int kResultContinueButton = 3;
inline constexpr int kResultMenuButton = 4;

inline const QString kResultWindowTitle = QStringLiteral("Resultados");

// How the pupil answers a result.
enum class ResultAnswer { Continue, MainMenu };

// Shows `message` (lines joined by LineBreak) and waits for the pupil: "Continuar" (also Enter,
// Escape and a close request) or "Menú Principal". When the exercise window is given, it is
// hidden and owns the result window; it stays hidden afterwards.
ResultAnswer ShowResultWindow(const QString& message, QWidget* exerciseWindow = nullptr);

}  // namespace tz
