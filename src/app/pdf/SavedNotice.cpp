#include "app/pdf/SavedNotice.h"

#include "host/FileOpener.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace app {

SavedNotice::SavedNotice(const QStringList &written, host::FileOpener &opener, QWidget *parent)
    : QDialog(parent), m_target(written.size() == 1 ? written.front() : QFileInfo(written.value(0)).path()),
      m_open(
          new QPushButton(written.size() == 1 ? QStringLiteral("開く") : QStringLiteral("フォルダーを開く")))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("押印しました"));
    // A long list is cut short: the folder button shows the rest.
    constexpr qsizetype kNamesShown = 10;
    QStringList shown;
    for (const QString &path : written.mid(0, kNamesShown))
        shown << QDir::toNativeSeparators(path);
    if (written.size() > kNamesShown)
        shown << QStringLiteral("ほか %1 個").arg(written.size() - kNamesShown);
    const QString heading = written.size() == 1
        ? QStringLiteral("押印した PDF を保存しました:")
        : QStringLiteral("押印した PDF を保存しました (%1 個):").arg(written.size());
    auto *text = new QLabel(heading + QLatin1Char('\n') + shown.join(QLatin1Char('\n')));
    text->setMinimumWidth(text->fontMetrics().averageCharWidth() * 50);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    text->setWordWrap(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("閉じる"));
    buttons->addButton(m_open, QDialogButtonBox::ActionRole);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    connect(m_open, &QPushButton::clicked, this, [this, &opener] {
        opener.open(m_target);
        close();
    });
}

} // namespace app
