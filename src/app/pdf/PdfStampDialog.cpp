#include "app/pdf/PdfStampDialog.h"

#include "app/SaveDialog.h"
#include "app/StampPdf.h"
#include "app/pdf/PdfPageView.h"
#include "host/FitToScreen.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace app {

QString ProposedPdfName(const QString &inPath)
{
    return StampedPdfName(inPath, QFileInfo(inPath).path());
}

PdfStampDialog::PdfStampDialog(std::shared_ptr<pdf::PdfDocument> document, const QString &inPath,
    const QImage &face, double circleFraction, double sizeMm, Save save, QWidget *parent)
    : QDialog(parent), m_document(document), m_inPath(inPath), m_save(std::move(save)),
      m_view(new PdfPageView(std::move(document), face, circleFraction, sizeMm)), m_pageLabel(new QLabel),
      m_previous(new QPushButton(QStringLiteral("◀ 前のページ"))),
      m_next(new QPushButton(QStringLiteral("次のページ ▶"))),
      m_saveButton(new QPushButton(QStringLiteral("保存"))),
      m_allPages(new QCheckBox(QStringLiteral("すべてのページの同じ位置に押す")))
{
    setWindowTitle(QStringLiteral("PDF に押印 — %1").arg(QFileInfo(inPath).fileName()));
    auto *scroll = new QScrollArea;
    scroll->setWidget(m_view);
    scroll->setAlignment(Qt::AlignCenter);
    auto *hint = new QLabel(QStringLiteral(
        "クリックした所に印を置きます (もう一度クリックすると動かせます)。保存したときに押印されます。"));
    hint->setWordWrap(true);
    auto *navigation = new QHBoxLayout;
    navigation->addWidget(m_previous);
    navigation->addWidget(m_pageLabel);
    navigation->addWidget(m_next);
    navigation->addStretch();
    navigation->addWidget(m_allPages);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    buttons->addButton(m_saveButton, QDialogButtonBox::AcceptRole);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addLayout(navigation);
    layout->addWidget(scroll, 1);
    layout->addWidget(buttons);
    host::resizeWithinScreen(*this, {900, 800});

    connect(m_previous, &QPushButton::clicked, this, [this] { stepPage(-1); });
    connect(m_next, &QPushButton::clicked, this, [this] { stepPage(1); });
    connect(m_view, &PdfPageView::placed, this, [this] { reflect(); });
    connect(m_view, &PdfPageView::drawn, this, [this] { reflect(); });
    connect(m_saveButton, &QPushButton::clicked, this, [this] { btnSave_Click(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    reflect();
}

void PdfStampDialog::reflect()
{
    const int page = m_view->page();
    m_pageLabel->setText(QStringLiteral("%1 / %2 ページ").arg(page).arg(m_document->pageCount()));
    m_previous->setEnabled(page > 1);
    m_next->setEnabled(page < m_document->pageCount());
    // Saving reads the document, which waits for any drawing to end.
    m_saveButton->setEnabled(m_view->placement().has_value() && !m_view->drawing());
}

void PdfStampDialog::stepPage(int step)
{
    m_view->showPage(qBound(1, m_view->page() + step, m_document->pageCount()));
    reflect();
}

void PdfStampDialog::btnSave_Click()
{
    const QString outPath = AskSaveFileName(this, QStringLiteral("押印した PDF を保存"),
        ProposedPdfName(m_inPath), {QStringLiteral("PDF (*.pdf)")}, {QStringLiteral("pdf")});
    if (!outPath.isEmpty())
        saveTo(outPath);
}

void PdfStampDialog::saveTo(const QString &outPath)
{
    if (m_view->placement() && !m_view->drawing() && m_save(outPath, placements()))
        accept();
}

void PdfStampDialog::setAllPages(bool all)
{
    m_allPages->setChecked(all);
}

std::vector<pdf::StampPlacement> PdfStampDialog::placements() const
{
    const std::optional<pdf::StampPlacement> &placed = m_view->placement();
    if (!placed)
        return {};
    if (!m_allPages->isChecked())
        return {*placed};
    std::vector<pdf::StampPlacement> all;
    for (int page = 1; page <= m_document->pageCount(); ++page)
        all.push_back({page, placed->xMm, placed->yMm, placed->sizeMm});
    return all;
}

} // namespace app
