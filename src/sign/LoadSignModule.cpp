#include "sign/SignModule.h"

#include "host/HostError.h"
#include "host/Module.h"

#include <memory>
#include <mutex>
#include <type_traits>

namespace sign {

SignModule *LoadSignModule(QString *error)
{
    // Loaded once and kept: signers it made must not outlive its code. The
    // look-ups and the save ask for it from threads of their own.
    static std::mutex loading;
    const std::lock_guard lock(loading);
    static host::Module module(QStringLiteral("qvanto_sign"));
    static std::unique_ptr<SignModule> made;
    if (made)
        return made.get();
    try {
        made.reset(module.function<std::remove_pointer_t<MakeSignModuleFunction>>(kMakeSignModuleSymbol)());
    } catch (const host::HostError &e) {
        *error = QStringLiteral("署名の部品を読み込めません。\n%1").arg(e.message());
    }
    return made.get();
}

} // namespace sign
