#pragma once

#include "host/RegularFile.h"

#include <QByteArray>

namespace stamp {

// The lines of a file, read in blocks from the start to the end: memory stays
// small whatever the file holds.
class LogLines {
public:
    // Longer than any record's line (four rows of up to 32,000 characters);
    // a longer line is damage and is cut there.
    static constexpr qint64 kLongestLineBytes = 1024 * 1024;
    static constexpr qint64 kBlockBytes = 256 * 1024;

    explicit LogLines(const host::RegularFile &file) : m_file(file) { }

    // The next line without its line end; false past the last line.
    bool next(QByteArray &line)
    {
        line.clear();
        bool any = false;
        for (;;) {
            if (m_pos == m_block.size()) {
                m_block = m_file.readAt(m_offset, kBlockBytes);
                m_offset += m_block.size();
                m_pos = 0;
                if (m_block.isEmpty())
                    return any;
                ++m_blocks;
            }
            any = true;
            const qsizetype lineEnd = m_block.indexOf('\n', m_pos);
            const qsizetype end = lineEnd < 0 ? m_block.size() : lineEnd;
            line.append(
                m_block.constData() + m_pos, qMin<qint64>(end - m_pos, kLongestLineBytes - line.size()));
            m_pos = lineEnd < 0 ? m_block.size() : lineEnd + 1;
            if (lineEnd >= 0) {
                if (line.endsWith('\r'))
                    line.chop(1);
                return true;
            }
        }
    }

    // The bytes read so far, and the blocks they came in.
    qint64 bytesRead() const { return m_offset; }
    qint64 blocksRead() const { return m_blocks; }

private:
    const host::RegularFile &m_file;
    qint64 m_offset = 0;
    qint64 m_blocks = 0;
    QByteArray m_block;
    qsizetype m_pos = 0;
};

} // namespace stamp
