#pragma once
// The custom texts window ("TEXTOS LIBRES"): the pupil writes a text or imports one from a
// plain text file, stores it as a document of the folder TXTPERSONALIZADOS, deletes stored
// documents and types a stored one as an exercise.

#include <QDialog>
#include <QString>
#include <functional>

#include "content/custom_documents.h"

class QAbstractButton;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace tz {

enum CustomTextsControl {
    kTextsFrameId = 1,
    kTextsPreviewCaptionId = 2,
    kTextsLinesCaptionId = 3,
    kTextsLineCounterId = 4,
    kTextsEditorId = 5,
    kTextsLoadId = 6,
    kTextsSaveId = 7,
    kTextsDeleteId = 8,
    kTextsListCaptionId = 9,
    kTextsListId = 10,
    kTextsStartId = 11,
    kTextsDoneId = 12,
};

// Over its owner (the main menu), always on top until the pupil types a document. It opens on
// the first stored document, the start button enabled when it has something to type. Escape
// from any control, the close request and the done button reject it. The start button hands
// the chosen document's file name to `runDocument` (the exercise run of a custom text, which
// every speed passes).
class CustomTextsWindow : public QDialog {
    Q_OBJECT
  public:
    CustomTextsWindow(QWidget* owner, std::function<void(const QString& document)> runDocument);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void ShowLineCount();
    bool LoadStoredDocument();
    void ListDocuments(const QString& selected = QString());
    void ListAndShowFirst();
    void Import();
    bool SaveDocument(QString* saved);
    void Save();
    void Delete();
    void DocumentChosen();
    void TypeSelectedDocument();

    std::function<void(const QString&)> runDocument_;
    QPlainTextEdit* editor_ = nullptr;
    QLineEdit* lineCounter_ = nullptr;
    QComboBox* list_ = nullptr;
    QPushButton* start_ = nullptr;
    QAbstractButton* done_ = nullptr;
    // The row whose document the editor shows, to go back to when the pupil keeps the editor.
    int shownRow_ = -1;
};

// Shows the window modal over `owner` and returns when the pupil leaves it.
void OpenCustomTexts(QWidget* owner,
                     const std::function<void(const QString& document)>& runDocument);

}  // namespace tz
