#include "ui/child/AddNamedChild.h"

#include "core/book/Children.h"
#include "ui/common/FormHost.h"
#include "ui/common/Guard.h"
#include "ui/common/Messages.h"

#include <QLineEdit>

bool addNamedChild(QWidget* dialog, QLineEdit* firstName, QLineEdit* middleName, QLineEdit* lastName,
                   bool freshStart) {
    const QString first = firstName->text();
    Children::AddResult added = Children::AddResult::EmptyName;
    const bool stored = guarded(dialog, [&] {
        added = Children::add(first, middleName->text(), lastName->text());
        if (added == Children::AddResult::Added)
            formHost()->makeChildActive(first, freshStart);
    });
    if (!stored)
        return false; // the report was shown; the dialog stays open
    if (added == Children::AddResult::EmptyName || added == Children::AddResult::ReservedName) {
        Messages::information(dialog, Children::nameRefusal(first));
    } else if (added == Children::AddResult::Duplicate) {
        Messages::information(
            dialog, QStringLiteral("\"") + first +
                        QStringLiteral("\" is already used.  Duplicate First Names are not allowed"));
        firstName->clear();
    } else {
        return true;
    }
    dialog->activateWindow();
    firstName->setFocus();
    return false;
}
