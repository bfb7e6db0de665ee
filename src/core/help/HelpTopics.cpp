#include "core/help/HelpTopics.h"

#include "core/store/Table.h"

#include <algorithm>

namespace HelpTopics {
QStringList searchTitles() {
    QStringList titles;
    Table help(QStringLiteral("BABYHELP"));
    help.open();
    for (help.first(); !help.eof(); help.next()) {
        const QString title = help.fieldText(QStringLiteral("Title"));
        if (!titles.contains(title)) // one entry per title: equal titles open the same topic
            titles << title;
    }
    std::stable_sort(titles.begin(), titles.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    return titles;
}

int topicForTitle(const QString& title) {
    int topic = HelpOnHelp;
    Table help(QStringLiteral("BABYHELP"));
    help.open();
    // The scan does not stop at a match: of two topics with one title the larger number wins.
    for (help.first(); !help.eof(); help.next())
        if (help.fieldText(QStringLiteral("Title")) == title)
            topic = help.fieldValue(QStringLiteral("HelpID")).toInt();
    return topic;
}
} // namespace HelpTopics
