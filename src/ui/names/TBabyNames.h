#pragma once

#include "core/names/NameLists.h"
#include "ui/common/TDialog.h"

#include <QStringList>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QStringListModel;
class QTabWidget;
class QToolButton;

// A record navigator with the buttons first, previous, next and last over one name table.
class TNameNavigator : public QWidget {
    Q_OBJECT
public:
    TNameNavigator(const QString& name, const QColor& color, QWidget* parent);
    // Enables the buttons for a cursor at `position` of `count` rows.
    void setPosition(int position, int count);

signals:
    void firstClicked();
    void priorClicked();
    void nextClicked();
    void lastClicked();

private:
    QToolButton* m_first;
    QToolButton* m_prior;
    QToolButton* m_next;
    QToolButton* m_last;
};

// The baby names browser: plain lists of boy and girl names, the countries of the world with their
// names, and an encyclopedia that steps through each table showing origin and meaning.
class TBabyNames : public TDialog {
    Q_OBJECT
public:
    explicit TBabyNames(QWidget* parent = nullptr);

    // The handlers of the twenty country buttons; each shows that country's names.
    void SpeedButtonClick(int number);
    // The dialog a country button shows (its object name is "CountryNames").
    void ShowCountry(const QString& country);

protected:
    void build() override;
    void FormActivate() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Side {
        explicit Side(const QString& tableName) : table(tableName) {}
        NameLists::NameCursor table;
        QComboBox* list = nullptr;
        QLabel* found = nullptr; // origin and meaning of the name typed or picked in the list
        QStringListModel* model = nullptr;
        QLineEdit* name = nullptr;
        QLineEdit* origin = nullptr;
        QPlainTextEdit* meaning = nullptr;
        TNameNavigator* navigator = nullptr;
    };

    QWidget* buildNamesPage();
    QWidget* buildWorldPage();
    QWidget* buildEncyclopediaPage();
    void addPageTitle(QWidget* page, const QString& helpName, int topic);
    void buildEncyclopediaSide(QWidget* page, Side& side, int left, const QColor& color,
                               const QString& prefix, const QString& navigatorName, const QString& labelName,
                               const QString& caption, const QString& originLabel,
                               const QString& meaningLabel);
    void fillSide(Side& side);
    void showRow(Side& side);
    void showFound(Side& side);
    void connectNavigator(Side& side);

    void OKBtnClick();
    void CancelBtnClick();

    QTabWidget* m_tabs = nullptr;
    Side m_boys{QStringLiteral("BOYA")};
    Side m_girls{QStringLiteral("GIRLA")};
};

// The one TBabyNames, created at start-up (null before and after).
extern TBabyNames* BabyNames;
