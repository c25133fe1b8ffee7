#pragma once

#include "MessageBox.h"

#include <QString>
#include <exception>
#include <utility>

namespace host {

// The default error report: a run-time error that no routine traps is shown
// in a message box and the program carries on (ending it would lose the
// user's unsaved settings). Every event handler runs inside run(), so no
// exception ever crosses Qt's event loop.
class ErrorReport {
public:
    ErrorReport(MessageBox &box, QString title) : m_box(box), m_title(std::move(title)) { }

    template<typename F>
    void run(F &&handler) noexcept
    {
        try {
            handler();
        } catch (const std::exception &e) {
            report(e);
        } catch (...) {
            reportUnknown();
        }
    }

    void report(const std::exception &e) noexcept;
    void reportUnknown() noexcept;

private:
    MessageBox &m_box;
    QString m_title;
};

} // namespace host
