#pragma once

#include "ui/common/TDialog.h"

// The about box: the stork picture without border or caption, with an "Ok" button over it.
class TLogo2 : public TDialog {
    Q_OBJECT
public:
    explicit TLogo2(QWidget* parent = nullptr);

protected:
    void build() override;

private:
    void OKBtnClick();
};

// The one TLogo2, created at start-up (null before and after).
extern TLogo2* Logo2;
