#pragma once

#include <QDialog>
#include <QStringList>

class QPushButton;

namespace host {
class FileOpener;
}

namespace app {

// Says where the stamped copies went, with a button that opens the copy
// (or, for several, their folder) in the desktop's viewer. Not modal: the
// window stays usable while it is open, and it deletes itself when closed.
class SavedNotice : public QDialog {
    Q_OBJECT
public:
    SavedNotice(const QStringList &written, host::FileOpener &opener, QWidget *parent);

    QPushButton *openButton() const { return m_open; }
    // What the button opens.
    const QString &target() const { return m_target; }

private:
    QString m_target;
    QPushButton *m_open;
};

} // namespace app
