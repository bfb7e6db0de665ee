// The delivered help rows and readme: loaded into a new store, brought into an older store without
// touching the parent's records, and readable as the viewers expect.
#include "core/help/HelpTopics.h"
#include "core/store/Database.h"
#include "core/store/DeliveredData.h"
#include "support/TempStore.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QSqlQuery>
#include <QTest>

class HelpContentTest : public QObject {
    Q_OBJECT
private slots:
    void deliveredFilesAreWellFormed();
    void newStoreHoldsEveryTopic();
    void olderStoreWithoutHelpGetsItAndKeepsTheChildren();
    void searchOffersEachTitleOnceAndOpensTheLargerNumber();
};

void HelpContentTest::deliveredFilesAreWellFormed() {
    QFile help(QStringLiteral(":/data/babyhelp.json"));
    QVERIFY(help.open(QIODevice::ReadOnly));
    QJsonParseError err{};
    const QJsonDocument doc = QJsonDocument::fromJson(help.readAll(), &err);
    QVERIFY2(!doc.isNull(), qPrintable(err.errorString()));
    QVERIFY(doc.object().value("version").toInt() >= 1);
    QSet<int> ids;
    for (const QJsonValue& v : doc.object().value("rows").toArray()) {
        const QJsonArray row = v.toArray();
        QCOMPARE(row.size(), 3);
        QVERIFY2(row[0].isDouble(), "HelpID must be a number");
        const int id = row[0].toInt();
        QVERIFY2(!ids.contains(id), qPrintable(QString("HelpID %1 twice").arg(id)));
        ids.insert(id);
        // The Title field holds 50 characters: a longer title would be cut when it is loaded.
        QVERIFY2(row[1].toString().size() <= 50, qPrintable(row[1].toString()));
    }

    QFile readme(QStringLiteral(":/data/readme.json"));
    QVERIFY(readme.open(QIODevice::ReadOnly));
    const QJsonArray sections =
        QJsonDocument::fromJson(readme.readAll()).object().value("sections").toArray();
    const QStringList headings{"DISCLAIMER", "What's New with Tinyra 4", "About Tinyra for Windows 95",
                               "Menus", "Toolbar"};
    QCOMPARE(sections.size(), headings.size());
    for (int i = 0; i < sections.size(); ++i) {
        QCOMPARE(sections[i].toObject().value("heading").toString(), headings[i]);
        QVERIFY(sections[i].toObject().value("text").toArray().size() >= 3);
    }
    // The What's New section carries the two parts and the five headed points of 4.1.
    const QStringList whatsNew = [&] {
        QStringList lines;
        for (const QJsonValue& p : sections[1].toObject().value("text").toArray())
            lines << p.toString();
        return lines;
    }();
    const QString joined = whatsNew.join('\n');
    for (const char* part :
         {"Tinyra 4.2 - What's new", "Tinyra 4.1 - What's new", "Multiple Children:", "More Birthdays:",
          "More Baby Names:", "Greater Flexibility:", "Awesome Reports:"})
        QVERIFY2(joined.contains(QLatin1String(part)), part);
}

void HelpContentTest::newStoreHoldsEveryTopic() {
    TempStore store;
    QSqlQuery q = Database::exec("SELECT COUNT(*), MIN(HelpID), MAX(HelpID) FROM BABYHELP");
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toInt(), 58);
    QCOMPARE(q.value(1).toInt(), 1);
    QCOMPARE(q.value(2).toInt(), 73);
    QCOMPARE(DeliveredData::storedVersion("BABYHELP"), 3);
}

void HelpContentTest::olderStoreWithoutHelpGetsItAndKeepsTheChildren() {
    TempStore store;
    TempStore::addChild("Ann", "Marie", "Lee");
    TempStore::setPrevious("Ann");
    // A store written by a build that delivered no help yet.
    Database::exec("DELETE FROM BABYHELP");
    Database::exec("DELETE FROM DELIVERED WHERE tablename = 'BABYHELP'");
    QCOMPARE(TempStore::rowCount("BABYHELP"), 0);

    store.reopen();
    QCOMPARE(TempStore::rowCount("BABYHELP"), 58);
    QCOMPARE(TempStore::previous(), QStringLiteral("Ann"));
    QSqlQuery q = Database::exec("SELECT FirstName, MiddleName, LastName FROM CHILD");
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString() + q.value(1).toString() + q.value(2).toString(),
             QStringLiteral("AnnMarieLee"));
    QVERIFY(!q.next());
}

void HelpContentTest::searchOffersEachTitleOnceAndOpensTheLargerNumber() {
    TempStore store;
    Database::exec("INSERT INTO BABYHELP (HelpID, Title, Remarks) VALUES (200, 'Twins', 'Two hundred.')");
    Database::exec(
        "INSERT INTO BABYHELP (HelpID, Title, Remarks) VALUES (150, 'Twins', 'One hundred fifty.')");
    Database::exec("INSERT INTO BABYHELP (HelpID, Title, Remarks) VALUES (250, 'twins', 'Lower case.')");
    Database::exec("INSERT INTO BABYHELP (HelpID, Title, Remarks) VALUES (120, 'aardvark', 'First.')");
    QCOMPARE(HelpTopics::topicForTitle("Twins"), 200);
    QCOMPARE(HelpTopics::topicForTitle("twins"), 250); // titles compare exactly
    QCOMPARE(HelpTopics::topicForTitle("No such title"), HelpTopics::HelpOnHelp);

    const QStringList titles = HelpTopics::searchTitles();
    QCOMPARE(titles.first(), QStringLiteral("aardvark")); // sorted without regard to case
    QCOMPARE(titles.count("Twins"), 1);                   // one entry for the two equal titles
    QCOMPARE(titles.count("twins"), 1);
    for (int i = 1; i < titles.size(); ++i)
        QVERIFY2(QString::compare(titles[i - 1], titles[i], Qt::CaseInsensitive) <= 0, qPrintable(titles[i]));
}

QTEST_GUILESS_MAIN(HelpContentTest)
#include "tst_helpcontent.moc"
