#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace app {

// The variable a script gives the key's password in.
inline constexpr char kSignPasswordVariable[] = "QVANTO_SIGN_PASSWORD";

// The key's password: the variable's value when it is set, else asked on
// the terminal without echo. Nothing, with a message in *error, when there
// is neither.
std::optional<QByteArray> ReadSignPassword(QString *error);

} // namespace app
