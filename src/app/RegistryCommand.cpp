#include "RegistryCommand.h"

#include "host/AppInfo.h"
#include "host/Clock.h"
#include "host/HostError.h"
#include "registry/OpenRegistry.h"
#include "stamp/RegistryStamp.h"
#include "stamp/StampNow.h"

#include <QTextStream>

namespace app {

namespace {

constexpr int kDone = 0;
constexpr int kStillWaiting = 1;
constexpr int kRefused = 2;
// A sync run by hand may take its time over a long queue.
constexpr int kSyncWaitMs = 60 * 1000;

} // namespace

int RunRegistry(const QStringList &arguments, const host::AppInfo &app, host::Clock &clock, QTextStream &out,
    QTextStream &err)
{
    const QString what = arguments.value(0);
    if (arguments.size() != 1 || (what != u"init" && what != u"sync")) {
        err << QStringLiteral("使い方: qvanto registry init|sync") << Qt::endl;
        return kRefused;
    }
    const std::unique_ptr<stamp::Registry> office = registry::OpenRegistry(app);
    if (!office) {
        err << QStringLiteral(
            "登録簿が設定されていません (QVANTO_REGISTRY、または registry.conf に接続文字列)。")
            << Qt::endl;
        return kRefused;
    }
    if (what == u"init") {
        if (const QString problem = office->initialise(); !problem.isEmpty()) {
            err << QStringLiteral("登録簿の表を作れませんでした: %1").arg(problem) << Qt::endl;
            return kRefused;
        }
        out << QStringLiteral("登録簿の表を用意しました。") << Qt::endl;
        return kDone;
    }
    const QString logPath = stamp::StampLogPath(app);
    if (logPath.isEmpty()) {
        out << QStringLiteral("送る記録はありません。") << Qt::endl;
        return kDone;
    }
    try {
        QString problem;
        const int left = stamp::SendRegistryQueue(logPath, *office, clock, kSyncWaitMs, &problem);
        if (left == 0) {
            out << QStringLiteral("登録簿へ送る記録はもうありません。") << Qt::endl;
            return kDone;
        }
        err << QStringLiteral("%1 件の記録がまだ登録簿へ送れていません: %2").arg(left).arg(problem)
            << Qt::endl;
        return kStillWaiting;
    } catch (const host::HostError &e) {
        err << e.message() << Qt::endl;
        return kRefused;
    }
}

int RunRegistryCommand(const QStringList &arguments)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    host::SystemClock clock;
    return RunRegistry(arguments, host::AppInfo::forRunningProgram(), clock, out, err);
}

} // namespace app
