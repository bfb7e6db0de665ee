#pragma once

#include <QList>
#include <QPair>
#include <QString>

// Every box of Child Information that a parent types in, by its object name, and the CHILD field it
// stands for (line edits of several widths and editable lists).
inline const QList<QPair<QString, QString>>& childInfoBoxes() {
    static const QList<QPair<QString, QString>> map{{"MiddleName", "MiddleName"},
                                                    {"LastName", "LastName"},
                                                    {"Hair", "Hair"},
                                                    {"Eyes", "Eyes"},
                                                    {"BirthDay", "BirthDay"},
                                                    {"BDateMonth", "BDayMonth"},
                                                    {"BDateDay", "BDateDay"},
                                                    {"BDateYear", "BDayYear"},
                                                    {"BTimeHr", "BTimeHr"},
                                                    {"BTimeMin", "BTimeMin"},
                                                    {"AmPm", "BTimeAmPm"},
                                                    {"Height", "BirthHt"},
                                                    {"WeightLb", "BirthWeightLb"},
                                                    {"WeightOz", "BirthWeightOz"},
                                                    {"Head", "BirthHead"},
                                                    {"Physician", "Physician"},
                                                    {"Hospital", "Hospital"},
                                                    {"City", "BirthCity"},
                                                    {"State", "BirthState"},
                                                    {"Country", "BirthCountry"},
                                                    {"Address", "Address"},
                                                    {"AddCity", "City"},
                                                    {"AddCounty", "County"},
                                                    {"AddState", "State"},
                                                    {"H1", "H1"},
                                                    {"H2", "H2"},
                                                    {"H3", "H3"},
                                                    {"H4", "H4"},
                                                    {"H5", "H5"},
                                                    {"H6", "H6"},
                                                    {"H7", "H7"}};
    return map;
}
