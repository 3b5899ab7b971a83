#pragma once
// The splash window: the program's name and "Cargando..." while start-up does its work.

#include <QWidget>

namespace tz {

// Frameless, always on top while it shows, centred, 249 x 165, titled "Tipenzo 10" (the title
// shows only in the task bar). Built hidden; show() it.
class SplashWindow : public QWidget {
    Q_OBJECT
  public:
    SplashWindow();

  signals:
    // Its first painting is done: what start-up does next happens under a painted window.
    void painted();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    bool painted_ = false;
};

}  // namespace tz
