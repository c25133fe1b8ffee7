#pragma once

#include "pdf/PdfModule.h"

#include <QDialog>
#include <functional>
#include <memory>

class QLabel;
class QPushButton;

namespace app {

class PdfPageView;

// "<name>_押印.pdf" beside the input: where a stamped copy is proposed.
QString ProposedPdfName(const QString &inPath);

// A PDF's pages with page navigation; the user places the stamp with a
// click and saves a stamped copy. Saving is handed to `save`, which writes
// the copy and returns whether it did; the dialog closes when it has.
class PdfStampDialog : public QDialog {
    Q_OBJECT
public:
    using Save = std::function<bool(const QString &outPath, const pdf::StampPlacement &placement)>;
    PdfStampDialog(std::shared_ptr<pdf::PdfDocument> document, const QString &inPath, const QImage &face,
        double circleFraction, double sizeMm, Save save, QWidget *parent = nullptr);

    PdfPageView &view() { return *m_view; }
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
};

} // namespace app
