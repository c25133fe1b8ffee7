#include "app/pdf/LookUpDialog.h"

#include "app/StampNumbers.h"
#include "app/pdf/InBackground.h"
#include "host/FitToScreen.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace app {

namespace {

enum Column { Page, Number, MadeAt, Logged, Records, Signature, ColumnCount };
constexpr int kWidestVerdictPx = 320;

QString loggedText(const stamp::LookUpRow &row, bool stopped)
{
    if (!row.records.isEmpty())
        return QStringLiteral("ログにあり");
    if (!row.registered.isEmpty())
        return QStringLiteral("登録簿にあり");
    // Not found before the reading stopped says nothing about the rest.
    return stopped ? QStringLiteral("未確認") : QStringLiteral("ログになし");
}

void askRegistry(stamp::Registry &registry, stamp::LookUpAnswer &answer, QString *error)
{
    QStringList numbers;
    for (const stamp::LookUpRow &row : answer.rows)
        numbers << row.number;
    for (const stamp::RegistryEntry &entry : AskRegistry(&registry, numbers, error))
        for (stamp::LookUpRow &row : answer.rows)
            if (row.number == entry.number)
                row.registered << stamp::RegistryEntryLine(entry);
}

} // namespace

LookUpDialog::LookUpDialog(const QString &heading, Numbers numbers, const QString &logPath, QWidget *parent,
    std::shared_ptr<stamp::Registry> registry)
    : QDialog(parent), m_logPath(logPath), m_stop(std::make_shared<std::atomic_bool>(false)),
      m_heading(new QLabel(heading)), m_status(new QLabel(QStringLiteral("押印ログを読んでいます…"))),
      m_progress(new QProgressBar), m_table(new QTableWidget(0, ColumnCount)),
      m_stopButton(new QPushButton(QStringLiteral("中止")))
{
    setWindowTitle(QStringLiteral("押印番号の照会"));
    m_heading->setWordWrap(true);
    m_heading->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_status->setWordWrap(true);
    m_progress->setRange(0, 0); // busy until the log's size is known
    m_table->setHorizontalHeaderLabels(
        {QStringLiteral("ページ"), QStringLiteral("押印番号"), QStringLiteral("表す日時"),
            QStringLiteral("ログ"), QStringLiteral("ログの記録"), QStringLiteral("署名")});
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setWordWrap(false);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    // The verdict is short, the records long: it shows before them.
    m_table->horizontalHeader()->moveSection(Signature, Records);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("閉じる"));
    buttons->addButton(m_stopButton, QDialogButtonBox::ActionRole);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_heading);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_progress);
    layout->addWidget(m_status);
    layout->addWidget(buttons);
    host::resizeWithinScreen(*this, {760, 420});
    connect(m_stopButton, &QPushButton::clicked, this, [this] { stop(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    const QPointer<QObject> alive(this);
    const std::shared_ptr<std::atomic_bool> stopFlag = m_stop;
    RunInBackground<Outcome>(
        this,
        [alive, stopFlag, numbers = std::move(numbers), logPath, registry, this] {
            Outcome outcome;
            const std::vector<stamp::NumberOnPage> found = numbers(&outcome.error);
            if (!outcome.error.isEmpty())
                return outcome;
            stamp::LogReadControl control;
            control.cancel = stopFlag.get();
            control.progress = [alive, this](qint64 done, qint64 total) {
                PostToGui(alive, [this, done, total] { showProgress(done, total); });
            };
            outcome.answer = stamp::LookUpNumbers(found, logPath, control);
            if (registry && !outcome.answer.cancelled)
                askRegistry(*registry, outcome.answer, &outcome.registryError);
            return outcome;
        },
        [this](Outcome outcome) { showOutcome(outcome); });
}

LookUpDialog::~LookUpDialog()
{
    // The thread reads on to its next report and ends there.
    m_stop->store(true);
}

void LookUpDialog::stop()
{
    m_stop->store(true);
    m_stopButton->setEnabled(false);
}

void LookUpDialog::showProgress(qint64 done, qint64 total)
{
    if (m_done || total <= 0)
        return;
    m_progress->setRange(0, 1000);
    m_progress->setValue(int(std::clamp<qint64>(done * 1000 / total, 0, 1000)));
}

void LookUpDialog::showOutcome(const Outcome &outcome)
{
    m_done = true;
    m_stopButton->setEnabled(false);
    m_progress->hide();
    if (!outcome.error.isEmpty()) {
        m_status->setText(outcome.error);
        emit lookedUp();
        return;
    }
    const stamp::LookUpAnswer &answer = outcome.answer;
    m_table->setRowCount(int(answer.rows.size()));
    for (int i = 0; i < int(answer.rows.size()); ++i) {
        const stamp::LookUpRow &row = answer.rows[size_t(i)];
        const QString records = (row.records + row.registered).join(QStringLiteral("\n\n"));
        const QStringList cells {row.page > 0 ? QString::number(row.page) : QString(), row.number, row.madeAt,
            loggedText(row, answer.cancelled),
            QString(records).replace(QLatin1Char('\n'), QStringLiteral("  ")),
            row.signature.section(u'\n', 0, 0)};
        for (int column = 0; column < ColumnCount; ++column) {
            auto *item = new QTableWidgetItem(cells[column]);
            if (column == Records)
                item->setToolTip(records);
            if (column == Signature)
                item->setToolTip(row.signature);
            m_table->setItem(i, column, item);
        }
    }
    // Only a signed PDF's look-up has anything to say there.
    m_table->setColumnHidden(Signature,
        std::all_of(
            answer.rows.begin(), answer.rows.end(), [](const auto &row) { return row.signature.isEmpty(); }));
    m_table->resizeColumnsToContents();
    // A long reason is read in the tooltip; the records stay in sight.
    m_table->setColumnWidth(Signature, std::min(m_table->columnWidth(Signature), kWidestVerdictPx));
    const QString log = QDir::toNativeSeparators(m_logPath);
    m_status->setText(answer.cancelled
            ? QStringLiteral(
                "押印ログを読むのを途中で止めました。「未確認」の番号は残りの部分にあるかもしれません: %1")
                  .arg(log)
            : QStringLiteral("%1 件。押印ログ: %2").arg(answer.rows.size()).arg(log));
    if (!outcome.registryError.isEmpty())
        m_status->setText(m_status->text() + u'\n' + outcome.registryError);
    emit lookedUp();
}

QString LookUpDialog::heading() const
{
    return m_heading->text();
}

QString LookUpDialog::status() const
{
    return m_status->text();
}

int LookUpDialog::rowCount() const
{
    return m_table->rowCount();
}

QStringList LookUpDialog::row(int index) const
{
    QStringList cells;
    for (int column = 0; column < ColumnCount; ++column)
        cells << m_table->item(index, column)->text();
    return cells;
}

} // namespace app
