#include <QtGlobal>

// Keeps the embedded resources of this library linked into the program.
void TipenzoInitAssets() {
    Q_INIT_RESOURCE(assets);
}
