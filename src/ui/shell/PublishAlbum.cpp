#include "ui/shell/PublishAlbum.h"

#include "core/album/Album.h"
#include "core/book/Children.h"
#include "ui/common/AlbumDrawing.h"
#include "ui/common/Guard.h"
#include "ui/common/Messages.h"
#include "ui/common/Widgets.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {
constexpr int kAlbumHelp = 73;

class PublishDialog : public QDialog {
public:
    explicit PublishDialog(QWidget* parent) : QDialog(parent) {
        setObjectName(QStringLiteral("PublishAlbum"));
        setWindowTitle(QStringLiteral("Publish Album"));
        m_choices = Album::Choices::stored();
        auto* layout = new QVBoxLayout(this);
        auto* intro = new QLabel(
            QStringLiteral("Tinyra writes the book as web pages with the photos into a folder. The pages "
                           "open in any browser, from the disk or from wherever you put the folder (a "
                           "shared folder, a USB stick). Tinyra itself sends nothing over the network."),
            this);
        intro->setObjectName(QStringLiteral("Intro"));
        intro->setWordWrap(true);
        layout->addWidget(intro);

        auto* childrenLabel = new QLabel(QStringLiteral("Chi&ldren to publish:"), this);
        m_children = new QListWidget(this);
        m_children->setObjectName(QStringLiteral("ChildList"));
        m_children->setAccessibleName(QStringLiteral("Children to publish"));
        childrenLabel->setBuddy(m_children);
        for (const QString& name : Children::firstNames()) {
            auto* item = new QListWidgetItem(name, m_children);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            item->setCheckState(m_choices.children.isEmpty() || m_choices.children.contains(name)
                                    ? Qt::Checked
                                    : Qt::Unchecked);
        }
        m_children->setMaximumHeight(qMin(160, 24 + 22 * m_children->count()));
        if (m_children->count() > 0)
            m_children->setCurrentRow(0);
        layout->addWidget(childrenLabel);
        layout->addWidget(m_children);

        auto* folderLabel = new QLabel(QStringLiteral("&Folder:"), this);
        m_folder = new QLineEdit(QDir::toNativeSeparators(m_choices.folder), this);
        m_folder->setObjectName(QStringLiteral("FolderEdit"));
        m_folder->setAccessibleName(QStringLiteral("Folder"));
        folderLabel->setBuddy(m_folder);
        auto* browse = new QPushButton(QStringLiteral("&Browse..."), this);
        browse->setObjectName(QStringLiteral("BrowseBtn"));
        browse->setAccessibleName(QStringLiteral("Browse for the folder"));
        browse->setAutoDefault(false);
        auto* folderRow = new QHBoxLayout;
        folderRow->addWidget(folderLabel);
        folderRow->addWidget(m_folder, 1);
        folderRow->addWidget(browse);
        layout->addLayout(folderRow);

        auto* leaveOut = new QGroupBox(QStringLiteral("Leave out"), this);
        leaveOut->setObjectName(QStringLiteral("LeaveOut"));
        auto* leaveLayout = new QVBoxLayout(leaveOut);
        m_birth = check(QStringLiteral("The birth &date and place (the month and year are shown)"),
                        QStringLiteral("LeaveOutBirth"), m_choices.leaveOutBirth, leaveLayout);
        m_health = check(QStringLiteral("The health &chapters (doctor visits, immunizations, childhood "
                                        "diseases, the pediatrician)"),
                         QStringLiteral("LeaveOutHealth"), m_choices.leaveOutHealth, leaveLayout);
        m_familyDates =
            check(QStringLiteral("The family &tree's dates"), QStringLiteral("LeaveOutFamilyDates"),
                  m_choices.leaveOutFamilyDates, leaveLayout);
        layout->addWidget(leaveOut);
        m_originals = check(QStringLiteral("Include the &original photos"),
                            QStringLiteral("IncludeOriginals"), m_choices.includeOriginals, layout);

        auto* publish = new QPushButton(QStringLiteral("&Publish"), this);
        publish->setObjectName(QStringLiteral("PublishBtn"));
        publish->setDefault(true);
        QPushButton* cancel = Widgets::cancelButton(QStringLiteral("CancelBtn"), this);
        cancel->setAutoDefault(false);
        layout->addWidget(Widgets::buttonRow(this, nullptr,
                                             Widgets::helpButton(QStringLiteral("HelpBtn"), kAlbumHelp, this),
                                             {publish, cancel}));
        connect(browse, &QPushButton::clicked, this, [this] { browseForFolder(); });
        connect(publish, &QPushButton::clicked, this, [this] { publishNow(); });
        connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
        m_children->setFocus();
        resize(600, sizeHint().height());
    }

private:
    QCheckBox* check(const QString& text, const QString& name, bool on, QVBoxLayout* into) {
        auto* box = new QCheckBox(text, this);
        box->setObjectName(name);
        box->setAccessibleName(QString(text).remove(QLatin1Char('&')));
        box->setChecked(on);
        into->addWidget(box);
        return box;
    }

