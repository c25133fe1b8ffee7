// The window's event handlers: each only chooses what to do.
#include "frm_QVanto.h"

#include "app/SaveDialog.h"
#include "host/Clock.h"
#include "host/ImageSurface.h"
#include "host/OptionButton.h"
#include "host/PictureBox.h"
#include "host/StartupTrace.h"
#include "host/TextBox.h"
#include "host/Units.h"
#include "render/DateBandClick.h"
#include "settings/SettingsFile.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMenu>

void frm_QVanto::Form_Unload(qint16 &)
{
    SaveStamp();
}

void frm_QVanto::chkColor_Click(qint16 Index)
{
    InkColor = m_controls.chkColor.at(size_t(Index))->ForeColor();
    RedrawStamp();
}

void frm_QVanto::cmdPetan_Click()
{
    host::startupMark("stamp-click");
    StampNow();
}

void frm_QVanto::cmdCopyRight_Click()
{
    const float width = float(m_form.Width());
    m_form.SetWidth(width > 3600 ? 3600 : 9000);
}

void frm_QVanto::QVLabel_Change(qint16 Index)
{
    RedrawStamp();
    ShowMissingGlyphs(Index);
}

void frm_QVanto::cmbFontName_Click(qint16 Index)
{
    RedrawStamp();
    ShowMissingGlyphs(Index);
}

void frm_QVanto::chkQVID_Click()
{
    RedrawStamp();
}

void frm_QVanto::Picture1_MouseDown(qint16 Button, qint16, float X, float Y)
{
    render::DateBandPress(m_geometry, m_controls.QVDate, Button, X, Y, [this] { RedrawStamp(); });
}

void frm_QVanto::Picture1_ContextMenu(const QPoint &position)
{
    // Inside the date band the right button steps the date; elsewhere on
    // the face it offers the options.
    const float y = float((position.y() - host::ImageSurface::kBorderPx) * host::kTwipsPerPx);
    if (render::OnDateBand(m_geometry, y))
        return;
    m_menu.menu->popup(m_controls.Picture1->mapToGlobal(position));
}

void frm_QVanto::Picture1_MenuKey()
{
    // From the keyboard the menu opens at the middle of the face, whatever
    // lies under the pointer.
    m_menu.menu->popup(m_controls.Picture1->mapToGlobal(m_controls.Picture1->rect().center()));
}

void frm_QVanto::mnuPixelScale_Click(int scale)
{
    m_options.pixelScale = scale;
    m_menu.reflect(m_options);
}

void frm_QVanto::mnuTransparent_Click(bool on)
{
    m_options.transparent = on;
    m_menu.reflect(m_options);
}

void frm_QVanto::mnuDateStyle_Click(render::DateStyle style)
{
    m_options.dateStyle = style;
    m_menu.reflect(m_options);
    RedrawStamp();
}

void frm_QVanto::mnuStampMm_Click(int mm)
{
    m_options.stampMm = mm;
    m_menu.reflect(m_options);
    // The rim's width follows the size.
    RedrawStamp();
}

void frm_QVanto::mnuSealKind_Click(render::SealKind kind)
{
    m_options.kind = kind;
    m_menu.reflect(m_options);
    RedrawStamp();
}

void frm_QVanto::mnuStamp_Click(const QString &name)
{
    SwitchStamp(name);
}

void frm_QVanto::mnuStampSaveAs_Click()
{
    bool ok = false;
    const QString name = QInputDialog::getText(&m_form, QStringLiteral("印を残す"),
        QStringLiteral("印の名前:"), QLineEdit::Normal, m_stampName, &ok);
    if (ok)
        SaveStampAs(name.trimmed());
}

void frm_QVanto::mnuStampMmTyped_Click()
{
    bool ok = false;
    const int current = m_options.sizeMm() ? m_options.sizeMm() : 18;
    const int mm
        = QInputDialog::getInt(&m_form, QStringLiteral("印影の大きさ"), QStringLiteral("円の直径 (mm):"),
            current, app::StampOptions::kMinStampMm, app::StampOptions::kMaxStampMm, 1, &ok);
    mnuStampMm_Click(ok ? mm : m_options.stampMm);
}

void frm_QVanto::mnuOptions_AboutToShow()
{
    m_menu.showDate(m_services.clock.now().date());
    FillStampsMenu();
}

void frm_QVanto::QVLabel_Edited(qint16, const QString &text)
{
    TakeTypedDate(text);
}

void frm_QVanto::QVLabel_EditingFinished(qint16)
{
    FinishTypedDate();
}

void frm_QVanto::Picture1_ScreenChange()
{
    RedrawStamp();
}

void frm_QVanto::mnuSaveAs_Click()
{
    // The dialog adds the suffix of the chosen type to a bare name before it
    // asks about replacing a file of that name.
    const QString path = app::AskSaveFileName(&m_form, QStringLiteral("名前を付けて保存"),
        QStringLiteral("stamp.png"), {QStringLiteral("PNG 画像 (*.png)"), QStringLiteral("SVG 画像 (*.svg)")},
        {QStringLiteral("png"), QStringLiteral("svg")});
    if (!path.isEmpty())
        SaveFaceAs(path);
}

void frm_QVanto::mnuLookUp_Click()
{
    bool ok = false;
    const QString id = QInputDialog::getText(&m_form, QStringLiteral("押印番号の照会"),
        QStringLiteral("押印番号、または押印した PDF ファイル:"), QLineEdit::Normal,
        m_controls.QVLabel[4]->Text(), &ok);
    if (ok)
        LookUpStamp(id);
}

void frm_QVanto::mnuSignKey_Click()
{
    // Chosen once and kept in the settings; chosen again, signing stops.
    QString path;
    if (settingText(QStringLiteral("signcert")).isEmpty())
        path = QFileDialog::getOpenFileName(&m_form, QStringLiteral("署名の鍵 (PKCS#12)"), QString(),
            QStringLiteral("PKCS#12 (*.p12 *.pfx);;すべてのファイル (*)"));
    SetSigningKey(path);
}

void frm_QVanto::mnuStampPdf_Click()
{
    const QString path = QFileDialog::getOpenFileName(&m_form, QStringLiteral("PDF に押印"), QString(),
        QStringLiteral("PDF (*.pdf);;すべてのファイル (*)"));
    if (!path.isEmpty())
        StampPdfsInWindow({path});
}

void frm_QVanto::Form_FilesDropped(const QStringList &paths)
{
    StampPdfsInWindow(paths);
}
