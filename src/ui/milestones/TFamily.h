#pragma once

#include "ui/common/TDialog.h"

#include <array>

class QLabel;
class QPushButton;
class QTabWidget;

// The family form: one button per relative in the tree layout, and the names over a tree picture.
class TFamily : public TDialog {
    Q_OBJECT
public:
    explicit TFamily(QWidget* parent = nullptr);

    // The relative of each slot (1 to 14): its button, the dialog's title and the tree label.
    struct Relative {
        const char* button;
        const char* caption;
        const char* title;
        const char* label;
        const char* labelCaption;
    };
    static const Relative& relative(int slot);

public slots:
    void RefreshNames();
    void memberButtonClick(int slot);
    void BitBtn2Click();

protected:
    void build() override;
    void FormActivate() override;

private:
    QTabWidget* m_pages;
    QLabel* m_childName;
    QLabel* m_childName2;
    std::array<QLabel*, 14> m_names{};
};

// The one TFamily, created at start-up (null before and after).
extern TFamily* Family;
