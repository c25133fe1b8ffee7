#include "registry/OpenRegistry.h"

#include "host/AppInfo.h"
#include "host/HostError.h"
#include "host/Module.h"
#include "host/PrivateFolder.h"
#include "host/RegularFile.h"

#include <QFileInfo>

namespace registry {

namespace {

// A connection string is one short line; a larger file is not one.
constexpr qint64 kLargestConfBytes = 4096;

QString connectionIn(const QString &path)
{
    if (!QFileInfo::exists(path) || !host::onlyUserCanWrite(QFileInfo(path).absolutePath()))
        return {};
    try {
        const host::RegularFile file(path, host::RegularFile::Mode::Read);
        return ConnectionInFile(file.readAt(0, kLargestConfBytes));
    } catch (const host::HostError &) {
        return {};
    }
}

// Stands in for a registry whose module cannot be loaded: every record
// waits in the queue until a run that has the module sends it.
class Unreachable final : public stamp::Registry {
public:
    explicit Unreachable(QString why) : m_why(std::move(why)) { }
    Answer exchange(const std::vector<stamp::RegistryRecord> &, const stamp::RegistryRecord *, int) override
    {
        Answer answer;
        answer.problem = m_why;
        return answer;
    }
    std::vector<stamp::RegistryEntry> lookUp(const QStringList &, int, QString *error) override
    {
        *error = m_why;
        return {};
    }
    QString initialise() override { return m_why; }

private:
    QString m_why;
};

} // namespace

QString ConnectionInFile(const QByteArray &contents)
{
    for (const QByteArray &line : contents.split('\n')) {
        const QString text = QString::fromUtf8(line).trimmed();
        if (!text.isEmpty() && !text.startsWith(u'#'))
            return text;
    }
    return {};
}

QString ConfiguredRegistry(const host::AppInfo &app, const QString &systemFile)
{
    if (const QString variable = qEnvironmentVariable("QVANTO_REGISTRY").trimmed(); !variable.isEmpty())
        return variable;
    if (const QString own = app.dataFile(QStringLiteral("registry.conf")); !own.isEmpty())
        if (const QString connection = connectionIn(own); !connection.isEmpty())
            return connection;
    return connectionIn(systemFile);
}

std::unique_ptr<stamp::Registry> OpenRegistry(const host::AppInfo &app)
{
    const QString connection = ConfiguredRegistry(app);
    if (connection.isEmpty())
        return nullptr;
    // Loaded once and kept: registries it made must not outlive its code.
    static host::Module module(QStringLiteral("qvanto_registry"));
    try {
        return std::unique_ptr<stamp::Registry>(
            module.function<stamp::MakeRegistry>(stamp::kMakeRegistry)(connection));
    } catch (const host::HostError &e) {
        return std::make_unique<Unreachable>(
            QStringLiteral("登録簿を扱う部品を読み込めません。\n%1").arg(e.message()));
    }
}

} // namespace registry
