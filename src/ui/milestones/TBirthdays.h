#pragma once

#include "core/milestones/MilestoneSheets.h"
#include "ui/common/TDialog.h"

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTabWidget;
class QToolButton;
class QVBoxLayout;
class ReplaceablePicture;

// The scrapbook page of one birthday of the active child: two pictures, the guests, the gifts and
// the remarks. The birthday is the one whose title the caller set; what is typed is stored at once.
class TBirthdays : public TDialog {
    Q_OBJECT
public:
    explicit TBirthdays(QWidget* parent = nullptr);

    QString title() const { return m_title; }
    // The record shown (for the active child and the title).
    const MilestoneSheets::BirthdayRecord& record() const { return m_record; }
    int shownGift() const { return m_gift; }

public slots:
    // The four title labels; the birthday shown is the one with this title.
    void setTitles(const QString& title);
    void BitBtn7Click();      // Guests: add the name typed
    void DelButtonClick();    // Guests: delete the name chosen
    void BitBtn8Click();      // Gifts: add the name and gift typed
    void SpeedButton1Click(); // Gifts: delete the record shown
    void UpClick();
    void DownClick();
    void ComboBox2Change(int index);
    void RemarksChange();

protected:
    void build() override;
    void FormActivate() override;

private:
    // One of the four pages while it is built: the widget and the column its contents stand in.
    struct Page {
        QWidget* widget = nullptr;
        QVBoxLayout* contents = nullptr;
    };
    Page addPage(int index, QList<QWidget*>* rows);
    void buildBirthdayPage(const Page& page);
    void buildGuestsPage(const Page& page);
    QWidget* guestToDeleteBox(QWidget* page);
    QWidget* newGuestBox(QWidget* page);
    void buildGiftsPage(const Page& page);
    QWidget* giftShownBox(QWidget* page);
    QWidget* giftCounter(QWidget* parent);
    QWidget* newGiftBox(QWidget* page);
    void buildRemarksPage(const Page& page);
    void okClick();
    void load();
    bool save();
    void showPictures();
    void refreshGuests();
    void refreshGifts();
    void showGift(int index);

    QString m_title;
    QString m_child;
    MilestoneSheets::BirthdayRecord m_record;
    int m_gift = -1;
    bool m_loading = false;
    bool m_remarksUnstored = false; // storing the remarks failed: Ok stores them before closing

    QTabWidget* m_pages;
    QLabel* m_titles[4];
    QFrame* m_bevel1;
    QFrame* m_bevel2;
    ReplaceablePicture* m_image1 = nullptr;
    ReplaceablePicture* m_image2 = nullptr;
    QToolButton* m_change1 = nullptr;
    QToolButton* m_change2 = nullptr;
    QPlainTextEdit* m_guestsMemo;
    QComboBox* m_guestCombo;
    QLineEdit* m_guestName;
    QPlainTextEdit* m_giftsMemo;
    QComboBox* m_giftCombo;
    QLineEdit* m_giftShown;
    QLabel* m_recordNo;
    QLabel* m_recordCount;
    QLineEdit* m_giftName;
    QLineEdit* m_giftText;
    QPlainTextEdit* m_remarks;
};

// The one TBirthdays, created at start-up (null before and after).
extern TBirthdays* Birthdays;
