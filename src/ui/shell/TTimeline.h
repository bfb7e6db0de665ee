#pragma once

#include "core/overview/Timeline.h"
#include "ui/common/TDialog.h"

class QComboBox;
class QListView;
class TimelineModel;

// Everything recorded for the active child on one list, newest first, with a filter by kind. Opening
// an item asks the main window to show it in its own form; the list is read again when that closes.
class TTimeline : public TDialog {
    Q_OBJECT
public:
    explicit TTimeline(QWidget* parent = nullptr);

    // The items the list shows now, top to bottom.
    QVector<ChildTimeline::Item> shown() const;

signals:
    void openItem(const ChildTimeline::Item& item);

public slots:
    void KindFilterChange();
    void OpenBtnClick();
    void CloseBtnClick();

protected:
    void build() override;
    void FormActivate() override;

private:
    // Reads the child's items again, keeping the filter and, as near as may be, the chosen row.
    void reread();

    QComboBox* m_filter;
    QListView* m_list;
    TimelineModel* m_model;
};

// The one TTimeline, created at start-up (null before and after).
extern TTimeline* Timeline;
