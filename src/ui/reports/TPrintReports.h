#pragma once

#include "core/store/Table.h"
#include "ui/common/TDialog.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

// The report chooser: the main window sets a category, the user picks or types a report name and
// prints or previews it on the paper chosen below the name (the locale's by default). "Birth
// Announcement" gives the announcement page; every other report name with a report gives that report;
// any other text is answered with "Choose a report from the list."
class TPrintReports : public TDialog {
    Q_OBJECT
public:
    explicit TPrintReports(QWidget* parent = nullptr);

public slots:
    // Fills the chooser for the category with this title ("Prenatal Reports"): the title, the
    // category's names as a sorted list, and its default name in the box.
    void setCategory(const QString& title);

    void BitBtn1Click(); // print
    void BitBtn2Click(); // preview
    void HelpBtnClick();
    void OKBtnClick();

protected:
    void build() override;
    void FormActivate() override;

private:
    void produce(bool print);

    QLabel* Label1;
    QComboBox* ReportName;
    QLabel* PaperLabel;
    QComboBox* PaperSize;
    QGroupBox* GroupBox1;
    QPushButton* BitBtn1;
    QLabel* Label3;
    QPushButton* BitBtn2;
    QLabel* Label2;
    QPushButton* HelpBtn;
    QPushButton* OKBtn;
    QLabel* Title;
    Table ChildTable;
    bool m_onChildRow = false;
};

// The one TPrintReports, created at start-up (null before and after).
extern TPrintReports* PrintReports;
