#include "core/album/Album.h"

#include "core/book/ChildProfile.h"
#include "core/book/ChildRecords.h"
#include "core/book/Children.h"
#include "core/diaries/DiarySheets.h"
#include "core/milestones/MilestoneSheets.h"
#include "core/overview/ChildSummary.h"
#include "core/overview/Timeline.h"
#include "core/store/Database.h"
#include "core/store/FastQuery.h"
#include "core/store/PhotoFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QMutex>
#include <QSaveFile>
#include <QSet>
#include <QSqlQuery>
#include <QThread>
#include <QThreadPool>

#include <atomic>
#include <map>

namespace Album {
const QString ManifestName = QStringLiteral(".tinyra-album");

namespace {
const int kWebSide = 1600;
const int kThumbSide = 480;
const int kNewestOnIndex = 8;
const char* const kManifestHeader = "tinyra-album 1";

// ---- Choices kept in the book ------------------------------------------------------------------------
QString preference(const QString& name, const QString& fallback) {
    QSqlQuery q = Database::exec(QStringLiteral("SELECT value FROM PREFERENCES WHERE name = ?"),
                                 {QStringLiteral("album.") + name});
    return q.next() ? q.value(0).toString() : fallback;
}
void setPreference(const QString& name, const QString& value) {
    Database::exec(QStringLiteral("INSERT OR REPLACE INTO PREFERENCES (name, value) VALUES (?, ?)"),
                   {QStringLiteral("album.") + name, value});
}
QString yesNo(bool b) {
    return b ? QStringLiteral("yes") : QStringLiteral("no");
}

// ---- Words -------------------------------------------------------------------------------------------
QString esc(const QString& text) {
    return text.toHtmlEscaped();
}

// The parent's remarks as paragraphs: a blank line starts a new one, a line break stays one.
QString paragraphs(const QString& text) {
    QString out;
    for (const QString& para : text.split(QStringLiteral("\n\n"), Qt::SkipEmptyParts)) {
        const QString trimmed = para.trimmed();
        if (trimmed.isEmpty())
            continue;
        out += QStringLiteral("<p>") + esc(trimmed).replace(QLatin1Char('\n'), QStringLiteral("<br>")) +
               QStringLiteral("</p>\n");
    }
    return out;
}

QString dayText(const QDate& date) {
    return QLocale(QLocale::English).toString(date, QStringLiteral("d MMMM yyyy"));
}
QString monthText(const QDate& date) {
    return QLocale(QLocale::English).toString(date, QStringLiteral("MMMM yyyy"));
}
// A stored date in words, or as typed when it is no day.
QString shownDate(const QString& typed, const QDate& today, bool monthOnly = false) {
    const StoredDate d = StoredDate::read(typed, today);
    if (d.isValid())
        return monthOnly ? monthText(d.date()) : dayText(d.date());
    return d.isBlank() ? QString() : typed.trimmed();
}

QString hashHex(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

// ---- What a child's pages hold ------------------------------------------------------------------------
struct Moment {
    QDate date;
    QString when; // the date in words, or as typed
    QString kind; // "Journal", "Growth", ...
    QString title;
    QString text;
    QStringList photos; // stored photo names
    QString child;      // first name, on the index
};

struct ChildPages {
    QString first;
    QString folder;
    ChildProfile profile;
    QString born; // "Born 3 March 2024 in Springfield" or "Born March 2024"
    QString age;
    QString picture;         // stored photo name of the child's picture
    QVector<Moment> moments; // newest first, undated last
    QVector<GrowthType> growth;
    QHash<QString, QStringList> birthdayPictures; // birthday title -> stored photo names
};

struct Picture {
    QString source; // stored name
    QString large, small, original;
    bool ready = false; // the files are in place
    bool failed = false;
    qint64 largeSize = 0, smallSize = 0;
    QString error;
};

struct Entry {
    qint64 size = 0;
    QString hash; // pages only: pictures are named by their source
};
using Manifest = std::map<QString, Entry>;

bool safeRelative(const QString& path) {
    return !path.isEmpty() && !path.startsWith(QLatin1Char('/')) && !path.contains(QLatin1String("..")) &&
           !path.contains(QLatin1Char('\\')) && path != ManifestName;
}

Manifest readManifest(const QString& file) {
    Manifest m;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return m;
    if (f.readLine().trimmed() != kManifestHeader)
        return m;
    while (!f.atEnd()) {
        const QList<QByteArray> parts = f.readLine().trimmed().split('\t');
        if (parts.size() < 2)
            continue;
        const QString path = QString::fromUtf8(parts[0]);
        if (!safeRelative(path))
            continue;
        m[path] = Entry{parts[1].toLongLong(), parts.size() > 2 ? QString::fromLatin1(parts[2]) : QString()};
    }
    return m;
}

QByteArray manifestBytes(const Manifest& m) {
    QByteArray out = QByteArray(kManifestHeader) + '\n';
    for (const auto& [path, entry] : m)
        out += path.toUtf8() + '\t' + QByteArray::number(entry.size) + '\t' + entry.hash.toLatin1() + '\n';
    return out;
}

bool writeFile(const QString& path, const QByteArray& bytes, QString* error) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
        *error =
            QStringLiteral("Could not write %1: %2").arg(QDir::toNativeSeparators(path), f.errorString());
        return false;
    }
    return true;
}

class Writer {
public:
    Writer(const QString& folder, const Choices& choices, const Drawing& drawing, const Progress& progress,
           const QDate& today)
        : m_root(QDir(folder).absolutePath()), m_choices(choices), m_drawing(drawing), m_progress(progress),
          m_today(today) {}

    Result run();

private:
    ChildPages readChild(const QString& first);
    QString pictureFor(const QString& stored);
    bool makePictures();
    void writePages();
    void page(const QString& rel, const QByteArray& bytes);
    void finish(bool removeOld);

