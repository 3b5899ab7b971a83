#include "app/startup.h"

int main(int argc, char** argv) {
    return tz::RunProgram(argc, argv);
}
