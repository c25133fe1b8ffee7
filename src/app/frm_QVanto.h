#pragma once

#include "Layout.h"
#include "OptionsMenu.h"
#include "StampOptions.h"
#include "StampPdf.h"

#include "host/ErrorReport.h"
#include "host/Form.h"
#include "host/MissingGlyphs.h"
#include "host/Services.h"
#include "render/StampFace.h"
#include "settings/SettingsFile.h"
#include "stamp/NewStampId.h"
#include "stamp/Registry.h"

#include <memory>

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>

namespace app {
class LookUpDialog;
class SavedNotice;
class StampBatch;
struct PdfJob;
struct PlacementRule;
} // namespace app

// The program's one window: its controls, the state the program keeps
// besides them, the event handlers (which only dispatch) and the routines
// that do the work.
class frm_QVanto : public QObject {
    Q_OBJECT
public:
    explicit frm_QVanto(host::Services services);
    ~frm_QVanto() override;

    // Start-up: fills the controls, reads the settings, shows the window and
    // draws the face once.
    void Form_Load();

    // Event handlers.
    void Form_Unload(qint16 &Cancel);
    void chkColor_Click(qint16 Index);
    void cmdPetan_Click();
    void cmdCopyRight_Click();
    void QVLabel_Change(qint16 Index);
    void cmbFontName_Click(qint16 Index);
    void chkQVID_Click();
    void Picture1_MouseDown(qint16 Button, qint16 Shift, float X, float Y);
    void Picture1_ContextMenu(const QPoint &position);
    void Picture1_MenuKey();
    void mnuPixelScale_Click(int scale);
    void mnuTransparent_Click(bool on);
    void mnuDateStyle_Click(render::DateStyle style);
    void mnuStampMm_Click(int mm);
    void mnuSealKind_Click(render::SealKind kind);
    void mnuStamp_Click(const QString &name);
    void mnuStampSaveAs_Click();
    void mnuStampMmTyped_Click();
    void mnuOptions_AboutToShow();
    void QVLabel_Edited(qint16 Index, const QString &text);
    void QVLabel_EditingFinished(qint16 Index);
    void Picture1_ScreenChange();
    void mnuSaveAs_Click();
    void mnuLookUp_Click();
    void mnuStampPdf_Click();
    void Form_FilesDropped(const QStringList &paths);
    void mnuSignKey_Click();

    // The routines the handlers dispatch to.
    void RedrawStamp();
    void StampNow();
    // A key typed into the date row: a date sets the date fields and the
    // face; while the text may still become one it stays as typed, and the
    // face keeps the last date; anything else puts the row back.
    void TakeTypedDate(const QString &text);
    // The typing is over (Enter, Tab, leaving the row, stamping): the row is
    // written again from the date fields, the typed date or the last one.
    void FinishTypedDate();
    // Saved stamps (stamps/<name>.ini; the empty name is the default
    // stamp, the settings file itself). LoadStamp puts the stamp in use, or
    // is false when there is none of that name; SaveStamp keeps the one in
    // use in its file; SwitchStamp does both; SaveStampAs keeps the one in
    // use under a new name and goes on with it.
    bool LoadStamp(const QString &name);
    void SaveStamp();
    void SwitchStamp(const QString &name);
    void SaveStampAs(const QString &name);
    const QString &stampName() const { return m_stampName; }
    // Lists the saved stamps in the options menu.
    void FillStampsMenu();
    // Writes the face to a PNG or SVG file (by the name's suffix), at the
    // chosen resolution and background.
    void SaveFaceAs(const QString &path);
    // Shows what a stamp identification number encodes and its log records;
    // for a PDF file's name, every number stamped into it. The answer comes
    // in a dialog of its own, which reads the log in the background.
    void LookUpStamp(const QString &id);
    // The look-up dialog last opened, while it is open.
    app::LookUpDialog *lookUpDialog() const;

