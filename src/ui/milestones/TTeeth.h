#pragma once

#include "ui/common/TDialog.h"

#include <array>

class QPushButton;

// The twenty primary teeth as numbered buttons in an upper and a lower arch, with a legend. A tooth
// whose date is stored is drawn filled and tells its date in its hint.
class TTeeth : public TDialog {
    Q_OBJECT
public:
    explicit TTeeth(QWidget* parent = nullptr);

    // The design name of the button of tooth `slot` (1 to 20).
    static QString buttonName(int slot);

public slots:
    void toothClick(int slot);
    void RefreshTeeth();
    void HelpBtnClick();
    void OKBtnClick();

protected:
    void build() override;
    void FormActivate() override;
    void paintEvent(QPaintEvent* event) override;

private:
    std::array<QPushButton*, 20> m_teeth{};
};

// The one TTeeth, created at start-up (null before and after).
extern TTeeth* Teeth;
