#include "SystemCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace host {

QByteArray encodeSystemText(const QString &text)
{
    QStringEncoder encoder(QStringConverter::System);
    return encoder.encode(text);
}

QString decodeSystemText(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringConverter::System);
    return decoder.decode(bytes);
}

QString decodeTextFile(const QByteArray &bytes)
{
    static const QByteArray bom("\xEF\xBB\xBF", 3);
    if (bytes.startsWith(bom)) {
        QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        return utf8.decode(bytes.mid(3));
    }
#ifdef Q_OS_WIN
    return decodeSystemText(bytes);
#else
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder sjis("Shift_JIS");
    if (sjis.isValid()) {
        QString fromSjis = sjis.decode(bytes);
        if (!sjis.hasError())
            return fromSjis;
    }
    return text;
#endif
}

} // namespace host
