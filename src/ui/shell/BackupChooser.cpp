#include "ui/shell/BackupChooser.h"

#include "core/store/Backups.h"
#include "ui/common/Messages.h"
#include "ui/common/Widgets.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
// The help topic on the backups and putting one back.
constexpr int kRestoreHelp = 70;
} // namespace

namespace BackupChooser {
QString choose(QWidget* parent, const QString& intro) {
    const QList<Backups::Info> backups = Backups::sound();
    if (backups.isEmpty()) {
        Messages::information(parent, QStringLiteral("There is no sound backup in\n%1")
                                          .arg(QDir::toNativeSeparators(Backups::directory())));
        return QString();
    }
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("RestoreBackup"));
    dialog.setWindowTitle(QStringLiteral("Restore a Backup"));
    auto* text = new QLabel(intro, &dialog);
    text->setWordWrap(true);
    auto* list = new QTreeWidget(&dialog);
    list->setObjectName(QStringLiteral("Backups"));
    list->setAccessibleName(QStringLiteral("Backups"));
    list->setRootIsDecorated(false);
    list->setHeaderLabels({QStringLiteral("Made"), QStringLiteral("Children"), QStringLiteral("Entries"),
                           QStringLiteral("File")});
    for (const Backups::Info& b : backups) {
        auto* row = new QTreeWidgetItem(
            list, {b.madeAt.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")),
                   QString::number(b.children), QString::number(b.entries), QFileInfo(b.file).fileName()});
        row->setData(0, Qt::UserRole, b.file);
        row->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        row->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    }
    list->setCurrentItem(list->topLevelItem(0));
    list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    text->setBuddy(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Restore"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("RestoreBtn"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
    buttons->addButton(Widgets::helpButton(QStringLiteral("HelpBtn"), kRestoreHelp, &dialog),
                       QDialogButtonBox::HelpRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &QTreeWidget::itemActivated, &dialog, &QDialog::accept);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(text);
    layout->addWidget(list, 1);
    layout->addWidget(buttons);
    dialog.resize(620, 360);
    list->setFocus();
    if (dialog.exec() != QDialog::Accepted || !list->currentItem())
        return QString();
    return list->currentItem()->data(0, Qt::UserRole).toString();
}
} // namespace BackupChooser
