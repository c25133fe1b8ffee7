#pragma once

#include "host/RegularFile.h"

#include <QByteArray>

#include <functional>

namespace stamp {

// The lines of a file, read in blocks from the start to the end: memory stays
// small whatever the file holds.
class LogLines {
public:
    // Longer than any record's line (four rows of up to 32,000 characters);
    // a longer line is damage and is cut there.
    static constexpr qint64 kLongestLineBytes = 1024 * 1024;
    static constexpr qint64 kBlockBytes = 256 * 1024;

    // `beforeBlock`, when given, is asked with the bytes read so far before
    // each block after the first; false ends the lines there, even inside a
    // line.
    explicit LogLines(const host::RegularFile &file, std::function<bool(qint64)> beforeBlock = {})
        : m_file(file), m_beforeBlock(std::move(beforeBlock))
    {
    }

    // The next line without its line end; false past the last line.
    bool next(QByteArray &line)
    {
        // Emptied, its buffer kept: one allocation serves every line.
        line.resize(0);
        bool any = false;
        for (;;) {
            if (m_pos == m_block.size()) {
                if (m_blocks > 0 && m_beforeBlock && !m_beforeBlock(m_offset)) {
                    m_block.clear();
                    m_pos = 0;
                    return false;
                }
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

    qint64 bytesRead() const { return m_offset; }

private:
    const host::RegularFile &m_file;
    std::function<bool(qint64)> m_beforeBlock;
    qint64 m_offset = 0;
    qint64 m_blocks = 0;
    QByteArray m_block;
    qsizetype m_pos = 0;
};

} // namespace stamp
