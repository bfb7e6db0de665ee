#pragma once

#include "core/store/Table.h"
#include "ui/common/TDialog.h"

#include <QList>

class QComboBox;
class QLabel;
class QLineEdit;
class QTabWidget;
class QWidget;
class ReplaceablePicture;

// The child information form: the active child's CHILD row on four tabbed pages, and two pictures
// the parent may replace. OK stores every box (never the first name); Cancel loses the edits.
class TChildInfo : public TDialog {
    Q_OBJECT
public:
    explicit TChildInfo(QWidget* parent = nullptr);

    // Whether the last showing found the active child's row (OK then edits it, else creates it).
    bool hasRow() const { return m_hasRow; }

public slots:
    void GetData();
    void SaveData();
    void OKBtnClick();
    void CancelBtnClick();
    void HelpBtnClick();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void SpeedButton2Click();
    void SpeedButton3Click();

protected:
    void build() override;
    void FormActivate() override;

private:
    // A visible box and the CHILD field it shows and gives back.
    struct Binding {
        QString field;
        QLineEdit* edit = nullptr;
        QComboBox* combo = nullptr;
    };

    QWidget* namePage();
    QWidget* birthPage();
    QWidget* homePage();
    QWidget* headlinesPage();
    QWidget* page(QWidget* content, const QString& helpName, int topic);
    QLineEdit* edit(const QString& name, const QString& field, QWidget* parent, int width = 0);
    QComboBox* combo(const QString& name, const QString& field, const QStringList& items,
                     const QString& designText, QWidget* parent);
    void setText(const Binding& b, const QString& text);
    QString text(const Binding& b) const;

    Table m_table;
    bool m_hasRow = false;
    QString m_child;
    QTabWidget* m_notebook;
    QList<QWidget*> m_rows; // each page's Help, in the row under the pages
    QLabel* m_firstName;
    ReplaceablePicture* m_image1;
    ReplaceablePicture* m_image2;
    QList<Binding> m_bindings;
    // The birth measurements' boxes in inches, pounds and ounces, and in centimetres and kilograms:
    // the units they were typed in are shown, or the family's growth units before any is typed.
    QList<QWidget*> m_birthImperial, m_birthMetric;
    QLabel* m_headUnit = nullptr;
    QLabel* m_heightCaption = nullptr;
    bool m_birthInMetric = false;
    void showBirthUnits();
};

// The one TChildInfo, created at start-up (null before and after).
extern TChildInfo* ChildInfo;
