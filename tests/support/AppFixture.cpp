#include "support/AppFixture.h"

#include "core/book/EntryStore.h"
#include "support/ModalDriver.h"
#include "ui/common/TDialog.h"
#include "ui/shell/Forms.h"
#include "ui/shell/TMainWindow.h"

#include <QApplication>
#include <QDialog>
#include <QTest>

AppFixture::AppFixture(const QString& activeChild, bool startNow) : m_store(std::make_unique<TempStore>()) {
    if (!activeChild.isNull()) {
        TempStore::addChild(activeChild);
        TempStore::setPrevious(activeChild);
    }
    if (startNow)
        start();
}

AppFixture::~AppFixture() {
    stop();
}

void AppFixture::start(bool waitForCheck) {
    QApplication::setStyle(QStringLiteral("Fusion"));
    CreateForms();
    MainWindow->show();
    m_running = true;
    if (waitForCheck)
        (void)QTest::qWaitFor([] { return MainWindow->startupCheckDone(); },
                              5000); // tests check what follows
}

void AppFixture::stop() {
    if (!m_running)
        return;
    ModalDriver::closeAllModals();
    MainWindow->close();
    DestroyForms();
    Entries().release();
    m_running = false;
}

void AppFixture::restart() {
    stop();
    m_store->reopen();
    start();
}

QDialog* Form(const QString& objectName) {
    auto* form =
        MainWindow ? MainWindow->findChild<QDialog*>(objectName, Qt::FindDirectChildrenOnly) : nullptr;
    if (auto* built = qobject_cast<TDialog*>(form))
        built->ensureBuilt();
    return form;
}
