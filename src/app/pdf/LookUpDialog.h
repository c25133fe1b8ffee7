#pragma once

#include "stamp/LookUpRows.h"
#include "stamp/Registry.h"

#include <QDialog>

#include <atomic>
#include <functional>
#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace app {

// The answer to a look-up in a list that scrolls, however many numbers:
// page, number, the time it encodes, whether the stamp log holds it, its
// records. The numbers are gathered (a PDF opened) and the log read on a
// thread of their own, with progress and a button that stops the reading;
// the window stays responsive throughout.
class LookUpDialog : public QDialog {
    Q_OBJECT
public:
    // Gathers the numbers to look up, on the look-up's thread; a message in
    // *error when there are none to be had.
    using Numbers = std::function<std::vector<stamp::NumberOnPage>(QString *error)>;

    // With an office registry, each number is asked of it too, on the same
    // thread, which shares the registry so it may outlive the window.
    LookUpDialog(const QString &heading, Numbers numbers, const QString &logPath, QWidget *parent = nullptr,
        std::shared_ptr<stamp::Registry> registry = nullptr);
    ~LookUpDialog() override;

    // Stops reading the log; the rows found so far are shown.
    void stop();
    bool isDone() const { return m_done; }
    QString heading() const;
    // What the look-up is doing, or how it ended.
    QString status() const;
    int rowCount() const;
    // The row's cells, as shown.
    QStringList row(int index) const;

signals:
    void lookedUp();

private:
    struct Outcome {
        stamp::LookUpAnswer answer;
        QString error;
        QString registryError;
    };
    void showProgress(qint64 done, qint64 total);
    void showOutcome(const Outcome &outcome);

    QString m_logPath;
    std::shared_ptr<std::atomic_bool> m_stop;
    bool m_done = false;
    QLabel *m_heading;
    QLabel *m_status;
    QProgressBar *m_progress;
    QTableWidget *m_table;
    QPushButton *m_stopButton;
};

} // namespace app
