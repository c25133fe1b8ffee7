#pragma once

#include "pdf/PdfModule.h"

#include <QDialog>
#include <QStringList>
#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QPushButton;
class QScrollArea;

namespace app {

class PdfPageView;

// "<name>_押印.pdf" beside the input: where a stamped copy is proposed.
QString ProposedPdfName(const QString &inPath);

// The stamps the user placed, and whether each goes on every page at its
// place; what is chosen on one document and applied to others.
struct PlacementRule {
    std::vector<pdf::StampPlacement> stamps;
    bool allPages = false;
};
// The placements on a document of `pageCount` pages: the stamps as placed,
// or each place once on every page.
std::vector<pdf::StampPlacement> PlacementsOn(const PlacementRule &rule, int pageCount);

// A PDF's pages with page navigation and zoom; the user places stamps with
// clicks or the keyboard, chooses their pages or the same places on every
// page, and saves stamped copies of this PDF, or of it and the others
// given with it (`inPaths`, this one first) in a folder chosen. Saving is
// handed to `save`, which writes in the background and reports through
// `done` whether it wrote; the dialog closes when it has. It opens no
// larger than the screen leaves room for.
class PdfStampDialog : public QDialog {
    Q_OBJECT
public:
    // outPath: the file for one PDF, the folder for several.
    using Save = std::function<void(
        const QString &outPath, const PlacementRule &rule, std::function<void(bool saved)> done)>;
    PdfStampDialog(std::shared_ptr<pdf::PdfDocument> document, const QStringList &inPaths, const QImage &face,
        double circleFraction, double sizeMm, Save save, QWidget *parent = nullptr);

    PdfPageView &view() { return *m_view; }
    // Whether the stamps go on every page, at the places chosen.
    void setAllPages(bool all);
    PlacementRule rule() const;
    // Where the stamps go on this PDF when saved.
    std::vector<pdf::StampPlacement> placements() const;
    // Writes the stamped copies to outPath, as the save button does once
    // the user has chosen where.
    void saveTo(const QString &outPath);
    bool saving() const { return m_saving; }
    void fitPage(bool widthOnly);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void stepPage(int step);
    void btnSave_Click();
    QString askFolder();
    void reflect();

    std::shared_ptr<pdf::PdfDocument> m_document;
    QStringList m_inPaths;
    Save m_save;
    bool m_saving = false;
    bool m_fitted = false;
    PdfPageView *m_view;
    QScrollArea *m_scroll;
    QLabel *m_pageLabel;
    QLabel *m_zoomLabel;
    QPushButton *m_previous;
    QPushButton *m_next;
    QPushButton *m_saveButton;
    QCheckBox *m_allPages;
};

} // namespace app
