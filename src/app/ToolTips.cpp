#include "ToolTips.h"

#include "Layout.h"

#include "host/CheckBox.h"
#include "host/PictureBox.h"

#include <QPushButton>

namespace app {

void SetToolTips(const Controls &c)
{
    c.cmdCopyRight->setToolTip(QStringLiteral("ウィンドウを広げて、行・書体・色の編集欄を表示します"));
    c.Picture1->setToolTip(
        QStringLiteral("日付の帯を左クリックで年・月・日を一つ進め、右クリックで戻します。\n"
                       "それ以外の所を右クリック (または Shift+F10) でオプション"));
    c.chkQVID->setToolTip(
        QStringLiteral("押印識別番号を印影の下部に入れます。番号は押印のたびに新しくなり、ログに残ります"));
}

} // namespace app
