#pragma once

// The stamp-pdf command run in this process on a test window's fake seams.
#include "app/StampPdfCommand.h"

#include "../app/TestWindow.h"

#include <QTextStream>

namespace pdffixtures {

struct Run {
    int status = -1;
    QString out;
    QString err;
};

inline Run stampPdf(hardening::TestWindow &t, const QStringList &arguments)
{
    Run run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.status = app::RunStampPdf(
        arguments, host::Services {t.clock, t.app, t.fonts, t.messages, t.clipboard, t.sound}, out, err);
    return run;
}

} // namespace pdffixtures
