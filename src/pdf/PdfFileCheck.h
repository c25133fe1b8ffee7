#pragma once

#include <QString>

namespace pdf {

// Why the open regular file `fd` of `size` bytes is no PDF a reader could
// start on; empty when it may be one. Only its first and last kilobyte are
// read, so any file, however large, is judged at once and in little memory.
QString PdfFileProblem(int fd, qint64 size);

} // namespace pdf
