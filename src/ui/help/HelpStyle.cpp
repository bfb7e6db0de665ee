#include "ui/help/HelpStyle.h"
#include "ui/common/Widgets.h"

#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

namespace HelpStyle {
QFont font(const QString& family, int pixels, bool bold) {
    QFont f(family);
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

QLabel* heading(QWidget* parent, const QString& headingName, const QString& rule1Name,
                const QString& rule2Name) {
    auto* title = new QLabel(QStringLiteral("Tinyra Help"), parent);
    title->setObjectName(headingName);
    title->setFont(font(QStringLiteral("Times New Roman"), 29));
    Widgets::setTextColor(title, QColor(0, 0, 0x80)); // navy, lightened on a dark palette
    title->move(8, 0);
    title->adjustSize();
    // Two rules of underscores, three pixels apart, make the double line under the heading.
    const QString rule(55, QLatin1Char('_'));
    const int top = 20;
    for (const auto& [name, offset] :
         {std::pair<QString, int>(rule1Name, 0), std::pair<QString, int>(rule2Name, 3)}) {
        auto* line = new QLabel(rule, parent);
        line->setObjectName(name);
        line->setFont(font(QStringLiteral("MS Sans Serif"), 11));
        line->setStyleSheet(QStringLiteral("color: navy; background: transparent;"));
        line->setAttribute(Qt::WA_TransparentForMouseEvents);
        line->setAccessibleName(QString()); // decoration only
        line->setGeometry(8, top + offset, 330, 16);
    }
    return title;
}

QPushButton* closingButton(const QString& name, const QString& caption, QWidget* parent) {
    // The help windows' buttons look like every form's: the standard letters and the tool bar's glyphs.
    QPushButton* b = caption == QLatin1String("Close") ? Widgets::closeButton(name, parent)
                     : caption == QLatin1String("Ok")  ? Widgets::okButton(name, parent)
                                                       : Widgets::pushButton(name, caption, parent);
    b->resize(93, 31);
    return b;
}

QIcon windowIcon() {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x0d, 0x47, 0xa1), 2));
    p.setBrush(QColor(0x42, 0x8b, 0xf0));
    p.drawEllipse(QRectF(2, 2, 28, 28));
    p.setPen(Qt::white);
    p.setFont(font(QStringLiteral("Arial"), 22, true));
    p.drawText(QRectF(2, 2, 28, 28), Qt::AlignCenter, QStringLiteral("?"));
    p.end();
    return QIcon(pm);
}
} // namespace HelpStyle
