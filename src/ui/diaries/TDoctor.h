#pragma once

#include "ui/common/TDialog.h"

class DiaryEditor;
class MaskedDateEdit;
class ReplaceablePicture;
class SheetFields;
class QGridLayout;
class QLayout;
class QPushButton;
class QTabWidget;
namespace DiarySheets {
struct ImmunizationRow;
}

// At the doctor: the pediatrician's card with a picture, the doctor visits, the immunization sheet
// and the childhood diseases, all the active child's.
class TDoctor : public TDialog {
    Q_OBJECT
public:
    explicit TDoctor(QWidget* parent = nullptr);
    DiaryEditor* visits() const { return m_visits; }
    DiaryEditor* diseases() const { return m_diseases; }
    QTabWidget* pages() {
        ensureBuilt();
        return m_pages;
    }
    ReplaceablePicture* picture() {
        ensureBuilt();
        return m_picture;
    }

public slots:
    void OKBtnClick();
    void CancelBtnClick();
    void done(int result) override;

protected:
    void build() override;
    void FormActivate() override;

private:
    // The four pages, each added to the tabs as it is built.
    void buildPediatricianPage();
    QWidget* pediatricianCard(QWidget* info);
    QLayout* pictureColumn(QWidget* info);
    void buildVisitsPage();
    void buildImmunizationsPage();
    MaskedDateEdit* addImmunizationRow(QGridLayout* columns, QWidget* sheet,
                                       const DiarySheets::ImmunizationRow& r, int index);
    void buildDiseasesPage();
    QWidget* page(QWidget* content, int number, QPushButton* help);
    void makeOkDefault(int index);

    QTabWidget* m_pages;
    QList<QWidget*> m_rows;
    QList<QPushButton*> m_okButtons;
    DiaryEditor* m_visits;
    DiaryEditor* m_diseases;
    ReplaceablePicture* m_picture;
    SheetFields* m_card;
    SheetFields* m_immunizations;
};

// The one TDoctor, created at start-up (null before and after).
extern TDoctor* Doctor;
