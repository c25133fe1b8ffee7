#include "Layout.h"

#include "host/CheckBox.h"
#include "host/ComboBox.h"
#include "host/CommandButton.h"
#include "host/FontResolver.h"
#include "host/Form.h"
#include "host/Label.h"
#include "host/OptionButton.h"
#include "host/PictureBox.h"
#include "host/TextBox.h"
#include "host/Units.h"

#include <QButtonGroup>
#include <QFrame>

namespace app {

namespace {

const QString kGothic = QStringLiteral("ＭＳ Ｐゴシック");

void place(QWidget *w, double left, double top, double width, double height)
{
    w->setGeometry(qRound(host::twipsToPx(left)), qRound(host::twipsToPx(top)),
        qRound(host::twipsToPx(width)), qRound(host::twipsToPx(height)));
}

void setFont(QWidget *w, double points, bool bold = false)
{
    w->setFont(host::FontResolver::shared().widgetFont(kGothic, points, bold));
}

host::TextBox *rowBox(QWidget *parent, int n)
{
    auto *box = new host::TextBox(parent, host::kMaxFieldUnits);
    place(box, 4350, 150 + 450 * n, 2200, n == 0 ? 390 : 330);
    setFont(box, 11.25);
    QPalette pal = box->palette();
    pal.setColor(QPalette::Base, Qt::white);
    pal.setColor(QPalette::Text, Qt::black);
    box->setPalette(pal);
    return box;
}

host::TextBox *hiddenBox(QWidget *parent, double left, const QString &text)
{
    auto *box = new host::TextBox(parent);
    place(box, left, 150, 165, 315);
    box->SetText(text);
    box->hide();
    return box;
}

host::ComboBox *fontField(QWidget *parent, int n)
{
    auto *combo = new host::ComboBox(parent);
    // Narrowed by the mark's width, which stands at its right.
    place(combo, 6600, 150 + 450 * n, 2035, 315);
    return combo;
}

host::Label *caption(QWidget *parent, int n, const QString &text)
{
    auto *label = new host::Label(parent);
    place(label, 3450, 225 + 450 * n, 840, 240);
    label->SetCaption(text);
    return label;
}

host::Label *missingGlyphsMark(QWidget *parent, int n)
{
    // At the field's right, inside the wide window; a label,
    // so Tab never stops on it.
    auto *mark = new host::Label(parent);
    place(mark, 8650, 150 + 450 * n, 180, 315);
    mark->setAlignment(Qt::AlignCenter);
    mark->SetCaption(QStringLiteral("⚠"));
    QPalette palette = mark->palette();
    palette.setColor(QPalette::WindowText, QColor(0xC0, 0x60, 0x00));
    mark->setPalette(palette);
    mark->hide();
    return mark;
}

} // namespace

Controls BuildLayout(host::Form &form)
{
    setFont(&form, 9.75);
    Controls c;
    // Back to front: a later control lies above an earlier one.
    c.cmbFontName[3] = fontField(&form, 3);
    c.cmbFontName[2] = fontField(&form, 2);
    c.cmbFontName[1] = fontField(&form, 1);

    c.chkQVID = new host::CheckBox(&form);
    place(c.chkQVID, 4350, 1950, 4215, 315);
    c.chkQVID->setText(QStringLiteral("押印識別番号をつける"));
    setFont(c.chkQVID, 11.25);

    c.cmdCopyRight = new host::CommandButton(QStringLiteral("(C)"), &form);
    place(c.cmdCopyRight, 2700, 3900, 690, 540);
    c.cmdPetan = new host::CommandButton(QStringLiteral("押印"), &form);
    place(c.cmdPetan, 75, 3900, 2565, 540);

    c.cmbFontName[0] = fontField(&form, 0);
    c.QVLabel[3] = rowBox(&form, 3);
    c.QVDate[2] = hiddenBox(&form, 600, QStringLiteral("Text1"));
    c.QVDate[1] = hiddenBox(&form, 375, QStringLiteral("Text1"));
    c.QVDate[0] = hiddenBox(&form, 150, QStringLiteral("Text1"));
    c.QVLabel[4] = hiddenBox(&form, 825, QString());
    c.QVLabel[2] = rowBox(&form, 2);
    c.QVLabel[1] = rowBox(&form, 1);
    c.QVLabel[0] = rowBox(&form, 0);

    c.Picture1 = new host::PictureBox(3315, 3315, &form);
    place(c.Picture1, 75, 75, 3315, 3315);

    c.Frame1 = new QFrame(&form);
    place(c.Frame1, 0, 3300, 3465, 540);
    c.Frame1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    c.Frame1->setAutoFillBackground(true);
    QPalette framePalette = c.Frame1->palette();
    framePalette.setColor(QPalette::Window, QColor(0xD4, 0xD0, 0xC8));
    c.Frame1->setPalette(framePalette);

    c.chkColorGroup = new QButtonGroup(&form);
    c.chkColorGroup->setExclusive(true);
    for (int i : {8, 7, 0, 1, 2, 3, 4, 5, 6}) {
        auto *option = new host::OptionButton(c.Frame1);
        place(option, 75 + 375 * i, 225, 315, 315);
        setFont(option, 9.75, true);
        c.chkColorGroup->addButton(option, i);
        c.chkColor[size_t(i)] = option;
    }
    host::OptionButton::keepTabStops(*c.chkColorGroup);

    c.lblTitle = new host::Label(&form);
    place(c.lblTitle, 3525, 2325, 5265, 2115);
    setFont(c.lblTitle, 11.25);
    c.lblTitle->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    c.lblTitle->SetCaption(QStringLiteral("ｱﾌﾟﾘｹｰｼｮﾝ ﾀｲﾄﾙ"));
    QPalette titlePalette = c.lblTitle->palette();
    titlePalette.setColor(QPalette::WindowText, Qt::black);
    c.lblTitle->setPalette(titlePalette);

    c.Label[3] = caption(&form, 3, QStringLiteral("日付"));
    c.Label[2] = caption(&form, 2, QStringLiteral("氏名"));
    c.Label[1] = caption(&form, 1, QStringLiteral("部課係名"));
    c.Label[0] = caption(&form, 0, QStringLiteral("会社名"));
    for (int n = 0; n < 4; ++n)
        c.lblMissingGlyphs[size_t(n)] = missingGlyphsMark(&form, n);

    // Designed tab order; hidden controls, labels and the frame never take focus.
    c.Picture1->setFocusPolicy(Qt::StrongFocus);
    const QList<QWidget *> order = {c.Picture1, c.QVLabel[0], c.QVLabel[1], c.QVLabel[2], c.QVLabel[3],
        c.cmbFontName[0], c.chkColor[6], c.chkColor[5], c.chkColor[4], c.chkColor[3], c.chkColor[2],
        c.chkColor[1], c.chkColor[0], c.cmdPetan, c.cmdCopyRight, c.chkColor[7], c.chkColor[8], c.chkQVID,
        c.cmbFontName[1], c.cmbFontName[2], c.cmbFontName[3]};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    return c;
}

} // namespace app
