#pragma once

#include <QString>
#include <QStringList>

// What the help search offers and opens, read from the BABYHELP table. Store failures throw
// StoreError.
namespace HelpTopics {
// "Help on help", opened for a title no topic has.
constexpr int HelpOnHelp = 45;

// Every title once, sorted without regard to case; titles that differ only in case keep the
// table's order.
QStringList searchTitles();
// The topic a title opens: of two topics with one title (compared exactly) the larger number, and
// HelpOnHelp for a title no topic has.
int topicForTitle(const QString& title);
} // namespace HelpTopics
