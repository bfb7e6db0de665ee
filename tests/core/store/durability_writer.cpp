// A helper process for the durability tests: it opens the store under the data home it is given and
// appends journal entries for the child "Kid" through the Entry store, reporting on stdout the
// number of each entry once its append has returned.
//
//   durability_writer append <data home> <first number>
//       appends entries N<first>, N<first+1>, ... until it is killed
//   durability_writer limited <data home> <first number> <extra bytes>
//       the same, but no file may grow beyond its size at the start plus <extra bytes>; stops at
//       the first failed append and reports "error <message>", then exits normally
//   durability_writer once <data home> <number>
//       appends the one entry N<number> and exits
#include "core/book/EntryStore.h"
#include "core/store/Database.h"
#include "core/store/StoreError.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <unistd.h>

namespace {
void say(const QByteArray& line) {
    const QByteArray out = line + '\n';
    // One write per line: a line on the pipe is there before the next append starts.
    for (qsizetype done = 0; done < out.size();) {
        const ssize_t n = ::write(STDOUT_FILENO, out.constData() + done, size_t(out.size() - done));
        if (n <= 0)
            std::_Exit(3);
        done += n;
    }
}

// A text whose length varies from a few characters to several pages, so appends span pages.
QString textFor(qint64 n) {
    const int length = int((n * 7919) % 9000);
    return QStringLiteral("Entry ") + QString::number(n) + QLatin1Char(' ') +
           QString(length, QChar(char16_t(u'a' + n % 26)));
}
} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4)
        return 2;
    const QString mode = args.at(1);
    qputenv("XDG_DATA_HOME", args.at(2).toUtf8());
    qint64 n = args.at(3).toLongLong();
    try {
        Database::open();
        Entries().freshStart(QStringLiteral("Kid"));
        say("open");
        if (mode == QLatin1String("limited")) {
            // Writes past the limit fail with EFBIG instead of killing the process.
            std::signal(SIGXFSZ, SIG_IGN);
            const qint64 base = QFileInfo(Database::filePath()).size();
            const rlim_t limit = rlim_t(base + args.value(4).toLongLong());
            const rlimit rl{limit, limit};
            if (setrlimit(RLIMIT_FSIZE, &rl) != 0)
                return 4;
        }
        for (const qint64 last = mode == QLatin1String("once") ? n : -1; last < 0 || n <= last; ++n) {
            auto entry = std::make_shared<DiaryType>(
                DiaryType{QStringLiteral("01-02-03"), QStringLiteral("N") + QString::number(n), textFor(n)});
            try {
                Entries().append(DiaryList::JournalEntries, entry);
            } catch (const StoreError& e) {
                if (mode != QLatin1String("limited"))
                    throw;
                say("error " + e.message().toUtf8().replace('\n', ' '));
                say("count " + QByteArray::number(Entries().count(DiaryList::JournalEntries)));
                Entries().release();
                Database::close();
                return 0;
            }
            say(QByteArray::number(n));
        }
        Entries().release();
        Database::close();
        return 0;
    } catch (const StoreError& e) {
        say("fatal " + e.message().toUtf8().replace('\n', ' '));
        return 1;
    }
}
