#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

// A book kept on several computers through a folder that a file-sync program keeps in step
// (docs/SHARED-FOLDER.md). Each computer writes only its own files there: batches of its changes and
// the photos they name; it reads the others' batches and merges them into its book. Tinyra never
// talks to the network; the folder is all it knows of the other computers.
namespace SharedFolder {
// The folder made inside the one the parent chooses.
QString bookFolderName(); // "Tinyra Shared Book"

// Long work reports how far it is (done of total) and stops, harmlessly, when this returns false.
using Progress = std::function<bool(qint64 done, qint64 total)>;

// What a chosen folder holds, before sharing or joining.
struct Inspection {
    bool holdsBook = false;    // a "Tinyra Shared Book" is there (or the folder is one)
    QString bookFolder;        // the "Tinyra Shared Book" folder the book is (or would be) in
    QStringList computerNames; // the computers that write there
    QString problem;           // why the folder cannot be used, in a parent's words
};
Inspection inspect(const QString& chosen);

// A child of this book and a child of the shared book with the same first name: `same` says
// whether they are one child (the question "Is Ann here the same child as Ann on the kitchen
// laptop?").
struct ChildMatch {
    QString firstName;
    QString otherComputer; // the name of the computer whose child it is
    QString uidHere, uidThere;
    bool same = true;
};

struct RoundResult {
    bool cancelled = false;
    QString problem;             // the round failed (nothing half-done): why, in a parent's words
    int applied = 0;             // changes from other computers taken into this book
    QStringList fromComputers;   // the names of the computers they came from
    int written = 0;             // changes of this computer written to the folder
    QStringList skipped;         // files not read this time, each "file name: why"
    QStringList renamedChildren; // children kept under another name, as the merge reports them
    // Children that another computer removed, held until the parent says (removeHeldChild,
    // keepHeldChild): each the child's first name and the computer that removed it.
    struct Held {
        QString firstName, uid, computer;
    };
    QVector<Held> heldRemovals;
};

// Starts sharing this book in `chosen` (a "Tinyra Shared Book" is made in it): everything this
// book holds is written there, with its photos.
RoundResult share(const QString& chosen, const Progress& progress = {});
// The children of the shared book in `chosen` whose first name a child here has, to ask about.
QVector<ChildMatch> matchesToAsk(const QString& chosen);
// Joins the shared book in `chosen`: what the folder holds is merged with what this book holds
// (nothing dropped; the children answered `same` become one), then this book's records are written.
RoundResult join(const QString& chosen, const QVector<ChildMatch>& answers = {},
                 const Progress& progress = {});
// One round while shared: reads what is new from the other computers, writes what is new here.
RoundResult syncOnce(const Progress& progress = {});
// Writes what is new here, reading nothing: while a form is open, what it saves still reaches the
// folder at once.
RoundResult writeOnly();
// Leaves the book whole on this computer and stops reading and writing the folder.
void stopSharing();

// A held child removal: carried out here too, or refused (the child is kept, and written again so
// that it comes back on every computer).
void removeHeldChild(const QString& uid);
void keepHeldChild(const QString& uid);

// This computer's name as the others see it ("the kitchen laptop"; the host name at first).
QString computerName();
void setComputerName(const QString& name);

struct Status {
    bool shared = false;
    QString bookFolder;
    int computers = 1; // with this one
    QString lastFrom;  // the computer of the last change taken from another
    QDateTime lastAt;  // when it was taken (UTC)
    QString problem;   // why the folder cannot be read or written now: missing, a file (named) unreadable
};
Status status();
// "Shared with 2 computers. Last change from the kitchen laptop, 2 minutes ago." or why not.
QString statusText(const Status& status, const QDateTime& now);
} // namespace SharedFolder
