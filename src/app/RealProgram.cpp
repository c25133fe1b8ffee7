#include "RealProgram.h"

#include "host/CloseOnTerminate.h"
#include "host/ErrorReport.h"
#include "host/StartupTrace.h"

RealProgram::RealProgram() : RealProgram(host::AppInfo::forRunningProgram()) { }

RealProgram::RealProgram(host::AppInfo app)
    : m_app(std::move(app)), m_sound(m_app.Path),
      m_window(host::Services {m_clock, m_app, m_fonts, m_messages, m_clipboard, m_sound, m_opener})
{
}

void RealProgram::start()
{
    host::traceFirstPaint(&m_window.form());
    host::ErrorReport errors(m_messages, m_app.Title);
    errors.run([this] { m_window.Form_Load(); });
    if (!m_window.form().isVisible())
        m_window.form().SetVisible(true);
    host::CloseOnTerminate(m_window.form());
}
