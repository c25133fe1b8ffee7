#include "ErrorReport.h"

#include "HostError.h"

namespace host {

void ErrorReport::report(const std::exception &e) noexcept
{
    try {
        QString text;
        if (const auto *hostError = dynamic_cast<const HostError *>(&e))
            text = QStringLiteral("Run-time error '%1':\n\n%2")
                       .arg(int(hostError->code()))
                       .arg(hostError->message());
        else
            text = QStringLiteral("Run-time error:\n\n%1").arg(QString::fromLocal8Bit(e.what()));
        m_box.show(text, m_title, MessageBox::Icon::Critical);
    } catch (...) {
        // Nothing more can be reported; the program goes on.
    }
}

void ErrorReport::reportUnknown() noexcept
{
    try {
        m_box.show(QStringLiteral("Run-time error"), m_title, MessageBox::Icon::Critical);
    } catch (...) {
    }
}

} // namespace host
