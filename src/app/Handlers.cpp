// The window's event handlers: each only chooses what to do.
#include "frm_QVanto.h"

#include "host/OptionButton.h"
#include "render/DateBandClick.h"
#include "settings/SettingsFile.h"

void frm_QVanto::Form_Unload(qint16 &)
{
    const bas_QVanto::SettingsControls settings = settingsControls();
    bas_QVanto::SaveSettings(m_services.app, settings);
}

void frm_QVanto::chkColor_Click(qint16 Index)
{
    InkColor = m_controls.chkColor.at(size_t(Index))->ForeColor();
    RedrawStamp();
}

void frm_QVanto::cmdPetan_Click() { StampNow(); }

void frm_QVanto::cmdCopyRight_Click()
{
    const float width = float(m_form.Width());
    m_form.SetWidth(width > 3600 ? 3600 : 9000);
}

void frm_QVanto::QVLabel_Change(qint16) { RedrawStamp(); }

void frm_QVanto::cmbFontName_Click(qint16) { RedrawStamp(); }

void frm_QVanto::chkQVID_Click() { RedrawStamp(); }

void frm_QVanto::Picture1_MouseDown(qint16 Button, qint16, float X, float Y)
{
    render::DateBandPress(m_geometry, m_controls.QVDate, Button, X, Y, [this] { RedrawStamp(); });
}
