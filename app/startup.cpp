#include "app/startup.h"

#include <QApplication>

void TipenzoInitAssets();

namespace tz {

int RunProgram(int argc, char** argv) {
    QApplication app(argc, argv);
    TipenzoInitAssets();
    return 0;
}

}  // namespace tz
