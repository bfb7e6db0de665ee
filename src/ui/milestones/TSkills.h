#pragma once

#include "ui/common/TDialog.h"

#include <QList>
#include <QSet>
#include <QVector>

class QFormLayout;
class QHBoxLayout;
class QLineEdit;
class QSize;
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
    // One of the seven pages while it is built: the widget, the row its contents stand in, and the
    // form of its listed skills (Coordination has a second column of them).
    struct SkillPage {
        QWidget* widget = nullptr;
        QHBoxLayout* contents = nullptr;
        QFormLayout* skills = nullptr;
        QFormLayout* moreSkills = nullptr;
    };
    SkillPage addPage(int index, const QString& name, QList<QWidget*>* buttonRows);
    void makeOkDefault(int index);
    void buildListedSkills(QVector<SkillPage>& pages, int fieldWidth);
    ReplaceablePicture* addPicture(const QString& name, const QSize& size, const QString& theme,
                                   QWidget* owner);
    QWidget* pictureWithButton(const QString& name, const QString& button, const QSize& size,
                               const QString& theme, QWidget* page);
    void buildFirstSkillsPage(const SkillPage& page);
    void buildCoordinationPage(const SkillPage& page);
    void buildAtTheTablePage(const SkillPage& page);
    void buildGamesPage(const SkillPage& page);
    void buildOutdoorsPage(const SkillPage& page);
    void buildLearningPage(const SkillPage& page);
    void buildOthersPage(const SkillPage& page, int fieldWidth);
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
