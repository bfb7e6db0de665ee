#include "ui/shell/CommandLine.h"
#include "ui/shell/Startup.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    // --help, --version, --export, --import, --share and --sync run without a window, before anything of it
    // is made.
    if (const std::optional<int> status = runCommandLine(argc, argv))
        return *status;
    startLookingForDamage();
    QApplication app(argc, argv);
    return runTinyra();
}
