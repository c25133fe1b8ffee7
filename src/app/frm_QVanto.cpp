#include "frm_QVanto.h"

#include "MissingGlyphMark.h"
#include "ToolTips.h"
#include "WindowIcon.h"
#include "host/AfterFirstFrame.h"
#include "host/AppInfo.h"
#include "host/CheckBox.h"
#include "host/Clock.h"
#include "host/ComboBox.h"
#include "host/CommandButton.h"
#include "host/FontResolver.h"
#include "host/HostError.h"
#include "host/Label.h"
#include "host/MessageBox.h"
#include "host/OptionButton.h"
#include "host/PictureBox.h"
#include "host/SafeWriter.h"
#include "host/SoundPlayer.h"
#include "host/StartupTrace.h"
#include "host/TextBox.h"
#include "render/FaceExport.h"
#include "render/RedrawStamp.h"
#include "render/TypedDate.h"
#include "settings/SettingsFile.h"
#include "stamp/StampLookup.h"
#include "stamp/StampNow.h"

#include <QAction>
#include <QButtonGroup>
#include <QMenu>
#include <QPushButton>

namespace {
constexpr double kClientWidthTwips = 3510;
constexpr double kClientHeightTwips = 4530;
} // namespace

frm_QVanto::frm_QVanto(host::Services services)
    : m_services(services), m_errors(services.messages, services.app.Title),
      m_form(kClientWidthTwips, kClientHeightTwips), m_controls(app::BuildLayout(m_form)),
      m_menu(app::BuildOptionsMenu(m_form))
{
    // The icon writes Japanese in a bold face, which nothing else on the
    // first frame needs: drawn once the window is up.
    host::afterFirstFrame(&m_form, [this] { m_form.setWindowIcon(WindowIcon()); });
    host::afterFirstFrame(&m_form, [this] { SendWaitingStamps(); });
    app::SetToolTips(m_controls);
    m_menu.reflect(m_options);
    connectHandlers();
    host::startupMark("controls");
}

frm_QVanto::~frm_QVanto() = default;

