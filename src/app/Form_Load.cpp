// Start-up: the window's defaults, the stored settings, then the first face.
#include "frm_QVanto.h"

#include "host/AfterFirstFrame.h"
#include "host/AppInfo.h"
#include "host/Clock.h"
#include "host/ComboBox.h"
#include "host/FontList.h"
#include "host/Label.h"
#include "host/MessageBox.h"
#include "host/OptionButton.h"
#include "host/StartupTrace.h"
#include "host/TextBox.h"
#include "render/DateText.h"
#include "settings/SettingsFile.h"

#include <QDir>
#include <QScopedValueRollback>

#include <limits>

namespace {

struct ColorOption {
    const char16_t *caption;
    qint32 color;
};
constexpr ColorOption kColorOptions[7] = {
    {u"黒", 0},
    {u"赤", 255},
    {u"緑", 65280},
    {u"黄", 65535},
    {u"青", 16711680},
    {u"紫", 16711935},
    {u"水", 16776960},
};

const QString kDefaultFace = QStringLiteral("ＭＳ Ｐゴシック");
const QString kCredit = QStringLiteral("Copyright (C) 2026 QVanto developers");
const QString kHomePage = QStringLiteral("HomePage: https://qvanto.example/");

QString captionFor(const host::AppInfo &app)
{
    return app.Title + QLatin1Char(' ') + QString::number(app.Major) + QStringLiteral(" . ")
        + QString::number(app.Minor) + QStringLiteral(" . ") + QString::number(app.Revision);
}

} // namespace

void frm_QVanto::Form_Load()
{
    const host::AppInfo &app = m_services.app;
    app::Controls &c = m_controls;

    m_form.BeginLoad();
    m_form.Show();
    m_form.Hide();

    // Undone on the way out, whatever happens: a face that never redraws
    // again would be worse than any slow start.
    const QScopedValueRollback<bool> holdRedraw(m_holdRedraw, true);
    m_form.SetCaption(captionFor(app));
    c.lblTitle->SetCaption(app.Comments + QLatin1Char('\r') + kCredit + QLatin1Char('\r') + kHomePage);

    // The host counts fonts in 16 bits.
    const QStringList families = m_services.fonts.families();
    const auto count = qMin<qsizetype>(families.size(), std::numeric_limits<qint16>::max());
    const QStringList faces = host::familiesToList(families.first(count));
    for (host::ComboBox *field : c.cmbFontName)
        field->addItems(faces);
    for (host::ComboBox *field : c.cmbFontName)
        field->SetText(kDefaultFace);
    host::startupMark("font-lists");

    for (int i = 0; i < 7; ++i) {
        c.chkColor[size_t(i)]->SetCaption(QString::fromUtf16(kColorOptions[i].caption));
        c.chkColor[size_t(i)]->SetForeColor(kColorOptions[i].color);
    }

    c.QVLabel[0]->SetText(QStringLiteral("会 社 名"));
    c.QVLabel[1]->SetText(QStringLiteral("部課係名"));
    c.QVLabel[2]->SetText(QStringLiteral("氏    名"));

    const QDate today = m_services.clock.now().date();
    c.QVDate[0]->SetText(QString::number(today.year()));
    c.QVDate[1]->SetText(QString::number(today.month()));
    c.QVDate[2]->SetText(QString::number(today.day()));
    c.QVLabel[3]->SetText(render::DateRowText(c.QVDate[0]->Text(), c.QVDate[1]->Text(), c.QVDate[2]->Text()));
    c.QVLabel[4]->SetText(QStringLiteral("QVANTOID"));

    InkColor = 255;
    m_storedOptions = m_options.toSettings();
    bas_QVanto::SettingsControls settings = settingsControls();
    bas_QVanto::LoadSettings(app, settings, m_splitter);
    m_options = app::StampOptions::fromSettings(m_storedOptions);
    m_menu.reflect(m_options);
    SetSigningKey(settingText(QStringLiteral("signcert")));
    host::startupMark("settings");

    m_holdRedraw = false;
    m_form.SetVisible(true);
    RedrawStamp();
    // Asking each row's face for every character loads the faces whole: the
    // marks follow the first frame instead of holding it up.
    host::afterFirstFrame(&m_form, [this] {
        for (qint16 i = 0; i < 4; ++i)
            ShowMissingGlyphs(i);
    });
    host::startupMark("first-redraw");

    // Said once, now, rather than failing silently at every close and stamp.
    if (!app.FilesKept)
        m_services.messages.show(
            (app.FolderShared
                    ? QStringLiteral("設定と押印の記録を保存するフォルダーは、ほかのユーザーも書き換え"
                                     "られるため使いません。\n%1\n")
                    : QStringLiteral("設定と押印の記録を保存できるフォルダーがありません。\n%1\n"))
                    .arg(QDir::toNativeSeparators(app.DataPath.isEmpty() ? app.Path : app.DataPath))
                + QStringLiteral("このまま使えますが、設定と記録は残りません。"),
            app.Title, host::MessageBox::Icon::Critical);
}
