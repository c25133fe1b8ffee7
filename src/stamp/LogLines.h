#pragma once

#include "host/RegularFile.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstring>
#include <fcntl.h>

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
        // Read once from start to end: the system may read ahead further.
        ::posix_fadvise(file.handle(), 0, 0, POSIX_FADV_SEQUENTIAL);
    }

    // The next line without its line end; false past the last line.
    bool next(QByteArray &line)
    {
        // Emptied, its buffer kept: one allocation serves every line.
        line.resize(0);
        bool any = false;
        for (;;) {
            if (m_pos == m_block.size() && !fill())
                return any;
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

    // Moves to the next line that starts with `marker`, the current one
    // included, without copying the lines passed over; false past the last.
    // A scan for the marker after a line end runs through the block at
    // memchr speed, where reading line by line would stop at every line.
    bool seekLineStartingWith(QByteArrayView marker)
    {
        bool atLineStart = true;
        for (;;) {
            if (m_pos == m_block.size() && !fill())
                return false;
            const qsizetype left = m_block.size() - m_pos;
            if (atLineStart && left < marker.size()) {
                // Too short to tell: carried to the front of the next block.
                if (!fill(left))
                    return false;
                continue;
            }
            if (atLineStart && QByteArrayView(m_block).sliced(m_pos, marker.size()) == marker)
                return true;
            const char *from = m_block.constData() + m_pos;
            const char *hit = findLineStart(from, left, marker);
            if (hit) {
                m_pos = hit - m_block.constData();
                return true;
            }
            // A line starting after the block's last line end, too short for
            // the scan to see the marker whole, is looked at again with the
            // next block; any other rest is inside a line that does not start
            // with it.
            const void *lastEnd = ::memrchr(from, '\n', size_t(left));
            const qsizetype rest
                = lastEnd ? m_block.constData() + m_block.size() - static_cast<const char *>(lastEnd) - 1 : 0;
            atLineStart = lastEnd && rest < marker.size();
            m_pos = m_block.size() - (atLineStart ? rest : 0);
        }
    }

    // Up to `bytes` of what follows in the current block, from the start of
    // the current line: fewer near the block's end, and not cut at the line's
    // end.
    QByteArrayView peek(qsizetype bytes) const
    {
        return QByteArrayView(m_block).sliced(m_pos, qMin(bytes, m_block.size() - m_pos));
    }

    // Passes over the current line without copying it.
    void skipLine()
    {
        for (;;) {
            if (m_pos == m_block.size() && !fill())
                return;
            const void *end = ::memchr(m_block.constData() + m_pos, '\n', size_t(m_block.size() - m_pos));
            if (end) {
                m_pos = static_cast<const char *>(end) - m_block.constData() + 1;
                return;
            }
            m_pos = m_block.size();
        }
    }

    qint64 bytesRead() const { return m_offset; }

private:
    // The next block, after the `keep` bytes left at the end of this one;
    // false at the file's end or when told to stop.
    bool fill(qsizetype keep = 0)
    {
        if (m_blocks > 0 && m_beforeBlock && !m_beforeBlock(m_offset)) {
            m_block.clear();
            m_pos = 0;
            return false;
        }
        // One buffer serves every block.
        if (keep > 0)
            std::memmove(m_block.data(), m_block.constData() + m_block.size() - keep, size_t(keep));
        m_block.resize(keep + kBlockBytes);
        const qint64 got = m_file.readInto(m_offset, m_block.data() + keep, kBlockBytes);
        m_offset += got;
        m_block.resize(keep + got);
        m_pos = got > 0 ? 0 : m_block.size();
        if (got == 0)
            return false;
        ++m_blocks;
        return true;
    }

    // Where the first line after `from` that starts with `marker` begins
    // (`from` itself is not taken to start a line).
    static const char *findLineStart(const char *from, qsizetype length, QByteArrayView marker)
    {
        // The marker's first byte is rare in a log (once or twice a
        // record), so memchr for it outruns a search for the whole marker.
        const char *const start = from, *const end = from + length;
        while (from < end) {
            const void *hit = ::memchr(from, marker.front(), size_t(end - from));
            if (!hit)
                return nullptr;
            const char *at = static_cast<const char *>(hit);
            if (at > start && at[-1] == '\n' && end - at >= marker.size()
                && std::memcmp(at, marker.data(), size_t(marker.size())) == 0)
                return at;
            from = at + 1;
        }
        return nullptr;
    }

    const host::RegularFile &m_file;
    std::function<bool(qint64)> m_beforeBlock;
    qint64 m_offset = 0;
    qint64 m_blocks = 0;
    QByteArray m_block;
    qsizetype m_pos = 0;
};

} // namespace stamp
