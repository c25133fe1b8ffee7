// The window's side of the office's stamp registry: opened on the first
// stamp, only when one is configured.
#include "frm_QVanto.h"

#include "host/HostError.h"
#include "registry/OpenRegistry.h"
#include "stamp/RegistryQueue.h"
#include "stamp/RegistryStamp.h"
#include "stamp/StampNow.h"

#include <QFileInfo>

std::shared_ptr<stamp::Registry> frm_QVanto::RegistryShared()
{
    if (!m_registryOpened) {
        m_registryOpened = true;
        m_registry = registry::OpenRegistry(m_services.app);
    }
    return m_registry;
}

stamp::Registry *frm_QVanto::Registry()
{
    return RegistryShared().get();
}

void frm_QVanto::SendWaitingStamps()
{
    // Only a queue with something in it is worth loading the module for.
    const QString logPath = stamp::StampLogPath(m_services.app);
    if (logPath.isEmpty() || QFileInfo(stamp::RegistryQueuePath(logPath)).size() == 0)
        return;
    if (stamp::Registry *registry = Registry())
        try {
            stamp::SendRegistryQueue(logPath, *registry, m_services.clock, stamp::kRegistryWaitMs);
        } catch (const host::HostError &) {
            // What could not be sent waits for the next stamp.
        }
}

QString frm_QVanto::RecordDocumentHash(const QString &number, const QString &sha256)
{
    stamp::Registry *registry = Registry();
    if (!registry)
        return {};
    try {
        stamp::RecordDocumentHash(
            stamp::StampLogPath(m_services.app), *registry, number, sha256, m_services.clock);
        return {};
    } catch (const host::HostError &e) {
        return QStringLiteral("押印番号 %1 の文書の SHA-256 を登録簿に残せませんでした: %2")
            .arg(number, e.message());
    }
}