    void browseForFolder() {
        QFileDialog dialog(this, QStringLiteral("Choose the folder for the album"),
                           m_folder->text().isEmpty() ? QDir::homePath() : m_folder->text());
        dialog.setObjectName(QStringLiteral("AlbumFolderDialog"));
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            m_folder->setText(QDir::toNativeSeparators(dialog.selectedFiles().first()));
    }

    void publishNow() {
        Album::Choices choices;
        for (int i = 0; i < m_children->count(); ++i)
            if (m_children->item(i)->checkState() == Qt::Checked)
                choices.children << m_children->item(i)->text();
        choices.folder = QDir::fromNativeSeparators(m_folder->text().trimmed());
        choices.leaveOutBirth = m_birth->isChecked();
        choices.leaveOutHealth = m_health->isChecked();
        choices.leaveOutFamilyDates = m_familyDates->isChecked();
        choices.includeOriginals = m_originals->isChecked();
        if (choices.children.isEmpty()) {
            Messages::information(this, QStringLiteral("Tick at least one child to publish."));
            m_children->setFocus();
            return;
        }
        if (choices.folder.isEmpty()) {
            Messages::information(this, QStringLiteral("Choose the folder to write the album in."));
            m_folder->setFocus();
            return;
        }
        Album::Result result;
        const bool ran = guarded(this, [&] {
            choices.store();
            QProgressDialog progress(QStringLiteral("Publishing the album..."), QStringLiteral("Cancel"), 0,
                                     1, this);
            progress.setObjectName(QStringLiteral("AlbumProgress"));
            progress.setWindowTitle(Messages::ApplicationTitle);
            progress.setWindowModality(Qt::WindowModal);
            progress.setMinimumDuration(300);
            progress.setAutoReset(false);
            progress.setAutoClose(false);
            result = Album::publish(choices.folder, choices, AlbumDrawing(), [&](int done, int total) {
                progress.setMaximum(qMax(1, total));
                progress.setValue(qMin(done, total));
                QApplication::processEvents();
                return !progress.wasCanceled();
            });
        });
        if (!ran)
            return;
        if (result.cancelled) {
            Messages::information(this,
                                  QStringLiteral("Publishing was stopped. What was written stays in the "
                                                 "folder; publishing again goes on from there."));
            return;
        }
        if (!result.problem.isEmpty()) {
            Messages::information(this, QStringLiteral("The album was not published.\n\n") + result.problem);
            return;
        }
        accept();
        QString text = QStringLiteral("The album is in %1.").arg(QDir::toNativeSeparators(choices.folder));
        if (result.unreadablePhotos > 0)
            text += QStringLiteral("\n\n%1 photo(s) could not be read and were left out.")
                        .arg(result.unreadablePhotos);
        QMessageBox done(QMessageBox::Information, QStringLiteral("Information"), text, QMessageBox::NoButton,
                         parentWidget());
        done.setObjectName(QStringLiteral("AlbumDoneBox"));
        QPushButton* open = done.addButton(QStringLiteral("&Open in Browser"), QMessageBox::AcceptRole);
        open->setObjectName(QStringLiteral("OpenInBrowserBtn"));
        done.addButton(QStringLiteral("Close"), QMessageBox::RejectRole)
            ->setObjectName(QStringLiteral("CloseBtn"));
        done.setDefaultButton(open);
        done.exec();
        if (done.clickedButton() == open)
            QDesktopServices::openUrl(
                QUrl::fromLocalFile(QDir(choices.folder).filePath(QStringLiteral("index.html"))));
    }

    Album::Choices m_choices;
    QListWidget* m_children = nullptr;
    QLineEdit* m_folder = nullptr;
    QCheckBox *m_birth = nullptr, *m_health = nullptr, *m_familyDates = nullptr, *m_originals = nullptr;
};
} // namespace

namespace PublishAlbum {
void open(QWidget* parent) {
    Album::Choices stored;
    if (!guarded(parent, [&] { stored = Album::Choices::stored(); }))
        return;
    PublishDialog dialog(parent);
    dialog.exec();
}
} // namespace PublishAlbum
