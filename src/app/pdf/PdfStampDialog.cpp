#include "app/pdf/PdfStampDialog.h"

#include "app/SaveDialog.h"
#include "app/StampPdf.h"
#include "app/pdf/PdfPageView.h"
#include "host/FitToScreen.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <set>
#include <utility>

namespace app {

QString ProposedPdfName(const QString &inPath)
{
    return StampedPdfName(inPath, QFileInfo(inPath).path());
}

std::vector<pdf::StampPlacement> PlacementsOn(const PlacementRule &rule, int pageCount)
{
    if (!rule.allPages)
        return rule.stamps;
    // Each place once, even when stamps were placed there on several pages.
    std::vector<pdf::StampPlacement> places;
    std::set<std::pair<double, double>> seen;
    for (const pdf::StampPlacement &p : rule.stamps)
        if (seen.insert({p.xMm, p.yMm}).second)
            places.push_back(p);
    std::vector<pdf::StampPlacement> all;
    for (int page = 1; page <= pageCount; ++page)
        for (const pdf::StampPlacement &p : places)
            all.push_back({page, p.xMm, p.yMm, p.sizeMm});
    return all;
}

PdfStampDialog::PdfStampDialog(std::shared_ptr<pdf::PdfDocument> document, const QStringList &inPaths,
    const QImage &face, double circleFraction, double sizeMm, Save save, QWidget *parent)
    : QDialog(parent), m_document(document), m_inPaths(inPaths), m_save(std::move(save)),
      m_view(new PdfPageView(std::move(document), face, circleFraction, sizeMm)), m_scroll(new QScrollArea),
      m_pageLabel(new QLabel), m_zoomLabel(new QLabel),
      m_previous(new QPushButton(QStringLiteral("◀ 前のページ"))),
      m_next(new QPushButton(QStringLiteral("次のページ ▶"))),
      m_saveButton(new QPushButton(QStringLiteral("保存"))),
      m_allPages(new QCheckBox(QStringLiteral("すべてのページの同じ位置に押す")))
{
    const QString name = QFileInfo(inPaths.value(0)).fileName();
    setWindowTitle(inPaths.size() > 1
            ? QStringLiteral("PDF に押印 — %1 ほか %2 個").arg(name).arg(inPaths.size() - 1)
            : QStringLiteral("PDF に押印 — %1").arg(name));
    m_scroll->setWidget(m_view);
    m_scroll->setAlignment(Qt::AlignCenter);
    QString hintText = QStringLiteral("クリックした所に印を置きます (置いた印をクリックすると消えます)。"
                                      "矢印キーで動かし (Shift で大きく)、Enter で置きます。"
                                      "Ctrl+ホイールで拡大・縮小。保存したときに押印されます。");
    if (inPaths.size() > 1)
        hintText
            += QStringLiteral("\n選んだ位置に、ほかの %1 個の PDF にも押印します (それぞれ別の押印番号)。")
                   .arg(inPaths.size() - 1);
    auto *hint = new QLabel(hintText);
    hint->setWordWrap(true);
    auto *fitPageButton = new QPushButton(QStringLiteral("ページ全体"));
    auto *fitWidthButton = new QPushButton(QStringLiteral("幅に合わせる"));
    for (QPushButton *b : {m_previous, m_next, fitPageButton, fitWidthButton})
        b->setAutoDefault(false); // Enter places the stamp
    auto *navigation = new QHBoxLayout;
    navigation->addWidget(m_previous);
    navigation->addWidget(m_pageLabel);
    navigation->addWidget(m_next);
    navigation->addStretch();
    navigation->addWidget(fitPageButton);
    navigation->addWidget(fitWidthButton);
    navigation->addWidget(m_zoomLabel);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    buttons->addButton(m_saveButton, QDialogButtonBox::AcceptRole);
    m_saveButton->setAutoDefault(false);
    m_saveButton->setShortcut(QKeySequence::Save);
    m_saveButton->setToolTip(QStringLiteral("保存 (Ctrl+S)"));
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_allPages);
    bottom->addStretch();
    bottom->addWidget(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addLayout(navigation);
    layout->addWidget(m_scroll, 1);
    layout->addLayout(bottom);
    host::resizeWithinScreen(*this, {900, 800});

    connect(m_previous, &QPushButton::clicked, this, [this] { stepPage(-1); });
    connect(m_next, &QPushButton::clicked, this, [this] { stepPage(1); });
    connect(fitPageButton, &QPushButton::clicked, this, [this] { fitPage(false); });
    connect(fitWidthButton, &QPushButton::clicked, this, [this] { fitPage(true); });
    connect(m_view, &PdfPageView::placed, this, [this] { reflect(); });
    connect(m_view, &PdfPageView::drawn, this, [this] { reflect(); });
    connect(m_view, &PdfPageView::zoomed, this, [this] { reflect(); });
    // The spot of the page under the mouse stays under it.
    connect(m_view, &PdfPageView::zoomedAround, this, [this](const QPointF &before, const QPointF &after) {
        const QPointF by = after - before;
        m_scroll->horizontalScrollBar()->setValue(m_scroll->horizontalScrollBar()->value() + qRound(by.x()));
        m_scroll->verticalScrollBar()->setValue(m_scroll->verticalScrollBar()->value() + qRound(by.y()));
    });
    // The stamp moved by the keys stays in sight.
    connect(m_view, &PdfPageView::movedTo, this, [this](const QPoint &point, int radius) {
        m_scroll->ensureVisible(point.x(), point.y(), radius, radius);
    });
    connect(m_saveButton, &QPushButton::clicked, this, [this] { btnSave_Click(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    m_view->setFocus();
    reflect();
}

void PdfStampDialog::reflect()
{
    const int page = m_view->page();
    m_pageLabel->setText(QStringLiteral("%1 / %2 ページ").arg(page).arg(m_document->pageCount()));
    m_zoomLabel->setText(QStringLiteral("%1 %").arg(qRound(m_view->zoom() * 100)));
    m_previous->setEnabled(page > 1);
    m_next->setEnabled(page < m_document->pageCount());
    // Saving reads the document, which waits for any drawing to end.
    m_saveButton->setEnabled(!m_view->placements().empty() && !m_view->drawing() && !m_saving);
}

void PdfStampDialog::stepPage(int step)
{
    m_view->showPage(qBound(1, m_view->page() + step, m_document->pageCount()));
    reflect();
}

void PdfStampDialog::fitPage(bool widthOnly)
{
    // Less the scroll bar, which a page fitted by its width still needs.
    QSize area = m_scroll->viewport()->size();
    if (widthOnly)
        area.rwidth() -= m_scroll->verticalScrollBar()->sizeHint().width();
    m_view->setZoom(m_view->zoomToFit(area - QSize(4, 4), widthOnly));
}

void PdfStampDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // On a small screen the page opens by its width rather than cut off at
    // the side; it is never enlarged unasked.
    if (!std::exchange(m_fitted, true) && m_view->zoomToFit(m_scroll->viewport()->size(), true) < 1)
        fitPage(true);
}

void PdfStampDialog::btnSave_Click()
{
    const QString out = m_inPaths.size() > 1
        ? askFolder()
        : AskSaveFileName(this, QStringLiteral("押印した PDF を保存"), ProposedPdfName(m_inPaths.value(0)),
            {QStringLiteral("PDF (*.pdf)")}, {QStringLiteral("pdf")});
    if (!out.isEmpty())
        saveTo(out);
}

QString PdfStampDialog::askFolder()
{
    const QString folder = QFileDialog::getExistingDirectory(
        this, QStringLiteral("押印した PDF を保存するフォルダー"), QFileInfo(m_inPaths.value(0)).path());
    if (folder.isEmpty())
        return {};
    QStringList existing;
    for (const QString &in : m_inPaths)
        if (QFileInfo::exists(StampedPdfName(in, folder)))
            existing << QFileInfo(StampedPdfName(in, folder)).fileName();
    if (!existing.isEmpty()
        && QMessageBox::question(this, windowTitle(),
               QStringLiteral("次のファイルはもうあります。置き換えますか?\n%1")
                   .arg(existing.join(QLatin1Char('\n'))))
            != QMessageBox::Yes)
        return {};
    return folder;
}

void PdfStampDialog::saveTo(const QString &outPath)
{
    if (m_view->placements().empty() || m_view->drawing() || m_saving)
        return;
    m_saving = true;
    reflect();
    const QPointer<PdfStampDialog> alive(this);
    m_save(outPath, rule(), [alive](bool saved) {
        if (!alive)
            return;
        alive->m_saving = false;
        if (saved)
            alive->accept();
        else
            alive->reflect();
    });
}

void PdfStampDialog::setAllPages(bool all)
{
    m_allPages->setChecked(all);
}

PlacementRule PdfStampDialog::rule() const
{
    return {m_view->placements(), m_allPages->isChecked()};
}

std::vector<pdf::StampPlacement> PdfStampDialog::placements() const
{
    return PlacementsOn(rule(), m_document->pageCount());
}

} // namespace app
