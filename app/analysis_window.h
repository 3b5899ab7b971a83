#pragma once
// "Análisis de errores": what the current pupil gets wrong, key by key and finger by finger,
// and a drill of her difficult keys.

#include <QDialog>
#include <QString>
#include <vector>

#include "app/program_state.h"

class QLabel;

namespace tz {

enum AnalysisWindowControl {
    kAnalysisTitleId = 1,
    kAnalysisKeyboardId = 2,
    kAnalysisLegendId = 3,
    kAnalysisFingersId = 4,
    kAnalysisWeakKeysId = 5,
    kAnalysisProgressId = 6,
    kAnalysisPracticeId = 7,
    kAnalysisCloseId = 8,
};

// Over the main menu, always on top while it shows; Escape, a close request or "Volver" close
// it. exec() gives kPractise when the pupil asked for the drill of her difficult keys (Drill()
// holds it), otherwise 0.
class AnalysisWindow : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kPractise = 2;

    AnalysisWindow(ProgramState& state, QWidget* owner);
    ~AnalysisWindow() override;

    // The pupil's figures as the store holds them now.
    void ShowFigures();
    const QString& Drill() const { return drill_; }
    int DrillLevel() const { return drillLevel_; }

  private:
    void Practise();
    void ShowPicture(int control, const QImage& image, QPoint at, const QString& spoken);

    ProgramState& state_;
    QString drill_;
    int drillLevel_ = 1;
    // The pictures shown, by control, under numbers of the picture table.
    std::vector<std::pair<QLabel*, int>> pictures_;
};

// Shows the analysis of the state's CurrentUser modal over the main menu until the pupil
// leaves. "Practicar mis teclas difíciles" types a drill like an exercise of the lesson viewer:
// the verdict is shown, the course place and results stay as they were, the keystrokes count
// for the figures, and the window shows them afterwards.
void RunAnalysisWindow(ProgramState& state);

}  // namespace tz
