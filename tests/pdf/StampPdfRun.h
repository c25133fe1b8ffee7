#pragma once

// The stamp-pdf command run in this process on a test window's fake seams.
#include "app/StampPdfCommand.h"
#include "app/pdf/PdfStampDialog.h"
#include "app/pdf/StampBatch.h"

#include "../app/TestWindow.h"

#include <QTest>
#include <QTextStream>

#include <optional>

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
    run.status = app::RunStampPdf(arguments,
        host::Services {t.clock, t.app, t.fonts, t.messages, t.clipboard, t.sound, t.opener}, out, err);
    return run;
}

// The window's save of stamped copies, waited for: whether any was written,
// nothing when it did not end in time. `meanwhile` sees the batch running.
inline std::optional<bool> stampInWindow(hardening::TestWindow &t, std::vector<app::PdfJob> jobs,
    const app::PlacementRule &rule, const std::function<void(app::StampBatch &)> &meanwhile = {})
{
    std::optional<bool> written;
    app::StampBatch *batch
        = t.window->StampPdfs(std::move(jobs), rule, nullptr, [&](bool any) { written = any; });
    if (meanwhile && batch)
        meanwhile(*batch);
    (void)QTest::qWaitFor([&] { return written.has_value(); }, 60000);
    return written;
}

} // namespace pdffixtures
