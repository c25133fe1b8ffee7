#pragma once

#include "Layout.h"
#include "OptionsMenu.h"
#include "StampOptions.h"
#include "StampPdf.h"

#include "host/ErrorReport.h"
#include "host/Form.h"
#include "host/Services.h"
#include "render/StampFace.h"
#include "settings/SettingsFile.h"
#include "stamp/NewStampId.h"

#include <QObject>
#include <QPointer>

namespace app {
class LookUpDialog;
}

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
    void mnuStampMmTyped_Click();
    void mnuOptions_AboutToShow();
    void QVLabel_Edited(qint16 Index, const QString &text);
    void Picture1_ScreenChange();
    void mnuSaveAs_Click();
    void mnuLookUp_Click();
    void mnuStampPdf_Click();
    void mnuSignKey_Click();

    // The routines the handlers dispatch to.
    void RedrawStamp();
    void StampNow();
    // Sets the date fields from a date typed into the date row; other text
    // is left for the redraw to rewrite.
    void TakeTypedDate(const QString &text);
    void PlaceDateCaret();
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
    QString IssueStampNumber();
    // The face on a transparent background, cut to the circle, with at least
    // 600 dpi when its circle is sizeMm across; *circleFraction is the
    // share of the picture's width the circle takes.
    QImage PrintFace(double sizeMm, double *circleFraction);
    // The face as it goes into a PDF: vectors on a page the square around
    // the circle, from the same layout.
    pdf::PrintedFace PrintFaceAsPdf();
    // Opens a PDF in a page view where the user places and saves a stamp.
    void StampPdfInWindow(const QString &path);
    // Writes the stamped copy, one number for all its placements, and
    // sounds the stamp; a refusal or failure is shown in a message box.
    // Whether the copy was written.
    // With a signing key chosen, the password is asked first and the key
    // and timestamp server checked off the GUI thread; the copy is then
    // signed.
    bool SavePdfStamp(pdf::PdfDocument &document, const QString &inPath, const QString &outPath,
        const std::vector<pdf::StampPlacement> &placements);

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
    // Where to put the caret once a typed date has been rewritten; -1 none.
    qsizetype m_caretFromEnd = -1;
    QPointer<app::LookUpDialog> m_lookUp;
};
