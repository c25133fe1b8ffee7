#include "pdf/SignatureField.h"

#include "pdf/PodofoValues.h"

namespace pdf {

using namespace PoDoFo;

namespace {

// Wider than any offset the file can reach, so the written range fits in
// the placeholder's place.
constexpr pdf_int64 kRangePlaceholder = 9999999999LL;

PdfString text(const QString &value)
{
    const QByteArray utf8 = value.toUtf8();
    return PdfString(reinterpret_cast<const pdf_utf8 *>(utf8.constData()), pdf_long(utf8.size()));
}

} // namespace

void MakeSignatureWidget(
    PdfVecObjects &objects, PdfDictionary &annotation, const SignatureRequest &request, const QString &number)
{
    PdfDictionary value;
    value.AddKey(PdfName::KeyType, PdfName("Sig"));
    value.AddKey(PdfName::KeyFilter, PdfName("Adobe.PPKLite"));
    value.AddKey("SubFilter", PdfName("ETSI.CAdES.detached"));
    PdfArray range;
    range.push_back(PdfObject(pdf_int64(0)));
    for (int i = 0; i < 3; ++i)
        range.push_back(PdfObject(kRangePlaceholder));
    value.AddKey("ByteRange", range);
    const QByteArray zeros(request.contentsBytes, '\0');
    value.AddKey("Contents", PdfString(zeros.constData(), pdf_long(zeros.size()), true));
    value.AddKey("Reason", text(request.reason));
    value.AddKey("Name", text(request.signerName));
    const QByteArray time
        = "D:" + request.time.toUTC().toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() + "+00'00'";
    value.AddKey("M", PdfString(time.constData()));
    const PdfObject *signature = made(objects, value);

    annotation.AddKey(PdfName::KeySubtype, PdfName("Widget"));
    annotation.RemoveKey("Name"); // a stamp's icon
    annotation.AddKey("FT", PdfName("Sig"));
    annotation.AddKey("T", text(QStringLiteral("押印 ") + number));
    annotation.AddKey("V", signature->Reference());
    // Printed with the page, and locked: a reader does not move it.
    annotation.AddKey("F", PdfVariant(pdf_int64(4 | 128)));
}

void AddFormField(PdfMemDocument &document, const PdfReference &field)
{
    PdfVecObjects &objects = document.GetObjects();
    PdfObject *catalog = document.GetCatalog();
    PdfObject *named = catalog->GetDictionary().GetKey("AcroForm");
    PdfObject *own = named && named->IsReference() ? objects.GetObject(named->GetReference()) : nullptr;
    PdfDictionary form;
    if (own && own->IsDictionary())
        form = own->GetDictionary();
    else if (named && named->IsDictionary())
        form = named->GetDictionary();
    PdfObject *fields = form.GetKey("Fields");
    PdfObject *list = fields && fields->IsReference() ? objects.GetObject(fields->GetReference()) : nullptr;
    if (list && list->IsArray()) { // a list of its own: only it changes
        PdfArray more = list->GetArray();
        more.push_back(PdfObject(field));
        setValue(*list, more);
    } else {
        PdfArray more = fields && fields->IsArray() ? fields->GetArray() : PdfArray();
        more.push_back(PdfObject(field));
        form.AddKey("Fields", more);
    }
    form.AddKey("SigFlags", PdfVariant(pdf_int64(3)));
    if (own && own->IsDictionary()) {
        setValue(*own, form);
        return;
    }
    PdfDictionary changed = catalog->GetDictionary();
    changed.AddKey("AcroForm", made(objects, form)->Reference());
    setValue(*catalog, changed);
}

SignatureHole FillByteRange(QByteArray &file, qint64 from)
{
    const QByteArray placeholder = QByteArray::number(kRangePlaceholder);
    const qsizetype found = file.indexOf(placeholder, from);
    const qsizetype open = found < 0 ? -1 : file.lastIndexOf('[', found);
    const qsizetype close = found < 0 ? -1 : file.indexOf(']', found);
    // Keys are written in order: the contents follow the range.
    const qsizetype key = close < 0 ? -1 : file.indexOf("/Contents", close);
    const qsizetype begin = key < 0 ? -1 : file.indexOf('<', key);
    const qsizetype end = begin < 0 ? -1 : file.indexOf('>', begin);
    if (open < from || close < 0 || begin < 0 || end < 0 || file.indexOf(placeholder, close) >= 0
        || file.mid(close + 1, key - close - 1).trimmed().size() != 0)
        PODOFO_RAISE_ERROR_INFO(ePdfError_InternalLogic, "the signature field was not written whole");
    const SignatureHole hole {begin, end + 1};
    QByteArray range
        = QStringLiteral("[0 %1 %2 %3]").arg(hole.begin).arg(hole.end).arg(file.size() - hole.end).toLatin1();
    range = range.leftJustified(close + 1 - open, ' ');
    file.replace(open, range.size(), range);
    return hole;
}

} // namespace pdf
