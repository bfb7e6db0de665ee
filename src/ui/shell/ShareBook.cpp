#include "ui/shell/ShareBook.h"

#include "core/sharing/Conflicts.h"
#include "core/sharing/SharedFolder.h"
#include "core/store/StoreError.h"
#include "ui/common/Guard.h"
#include "ui/common/Messages.h"
#include "ui/common/Widgets.h"
#include "ui/shell/SharingRunner.h"

#include <QApplication>
#include <QDateTime>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
// Their help topics.
constexpr int kShareHelp = 64;
constexpr int kChangesHelp = 65;

const QString kIntro = QStringLiteral(
    "Keep this book on every computer of the family. Choose a folder that a sync program such as "
    "Syncthing or Nextcloud keeps in step between your computers; Tinyra puts its folder \"%1\" in it. "
    "Tinyra itself sends nothing over the network.");
const QString kHowToJoin = QStringLiteral(
    "This book is now shared in\n%1\n\nOn the other computer, let the sync program bring this folder "
    "there, then choose Child > Share Book... in Tinyra and choose the same folder: Tinyra offers "
    "\"Join this shared book\", and keeps what that computer already holds.");

QPushButton* button(const QString& text, const QString& name, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QLabel* wrapped(const QString& text, const QString& name, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    return label;
}

QString joined(const QStringList& names) {
    if (names.size() <= 1)
        return names.join(QString());
    return QStringList(names.mid(0, names.size() - 1)).join(QStringLiteral(", ")) + QStringLiteral(" and ") +
           names.last();
}

// What a round or a join did, in a parent's words.
QString summary(const SharedFolder::RoundResult& r) {
    QStringList lines;
    if (r.applied > 0)
        lines << QStringLiteral("Took %1 changes from %2.").arg(r.applied).arg(joined(r.fromComputers));
    if (r.written > 0)
        lines << QStringLiteral("Wrote %1 changes of this computer to the folder.").arg(r.written);
    for (const QString& child : r.renamedChildren)
        lines << QStringLiteral("A child of another computer is kept here as %1.").arg(child);
    if (!r.skipped.isEmpty())
        lines << QStringLiteral("Not read this time (tried again later):\n") +
                     r.skipped.join(QLatin1Char('\n'));
    return lines.join(QLatin1Char('\n'));
}

class ShareDialog : public QDialog {
public:
    ShareDialog(QWidget* parent, SharingRunner* runner) : QDialog(parent), m_runner(runner) {
        setObjectName(QStringLiteral("ShareBook"));
        setWindowTitle(QStringLiteral("Share Book"));
        const SharedFolder::Status status = SharedFolder::status();
        m_shared = status.shared;

        auto* layout = new QVBoxLayout(this);
        layout->addWidget(wrapped(kIntro.arg(SharedFolder::bookFolderName()), QStringLiteral("Intro"), this));
        auto* form = new QFormLayout;
        m_folder = new QLineEdit(this);
        m_folder->setObjectName(QStringLiteral("FolderEdit"));
        m_folder->setAccessibleName(QStringLiteral("Folder"));
        auto* browse = button(QStringLiteral("&Browse..."), QStringLiteral("BrowseBtn"), this);
        browse->setAccessibleName(QStringLiteral("Browse"));
        auto* folderRow = new QHBoxLayout;
        folderRow->addWidget(m_folder, 1);
        folderRow->addWidget(browse);
        auto* folderLabel = new QLabel(QStringLiteral("&Folder:"), this);
        folderLabel->setBuddy(m_folder);
        form->addRow(folderLabel, folderRow);
        m_name = new QLineEdit(SharedFolder::computerName(), this);
        m_name->setObjectName(QStringLiteral("ComputerName"));
        m_name->setAccessibleName(QStringLiteral("This computer's name"));
        m_name->setMaxLength(60);
        auto* nameLabel = new QLabel(QStringLiteral("This &computer's name:"), this);
        nameLabel->setBuddy(m_name);
        form->addRow(nameLabel, m_name);
        layout->addLayout(form);
        m_state = wrapped(QString(), QStringLiteral("FolderState"), this);
        layout->addWidget(m_state);

        auto* buttons = new QDialogButtonBox(this);
        m_go = button(QStringLiteral("&Share"), QStringLiteral("ShareBtn"), this);
        m_stop = button(QStringLiteral("S&top Sharing"), QStringLiteral("StopSharingBtn"), this);
        auto* close = button(m_shared ? QStringLiteral("Close") : QStringLiteral("Cancel"),
                             QStringLiteral("CloseBtn"), this);
        buttons->addButton(m_go, QDialogButtonBox::AcceptRole);
        buttons->addButton(m_stop, QDialogButtonBox::ActionRole);
        buttons->addButton(close, QDialogButtonBox::RejectRole);
        buttons->addButton(Widgets::helpButton(QStringLiteral("HelpBtn"), kShareHelp, this),
                           QDialogButtonBox::HelpRole);
        layout->addWidget(buttons);

        if (m_shared) {
            m_folder->setText(QDir::toNativeSeparators(status.bookFolder));
            m_folder->setReadOnly(true);
            browse->setEnabled(false);
            m_go->hide();
            m_state->setText(SharedFolder::statusText(status, QDateTime::currentDateTimeUtc()));
            m_name->setFocus();
        } else {
            m_stop->hide();
            m_go->setEnabled(false);
            m_folder->setFocus();
        }
        connect(browse, &QPushButton::clicked, this, [this] { browseForFolder(); });
        connect(m_folder, &QLineEdit::textChanged, this, [this] { inspectFolder(); });
        connect(m_go, &QPushButton::clicked, this, [this] { shareOrJoin(); });
        connect(m_stop, &QPushButton::clicked, this, [this] { stopSharing(); });
        connect(close, &QPushButton::clicked, this, [this] {
            keepName();
            reject();
        });
        resize(560, sizeHint().height());
    }

    bool changedBook() const { return m_changedBook; }

private:
    void browseForFolder() {
        QFileDialog dialog(this, QStringLiteral("Choose the folder your sync program keeps in step"),
                           m_folder->text().isEmpty() ? QDir::homePath() : m_folder->text());
        dialog.setObjectName(QStringLiteral("ShareFolderDialog"));
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            m_folder->setText(QDir::toNativeSeparators(dialog.selectedFiles().first()));
    }

    void inspectFolder() {
        const QString chosen = QDir::fromNativeSeparators(m_folder->text().trimmed());
        if (chosen.isEmpty()) {
            m_state->clear();
            m_go->setEnabled(false);
            return;
        }
        m_inspection = SharedFolder::inspect(chosen);
        if (!m_inspection.problem.isEmpty()) {
            m_state->setText(m_inspection.problem);
            m_go->setEnabled(false);
        } else if (m_inspection.holdsBook) {
            m_state->setText(
                m_inspection.computerNames.isEmpty()
                    ? QStringLiteral("This folder holds a shared book.")
                    : QStringLiteral(
                          "This folder holds a shared book, written by %1. Joining it keeps what this "
                          "computer holds and what the book holds.")
                          .arg(joined(m_inspection.computerNames)));
            m_go->setText(QStringLiteral("&Join this shared book"));
            m_go->setEnabled(true);
        } else {
            m_state->setText(QStringLiteral("Tinyra will make the folder \"%1\" in this folder.")
                                 .arg(SharedFolder::bookFolderName()));
            m_go->setText(QStringLiteral("&Share"));
            m_go->setEnabled(true);
        }
        m_go->setAccessibleName(m_go->text().remove(QLatin1Char('&')));
        m_state->setAccessibleName(m_state->text());
    }

    void keepName() {
        const QString name = m_name->text().simplified();
        if (!name.isEmpty() && name != SharedFolder::computerName())
            guarded(this, [&name] { SharedFolder::setComputerName(name); });
    }

    void shareOrJoin() {
        keepName();
        const QString chosen = QDir::fromNativeSeparators(m_folder->text().trimmed());
        const bool joining = m_inspection.holdsBook;
        QVector<SharedFolder::ChildMatch> answers;
        if (joining && !guarded(this, [&] { answers = SharedFolder::matchesToAsk(chosen); }))
            return;
        for (SharedFolder::ChildMatch& match : answers)
            match.same = Messages::confirm(this, QStringLiteral("Is %1 here the same child as %1 on %2?")
                                                     .arg(match.firstName, match.otherComputer));
        QProgressDialog progress(joining ? QStringLiteral("Joining the shared book...")
                                         : QStringLiteral("Writing the book to the shared folder..."),
                                 QStringLiteral("Cancel"), 0, 1000, this);
        progress.setObjectName(QStringLiteral("ShareProgress"));
        progress.setWindowTitle(Messages::ApplicationTitle);
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(300);
        const SharedFolder::Progress report = [&progress](qint64 done, qint64 total) {
            progress.setValue(total > 0 ? int(done * 1000 / total) : 0);
            QApplication::processEvents();
            return !progress.wasCanceled();
        };
        SharedFolder::RoundResult result;
        if (!guarded(this, [&] {
                result = joining ? SharedFolder::join(chosen, answers, report)
                                 : SharedFolder::share(chosen, report);
            }))
            return;
        progress.close();
        m_changedBook = joining;
        if (result.cancelled) {
            // Each batch is taken whole or not at all: what came in so far stays, the rest follows.
            Messages::information(this, joining
                                            ? QStringLiteral("Joining was stopped. Nothing is lost: what was "
                                                             "taken in so far stays, and Tinyra takes in the "
                                                             "rest the next time it starts.")
                                            : QStringLiteral("Sharing was stopped. The book is whole; Tinyra "
                                                             "writes the rest to the folder the next time it "
                                                             "starts."));
            return;
        }
        if (!result.problem.isEmpty()) {
            Messages::errorReport(this, result.problem);
            return;
        }
        const QString folder = QDir::toNativeSeparators(SharedFolder::status().bookFolder);
        const QString done = joining
                                 ? QStringLiteral("This book has joined the shared book in\n%1").arg(folder)
                                 : kHowToJoin.arg(folder);
        const QString details = summary(result);
        Messages::information(this, details.isEmpty() ? done : done + QStringLiteral("\n\n") + details);
        m_runner->restart();
        accept();
    }

    void stopSharing() {
        if (!Messages::confirm(this,
                               QStringLiteral("Stop sharing this book? It stays whole on this computer, "
                                              "and the other computers keep their own copies.")))
            return;
        if (guarded(this, [] { SharedFolder::stopSharing(); })) {
            m_runner->restart();
            accept();
        }
    }

    SharingRunner* m_runner;
    QLineEdit* m_folder;
    QLineEdit* m_name;
    QLabel* m_state;
    QPushButton* m_go;
    QPushButton* m_stop;
    SharedFolder::Inspection m_inspection;
    bool m_shared = false;
    bool m_changedBook = false;
};

QString whenText(const QDateTime& when) {
    return when.isValid() ? when.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")) : QString();
}

QString valueText(const QVariant& value) {
    const QString text = value.toString();
    return text.isEmpty() ? QStringLiteral("(empty)") : text.left(400);
}

// Both versions of a pair, field by field.
QString versionsText(const Conflicts::Pair& pair) {
    QString html = QStringLiteral("<p><b>%1</b></p>").arg(pair.what.toHtmlEscaped());
    const auto version = [](const QString& heading, const Conflicts::Pair::Version& v) {
        QString part = QStringLiteral("<p><b>%1</b> (%2, %3)</p><ul>")
                           .arg(heading, v.computer.toHtmlEscaped(), whenText(v.when));
        for (int i = 0; i < v.fields.size(); ++i)
            part += QStringLiteral("<li>%1: %2</li>")
                        .arg(v.fields.at(i).toHtmlEscaped(), valueText(v.values.value(i)).toHtmlEscaped());
        return part + QStringLiteral("</ul>");
    };
    return html + version(QStringLiteral("Kept"), pair.kept) +
           version(QStringLiteral("This version, set aside"), pair.setAside);
}

class ChangesDialog : public QDialog {
public:
    explicit ChangesDialog(QWidget* parent) : QDialog(parent) {
        setObjectName(QStringLiteral("SharedChanges"));
        setWindowTitle(QStringLiteral("Changes from Other Computers"));
        auto* layout = new QVBoxLayout(this);
        auto* intro =
            wrapped(QStringLiteral("When two computers changed the same record before either saw the "
                                   "other's change, every computer keeps the same one of the two. The "
                                   "other version is kept here: choose it with \"Use This Version\"."),
                    QStringLiteral("Intro"), this);
        layout->addWidget(intro);
        m_list = new QTreeWidget(this);
        m_list->setObjectName(QStringLiteral("ChangesList"));
        m_list->setAccessibleName(QStringLiteral("Changes from other computers"));
        m_list->setRootIsDecorated(false);
        m_list->setHeaderLabels(
            {QStringLiteral("Record"), QStringLiteral("Kept"), QStringLiteral("Set aside")});
        m_list->header()->setSectionResizeMode(QHeaderView::Interactive);
        intro->setBuddy(m_list);
        layout->addWidget(m_list, 2);
        m_versions = new QTextBrowser(this);
        m_versions->setObjectName(QStringLiteral("VersionsText"));
        m_versions->setAccessibleName(QStringLiteral("Both versions"));
        layout->addWidget(m_versions, 1);
        auto* buttons = new QDialogButtonBox(this);
        m_use = button(QStringLiteral("&Use This Version"), QStringLiteral("UseThisVersionBtn"), this);
        m_keep = button(QStringLiteral("&Keep As It Is"), QStringLiteral("KeepBtn"), this);
        auto* close = button(QStringLiteral("Close"), QStringLiteral("CloseBtn"), this);
        buttons->addButton(m_use, QDialogButtonBox::ActionRole);
        buttons->addButton(m_keep, QDialogButtonBox::ActionRole);
        buttons->addButton(close, QDialogButtonBox::RejectRole);
        buttons->addButton(Widgets::helpButton(QStringLiteral("HelpBtn"), kChangesHelp, this),
                           QDialogButtonBox::HelpRole);
        layout->addWidget(buttons);
        connect(close, &QPushButton::clicked, this, &QDialog::reject);
        connect(m_list, &QTreeWidget::currentItemChanged, this, [this] { showCurrent(); });
        connect(m_use, &QPushButton::clicked, this, [this] { settleCurrent(true); });
        connect(m_keep, &QPushButton::clicked, this, [this] { settleCurrent(false); });
        resize(760, 480);
        fill();
    }

private:
    void fill() {
        m_list->clear();
        guarded(this, [this] { m_pairs = Conflicts::open(); });
        for (int i = 0; i < m_pairs.size(); ++i) {
            const Conflicts::Pair& p = m_pairs.at(i);
            auto* row = new QTreeWidgetItem(
                m_list, {p.what, QStringLiteral("%1, %2").arg(p.kept.computer, whenText(p.kept.when)),
                         QStringLiteral("%1, %2").arg(p.setAside.computer, whenText(p.setAside.when))});
            row->setData(0, Qt::UserRole, i);
        }
        for (int column = 0; column < m_list->columnCount(); ++column)
            m_list->resizeColumnToContents(column);
        if (m_pairs.isEmpty())
            m_versions->setPlainText(QStringLiteral("No change from another computer was set aside."));
        else
            m_list->setCurrentItem(m_list->topLevelItem(0));
        m_use->setEnabled(!m_pairs.isEmpty());
        m_keep->setEnabled(!m_pairs.isEmpty());
        m_list->setFocus();
    }

    const Conflicts::Pair* current() const {
        const QTreeWidgetItem* row = m_list->currentItem();
        return row ? &m_pairs.at(row->data(0, Qt::UserRole).toInt()) : nullptr;
    }

    void showCurrent() {
        if (const Conflicts::Pair* pair = current())
            m_versions->setHtml(versionsText(*pair));
    }

    void settleCurrent(bool useSetAside) {
        const Conflicts::Pair* pair = current();
        if (!pair)
            return;
        const Conflicts::Pair chosen = *pair;
        if (guarded(this, [&] { useSetAside ? Conflicts::useSetAside(chosen) : Conflicts::settle(chosen); }))
            fill();
    }

    QTreeWidget* m_list;
    QTextBrowser* m_versions;
    QPushButton* m_use;
    QPushButton* m_keep;
    QVector<Conflicts::Pair> m_pairs;
};
} // namespace

namespace ShareBook {
bool open(QWidget* parent, SharingRunner* runner) {
    bool changed = false;
    guarded(parent, [&] {
        ShareDialog dialog(parent, runner);
        dialog.exec();
        changed = dialog.changedBook();
    });
    return changed;
}

void showChanges(QWidget* parent) {
    ChangesDialog dialog(parent);
    dialog.exec();
}
} // namespace ShareBook
