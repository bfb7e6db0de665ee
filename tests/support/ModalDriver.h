#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>

// Drives modal dialogs from a timer while the code under test sits in exec().
//
//   ModalDriver driver;
//   driver.expect("InformationBox", [](QWidget* box) { ModalDriver::answer(box, QMessageBox::Ok); });
//   driver.expect("BrandNewChild", [](QWidget* d) { ... });
//   driver.start();
//   ...the action that opens the dialogs...
//   QVERIFY2(driver.finished(), qPrintable(driver.error()));
//
// Steps run in order. A step waits until a visible modal widget with its objectName is the active
// modal widget, runs its action once, then waits until that widget is no longer the active modal
// widget before the next step may run. If a step is not reached within its time-out, every modal
// widget is closed, the driver stops and error() says which step failed, so no test can hang.
class ModalDriver : public QObject {
    Q_OBJECT
public:
    using Action = std::function<void(QWidget*)>;

    explicit ModalDriver(QObject* parent = nullptr);
    ~ModalDriver() override;

    ModalDriver& expect(const QString& objectName, Action action, int timeoutMs = 5000);
    void start();
    // Waits (processing events) until every step ran or the driver failed.
    bool waitFinished(int timeoutMs = 10000);
    bool finished() const { return m_next >= m_steps.size() && m_waitGone.isNull() && !m_failed; }
    bool failed() const { return m_failed; }
    QString error() const { return m_error; }
    // The text of every message box the driver acted on, in order.
    QStringList messages() const { return m_messages; }
    // The window titles of every widget the driver acted on, in order.
    QStringList titles() const { return m_titles; }

    // Presses the standard button of a message box.
    static void answer(QWidget* box, QMessageBox::StandardButton button);
    // Clicks the button with this object name (or, failing that, this text) inside `w`.
    static void click(QWidget* w, const QString& nameOrText);
    // Types into the child widget with this object name (the text is first selected and replaced).
    static void type(QWidget* w, const QString& childName, const QString& text);
    // Closes every modal widget.
    static void closeAllModals();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Step {
        QString name;
        Action action;
        int timeoutMs;
    };
    void poll();

    QList<Step> m_steps;
    int m_next = 0;
    QPointer<QWidget> m_waitGone;
    qint64 m_stepStarted = 0;
    bool m_failed = false;
    bool m_running = false;
    QString m_error;
    QStringList m_messages;
    QStringList m_titles;
    QTimer m_timer;
};
