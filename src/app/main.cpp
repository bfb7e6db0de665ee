#include "app/EntryStore.h"
#include "app/Forms.h"
#include "app/Messages.h"
#include "app/TMainWindow.h"
#include "help/TSplash.h"
#include "store/Database.h"
#include "store/StoreError.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);

    // The splash is painted before anything else is made.
    auto* splash = new TSplash;
    splash->show();
    splash->repaint();
    QApplication::processEvents();

    QApplication::setApplicationName(Messages::ApplicationTitle);
    try {
        Database::open();
    } catch (const StoreError& e) {
        delete splash;
        Messages::errorReport(nullptr, e.message());
        return 1;
    }

    CreateForms();
    splash->hide();
    delete splash;

    MainWindow->showMaximized();
    const int result = QApplication::exec();

    Entries().release();
    DestroyForms();
    Database::close();
    return result;
}
