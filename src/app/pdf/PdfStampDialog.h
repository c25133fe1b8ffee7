#pragma once

#include "pdf/PdfModule.h"

#include <QDialog>
#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QPushButton;

namespace app {

class PdfPageView;

// "<name>_押印.pdf" beside the input: where a stamped copy is proposed.
QString ProposedPdfName(const QString &inPath);

// A PDF's pages with page navigation; the user places the stamp with a
// click, chooses this page or the same place on every page, and saves a
// stamped copy. Saving is handed to `save`, which writes the copy and
// returns whether it did; the dialog closes when it has. It opens no larger
// than the screen leaves room for.
class PdfStampDialog : public QDialog {
    Q_OBJECT
public:
    using Save
        = std::function<bool(const QString &outPath, const std::vector<pdf::StampPlacement> &placements)>;
    PdfStampDialog(std::shared_ptr<pdf::PdfDocument> document, const QString &inPath, const QImage &face,
        double circleFraction, double sizeMm, Save save, QWidget *parent = nullptr);

    PdfPageView &view() { return *m_view; }
    // Whether the stamp goes on every page, at the place chosen.
    void setAllPages(bool all);
    // Where the stamp goes when saved: the placed one, or one per page.
    std::vector<pdf::StampPlacement> placements() const;
    // Writes the stamped copy to outPath, as the save button does once
    // the user has chosen where.
    void saveTo(const QString &outPath);

private:
    void stepPage(int step);
    void btnSave_Click();
    void reflect();

    std::shared_ptr<pdf::PdfDocument> m_document;
    QString m_inPath;
    Save m_save;
    PdfPageView *m_view;
    QLabel *m_pageLabel;
    QPushButton *m_previous;
    QPushButton *m_next;
    QPushButton *m_saveButton;
    QCheckBox *m_allPages;
};

} // namespace app
