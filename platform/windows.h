#pragma once
// Windows of fixed pixel size built in code, and the controls that feed the event queue.

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QWidget>

#include "platform/picture_names.h"

namespace tz {

// Which keys of a window become Char events.
enum class KeyCapture {
    None,
    // Escape, Enter and printable keys, except where a text entry has the focus (it gets the
    // typed text; Escape and Enter are still taken) and except Space and Tab (focus moves and
    // buttons keep working).
    Commands,
};

// A top-level window whose close request becomes an event instead of closing it.
class ScreenWindow : public QWidget {
    Q_OBJECT
  public:
    explicit ScreenWindow(QWidget* owner = nullptr);
    ~ScreenWindow() override;
    void SetKeyCapture(KeyCapture capture) { capture_ = capture; }
    KeyCapture Capture() const { return capture_; }
    // Closing for real, when the screen tears itself down.
    void CloseForGood();

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    KeyCapture capture_ = KeyCapture::Commands;
    bool closing_ = false;
};

// Creates a hidden window of exactly width x height pixels, centred on the screen.
// `frameless` windows have no caption bar; others have a caption without a close box.
ScreenWindow* CreateScreenWindow(const QString& title, int width, int height, bool frameless,
                                 QWidget* owner = nullptr);
void CentreOnScreen(QWidget* window);
void SetAlwaysOnTop(QWidget* window, bool onTop);
// Raises the window above all others (always-on-top set and cleared twice), waits 10 ms,
// drains events; unless quick, clears always-on-top twice more and waits again.
void BringToFront(QWidget* window, bool quick);
// Tears a window down now (deleteLater would never run inside our loops).
void DestroyWindow(QWidget* window);

// Controls carry numeric ids as their object names; these find them again (tests, and screens
// that update them).
void SetControlId(QWidget* control, int id);
int ControlId(const QObject* control);
QWidget* FindControl(QWidget* window, int id);

// A push button that posts Click(id).
QPushButton* AddButton(QWidget* parent, int id, const QString& text, const QRect& geometry);
// A flat button showing a picture of the PictureTable, with a tooltip; posts Click(id).
QAbstractButton* AddPictureButton(QWidget* parent, int id, PictureName picture,
                                  const QRect& geometry, const QString& tooltip = QString());
// A static picture of the PictureTable (by name, or by the number of a work copy).
QLabel* AddPicture(QWidget* parent, int id, PictureName picture, const QRect& geometry);
QLabel* AddPicture(QWidget* parent, int id, int picture, const QRect& geometry);
// A static text.
QLabel* AddLabel(QWidget* parent, int id, const QString& text, const QRect& geometry);
// Posts Click(id) when the button is clicked.
void PostClicks(QAbstractButton* button, int id);

// Screens the Qt way: a QDialog or QWidget subclass calls SetUpScreen in its constructor and
// connects the signals of the controls it makes below; nothing goes through an event queue.

// Gives a screen exactly width x height pixels, centred on the screen, hidden until shown.
// `frameless` screens have no caption bar; others a caption without a close box. A QDialog
// stays a dialog (modal over its parent with exec() or open()); any other widget is a window.
void SetUpScreen(QWidget* screen, const QString& title, int width, int height, bool frameless);

// Every control carries a Spanish accessible name a screen reader can say: a button its text,
// a picture button the words of its tooltip (or `spoken` when it has none), a picture what it
// shows.
QPushButton* MakeButton(QWidget* parent, int id, const QString& text, const QRect& geometry);
QAbstractButton* MakePictureButton(QWidget* parent, int id, PictureName picture,
                                   const QRect& geometry, const QString& tooltip,
                                   const QString& spoken = QString());
QLabel* MakePicture(QWidget* parent, int id, PictureName picture, const QRect& geometry,
                    const QString& spoken);
// A static text, never read as markup; its accessible name is its text unless `spoken` says
// otherwise (a text that changes, named by what it shows).
QLabel* MakeLabel(QWidget* parent, int id, const QString& text, const QRect& geometry,
                  const QString& spoken = QString());

// Sets a solid background colour on a widget.
void SetBackground(QWidget* widget, const QColor& colour);
// Tiles a picture of the PictureTable as the widget's background.
void SetTiledBackground(QWidget* widget, PictureName picture);
void SetTextColour(QWidget* widget, const QColor& colour);

}  // namespace tz
