#include "ui/shell/Startup.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    startLookingForDamage();
    QApplication app(argc, argv);
    return runTinyra();
}
