#pragma once

#include "ui/common/TDialog.h"

#include <QList>
#include <QString>

class QTabWidget;

// The readme viewer: a contents page "i" and five numbered sections, read from the delivered
// readme. It keeps the page that was open when it was closed.
class TReadmeFile : public TDialog {
    Q_OBJECT
public:
    explicit TReadmeFile(QWidget* parent = nullptr);

    struct Section {
        QString heading;
        QString text;
    };
    // The five sections of the delivered readme (":/data/readme.json"), in order; an empty list
    // when it cannot be read.
    static QList<Section> sections();

protected:
    void build() override;

private:
    void OKBtnClick();

    QTabWidget* m_notebook;
};

// The one TReadmeFile, created at start-up (null before and after).
extern TReadmeFile* ReadmeFile;
