#pragma once

#include "ui/common/TDialog.h"

class DiaryEditor;
class SheetFields;
class QTabWidget;

// Prenatal history: the child's sheet of dates to remember, the prenatal diary and the prenatal
// medical diary.
class TPrenatal : public TDialog {
    Q_OBJECT
public:
    explicit TPrenatal(QWidget* parent = nullptr);
    DiaryEditor* diary() const { return m_diary; }
    DiaryEditor* medicalDiary() const { return m_medical; }
    QTabWidget* pages() {
        ensureBuilt();
        return m_pages;
    }

public slots:
    void OKBtnClick();
    void CancelBtnClick();
    void done(int result) override;

protected:
    void build() override;
    void FormActivate() override;

private:
    QTabWidget* m_pages;
    DiaryEditor* m_diary;
    DiaryEditor* m_medical;
    SheetFields* m_sheet;
};

// The one TPrenatal, created at start-up (null before and after).
extern TPrenatal* Prenatal;
