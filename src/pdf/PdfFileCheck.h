#pragma once

#include <QString>

namespace host {
class RegularFile;
}

namespace pdf {

// Why the file is no PDF a reader could start on; empty when it may be one.
// Only its first and last kilobyte are read, so any file, however large, is
// judged at once and in little memory.
QString PdfFileProblem(const host::RegularFile &file);

} // namespace pdf
