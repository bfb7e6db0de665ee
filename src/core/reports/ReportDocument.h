#pragma once

#include "core/diaries/GrowthPlot.h"

#include <QByteArray>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>

// A picture for a report: its encoded bytes, or the path of the photo file that holds them.
struct ReportPicture {
    QByteArray bytes;
    QString file;

    ReportPicture() = default;
    explicit ReportPicture(const QByteArray& encoded, const QString& path = QString())
        : bytes(encoded), file(path) {}
    bool isEmpty() const { return bytes.isEmpty() && file.isEmpty(); }
};

// What a report says, without how it looks: the page renderer lays these blocks out on pages under
// the report's title and the child's name, and adds the footer with page numbers.
struct ReportBlock {
    enum class Kind {
        Section,    // a heading over what follows (title), with a line under it when `date` is not empty
        Fields,     // caption and value rows (fields)
        Entry,      // one dated entry: date and title on a line (date, title), its text below (text)
        Table,      // a table with column headings (columns, widths as parts of the width) and rows
        Paragraph,  // running text (text); line breaks are kept
        Note,       // a quiet remark such as "No entries have been recorded." (text)
        FamilyTree, // the child and fourteen relatives drawn as a tree (names: child, then slots 1-14)
        Chart,      // a growth chart of one measure (measure) from the child's plot (growth), in metric
                    // units or not (metric)
        Pictures,   // stored pictures (images) side by side, each under its caption (names),
                    // scaled to fit without changing their shape
        Cover,      // a book's cover page: the picture (images, may be empty), the full name (title) and the
                    // birth date (date)
        Contents,   // a book's contents page: each chapter with the page it starts on
        Chapter,    // a book's chapter (title): starts a new page and names the running header
        TeethChart, // the twenty primary teeth in their two arches; a tooth whose date (names, 1-20) is
                    // not empty is drawn filled
    };
    Kind kind = Kind::Paragraph;
    QString title;
    QString date;
    QString text;
    QVector<QPair<QString, QString>> fields;
    QStringList columns;
    QVector<double> widths;
    QVector<QStringList> rows;
    QStringList names;
    QVector<double> values;
    // A photo is held by its file and read when the page that prints it needs it, so a book of
    // hundreds of camera photos holds none of them.
    QVector<ReportPicture> images;
    std::shared_ptr<const GrowthPlot::Plot> growth;
    GrowthReference::Measure measure = GrowthReference::Measure::Weight;
    bool metric = false;
    // A long table is laid out in parts; these say that a part goes on from the one before it or on
    // into the next one (set by the page renderer, never by a report).
    bool continued = false;
    bool continues = false;
    int rowsAfter = 0; // the rows of the parts after this one
};

struct ReportDocument {
    QString title;     // "Growth Log"
    QString child;     // the child's name as shown under the title (a book: the full name of its header)
    bool book = false; // laid out as a printed book: cover, contents, chapters, serif type
    QVector<ReportBlock> blocks;

    ReportDocument& section(const QString& heading, const QString& underHeading = QString()) {
        ReportBlock b;
        b.kind = ReportBlock::Kind::Section;
        b.title = heading;
        b.date = underHeading;
        blocks.append(std::move(b));
        return *this;
    }
    ReportDocument& fieldRows(const QVector<QPair<QString, QString>>& rows) {
        ReportBlock b;
        b.kind = ReportBlock::Kind::Fields;
        b.fields = rows;
        blocks.append(std::move(b));
        return *this;
    }
    ReportDocument& entry(const QString& date, const QString& entryTitle, const QString& text) {
        ReportBlock b;
        b.kind = ReportBlock::Kind::Entry;
        b.date = date;
        b.title = entryTitle;
        b.text = text;
        blocks.append(std::move(b));
        return *this;
    }
    ReportDocument& table(const QStringList& columns, const QVector<double>& widths,
                          const QVector<QStringList>& rows) {
        ReportBlock b;
        b.kind = ReportBlock::Kind::Table;
        b.columns = columns;
        b.widths = widths;
        b.rows = rows;
        blocks.append(std::move(b));
        return *this;
    }
    ReportDocument& paragraph(const QString& text) {
        ReportBlock b;
        b.kind = ReportBlock::Kind::Paragraph;
        b.text = text;
        blocks.append(std::move(b));
        return *this;
    }
    ReportDocument& note(const QString& text) {
        ReportBlock b;
        b.kind = ReportBlock::Kind::Note;
        b.text = text;
        blocks.append(std::move(b));
        return *this;
    }
    ReportDocument& growthChart(std::shared_ptr<const GrowthPlot::Plot> plot,
                                GrowthReference::Measure measure, bool metric) {
        ReportBlock b;
        b.kind = ReportBlock::Kind::Chart;
        b.growth = std::move(plot);
        b.measure = measure;
        b.metric = metric;
        blocks.append(b);
        return *this;
    }
    // Pictures with their captions; empty pictures are left out, and nothing is added when
    // none is left.
    ReportDocument& pictures(const QStringList& captions, const QVector<ReportPicture>& shown) {
        ReportBlock b;
        b.kind = ReportBlock::Kind::Pictures;
        for (int i = 0; i < shown.size(); ++i)
            if (!shown[i].isEmpty()) {
                b.names << captions.value(i);
                b.images << shown[i];
            }
        if (!b.images.isEmpty())
            blocks.append(std::move(b));
        return *this;
    }
    ReportDocument& familyTree(const QStringList& childThenSlots) {
        ReportBlock b;
        b.kind = ReportBlock::Kind::FamilyTree;
        b.names = childThenSlots;
        blocks.append(std::move(b));
        return *this;
    }
    ReportDocument& cover(const QString& fullName, const QString& birthDate, const ReportPicture& picture) {
        ReportBlock b;
        b.kind = ReportBlock::Kind::Cover;
        b.title = fullName;
        b.date = birthDate;
        if (!picture.isEmpty())
            b.images << picture;
        blocks.append(std::move(b));
        return *this;
    }
    ReportDocument& contents() {
        ReportBlock b;
        b.kind = ReportBlock::Kind::Contents;
        blocks.append(std::move(b));
        return *this;
    }
    ReportDocument& chapter(const QString& heading) {
        ReportBlock b;
        b.kind = ReportBlock::Kind::Chapter;
        b.title = heading;
        blocks.append(std::move(b));
        return *this;
    }
    ReportDocument& teethChart(const QStringList& datesOfTeeth) {
        ReportBlock b;
        b.kind = ReportBlock::Kind::TeethChart;
        b.names = datesOfTeeth;
        blocks.append(std::move(b));
        return *this;
    }
};