    // Page parts.
    QString head(const QString& title, int depth) const;
    QString nav(const ChildPages* child, const QString& here) const;
    QString foot() const;
    QString photosHtml(const QStringList& photos, const QString& alt, int depth) const;
    QString momentHtml(const Moment& m, int depth, int level, bool withChild) const;
    QString indexPage() const;
    QString momentsPage(const ChildPages& c) const;
    QString growthPage(const ChildPages& c);
    QString firstsPage(const ChildPages& c) const;
    QString celebrationsPage(const ChildPages& c) const;
    QString familyPage(const ChildPages& c) const;
    QString healthPage(const ChildPages& c) const;
    QString wrap(const ChildPages* c, const QString& here, const QString& title, const QString& body) const;

    QString m_root;
    Choices m_choices;
    const Drawing& m_drawing;
    Progress m_progress;
    QDate m_today;
    QVector<ChildPages> m_children;
    QVector<Picture> m_pictures;
    QHash<QString, int> m_pictureIndex; // stored name -> m_pictures
    Manifest m_old, m_now;
    Result m_result;
    int m_done = 0, m_total = 0;
};

QString Writer::pictureFor(const QString& stored) {
    if (stored.isEmpty())
        return QString();
    if (!m_pictureIndex.contains(stored)) {
        // The stored name is the photo's SHA-256; the album names its copies after it.
        const QString base = QFileInfo(stored).completeBaseName();
        bool hex = base.size() >= 24;
        for (QChar ch : base)
            hex = hex && ((ch >= QLatin1Char('0') && ch <= QLatin1Char('9')) ||
                          (ch >= QLatin1Char('a') && ch <= QLatin1Char('f')));
        const QString key = hex ? base.left(24) : hashHex(stored.toUtf8()).left(24);
        Picture p;
        p.source = stored;
        p.large = QStringLiteral("pictures/%1.jpg").arg(key);
        p.small = QStringLiteral("pictures/%1-small.jpg").arg(key);
        if (m_choices.includeOriginals) {
            QString suffix = QFileInfo(stored).suffix().toLower();
            bool plain = !suffix.isEmpty() && suffix.size() <= 4;
            for (QChar ch : suffix)
                plain = plain && ch.isLetterOrNumber() && ch.unicode() < 128;
            p.original = QStringLiteral("originals/%1.%2").arg(key, plain ? suffix : QStringLiteral("bin"));
        }
        m_pictureIndex.insert(stored, int(m_pictures.size()));
        m_pictures.append(p);
    }
    return stored;
}

ChildPages Writer::readChild(const QString& first) {
    ChildPages c;
    c.first = first;
    c.folder = childFolder(first);
    c.profile = ChildProfile::read(first, m_today);
    const ChildSummary::Summary summary = ChildSummary::read(first, m_today, 0);
    c.picture = pictureFor(summary.pictureFile);
    if (c.profile.birth.isValid()) {
        c.age = ChildSummary::ageInWords(c.profile.birth.date(), m_today);
        c.born = QStringLiteral("Born ") + (m_choices.leaveOutBirth ? monthText(c.profile.birth.date())
                                                                    : dayText(c.profile.birth.date()));
        if (!m_choices.leaveOutBirth) {
            QSqlQuery q =
                Database::exec(QStringLiteral("SELECT Hospital, BirthCity, BirthState, BirthCountry "
                                              "FROM CHILD WHERE FirstName = ?"),
                               {first});
            if (q.next()) {
                QStringList place;
                for (int i = 1; i < 4; ++i)
                    if (!q.value(i).toString().trimmed().isEmpty())
                        place << q.value(i).toString().trimmed();
                const QString hospital = q.value(0).toString().trimmed();
                if (!hospital.isEmpty())
                    c.born += QStringLiteral(" at ") + hospital;
                if (!place.isEmpty())
                    c.born += QStringLiteral(" in ") + place.join(QStringLiteral(", "));
            }
        }
    }

    // Every diary entry's whole remarks and photos, read once for the child.
    QHash<qint64, QPair<QString, QString>> entries; // seq -> (uid, text)
    {
        FastQuery q(QStringLiteral("SELECT seq, uid, Text FROM ENTRIES WHERE child = ?"), {first});
        while (q.next())
            entries.insert(q.integer(0), {q.text(1), q.text(2)});
    }
    QHash<QString, QStringList> photos; // uid -> stored names
    {
        FastQuery q(
            QStringLiteral("SELECT entry, file FROM ENTRYPHOTOS WHERE child = ? ORDER BY entry, position"),
            {first});
        while (q.next())
            photos[q.text(0)].append(q.text(1));
    }

    const ChildTimeline::Index index = ChildTimeline::Index::read(first, m_today);
    for (int i = 0; i < index.size(); ++i) {
        const ChildTimeline::Item item = index.item(i);
        Moment m;
        m.child = first;
        m.date = item.date;
        m.title = item.title;
        switch (item.kind) {
        case ChildTimeline::Kind::Diary: {
            if (m_choices.leaveOutHealth &&
                (item.list == DiaryList::DoctorVisits || item.list == DiaryList::ChildhoodDiseases))
                continue;
            m.kind = ChildSummary::diaryName(item.list);
            const auto entry = entries.value(item.seq);
            m.text = entry.second;
            for (const QString& file : photos.value(entry.first))
                m.photos << pictureFor(file);
            break;
        }
        case ChildTimeline::Kind::Growth:
            m.kind = QStringLiteral("Growth");
            m.text = item.detail.section(QStringLiteral(": "), 1);
            break;
        case ChildTimeline::Kind::Tooth:
            m.kind = QStringLiteral("Teeth");
            m.title = QStringLiteral("New tooth: ") + MilestoneSheets::toothKind(item.position).toLower();
            break;
        case ChildTimeline::Kind::Skill:
            m.kind = QStringLiteral("Firsts");
            if (!item.date.isValid())
                m.text = item.dateText;
            break;
        case ChildTimeline::Kind::Birthday:
            m.kind = QStringLiteral("Birthdays");
            m.text = item.detail;
            break;
        case ChildTimeline::Kind::Occasion:
            m.kind = QStringLiteral("Holidays and events");
            m.text = MilestoneSheets::occasionRemarks(first, item.key, item.title);
            break;
        }
        const bool birthday = item.kind == ChildTimeline::Kind::Birthday;
        m.when = item.date.isValid()
                     ? ((birthday && m_choices.leaveOutBirth) ? monthText(item.date) : dayText(item.date))
                     : shownDate(item.dateText, m_today);
        c.moments.append(m);
    }

    for (const QString& title : MilestoneSheets::birthdayTitles())
        for (int n = 1; n <= 2; ++n)
            if (const QString file =
                    ChildRecords::pictureFile(first, MilestoneSheets::birthdayPictureKey(title, n));
                !file.isEmpty())
                c.birthdayPictures[title] << pictureFor(file);

    FastQuery g(
        QStringLiteral("SELECT Date, Height, WtLbs, WtOz, Head, WtKg, Units FROM GROWTH WHERE child = ? "
                       "ORDER BY seq"),
        {first});
    while (g.next())
        c.growth.append(
            GrowthType{g.text(0), g.text(1), g.text(2), g.text(3), g.text(4), g.text(5), g.text(6)});
    return c;
}

// The web copies of every photo not in the folder yet, on worker threads.
bool Writer::makePictures() {
    QVector<int> todo;
    for (int i = 0; i < m_pictures.size(); ++i) {
        Picture& p = m_pictures[i];
        const auto large = m_old.find(p.large), small = m_old.find(p.small);
        const QFileInfo li(m_root + QLatin1Char('/') + p.large), si(m_root + QLatin1Char('/') + p.small);
        if (large != m_old.end() && small != m_old.end() && li.exists() && si.exists() &&
            li.size() == large->second.size && si.size() == small->second.size) {
            p.ready = true;
            p.largeSize = li.size();
            p.smallSize = si.size();
            m_result.unchanged += 2;
        } else {
            todo.append(i);
        }
    }
    m_total += int(todo.size());

    QThreadPool pool;
    pool.setMaxThreadCount(qMax(1, QThread::idealThreadCount()));
    std::atomic<bool> stop{false};
    std::atomic<int> done{0};
    for (int i : todo) {
        Picture* p = &m_pictures[i];
        const QString source = PhotoFiles::pathOf(p->source);
        pool.start([this, p, source, &stop, &done] {
            if (!stop) {
                QByteArray large, small;
                if (!m_drawing.picture(source, kWebSide, kThumbSide, &large, &small)) {
                    p->failed = true;
                } else if (writeFile(m_root + QLatin1Char('/') + p->large, large, &p->error) &&
                           writeFile(m_root + QLatin1Char('/') + p->small, small, &p->error)) {
                    p->ready = true;
                    p->largeSize = large.size();
                    p->smallSize = small.size();
                }
            }
            ++done;
        });
    }
    const int before = m_done;
    while (!pool.waitForDone(50)) {
        if (m_progress && !stop && !m_progress(before + done, m_total)) {
            stop = true;
            pool.clear();
        }
    }
    // The pictures the workers filled in are read after this load: it pairs with each worker's last
    // step, its count (the pool's own wait is made of locks the thread checker cannot see).
    static_cast<void>(done.load(std::memory_order_acquire));
    m_done = before + int(todo.size());

    for (Picture& p : m_pictures) {
        if (p.ready) {
            m_now[p.large] = Entry{p.largeSize, QString()};
            m_now[p.small] = Entry{p.smallSize, QString()};
            if (!p.error.isEmpty())
                continue;
        }
        if (p.failed)
            ++m_result.unreadablePhotos;
        if (!p.error.isEmpty() && m_result.problem.isEmpty())
            m_result.problem = p.error;
    }
    for (int i : todo)
        if (m_pictures[i].ready)
            m_result.written += 2;
    if (stop) {
        m_result.cancelled = true;
        return false;
    }

    // The originals, byte for byte, where the parent asked for them.
    for (Picture& p : m_pictures) {
        if (p.original.isEmpty() || !p.ready)
            continue;
        const QString target = m_root + QLatin1Char('/') + p.original;
        const QFileInfo source(PhotoFiles::pathOf(p.source)), there(target);
        const auto known = m_old.find(p.original);
        if (known != m_old.end() && there.exists() && there.size() == source.size()) {
            m_now[p.original] = known->second;
            ++m_result.unchanged;
            continue;
        }
        const QByteArray bytes = PhotoFiles::read(p.source);
        QString error;
        if (bytes.isEmpty() || !writeFile(target, bytes, &error)) {
            if (m_result.problem.isEmpty())
                m_result.problem = error;
            p.original.clear();
            continue;
        }
        m_now[p.original] = Entry{bytes.size(), QString()};
        ++m_result.written;
    }
    return m_result.problem.isEmpty();
}

void Writer::page(const QString& rel, const QByteArray& bytes) {
    const QString hash = hashHex(bytes);
    const auto known = m_old.find(rel);
    const QFileInfo there(m_root + QLatin1Char('/') + rel);
    m_now[rel] = Entry{bytes.size(), hash};
    if (known != m_old.end() && known->second.hash == hash && there.exists() &&
        there.size() == bytes.size()) {
        ++m_result.unchanged;
        return;
    }
    QString error;
    if (!writeFile(there.filePath(), bytes, &error)) {
        m_now.erase(rel);
        if (m_result.problem.isEmpty())
            m_result.problem = error;
        return;
    }
    ++m_result.written;
}

// ---- The pages ---------------------------------------------------------------------------------------
const char* const kStyle = R"css(/* The family album's one style sheet. */
:root { color-scheme: light; }
* { box-sizing: border-box; }
html { -webkit-text-size-adjust: 100%; }
body { margin: 0; background: #faf7f2; color: #2b2724; font: 1.05rem/1.55 system-ui, -apple-system, "Segoe UI", Roboto, "Noto Sans", "DejaVu Sans", sans-serif; overflow-wrap: break-word; }
a { color: #1d5a85; }
a:focus-visible { outline: 3px solid #1d5a85; outline-offset: 2px; }
.skip { position: absolute; left: -999px; }
.skip:focus { left: 1rem; top: 1rem; background: #fff; padding: .5rem 1rem; z-index: 2; }
.top { background: #efe6da; border-bottom: 1px solid #e0d3c2; }
.top .inner, .page, .foot { max-width: 64rem; margin: 0 auto; padding: 0 1rem; }
.top .inner { display: flex; flex-wrap: wrap; gap: .25rem 1rem; align-items: baseline; padding-top: .6rem; padding-bottom: .6rem; }
.top .home { font-weight: 700; color: #6b3f1f; text-decoration: none; margin-right: auto; }
.top ul { display: flex; flex-wrap: wrap; gap: .25rem .9rem; list-style: none; margin: 0; padding: 0; }
.top li a { color: #4a3527; }
.top li a[aria-current] { font-weight: 700; color: #6b3f1f; text-decoration: none; border-bottom: 2px solid #c98b5a; }
h1 { font-size: 1.9rem; line-height: 1.2; color: #6b3f1f; margin: 1.5rem 0 .5rem; font-weight: 650; }
h2 { font-size: 1.35rem; color: #4a3527; margin: 2rem 0 .75rem; padding-bottom: .25rem; border-bottom: 1px solid #e0d3c2; }
h3 { font-size: 1.1rem; margin: 0 0 .2rem; }
.lead { color: #5a4e45; margin-top: 0; }
.cards { display: grid; grid-template-columns: repeat(auto-fill, minmax(16rem, 1fr)); gap: 1rem; }
.card { background: #fff; border: 1px solid #e6dccf; border-radius: 12px; padding: 1rem; display: flex; gap: 1rem; align-items: flex-start; }
.card img, .card .initial { width: 6rem; height: 6rem; border-radius: 50%; object-fit: cover; flex: none; }
.card .initial { display: flex; align-items: center; justify-content: center; background: #e8d5c0; color: #6b3f1f; font-size: 2.5rem; font-weight: 700; }
.card h2 { margin: 0 0 .25rem; border: 0; padding: 0; font-size: 1.3rem; }
.card p { margin: 0 0 .4rem; color: #5a4e45; }
.card ul { margin: .4rem 0 0; padding-left: 1.1rem; }
.moment { background: #fff; border: 1px solid #e6dccf; border-radius: 12px; padding: .9rem 1rem; margin: 0 0 1rem; }
.meta { color: #5f5249; font-size: .92rem; margin: 0 0 .4rem; }
.moment p { margin: .4rem 0; }
.photos { display: grid; grid-template-columns: repeat(auto-fill, minmax(9rem, 1fr)); gap: .5rem; margin-top: .6rem; }
.photos a { display: block; border-radius: 8px; overflow: hidden; background: #eee5da; }
.photos img { display: block; width: 100%; aspect-ratio: 1; object-fit: cover; }
.chart { background: #fff; border: 1px solid #e6dccf; border-radius: 12px; padding: .75rem; margin: 0 0 1rem; max-width: 52rem; }
.chart img { display: block; width: 100%; height: auto; }
.chart .narrow { display: none; }
@media screen and (max-width: 36rem) { .chart .wide { display: none; } .chart .narrow { display: block; } }
.table { overflow-x: auto; }
table { border-collapse: collapse; width: 100%; background: #fff; }
th, td { text-align: left; padding: .45rem .6rem; border-bottom: 1px solid #e6dccf; vertical-align: top; }
th { background: #efe6da; color: #3d2c20; }
.tree { display: grid; grid-template-columns: repeat(auto-fill, minmax(14rem, 1fr)); gap: .75rem; margin: 0; padding: 0; list-style: none; }
.tree li { background: #fff; border: 1px solid #e6dccf; border-radius: 12px; padding: .7rem .9rem; }
.tree span { display: block; }
.tree .who { color: #5f5249; font-size: .92rem; }
.tree .name { font-weight: 600; }
.tree .more { color: #5a4e45; }
.foot { color: #5f5249; font-size: .9rem; padding-top: 2rem; padding-bottom: 2rem; }
@media (max-width: 30rem) { body { font-size: 1rem; } h1 { font-size: 1.6rem; } .card img, .card .initial { width: 4.5rem; height: 4.5rem; } }
@media print { .top, .skip, .foot { display: none; } body { background: #fff; } .moment, .card, .chart, .tree li { break-inside: avoid; border-color: #999; } a { color: inherit; text-decoration: none; } }
)css";

QString up(int depth) {
    return depth > 0 ? QStringLiteral("../") : QString();
}

QString Writer::head(const QString& title, int depth) const {
    return QStringLiteral("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                          "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                          "<meta name=\"robots\" content=\"noindex\">\n<title>%1</title>\n"
                          "<link rel=\"stylesheet\" href=\"%2style.css\">\n</head>\n<body>\n"
                          "<a class=\"skip\" href=\"#main\">Skip to the page</a>\n")
        .arg(esc(title), up(depth));
}

const struct {
    const char* file;
    const char* name;
} kChildPages[] = {{"moments.html", "Moments"},    {"growth.html", "Growth"},
                   {"firsts.html", "Firsts"},      {"celebrations.html", "Celebrations"},
                   {"family.html", "Family tree"}, {"health.html", "Health"}};

QString Writer::nav(const ChildPages* child, const QString& here) const {
    QString out = QStringLiteral("<div class=\"top\" role=\"banner\"><div class=\"inner\">"
                                 "<a class=\"home\" href=\"%1index.html\">Family album</a>\n")
                      .arg(up(child ? 1 : 0));
    if (child) {
        out += QStringLiteral("<ul role=\"navigation\" aria-label=\"%1's pages\">\n")
                   .arg(esc(child->profile.firstName));
        for (const auto& p : kChildPages) {
            const QString file = QString::fromLatin1(p.file);
            if (file == QLatin1String("health.html") && m_choices.leaveOutHealth)
                continue;
            out += QStringLiteral("<li><a href=\"%1\"%2>%3</a></li>\n")
                       .arg(file, file == here ? QStringLiteral(" aria-current=\"page\"") : QString(),
                            QString::fromLatin1(p.name));
        }
        out += QStringLiteral("</ul>\n");
    }
    return out + QStringLiteral("</div></div>\n");
}

QString Writer::foot() const {
    return QStringLiteral(
               "<div class=\"foot\" role=\"contentinfo\">Made with Tinyra on %1.</div>\n</body>\n</html>\n")
        .arg(esc(dayText(m_today)));
}

QString Writer::wrap(const ChildPages* c, const QString& here, const QString& title,
                     const QString& body) const {
    return head(title, c ? 1 : 0) + nav(c, here) +
           QStringLiteral("<div class=\"page\" id=\"main\" role=\"main\">\n") + body +
           QStringLiteral("</div>\n") + foot();
}

QString Writer::photosHtml(const QStringList& photos, const QString& alt, int depth) const {
    QString out;
    int n = 0;
    for (const QString& stored : photos) {
        const Picture& p = m_pictures.at(m_pictureIndex.value(stored));
        if (!p.ready)
            continue;
        ++n;
        const QString text = photos.size() > 1 ? QStringLiteral("%1, photo %2").arg(alt).arg(n) : alt;
        out += QStringLiteral("<a href=\"%1%2\"><img src=\"%1%3\" alt=\"%4\" loading=\"lazy\"></a>")
                   .arg(up(depth), p.large, p.small, esc(text));
        if (!p.original.isEmpty())
            out += QStringLiteral("<a href=\"%1%2\">Original photo %3</a>").arg(up(depth), p.original).arg(n);
    }
    return out.isEmpty() ? out : QStringLiteral("<div class=\"photos\">") + out + QStringLiteral("</div>\n");
}

QString Writer::momentHtml(const Moment& m, int depth, int level, bool withChild) const {
    QString meta = m.kind;
    if (!m.when.isEmpty())
        meta = m.when + QStringLiteral(" · ") + meta;
    if (withChild)
        meta += QStringLiteral(" · ") + m.child;
    const QString alt = m.when.isEmpty() ? m.title : m.title + QStringLiteral(", ") + m.when;
    return QStringLiteral("<div class=\"moment\">\n<h%1>%2</h%1>\n<p class=\"meta\">%3</p>\n")
               .arg(level)
               .arg(esc(m.title.isEmpty() ? m.kind : m.title), esc(meta)) +
           paragraphs(m.text) + photosHtml(m.photos, alt, depth) + QStringLiteral("</div>\n");
}

QString Writer::indexPage() const {
    QString body = QStringLiteral("<h1>Family album</h1>\n<div class=\"cards\">\n");
    QVector<Moment> newest;
    for (const ChildPages& c : m_children) {
        const QString name = c.profile.fullName().isEmpty() ? c.first : c.profile.fullName();
        body += QStringLiteral("<div class=\"card\">");
        const int at = m_pictureIndex.value(c.picture, -1);
        if (at >= 0 && m_pictures.at(at).ready)
            body += QStringLiteral("<img src=\"%1\" alt=\"%2\">").arg(m_pictures.at(at).small, esc(name));
        else
            body += QStringLiteral("<span class=\"initial\" aria-hidden=\"true\">%1</span>")
                        .arg(esc(name.left(1)));
        body += QStringLiteral("<div><h2><a href=\"%1/moments.html\">%2</a></h2>\n").arg(c.folder, esc(name));
        if (!c.age.isEmpty())
            body += QStringLiteral("<p>%1</p>").arg(esc(c.age));
        if (!c.born.isEmpty())
            body += QStringLiteral("<p>%1</p>").arg(esc(c.born));
        body += QStringLiteral("<ul>");
        for (const auto& p : kChildPages) {
            if (QLatin1String(p.file) == QLatin1String("health.html") && m_choices.leaveOutHealth)
                continue;
            body += QStringLiteral("<li><a href=\"%1/%2\">%3</a></li>")
                        .arg(c.folder, QString::fromLatin1(p.file), QString::fromLatin1(p.name));
        }
        body += QStringLiteral("</ul></div></div>\n");
        for (const Moment& m : c.moments)
            if (m.date.isValid() && newest.size() < kNewestOnIndex * int(m_children.size()))
                newest.append(m);
    }
    body += QStringLiteral("</div>\n");
    std::stable_sort(newest.begin(), newest.end(),
                     [](const Moment& a, const Moment& b) { return a.date > b.date; });
    if (newest.size() > kNewestOnIndex)
        newest.resize(kNewestOnIndex);
    if (!newest.isEmpty()) {
        body += QStringLiteral("<h2>Newest moments</h2>\n");
        for (const Moment& m : newest)
            body += momentHtml(m, 0, 3, m_children.size() > 1);
    }
    return wrap(nullptr, QString(), QStringLiteral("Family album"), body);
}

QString Writer::momentsPage(const ChildPages& c) const {
    QString body = QStringLiteral("<h1>%1's moments</h1>\n").arg(esc(c.profile.firstName));
    if (c.moments.isEmpty())
        body += QStringLiteral("<p class=\"lead\">Nothing is recorded yet.</p>\n");
    QString month;
    bool undated = false;
    for (const Moment& m : c.moments) {
        if (m.date.isValid()) {
            const QString now = monthText(m.date);
            if (now != month) {
                month = now;
                body += QStringLiteral("<h2>%1</h2>\n").arg(esc(now));
            }
        } else if (!undated) {
            undated = true;
            body += QStringLiteral("<h2>Not dated</h2>\n");
        }
        body += momentHtml(m, 1, 3, false);
    }
    return wrap(&c, QStringLiteral("moments.html"), c.profile.firstName + QStringLiteral("'s moments"), body);
}

QString Writer::growthPage(const ChildPages& c) {
    using GrowthReference::Measure;
    const GrowthUnits::System units = GrowthUnits::preferred();
    const GrowthPlot::Plot plot = GrowthPlot::forChild(c.first, c.growth, m_today);
    QString body = QStringLiteral("<h1>%1's growth</h1>\n").arg(esc(c.profile.firstName));
    if (c.growth.isEmpty())
        body += QStringLiteral("<p class=\"lead\">No measurements are recorded yet.</p>\n");
    const struct {
        Measure measure;
        const char* file;
        const char* name;
    } charts[] = {{Measure::Weight, "growth-weight", "Weight"},
                  {Measure::Height, "growth-height", "Length and height"},
                  {Measure::Head, "growth-head", "Head circumference"}};
    bool bands = false;
    for (const auto& chart : charts) {
        const QVector<GrowthPlot::Point>& points = plot.points(chart.measure);
        if (points.isEmpty())
            continue;
        // A wide chart for desktops and paper, a narrower one whose words a phone can read.
        const QString wide = QLatin1String(chart.file) + QStringLiteral(".svg");
        const QString narrow = QLatin1String(chart.file) + QStringLiteral("-phone.svg");
        page(c.folder + QLatin1Char('/') + wide, m_drawing.growthChart(plot, chart.measure, units, 820, 520));
        page(c.folder + QLatin1Char('/') + narrow,
             m_drawing.growthChart(plot, chart.measure, units, 420, 400));
        const QString alt = QStringLiteral("%1 chart: %2 measurement%3 from %4 to %5")
                                .arg(QLatin1String(chart.name))
                                .arg(points.size())
                                .arg(points.size() == 1 ? "" : "s")
                                .arg(dayText(points.first().date), dayText(points.last().date));
        body += QStringLiteral("<h2>%1</h2>\n<div class=\"chart\"><img class=\"wide\" src=\"%2\" alt=\"%4\">"
                               "<img class=\"narrow\" src=\"%3\" alt=\"%4\"></div>\n")
                    .arg(QLatin1String(chart.name), wide, narrow, esc(alt));
        bands = bands || plot.sex != GrowthReference::Sex::Unknown;
    }
    if (bands)
        body += QStringLiteral("<p class=\"lead\">The shaded band runs from the 3rd to the 97th centile of "
                               "children of the same sex and age.</p>\n");
    if (!c.growth.isEmpty()) {
        body += QStringLiteral(
            "<h2>Measurements</h2>\n<div class=\"table\"><table>\n<tr><th scope=\"col\">Date</th>"
            "<th scope=\"col\">Length or height</th><th scope=\"col\">Weight</th>"
            "<th scope=\"col\">Head</th></tr>\n");
        for (const GrowthType& r : c.growth) {
            double v = 0;
            const QString h = GrowthUnits::heightCm(r, &v) ? GrowthUnits::lengthText(v, units) : QString();
            const QString w = GrowthUnits::weightKg(r, &v) ? GrowthUnits::weightText(v, units) : QString();
            const QString hc = GrowthUnits::headCm(r, &v) ? GrowthUnits::lengthText(v, units) : QString();
            body += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td><td>%4</td></tr>\n")
                        .arg(esc(shownDate(r.Date, m_today)), esc(h), esc(w), esc(hc));
        }
        body += QStringLiteral("</table></div>\n");
    }
    return wrap(&c, QStringLiteral("growth.html"), c.profile.firstName + QStringLiteral("'s growth"), body);
}

QString Writer::firstsPage(const ChildPages& c) const {
    QString body = QStringLiteral("<h1>%1's firsts</h1>\n").arg(esc(c.profile.firstName));
    body += QStringLiteral("<h2>First words</h2>\n");
    int words = 0;
    for (const Moment& m : c.moments)
        if (m.kind == ChildSummary::diaryName(DiaryList::WordEntries)) {
            body += momentHtml(m, 1, 3, false);
            ++words;
        }
    if (words == 0)
        body += QStringLiteral("<p class=\"lead\">None recorded yet.</p>\n");

    body += QStringLiteral("<h2>Skills</h2>\n");
    QString rows;
    for (const MilestoneSheets::SkillEntry& s : MilestoneSheets::skills(c.first))
        if (!s.value.trimmed().isEmpty() && !s.skill.trimmed().isEmpty())
            rows += QStringLiteral("<tr><td>%1</td><td>%2</td></tr>\n")
                        .arg(esc(s.skill.trimmed()), esc(shownDate(s.value, m_today)));
    body += rows.isEmpty() ? QStringLiteral("<p class=\"lead\">None recorded yet.</p>\n")
                           : QStringLiteral("<div class=\"table\"><table>\n<tr><th scope=\"col\">Skill</th>"
                                            "<th scope=\"col\">When</th></tr>\n") +
                                 rows + QStringLiteral("</table></div>\n");

    body += QStringLiteral("<h2>Teeth</h2>\n");
    rows.clear();
    QSqlQuery teeth = Database::exec(
        QStringLiteral("SELECT slot, Date FROM TEETH WHERE child = ? ORDER BY slot"), {c.first});
    while (teeth.next()) {
        const QString date = teeth.value(1).toString();
        if (!MilestoneSheets::toothHasDate(date))
            continue;
        const int slot = teeth.value(0).toInt();
        rows += QStringLiteral("<tr><td>%1 (%2)</td><td>%3</td></tr>\n")
                    .arg(esc(MilestoneSheets::toothKind(slot)),
                         slot <= 10 ? QStringLiteral("upper") : QStringLiteral("lower"),
                         esc(shownDate(date, m_today)));
    }
    body += rows.isEmpty() ? QStringLiteral("<p class=\"lead\">None recorded yet.</p>\n")
                           : QStringLiteral("<div class=\"table\"><table>\n<tr><th scope=\"col\">Tooth</th>"
                                            "<th scope=\"col\">Came in</th></tr>\n") +
                                 rows + QStringLiteral("</table></div>\n");
    return wrap(&c, QStringLiteral("firsts.html"), c.profile.firstName + QStringLiteral("'s firsts"), body);
}

QString Writer::celebrationsPage(const ChildPages& c) const {
    QString body =
        QStringLiteral("<h1>%1's celebrations</h1>\n<h2>Birthdays</h2>\n").arg(esc(c.profile.firstName));
    const QStringList titles = MilestoneSheets::birthdayTitles();
    int shown = 0;
    for (int n = 0; n < titles.size(); ++n) {
        MilestoneSheets::BirthdayRecord r = MilestoneSheets::birthday(c.first, titles.at(n));
        r.title = titles.at(n);
        if (r.isEmpty() && !c.birthdayPictures.contains(r.title))
            continue;
        ++shown;
        QString meta = n == 0 ? QStringLiteral("The day of birth") : QStringLiteral("Turned %1").arg(n);
        if (c.profile.birth.isValid()) {
            const QDate day = c.profile.birth.date().addYears(n);
            meta = (m_choices.leaveOutBirth ? monthText(day) : dayText(day)) + QStringLiteral(" · ") + meta;
        }
        body += QStringLiteral("<div class=\"moment\">\n<h3>%1</h3>\n<p class=\"meta\">%2</p>\n")
                    .arg(esc(r.title), esc(meta)) +
                paragraphs(r.remarks);
        if (!r.guests.isEmpty())
            body += QStringLiteral("<p><strong>Guests:</strong> %1</p>\n")
                        .arg(esc(r.guests.join(QStringLiteral(", "))));
        if (!r.gifts.isEmpty()) {
            QStringList gifts;
            for (const MilestoneSheets::Gift& g : r.gifts)
                gifts << (g.name.trimmed().isEmpty() ? g.gift : g.gift + QStringLiteral(" from ") + g.name);
            body += QStringLiteral("<p><strong>Gifts:</strong> %1</p>\n")
                        .arg(esc(gifts.join(QStringLiteral("; "))));
        }
        body += photosHtml(c.birthdayPictures.value(r.title), r.title, 1) + QStringLiteral("</div>\n");
    }
    if (shown == 0)
        body += QStringLiteral("<p class=\"lead\">None recorded yet.</p>\n");

    body += QStringLiteral("<h2>Holidays and special events</h2>\n");
    const QVector<MilestoneSheets::Occasion> occasions = MilestoneSheets::occasions(c.first);
    for (const MilestoneSheets::Occasion& o : occasions) {
        QString kind = o.caption;
        if (o.caption == MilestoneSheets::OutingCaption)
            kind = QStringLiteral("Special outing");
        else if (o.caption == MilestoneSheets::VisitorCaption)
            kind = QStringLiteral("Special visitor");
        body += QStringLiteral("<div class=\"moment\">\n<h3>%1</h3>\n<p class=\"meta\">%2</p>\n")
                    .arg(esc(o.title), esc(kind)) +
                paragraphs(o.remarks) + QStringLiteral("</div>\n");
    }
    if (occasions.isEmpty())
        body += QStringLiteral("<p class=\"lead\">None recorded yet.</p>\n");
    return wrap(&c, QStringLiteral("celebrations.html"),
                c.profile.firstName + QStringLiteral("'s celebrations"), body);
}

QString Writer::familyPage(const ChildPages& c) const {
    QString body = QStringLiteral("<h1>%1's family tree</h1>\n").arg(esc(c.profile.firstName));
    QSqlQuery q = Database::exec(
        QStringLiteral("SELECT slot, Name, Date, Text FROM FAMILY WHERE child = ? ORDER BY slot"), {c.first});
    QString items;
    while (q.next()) {
        const int slot = q.value(0).toInt();
        const QString name = q.value(1).toString().trimmed();
        if (slot < 1 || slot > EntryStore::FamilySlots || name.isEmpty())
            continue;
        QStringList more;
        if (!m_choices.leaveOutFamilyDates) {
            const QString date = shownDate(q.value(2).toString(), m_today);
            if (!date.isEmpty())
                more << QStringLiteral("Born ") + date;
        }
        if (const QString place = q.value(3).toString().trimmed(); !place.isEmpty())
            more << place;
        items += QStringLiteral("<li><span class=\"who\">%1</span><span class=\"name\">%2</span>")
                     .arg(esc(MilestoneSheets::relation(slot)), esc(name));
        if (!more.isEmpty())
            items +=
                QStringLiteral("<span class=\"more\">%1</span>").arg(esc(more.join(QStringLiteral(", "))));
        items += QStringLiteral("</li>\n");
    }
    body += items.isEmpty() ? QStringLiteral("<p class=\"lead\">Nobody is recorded yet.</p>\n")
                            : QStringLiteral("<ul class=\"tree\">\n") + items + QStringLiteral("</ul>\n");
    return wrap(&c, QStringLiteral("family.html"), c.profile.firstName + QStringLiteral("'s family tree"),
                body);
}

QString Writer::healthPage(const ChildPages& c) const {
    QString body =
        QStringLiteral("<h1>%1's health</h1>\n<h2>Immunizations</h2>\n").arg(esc(c.profile.firstName));
    QString rows;
    for (const DiarySheets::ImmunizationRow& r : DiarySheets::readImmunizations(c.first)) {
        const QString date = shownDate(r.date, m_today);
        if (!date.isEmpty() && !r.caption.trimmed().isEmpty())
            rows += QStringLiteral("<tr><td>%1</td><td>%2</td></tr>\n")
                        .arg(esc(r.caption.trimmed().remove(QLatin1Char(':'))), esc(date));
    }
    body += rows.isEmpty()
                ? QStringLiteral("<p class=\"lead\">None recorded yet.</p>\n")
                : QStringLiteral("<div class=\"table\"><table>\n<tr><th scope=\"col\">Immunization</th>"
                                 "<th scope=\"col\">Date</th></tr>\n") +
                      rows + QStringLiteral("</table></div>\n");
    const DiarySheets::PediatricianCard card = DiarySheets::readPediatrician(c.first);
    if (!card.name.trimmed().isEmpty()) {
        QStringList lines{card.name.trimmed(), card.address.trimmed(),
                          QStringList{card.city.trimmed(), card.state.trimmed(), card.zip.trimmed()}
                              .join(QLatin1Char(' '))
                              .trimmed(),
                          card.phone.trimmed()};
        lines.removeAll(QString());
        body +=
            QStringLiteral("<h2>Pediatrician</h2>\n<p>%1</p>\n")
                .arg(esc(lines.join(QLatin1Char('\n'))).replace(QLatin1Char('\n'), QStringLiteral("<br>")));
    }
    body += QStringLiteral("<p class=\"lead\">Doctor visits and childhood diseases are among the "
                           "<a href=\"moments.html\">moments</a>.</p>\n");
    return wrap(&c, QStringLiteral("health.html"), c.profile.firstName + QStringLiteral("'s health"), body);
}

void Writer::writePages() {
    page(QStringLiteral("style.css"), QByteArray(kStyle));
    for (const ChildPages& c : m_children) {
        const QString dir = c.folder + QLatin1Char('/');
        page(dir + QStringLiteral("moments.html"), momentsPage(c).toUtf8());
        page(dir + QStringLiteral("growth.html"), growthPage(c).toUtf8());
        page(dir + QStringLiteral("firsts.html"), firstsPage(c).toUtf8());
        page(dir + QStringLiteral("celebrations.html"), celebrationsPage(c).toUtf8());
        page(dir + QStringLiteral("family.html"), familyPage(c).toUtf8());
        if (!m_choices.leaveOutHealth)
            page(dir + QStringLiteral("health.html"), healthPage(c).toUtf8());
        if (m_progress)
            m_progress(++m_done, m_total);
    }
    page(QStringLiteral("index.html"), indexPage().toUtf8());
}

void Writer::finish(bool removeOld) {
    Manifest kept = m_now;
    for (const auto& [path, entry] : m_old) {
        if (kept.count(path))
            continue;
        if (!removeOld) {
            kept[path] = entry; // still there: the next publishing removes it if it no longer belongs
            continue;
        }
        const QString file = m_root + QLatin1Char('/') + path;
        if (QFile::exists(file) && !QFile::remove(file)) {
            kept[path] = entry;
            continue;
        }
        ++m_result.removed;
        // A folder the album made and that is empty now goes too.
        const QString dir = QFileInfo(path).path();
        if (dir != QLatin1String("."))
            QDir(m_root).rmdir(dir);
    }
    const QByteArray bytes = manifestBytes(kept);
    QFile old(m_root + QLatin1Char('/') + ManifestName);
    if (old.open(QIODevice::ReadOnly) && old.readAll() == bytes)
        return;
    old.close();
    QString error;
    if (!writeFile(old.fileName(), bytes, &error) && m_result.problem.isEmpty())
        m_result.problem = error;
}

Result Writer::run() {
    if (!QDir().mkpath(m_root)) {
        m_result.problem =
            QStringLiteral("The folder %1 could not be made.").arg(QDir::toNativeSeparators(m_root));
        return m_result;
    }
    m_old = readManifest(m_root + QLatin1Char('/') + ManifestName);
    // A folder that holds a web site the album did not write is not the album's to overwrite.
    if (m_old.empty() && QFileInfo::exists(m_root + QStringLiteral("/index.html"))) {
        m_result.problem =
            QStringLiteral("The folder %1 already holds a web page (index.html) that Tinyra did "
                           "not write. Choose an empty folder, or one of its own, for the album.")
                .arg(QDir::toNativeSeparators(m_root));
        return m_result;
    }
    const QStringList all = Children::firstNames();
    for (const QString& first : all)
        if (m_choices.children.isEmpty() || m_choices.children.contains(first))
            m_children.append(readChild(first));
    if (m_children.isEmpty()) {
        m_result.problem = QStringLiteral("There is no child to publish.");
        return m_result;
    }
    m_total = int(m_children.size());
    const bool pictures = makePictures();
    if (m_result.cancelled) {
        finish(false);
        return m_result;
    }
    writePages();
    finish(pictures && m_result.problem.isEmpty());
    return m_result;
}
} // namespace

Choices Choices::stored() {
    Choices c;
    const QString children = preference(QStringLiteral("children"), QString());
    c.children = children.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    c.leaveOutBirth =
        preference(QStringLiteral("leaveOutBirth"), yesNo(c.leaveOutBirth)) == QLatin1String("yes");
    c.leaveOutHealth =
        preference(QStringLiteral("leaveOutHealth"), yesNo(c.leaveOutHealth)) == QLatin1String("yes");
    c.leaveOutFamilyDates = preference(QStringLiteral("leaveOutFamilyDates"), yesNo(c.leaveOutFamilyDates)) ==
                            QLatin1String("yes");
    c.includeOriginals =
        preference(QStringLiteral("includeOriginals"), yesNo(c.includeOriginals)) == QLatin1String("yes");
    c.folder = preference(QStringLiteral("folder"), QString());
    return c;
}

void Choices::store() const {
    setPreference(QStringLiteral("children"), children.join(QLatin1Char('\n')));
    setPreference(QStringLiteral("leaveOutBirth"), yesNo(leaveOutBirth));
    setPreference(QStringLiteral("leaveOutHealth"), yesNo(leaveOutHealth));
    setPreference(QStringLiteral("leaveOutFamilyDates"), yesNo(leaveOutFamilyDates));
    setPreference(QStringLiteral("includeOriginals"), yesNo(includeOriginals));
    setPreference(QStringLiteral("folder"), folder);
}

Result publish(const QString& folder, const Choices& choices, const Drawing& drawing,
               const Progress& progress, const QDate& today) {
    Writer writer(folder, choices, drawing, progress, today);
    return writer.run();
}

QString childFolder(const QString& firstName) {
    return QStringLiteral("child-") + hashHex(firstName.toUtf8()).left(10);
}
} // namespace Album
