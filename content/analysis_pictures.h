#pragma once
// The pictures of the error analysis: the keyboard tinted by each key's error rate with its
// legend, the hands with every finger's accuracy, the weakest keys and the figures over time.
// Each is drawn from the pupil's figures alone.

#include <QColor>
#include <QImage>
#include <optional>

#include "exercise/keyboard_picture.h"
#include "exercise/keystroke_figures.h"

namespace tz {

inline constexpr int kFingerPanelWidth = 300;
inline constexpr int kFingerPanelHeight = 190;
inline constexpr int kWeakKeysPanelWidth = 460;
inline constexpr int kWeakKeysPanelHeight = 190;
inline constexpr int kLegendWidth = 165;
inline constexpr int kLegendHeight = 202;
inline constexpr int kProgressPanelWidth = 560;
inline constexpr int kProgressPanelHeight = 85;
// Attempts the chart over time shows, the latest last.
inline constexpr int kProgressAttempts = 30;

// The tint of an error rate (0..1); nothing typed on the key yet: no rate.
QColor ErrorRateColour(std::optional<double> rate);
// The keystrokes and errors of the characters one key types.
KeyFigures FiguresOfKey(const PupilFigures& figures, const KeyCap& cap);

// The keyboard and the hands of the PC's layout (`tables`).
QImage DrawErrorKeyboard(const PupilFigures& figures, const KeyboardTables& tables);
QImage DrawErrorLegend();
QImage DrawFingerAccuracy(const PupilFigures& figures, const KeyboardTables& tables);
QImage DrawWeakestKeys(const PupilFigures& figures);
QImage DrawProgressOverTime(const PupilFigures& figures);

// "12,5 %": one decimal, a decimal comma.
QString FormatPercent(double fraction);

}  // namespace tz