void frm_QVanto::connectHandlers()
{
    // Every handler runs inside the default error report, so no failure
    // crosses the event loop and the program keeps running.
    auto guarded = [this](auto handler) {
        return [this, handler](auto &&...args) { m_errors.run([&] { handler(args...); }); };
    };
    connect(&m_form, &host::Form::Unload, this, guarded([this](qint16 &cancel) { Form_Unload(cancel); }));
    connect(m_controls.chkColorGroup, &QButtonGroup::idClicked, this,
        guarded([this](int id) { chkColor_Click(qint16(id)); }));
    connect(m_controls.cmdPetan, &QPushButton::clicked, this, guarded([this](bool) { cmdPetan_Click(); }));
    // The stamp's sound is made ready while the mouse nears 押印, so even
    // the first stamp is heard at once, and a session that never stamps
    // never loads it.
    connect(m_controls.cmdPetan, &host::CommandButton::Approached, this,
        [this] { m_services.sound.prepare(QStringLiteral("petan.wav")); });
    connect(m_controls.cmdCopyRight, &QPushButton::clicked, this,
        guarded([this](bool) { cmdCopyRight_Click(); }));
    for (qint16 i = 0; i < 5; ++i)
        connect(m_controls.QVLabel[size_t(i)], &host::TextBox::Change, this,
            guarded([this, i] { QVLabel_Change(i); }));
    for (qint16 i = 0; i < 4; ++i)
        connect(m_controls.cmbFontName[size_t(i)], &host::ComboBox::Click, this,
            guarded([this, i] { cmbFontName_Click(i); }));
    // Typed by the user, not written by the program: settings and redraws
    // write the date row too, and must not set the date from it.
    connect(m_controls.QVLabel[3], &QLineEdit::textEdited, this,
        guarded([this](const QString &text) { QVLabel_Edited(3, text); }));
    connect(m_controls.QVLabel[3], &QLineEdit::editingFinished, this,
        guarded([this] { QVLabel_EditingFinished(3); }));
    connect(m_controls.chkQVID, &host::CheckBox::Click, this, guarded([this] { chkQVID_Click(); }));
    connect(m_controls.Picture1, &host::PictureBox::MouseDown, this,
        guarded([this](int button, int shift, float x, float y) {
            Picture1_MouseDown(qint16(button), qint16(shift), x, y);
        }));
    connect(m_controls.Picture1, &host::PictureBox::ScreenChange, this,
        guarded([this] { Picture1_ScreenChange(); }));
    m_controls.Picture1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_controls.Picture1, &QWidget::customContextMenuRequested, this,
        guarded([this](const QPoint &position) { Picture1_ContextMenu(position); }));
    connect(m_controls.Picture1, &host::PictureBox::MenuKey, this, guarded([this] { Picture1_MenuKey(); }));
    for (int n = 1; n <= 4; ++n)
        connect(m_menu.pixelScale[size_t(n - 1)], &QAction::triggered, this,
            guarded([this, n](bool) { mnuPixelScale_Click(n); }));
    connect(m_menu.transparent, &QAction::triggered, this,
        guarded([this](bool on) { mnuTransparent_Click(on); }));
    for (int i = 0; i < 3; ++i)
        connect(m_menu.dateStyle[size_t(i)], &QAction::triggered, this,
            guarded([this, i](bool) { mnuDateStyle_Click(render::DateStyle(i)); }));
    for (size_t i = 0; i < m_menu.stampMm.size(); ++i)
        connect(m_menu.stampMm[i], &QAction::triggered, this,
            guarded([this, i](bool) { mnuStampMm_Click(app::OptionsMenu::kStampSizesMm[i]); }));
    for (size_t i = 0; i < m_menu.kind.size(); ++i)
        connect(m_menu.kind[i], &QAction::triggered, this,
            guarded([this, i](bool) { mnuSealKind_Click(render::SealKind(i)); }));
    connect(
        m_menu.stampMmTyped, &QAction::triggered, this, guarded([this](bool) { mnuStampMmTyped_Click(); }));
    connect(m_menu.menu, &QMenu::aboutToShow, this, guarded([this] { mnuOptions_AboutToShow(); }));
    connect(m_menu.saveAs, &QAction::triggered, this, guarded([this](bool) { mnuSaveAs_Click(); }));
    connect(m_menu.lookUp, &QAction::triggered, this, guarded([this](bool) { mnuLookUp_Click(); }));
    connect(m_menu.stampPdf, &QAction::triggered, this, guarded([this](bool) { mnuStampPdf_Click(); }));
    connect(m_menu.signKey, &QAction::triggered, this, guarded([this](bool) { mnuSignKey_Click(); }));
    // Queued: the page view must not open inside the drop, which the
    // program the files came from is still waiting to see finished.
    m_form.AcceptFileDrops();
    connect(&m_form, &host::Form::FilesDropped, this,
        guarded([this](const QStringList &paths) { Form_FilesDropped(paths); }), Qt::QueuedConnection);
}

render::FaceControls frm_QVanto::faceControls()
{
    render::FaceControls face;
    face.QVLabel = m_controls.QVLabel;
    if (m_typingDate) {
        if (!m_dateRowShown)
            m_dateRowShown = std::make_unique<host::TextBox>();
        m_dateRowShown->setFont(m_controls.QVLabel[3]->font());
        face.QVLabel[3] = m_dateRowShown.get();
    }
    face.QVDate = m_controls.QVDate;
    face.cmbFontName = m_controls.cmbFontName;
    face.chkQVID = m_controls.chkQVID;
    face.Picture1 = &m_controls.Picture1->surface();
    face.InkColor = &InkColor;
    face.dateStyle = &m_options.dateStyle;
    face.kind = m_options.kind;
    face.sizeMm = m_options.sizeMm();
    return face;
}

bas_QVanto::SettingsControls frm_QVanto::settingsControls()
{
    return bas_QVanto::SettingsControls {
        {m_controls.QVLabel[0], m_controls.QVLabel[1], m_controls.QVLabel[2], m_controls.QVLabel[3]},
        m_controls.cmbFontName, InkColor, *m_controls.chkQVID, &m_storedOptions, &m_settingTexts};
}

