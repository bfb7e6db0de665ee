#pragma once

#include "ui/common/TDialog.h"

class QLineEdit;

// Asks for the name of a new holiday, outing or visitor (its caption says which) and opens it.
class TNewTitle : public TDialog {
    Q_OBJECT
public:
    explicit TNewTitle(QWidget* parent = nullptr);

    // The help topic for the dialog's caption (0 for a caption without one).
    static int helpTopicFor(const QString& caption);
    // The holiday form's caption for the occasions named under a title dialog caption (empty for none).
    static QString holidayCaptionFor(const QString& caption);
    // Hides `from`, records the named occasion for the active child, shows it in the holiday form
    // and, when that closes, closes `from`: the chain ends at the main window.
    static void openNamedOccasion(QDialog* from, const QString& holidayCaption, const QString& name);

public slots:
    void OKBtnClick();
    void CancelBtnClick();
    void HelpBtnClick();

protected:
    void build() override;
    void FormActivate() override;

private:
    QLineEdit* m_title;
};

// The one TNewTitle, created at start-up (null before and after).
extern TNewTitle* NewTitle;
