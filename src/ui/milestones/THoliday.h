#pragma once

#include "ui/common/TDialog.h"

class QLabel;
class QPlainTextEdit;

// The remarks page of one occasion of the active child: the window title names the kind of
// occasion, the title the occasion itself; the remarks are the child's for that pair, stored at once.
class THoliday : public TDialog {
    Q_OBJECT
public:
    explicit THoliday(QWidget* parent = nullptr);

    QString title() const;
    // The help topic for the form's caption (0 for a caption without one).
    static int helpTopicFor(const QString& caption);

public slots:
    void setTitle(const QString& title);
    void OKBtnClick();
    void CancelBtnClick();
    void HelpBtnClick();
    void RemarksChange();

protected:
    void build() override;
    void FormActivate() override;

private:
    void storeRemarks();
    QLabel* m_title;
    QPlainTextEdit* m_remarks;
    QString m_child;
    QString m_caption;
    QString m_shownTitle;
    bool m_loading = false;
    bool m_unstored = false; // storing the remarks failed: Ok stores them before closing
};

// The one THoliday, created at start-up (null before and after).
extern THoliday* Holiday;
