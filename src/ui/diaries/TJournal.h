#pragma once

#include "ui/common/TDialog.h"

class DiaryEditor;

// The daily journal: one diary over the child's journal entries.
class TJournal : public TDialog {
    Q_OBJECT
public:
    explicit TJournal(QWidget* parent = nullptr);
    DiaryEditor* editor() {
        ensureBuilt();
        return m_editor;
    }

protected:
    void build() override;
    void FormActivate() override;

private:
    DiaryEditor* m_editor;
};

// The one TJournal, created at start-up (null before and after).
extern TJournal* Journal;
