#include "ui/shell/CommandLine.h"

#include "core/album/Album.h"
#include "core/book/Children.h"
#include "core/exchange/BookFile.h"
#include "core/sharing/SharedFolder.h"
#include "core/store/Backups.h"
#include "core/store/Database.h"
#include "core/store/FolderLock.h"
#include "core/store/StoreError.h"
#include "ui/common/AlbumDrawing.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSet>
#include <QStringList>

#include <cstdio>
#include <memory>

namespace {
enum Status { Success = 0, Failure = 1, Usage = 2 };

void say(const QString& text) {
    std::fputs(qPrintable(text + QLatin1Char('\n')), stderr);
}

QString programName(char* argv0) {
    const QString name = QFileInfo(QString::fromLocal8Bit(argv0)).fileName();
    return name.isEmpty() ? QStringLiteral("tinyra") : name;
}

// The options the application object takes for itself (-platform offscreen and the like).
bool isQtOption(const QString& option) {
    static const QSet<QString> qt = {QStringLiteral("platform"),
                                     QStringLiteral("platformpluginpath"),
                                     QStringLiteral("platformtheme"),
                                     QStringLiteral("plugin"),
                                     QStringLiteral("qwindowgeometry"),
                                     QStringLiteral("qwindowicon"),
                                     QStringLiteral("qwindowtitle"),
                                     QStringLiteral("reverse"),
                                     QStringLiteral("session"),
                                     QStringLiteral("display"),
                                     QStringLiteral("geometry"),
                                     QStringLiteral("style"),
                                     QStringLiteral("stylesheet"),
                                     QStringLiteral("widgetcount"),
                                     QStringLiteral("nograb"),
                                     QStringLiteral("dograb"),
                                     QStringLiteral("sync"),
                                     QStringLiteral("qmljsdebugger")};
    return qt.contains(option.section(QLatin1Char('='), 0, 0));
}

// How long a command waits for the window or another command to let go of the book.
const int kLockWaitMs = 5000;

// Takes the book for a command: one writer at a time, the window or a command. False (and the reason
// on stderr) while another holds it. Where no lock can be had at all (a read-only folder without a
// lock file), nobody can write the book, and the command goes on.
bool takeBook(const QString& program, FolderLock& lock) {
    if (!Database::makeDataDirectory() || lock.lockWithin(kLockWaitMs) || lock.unavailable())
        return true;
    say(QStringLiteral("%1: Tinyra is open on this book; close it first\n(%2)")
            .arg(program, QDir::toNativeSeparators(Database::dataDirectory())));
    return false;
}

// Opens the store for a command; false (and the reason on stderr) when it cannot be. A command that
// only reads (`forReading`) opens a book it cannot write read-only.
bool openStore(const QString& program, bool forReading = false) {
    try {
        try {
            Database::open();
        } catch (const StoreError& e) {
            if (!forReading || e.kind() != StoreError::Kind::ReadOnly)
                throw;
            Database::openReadOnly();
        }
        return true;
    } catch (const StoreError& e) {
        say(QStringLiteral("%1: %2").arg(program, e.message()));
        return false;
    }
}

// Opens the book for a command that reads it (`what`: "export"); false (and the reason on stderr)
// when there is no book yet, or it cannot be taken or opened.
bool openBookToRead(const QString& program, const QString& what, FolderLock& lock) {
    if (!QFileInfo::exists(Database::filePath())) {
        say(QStringLiteral("%1: there is no book to %2 yet (%3 does not exist).")
                .arg(program, what, Database::filePath()));
        return false;
    }
    return takeBook(program, lock) && openStore(program, true);
}

int exportTo(const QString& program, const QString& file) {
    FolderLock lock(Database::writerLockPath());
    if (!openBookToRead(program, QStringLiteral("export"), lock))
        return Failure;
    int shown = -1;
    try {
        BookFile::exportBook(file, [&](double done) {
            const int tenth = int(done * 10);
            if (tenth != shown) {
                shown = tenth;
                say(QStringLiteral("%1: exporting, %2%").arg(program).arg(tenth * 10));
            }
            return true;
        });
    } catch (const BookFile::Error& e) {
        say(QStringLiteral("%1: the book was not exported.\n%2").arg(program, e.message()));
        Database::close();
        return Failure;
    } catch (const StoreError& e) {
        say(QStringLiteral("%1: the book was not exported.\n%2").arg(program, e.message()));
        Database::close();
        return Failure;
    }
    Database::close();
    say(QStringLiteral("%1: the book was exported to %2").arg(program, file));
    return Success;
}

int importFrom(const QString& program, const QString& file) {
    FolderLock lock(Database::writerLockPath());
    if (!takeBook(program, lock))
        return Failure;
    // A missing book with backups beside it is a lost book: importing would make a new one, and the
    // window would then no longer offer the backup.
    if (!QFileInfo::exists(Database::filePath()) && !Backups::newestSound().isEmpty()) {
        say(QStringLiteral("%1: there is no book in %2, but there are backups of one in %3.\nStart Tinyra "
                           "without options: it offers to restore the newest backup. Then import again. "
                           "Nothing was imported.")
                .arg(program, QDir::toNativeSeparators(Database::filePath()),
                     QDir::toNativeSeparators(Backups::directory())));
        return Failure;
    }
    if (!openStore(program))
        return Failure;
    BookFile::Summary summary;
    try {
        summary = BookFile::importBook(file);
    } catch (const BookFile::Error& e) {
        say(QStringLiteral("%1: the book was not imported.\n%2").arg(program, e.message()));
        Database::close();
        return Failure;
    } catch (const StoreError& e) {
        say(QStringLiteral("%1: the book was not imported; it is unchanged.\n%2").arg(program, e.message()));
        Database::close();
        return Failure;
    }
    Database::close();
    say(QStringLiteral("%1: the book in %2 was imported.\n%3").arg(program, file, summary.text()));
    return Success;
}
// What a round did, in a parent's words; false when something was skipped or failed.
bool tell(const QString& program, const SharedFolder::RoundResult& r) {
    if (r.applied > 0)
        say(QStringLiteral("%1: Took %2 %3 from %4.")
                .arg(program)
                .arg(r.applied)
                .arg(r.applied == 1 ? QStringLiteral("change") : QStringLiteral("changes"),
                     r.fromComputers.join(QStringLiteral(" and "))));
    else if (r.problem.isEmpty())
        say(QStringLiteral("%1: No new changes from other computers.").arg(program));
    if (r.written > 0)
        say(QStringLiteral("%1: Wrote %2 %3 of this computer to the shared folder.")
                .arg(program)
                .arg(r.written)
                .arg(r.written == 1 ? QStringLiteral("change") : QStringLiteral("changes")));
    for (const QString& renamed : r.renamedChildren)
        say(QStringLiteral("%1: %2.").arg(program, renamed));
    for (const SharedFolder::RoundResult::Held& h : r.heldRemovals)
        say(QStringLiteral("%1: %2 was removed on %3; open Tinyra to remove %2 here too or keep %2.")
                .arg(program, h.firstName, h.computer));
    for (const QString& skipped : r.skipped)
        say(QStringLiteral("%1: Skipped %2 (tried again next time).").arg(program, skipped));
    if (!r.problem.isEmpty())
        say(QStringLiteral("%1: %2").arg(program, r.problem));
    return r.problem.isEmpty() && r.skipped.isEmpty() && !r.cancelled;
}

// Shares the book in `folder`, or joins the shared book there.
int shareIn(const QString& program, const QString& folder) {
    FolderLock lock(Database::writerLockPath());
    if (!takeBook(program, lock) || !openStore(program))
        return Failure;
    SharedFolder::RoundResult result;
    try {
        const QString now = SharedFolder::status().bookFolder;
        const SharedFolder::Inspection inspection = SharedFolder::inspect(folder);
        if (!now.isEmpty() && QFileInfo(now) != QFileInfo(inspection.bookFolder)) {
            say(QStringLiteral("%1: this book is shared already, in %2.")
                    .arg(program, QDir::toNativeSeparators(now)));
            Database::close();
            return Failure;
        }
        int shown = -1;
        const SharedFolder::Progress progress = [&](qint64 done, qint64 total) {
            const int tenth = total > 0 ? int(done * 10 / total) : 10;
            if (tenth != shown && total > 0) {
                shown = tenth;
                say(QStringLiteral("%1: %2%").arg(program).arg(tenth * 10));
            }
            return true;
        };
        if (!inspection.problem.isEmpty()) {
            result.problem = inspection.problem;
        } else if (!now.isEmpty()) {
            say(QStringLiteral("%1: this book is shared in %2 already.")
                    .arg(program, QDir::toNativeSeparators(now)));
            result = SharedFolder::syncOnce(progress);
        } else if (inspection.holdsBook) {
            say(QStringLiteral("%1: %2 holds a shared book already; this book joins it.")
                    .arg(program, QDir::toNativeSeparators(inspection.bookFolder)));
            const QVector<SharedFolder::ChildMatch> matches = SharedFolder::matchesToAsk(folder);
            for (const SharedFolder::ChildMatch& m : matches)
                say(QStringLiteral("%1: %2 here and %2 on %3 are taken as the same child.")
                        .arg(program, m.firstName, m.otherComputer));
            result = SharedFolder::join(folder, matches, progress);
        } else {
            result = SharedFolder::share(folder, progress);
            if (result.problem.isEmpty())
                say(QStringLiteral("%1: this book is shared in %2.")
                        .arg(program, QDir::toNativeSeparators(inspection.bookFolder)));
        }
    } catch (const StoreError& e) {
        result.problem = e.message();
    }
    const bool fine = tell(program, result);
    Database::close();
    return fine ? Success : Failure;
}

// Writes the family album into `folder`.
int publishAlbum(const QString& program, const QString& folder, const Album::Choices& choices) {
    FolderLock lock(Database::writerLockPath());
    if (!openBookToRead(program, QStringLiteral("publish"), lock))
        return Failure;
    Album::Result result;
    try {
        for (const QString& child : choices.children)
            if (!Children::exists(child)) {
                say(QStringLiteral("%1: the book has no child named %2.").arg(program, child));
                Database::close();
                return Failure;
            }
        int shown = -1;
        result = Album::publish(folder, choices, AlbumDrawing(), [&](int done, int total) {
            const int tenth = total > 0 ? done * 10 / total : 10;
            if (tenth != shown) {
                shown = tenth;
                say(QStringLiteral("%1: publishing, %2%").arg(program).arg(tenth * 10));
            }
            return true;
        });
    } catch (const StoreError& e) {
        result.problem = e.message();
    }
    Database::close();
    if (result.unreadablePhotos > 0)
        say(QStringLiteral("%1: %2 photo(s) could not be read and were left out.")
                .arg(program)
                .arg(result.unreadablePhotos));
    if (!result.problem.isEmpty()) {
        say(QStringLiteral("%1: the album was not published.\n%2").arg(program, result.problem));
        return Failure;
    }
    say(QStringLiteral(
            "%1: the album is in %2 (%3 file(s) written, %4 unchanged, %5 removed). Open index.html "
            "in a browser.")
            .arg(program, QDir::toNativeSeparators(QDir(folder).absolutePath()))
            .arg(result.written)
            .arg(result.unchanged)
            .arg(result.removed));
    return Success;
}

// One round with the shared folder.
int syncNow(const QString& program) {
    if (!QFileInfo::exists(Database::filePath())) {
        say(QStringLiteral("%1: there is no book to share yet (%2 does not exist).")
                .arg(program, Database::filePath()));
        return Failure;
    }
    FolderLock lock(Database::writerLockPath());
    if (!takeBook(program, lock) || !openStore(program))
        return Failure;
    SharedFolder::RoundResult result;
    try {
        result = SharedFolder::syncOnce();
    } catch (const StoreError& e) {
        result.problem = e.message();
    }
    const bool fine = tell(program, result);
    Database::close();
    return fine ? Success : Failure;
}
} // namespace

