#pragma once

#include "ui/common/TDialog.h"

#include <QList>
#include <QSet>

class QLineEdit;
class QTabWidget;
class ReplaceablePicture;

// The active child's first skills on seven pages, with nineteen free rows; what is typed is stored at
// once for the child, and so are the pictures chosen.
class TSkills : public TDialog {
    Q_OBJECT
public:
    explicit TSkills(QWidget* parent = nullptr);

public slots:
    void OKBtnClick();
    void CancelBtnClick();
    void HelpBtnClick();

protected:
    void build() override;
    void FormActivate() override;

private:
    void fieldEdited(QLineEdit* field);
    void storeUnstored();

    QTabWidget* m_pages;
    QList<QLineEdit*> m_fields;
    QList<ReplaceablePicture*> m_pictures;
    QString m_child;
    bool m_readable = true;
    QSet<QLineEdit*> m_unstored; // fields whose storing failed: Ok stores them before closing
};

// The one TSkills, created at start-up (null before and after).
extern TSkills* Skills;