    // Stamping a PDF, in the steps the file's writing puts in order: a new
    // number issued and logged (stamp::IssueStamp) into row 4, then the face
    // drawn for print. Throws host::HostError when no number can be issued.
    // `document` names the file for the office's registry.
    QString IssueStampNumber(const QString &document);
    // The stamped file's SHA-256 (hex) as written, for the office's registry;
    // the reason when it could not be kept, else empty.
    QString RecordDocumentHash(const QString &number, const QString &sha256);
    // The office's registry, opened on first use; none when not configured.
    stamp::Registry *Registry();
    std::shared_ptr<stamp::Registry> RegistryShared();
    // Sends the stamps that wait for the registry, if any wait: at start-up,
    // so a desk that was offline catches up without stamping.
    void SendWaitingStamps();
    // The face on a transparent background, cut to the circle, with at least
    // 600 dpi when its circle is sizeMm across; *circleFraction is the
    // share of the picture's width the circle takes.
    QImage PrintFace(double sizeMm, double *circleFraction);
    // The face as it goes into a PDF: vectors on a page the square around
    // the circle, from the same layout.
    pdf::PrintedFace PrintFaceAsPdf();
    // Opens the first of the PDFs that opens in a page view where the user
    // places stamps and saves stamped copies of all of them; those refused
    // on the way are named first.
    void StampPdfsInWindow(const QStringList &paths);
    // Writes the stamped copies in the background, one number for each
    // file, with a progress dialog over `parent` that can stop between
    // files. When all are done: the stamp sounds once, every file refused
    // or not reached is named in one message box, the copies written are
    // shown in the saved notice, and `done` learns whether any was written.
    // With a signing key chosen its password is asked first; cancelled or
    // refused, nothing is taken or written and no batch is made (null).
    app::StampBatch *StampPdfs(std::vector<app::PdfJob> jobs, const app::PlacementRule &rule, QWidget *parent,
        std::function<void(bool written)> done = {});
    // The notice of the copies last written, while it is open.
    app::SavedNotice *savedNotice() const;

    // Signs PDF stamps with the key file at `path` from now on (kept in the
    // settings); an empty path stops signing.
    void SetSigningKey(const QString &path);
    // With a key chosen: its password asked, the key and the timestamp
    // server checked. Nothing when none is chosen, or, with *cancelled
    // set, when the user cancelled or the check refused (its message shown).
    std::unique_ptr<app::PdfSigning> AskSigning(bool *cancelled);

    host::Form &form() { return m_form; }
    const app::Controls &controls() const { return m_controls; }
    const render::StampGeometry &geometry() const { return m_geometry; }
    const app::OptionsMenu &optionsMenu() const { return m_menu; }
    const app::StampOptions &options() const { return m_options; }
    // A text setting ("tsa": the timestamp server, "signcert": the signing
    // key file); empty when not set.
    QString settingText(const QString &key) const;
    qint32 InkColor = 255;

private:
    void connectHandlers();
    // The mark and tooltip of row `Index`'s font field, for its text and font.
    void ShowMissingGlyphs(qint16 Index);
    // The date fields as they were before the typing began.
    void PutDateBack();
    void LookUpPdf(const QString &path, const QString &logPath);
    void ShowLookUp(app::LookUpDialog *dialog);
    render::FaceControls faceControls();
    bas_QVanto::SettingsControls settingsControls();

    host::Services m_services;
    host::ErrorReport m_errors;
    host::Form m_form;
    app::Controls m_controls;
    render::StampGeometry m_geometry;
    bas_QVanto::StampIdState m_stampIds;
    bas_QVanto::SplitState m_splitter;
    app::StampOptions m_options;
    std::vector<bas_QVanto::SettingsOption> m_storedOptions;
    std::vector<bas_QVanto::SettingsText> m_settingTexts {
        {QStringLiteral("tsa"), {}}, {QStringLiteral("signcert"), {}}};
    app::OptionsMenu m_menu;
    QString m_stampName; // the saved stamp in use; empty for the default one
    host::MissingGlyphs m_missingGlyphs;
    bool m_typingDate = false;
    std::array<QString, 3> m_dateBeforeTyping; // put back when no date comes of it
    // While the user types into the date row, the face's date row is drawn
    // from this hidden box, so the redraws leave the typed text alone.
    std::unique_ptr<host::TextBox> m_dateRowShown;
    QPointer<app::LookUpDialog> m_lookUp;
    QPointer<app::SavedNotice> m_savedNotice;
    // Set while start-up writes the defaults and the stored settings: each
    // field's change would redraw the face, and only the last one is shown.
    bool m_holdRedraw = false;
    // Shared with look-ups, whose threads may outlive the window.
    std::shared_ptr<stamp::Registry> m_registry;
    bool m_registryOpened = false;
};