std::optional<int> runCommandLine(int argc, char* argv[]) {
    // Only our own options take the program off its usual start; the application object's own
    // (-platform and the like) are left to it.
    bool ours = false;
    QString unknown;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        const QString name = arg.section(QLatin1Char('='), 0, 0);
        if (name == QLatin1String("--help") || name == QLatin1String("-h") ||
            name == QLatin1String("--version") || name == QLatin1String("-v") ||
            name == QLatin1String("--export") || name == QLatin1String("--import") ||
            name == QLatin1String("--share") || name == QLatin1String("--sync") ||
            name == QLatin1String("--album"))
            ours = true;
        else if (arg.startsWith(QLatin1String("--")) && !isQtOption(arg.mid(2)) && unknown.isEmpty())
            unknown = arg;
    }
    const QString program = programName(argv[0]);
    if (!ours && unknown.isEmpty())
        return std::nullopt;

    // The album draws its growth charts' text, which takes the font machinery of a GUI application;
    // without a screen it draws offscreen.
    std::unique_ptr<QCoreApplication> app;
    bool album = false;
    for (int i = 1; i < argc; ++i)
        album = album ||
                QString::fromLocal8Bit(argv[i]).section(QLatin1Char('='), 0, 0) == QLatin1String("--album");
    if (album) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
            qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("Tinyra"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TINYRA_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral(
            "Tinyra, a baby book. Without options it opens its window; these options work without one, "
            "on the book in %1.")
            .arg(Database::filePath()));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version of Tinyra."));
    const QCommandLineOption exportOption(
        QStringLiteral("export"),
        QStringLiteral("Write the whole book (every child, everything recorded "
                       "and the pictures) to FILE, a zip."),
        QStringLiteral("FILE"));
    const QCommandLineOption importOption(
        QStringLiteral("import"),
        QStringLiteral("Merge the book in FILE (written by --export or Export "
                       "Book) into this book."),
        QStringLiteral("FILE"));
    const QCommandLineOption shareOption(
        QStringLiteral("share"),
        QStringLiteral("Share this book through FOLDER, a folder a file-sync program keeps in step "
                       "between computers. When FOLDER holds a shared book already, this book joins "
                       "it; children of the same first name are taken as the same child."),
        QStringLiteral("FOLDER"));
    const QCommandLineOption syncOption(
        QStringLiteral("sync"),
        QStringLiteral("Take in the changes the other computers left in the shared folder and leave "
                       "this computer's changes there."));
    const QCommandLineOption albumOption(
        QStringLiteral("album"),
        QStringLiteral("Write the family album into FOLDER: web pages and photos that open in any browser. "
                       "Publishing again writes only what changed. The health chapters are left out "
                       "unless --with-health is given."),
        QStringLiteral("FOLDER"));
    const QCommandLineOption childOption(
        QStringLiteral("child"),
        QStringLiteral("With --album: publish this child (by first name); may be given more than once. "
                       "Without it, every child."),
        QStringLiteral("NAME"));
    const QCommandLineOption leaveBirthOption(
        QStringLiteral("leave-out-birth"),
        QStringLiteral("With --album: show only the month and year of birth, and no place of birth."));
    const QCommandLineOption leaveFamilyOption(
        QStringLiteral("leave-out-family-dates"),
        QStringLiteral("With --album: leave out the family tree's dates."));
    const QCommandLineOption healthOption(
        QStringLiteral("with-health"),
        QStringLiteral("With --album: include doctor visits, childhood diseases, immunizations and the "
                       "pediatrician."));
    const QCommandLineOption originalsOption(
        QStringLiteral("with-originals"),
        QStringLiteral("With --album: include the original photos beside the web copies."));
    parser.addOptions({help, version, exportOption, importOption, shareOption, syncOption, albumOption,
                       childOption, leaveBirthOption, leaveFamilyOption, healthOption, originalsOption});
    auto usage = [&](const QString& problem) {
        say(QStringLiteral("%1: %2\nTry '%1 --help'.").arg(program, problem));
        return Usage;
    };
    if (!parser.parse(QCoreApplication::arguments()))
        return usage(parser.errorText());
    if (parser.isSet(help)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return Success;
    }
    if (parser.isSet(version)) {
        std::fputs(qPrintable(QStringLiteral("Tinyra %1\n").arg(QStringLiteral(TINYRA_VERSION))), stdout);
        return Success;
    }
    if (!parser.positionalArguments().isEmpty())
        return usage(QStringLiteral("unexpected argument '%1'.").arg(parser.positionalArguments().first()));
    const bool exporting = parser.isSet(exportOption), importing = parser.isSet(importOption),
               sharing = parser.isSet(shareOption), syncing = parser.isSet(syncOption),
               publishing = parser.isSet(albumOption);
    if (int(exporting) + int(importing) + int(sharing) + int(syncing) + int(publishing) > 1)
        return usage(
            QStringLiteral("--export, --import, --share, --sync and --album cannot be given together."));
    if (!publishing &&
        (parser.isSet(childOption) || parser.isSet(leaveBirthOption) || parser.isSet(leaveFamilyOption) ||
         parser.isSet(healthOption) || parser.isSet(originalsOption)))
        return usage(QStringLiteral("--child, --leave-out-birth, --leave-out-family-dates, --with-health and "
                                    "--with-originals go with --album."));
    if (publishing) {
        if (parser.value(albumOption).isEmpty())
            return usage(QStringLiteral("--album needs the folder to write the album in."));
        Album::Choices choices;
        choices.children = parser.values(childOption);
        choices.leaveOutBirth = parser.isSet(leaveBirthOption);
        choices.leaveOutFamilyDates = parser.isSet(leaveFamilyOption);
        choices.leaveOutHealth = !parser.isSet(healthOption);
        choices.includeOriginals = parser.isSet(originalsOption);
        return publishAlbum(program, parser.value(albumOption), choices);
    }
    if (sharing && parser.value(shareOption).isEmpty())
        return usage(QStringLiteral("--share needs the folder to share the book in."));
    if (sharing)
        return shareIn(program, parser.value(shareOption));
    if (syncing)
        return syncNow(program);
    if (exporting && parser.value(exportOption).isEmpty())
        return usage(QStringLiteral("--export needs the name of the file to write."));
    if (importing && parser.value(importOption).isEmpty())
        return usage(QStringLiteral("--import needs the name of the file to read."));
    if (exporting)
        return exportTo(program, parser.value(exportOption));
    if (importing)
        return importFrom(program, parser.value(importOption));
    return usage(QStringLiteral("unknown option '%1'.").arg(unknown));
}
