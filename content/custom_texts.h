#pragma once
// The custom texts window ("TEXTOS LIBRES"): the pupil writes a text or imports one from a
// plain text file, stores it as a document of the folder TXTPERSONALIZADOS, deletes stored
// documents and types a stored one as an exercise.

#include <QString>
#include <functional>

#include "content/custom_documents.h"

class QWidget;

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

// Shows the window over `owner` (the main menu), which is disabled meanwhile, and returns when
// the pupil leaves with Escape, the close request or the done button. The start button calls
// `runDocument` with the stored document's file name (the exercise run of a custom text, which
// every speed passes).
void OpenCustomTexts(QWidget* owner,
                     const std::function<void(const QString& document)>& runDocument);

}  // namespace tz