QString frm_QVanto::settingText(const QString &key) const
{
    for (const bas_QVanto::SettingsText &text : m_settingTexts)
        if (text.key == key)
            return text.value;
    return {};
}

void frm_QVanto::RedrawStamp()
{
    if (m_holdRedraw)
        return;
    m_controls.Picture1->FollowScreen();
    render::FaceControls face = faceControls();
    render::RedrawStamp(face, m_geometry);
    m_controls.Picture1->Refresh();
}

void frm_QVanto::ShowMissingGlyphs(qint16 Index)
{
    // While start-up fills the rows, the marks wait for the first frame.
    if (m_holdRedraw)
        return;
    if (Index < 0 || Index >= qint16(m_controls.cmbFontName.size()))
        return;
    host::ComboBox &field = *m_controls.cmbFontName[size_t(Index)];
    // The face the row is drawn in: a Windows name maps to its installed twin.
    const QString family = host::FontResolver::shared().family(field.Text());
    app::ShowMissingGlyphs(field, *m_controls.lblMissingGlyphs[size_t(Index)],
        m_missingGlyphs.in(family, m_controls.QVLabel[size_t(Index)]->Text()));
}

void frm_QVanto::StampNow()
{
    // A date still being typed is taken first: the record and the face
    // carry one date.
    FinishTypedDate();
    stamp::StampContext context {m_controls.QVLabel, [this] { RedrawStamp(); },
        [this] { return m_controls.Picture1->Image(); }, [this] { m_form.SetWindowState(1); }, m_stampIds,
        m_services.clock, m_services.clipboard, m_services.messages, m_services.sound, m_services.app};
    context.registry = [this] { return Registry(); };
    // At the default options the clipboard gets the face on screen itself,
    // unless the screen has finer pixels than the chosen resolution.
    const app::StampOptions &o = m_options;
    if (o.pixelScale != 1 || o.sizeMm() != 0 || m_controls.Picture1->surface().pixelScale() != 1)
        context.PictureImage
            = [this, &o] { return render::FaceImage(faceControls(), o.pixelScale, false, o.sizeMm()); };
    if (o.transparent)
        context.PicturePng
            = [this, &o] { return render::FacePng(faceControls(), o.pixelScale, true, o.sizeMm()); };
    stamp::StampNow(context);
}

void frm_QVanto::SaveFaceAs(const QString &path)
{
    const QByteArray bytes = path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)
        ? render::FaceSvg(faceControls(), m_options.sizeMm())
        : render::FacePng(faceControls(), m_options.pixelScale, m_options.transparent, m_options.sizeMm());
    try {
        host::writeFileSafely(path, bytes);
    } catch (const host::HostError &e) {
        m_services.messages.show(QStringLiteral("保存できませんでした。\n") + e.message(),
            m_services.app.Title, host::MessageBox::Icon::Critical);
    }
}

void frm_QVanto::TakeTypedDate(const QString &text)
{
    if (!render::CouldBecomeDate(text)) {
        // The change notification that follows this edit redraws and so
        // writes the row again from the date fields; redrawing here, inside
        // the edit, would leave the row's text and what it shows apart.
        PutDateBack();
        return;
    }
    if (!m_typingDate)
        for (size_t i = 0; i < 3; ++i)
            m_dateBeforeTyping[i] = m_controls.QVDate[i]->Text();
    m_typingDate = true;
    const QDate date = render::TypedDate(text);
    if (!date.isValid())
        return;
    m_controls.QVDate[0]->SetText(QString::number(date.year()));
    m_controls.QVDate[1]->SetText(QString::number(date.month()));
    m_controls.QVDate[2]->SetText(QString::number(date.day()));
}

void frm_QVanto::PutDateBack()
{
    if (m_typingDate)
        for (size_t i = 0; i < 3; ++i)
            m_controls.QVDate[i]->SetText(m_dateBeforeTyping[i]);
    m_typingDate = false;
}

void frm_QVanto::FinishTypedDate()
{
    if (!m_typingDate)
        return;
    if (render::TypedDate(m_controls.QVLabel[3]->Text()).isValid())
        m_typingDate = false;
    else
        PutDateBack();
    RedrawStamp();
}
