// Stamps written as an incremental update through PoDoFo: the face's page
// becomes a form XObject, each stamp an annotation that shows it.
#include "pdf/StampUpdate.h"

#include "pdf/PodofoValues.h"
#include "pdf/SignatureField.h"

#include <podofo.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>

namespace pdf {

namespace {

using namespace PoDoFo;

constexpr double kPointsPerMm = 72.0 / 25.4;
// Page trees deeper than this are damaged, or made to loop.
constexpr int kDeepestPageTree = 64;

double numberIn(const PdfObject &value)
{
    if (value.IsReal())
        return value.GetReal();
    if (value.IsNumber())
        return double(value.GetNumber());
    PODOFO_RAISE_ERROR_INFO(ePdfError_InvalidDataType, "a number was expected");
}

// A page's own value for `key`, or the nearest one it inherits.
const PdfObject *inherited(const PdfObject *page, const char *key)
{
    for (int depth = 0; page && page->IsDictionary() && depth < kDeepestPageTree; ++depth) {
        if (const PdfObject *value = page->GetIndirectKey(key))
            return value;
        page = page->GetIndirectKey("Parent");
    }
    return nullptr;
}

// left, bottom, right, top
struct Box {
    double l = 0, b = 0, r = 0, t = 0;
};

bool boxIn(const PdfObject *value, Box *box)
{
    if (!value || !value->IsArray() || value->GetArray().size() != 4)
        return false;
    const PdfArray &a = value->GetArray();
    const double x0 = numberIn(a[0]), y0 = numberIn(a[1]), x1 = numberIn(a[2]), y1 = numberIn(a[3]);
    *box = {std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
    return true;
}

// What a reader shows of the page: its crop box within its media box.
Box shownBox(const PdfObject *page)
{
    Box media {0, 0, 612, 792}; // a page without one is shown as US Letter
    boxIn(inherited(page, "MediaBox"), &media);
    Box crop = media;
    if (boxIn(inherited(page, "CropBox"), &crop))
        crop = {std::max(crop.l, media.l), std::max(crop.b, media.b), std::min(crop.r, media.r),
            std::min(crop.t, media.t)};
    return crop.r > crop.l && crop.t > crop.b ? crop : media;
}

// Quarter turns clockwise readers give the page.
int quarterTurns(const PdfObject *page)
{
    const PdfObject *rotate = inherited(page, "Rotate");
    const long long degrees = rotate && rotate->IsNumber() ? rotate->GetNumber() : 0;
    return degrees % 90 == 0 ? int(((degrees / 90) % 4 + 4) % 4) : 0;
}

// A point given in points from the top-left corner of the page as shown,
// in the page's own coordinates.
PdfVariant pointOnPage(const Box &box, int turns, double x, double y, double side)
{
    double px = 0, py = 0;
    switch (turns) {
    case 1: px = box.l + y, py = box.b + x; break;
    case 2: px = box.r - x, py = box.b + y; break;
    case 3: px = box.r - y, py = box.t - x; break;
    default: px = box.l + x, py = box.t - y; break;
    }
    PdfArray rect;
    for (double v : {px - side / 2, py - side / 2, px + side / 2, py + side / 2})
        rect.push_back(PdfObject(v));
    return rect;
}

// The matrix that turns the appearance back against the page's turn, so
// the face stands upright as shown.
PdfArray uprightMatrix(int turns)
{
    static const double matrices[4][4] = {{1, 0, 0, 1}, {0, 1, -1, 0}, {-1, 0, 0, -1}, {0, -1, 1, 0}};
    PdfArray m;
    for (double v : matrices[turns])
        m.push_back(PdfObject(v));
    m.push_back(PdfObject(0.0));
    m.push_back(PdfObject(0.0));
    return m;
}

// Objects copied from the face's document into the stamped one, each once,
// with everything they refer to.
class Importer {
public:
    Importer(const PdfVecObjects &from, PdfVecObjects &to) : m_from(from), m_to(to) { }

    PdfObject copy(const PdfObject &value, bool isStream = false)
    {
        if (value.IsReference())
            return PdfObject(import(value.GetReference()));
        if (value.IsDictionary()) {
            PdfDictionary copied;
            for (const auto &[key, item] : value.GetDictionary().GetKeys())
                // The page tree stays behind; a stream's length is its own.
                if (key != PdfName("Parent") && !(isStream && key == PdfName::KeyLength))
                    copied.AddKey(key, copy(*item));
            return PdfObject(copied);
        }
        if (value.IsArray()) {
            PdfArray copied;
            for (const PdfObject &item : value.GetArray())
                copied.push_back(copy(item));
            return PdfObject(copied);
        }
        return value;
    }

private:
    PdfReference import(const PdfReference &reference)
    {
        if (const auto done = m_imported.find(reference); done != m_imported.end())
            return done->second;
        PdfObject *target = made(m_to, PdfVariant());
        m_imported[reference] = target->Reference();
        const PdfObject *source = m_from.GetObject(reference);
        if (!source)
            return target->Reference(); // stays null, as a missing object reads
        setValue(*target, copy(*source, source->HasStream()));
        if (source->HasStream()) {
            char *raw = nullptr;
            pdf_long length = 0;
            source->GetStream()->GetCopy(&raw, &length);
            PdfMemoryInputStream in(raw, length);
            target->GetStream()->SetRawData(&in, length);
            podofo_free(raw);
        }
        return target->Reference();
    }

    const PdfVecObjects &m_from;
    PdfVecObjects &m_to;
    std::map<PdfReference, PdfReference> m_imported;
};

QByteArray decoded(const PdfObject &stream)
{
    char *bytes = nullptr;
    pdf_long length = 0;
    stream.GetStream()->GetFilteredCopy(&bytes, &length);
    QByteArray out(bytes, qsizetype(length));
    podofo_free(bytes);
    return out;
}

// The face's page, ready to be made into a form XObject for each turn.
struct FacePage {
    Box box;
    QByteArray content;
    PdfObject resources;
};

FacePage readFace(PdfMemDocument &faceDocument, Importer &importer)
{
    const PdfPage *facePage = faceDocument.GetPageCount() == 1 ? faceDocument.GetPage(0) : nullptr;
    if (!facePage || !facePage->GetObject())
        PODOFO_RAISE_ERROR_INFO(ePdfError_PageNotFound, "the face has no page");
    const PdfObject *page = facePage->GetObject();
    FacePage face;
    face.box = shownBox(page);
    const PdfObject *contents = page->GetIndirectKey("Contents");
    if (contents && contents->HasStream())
        face.content = decoded(*contents);
    else if (contents && contents->IsArray())
        for (const PdfObject &part : contents->GetArray())
            if (const PdfObject *stream
                = part.IsReference() ? faceDocument.GetObjects().GetObject(part.GetReference()) : nullptr;
                stream && stream->HasStream())
                face.content += decoded(*stream) + '\n';
    if (const PdfObject *resources = inherited(page, "Resources"))
        face.resources = importer.copy(*resources);
    return face;
}

PdfReference formFor(PdfVecObjects &objects, const FacePage &face, int turns)
{
    PdfDictionary form;
    form.AddKey(PdfName::KeyType, PdfName("XObject"));
    form.AddKey(PdfName::KeySubtype, PdfName("Form"));
    PdfArray bbox;
    for (double v : {face.box.l, face.box.b, face.box.r, face.box.t})
        bbox.push_back(PdfObject(v));
    form.AddKey("BBox", bbox);
    form.AddKey("Matrix", uprightMatrix(turns));
    if (!face.resources.IsNull())
        form.AddKey("Resources", face.resources);
    PdfObject *object = made(objects, form);
    object->GetStream()->Set(face.content.constData(), pdf_long(face.content.size()));
    return object->Reference();
}

// The page's list of annotations with one more.
void addAnnotation(PdfVecObjects &objects, PdfObject &page, const PdfReference &annotation)
{
    PdfObject *annots = page.GetDictionary().GetKey("Annots");
    PdfObject *list = annots && annots->IsReference() ? objects.GetObject(annots->GetReference()) : nullptr;
    if (list && list->IsArray()) { // a list of its own: only it changes
        PdfArray more = list->GetArray();
        more.push_back(PdfObject(annotation));
        setValue(*list, more);
        return;
    }
    PdfArray more = annots && annots->IsArray() ? annots->GetArray() : PdfArray();
    more.push_back(PdfObject(annotation));
    PdfDictionary changed = page.GetDictionary();
    changed.AddKey("Annots", more);
    setValue(page, changed);
}

// PoDoFo keeps the file's identifier only when it is written in hex; the
// same bytes are given to it that way, so the update names the same file.
void keepIdentifier(const PdfMemDocument &document)
{
    auto *trailer = const_cast<PdfObject *>(document.GetTrailer());
    PdfObject *id = trailer ? trailer->GetDictionary().GetKey("ID") : nullptr;
    if (!id || !id->IsArray() || id->GetArray().empty())
        return;
    PdfArray hex;
    for (const PdfObject &part : id->GetArray()) {
        if (!part.IsString())
            return;
        hex.push_back(PdfObject(PdfString(part.GetString().GetString(), part.GetString().GetLength(), true)));
    }
    setValue(*id, hex);
}

// Where the file's last cross-reference section starts, as its end says.
qint64 lastStartXref(const QByteArray &original)
{
    const qsizetype at = original.lastIndexOf("startxref");
    if (at < 0)
        return -1;
    qsizetype digits = at + qsizetype(sizeof("startxref")) - 1;
    while (digits < original.size() && std::isspace(static_cast<unsigned char>(original[digits])))
        ++digits;
    qsizetype end = digits;
    while (end < original.size() && std::isdigit(static_cast<unsigned char>(original[end])))
        ++end;
    bool ok = false;
    const qint64 offset = original.mid(digits, end - digits).toLongLong(&ok);
    return ok ? offset : -1;
}

// For a file that ends in a cross-reference stream PoDoFo writes the
// update's table without /Prev, which cuts the chain of revisions that
// history and signature tools follow back. It is put back; the trailer
// comes after the table, so no offset moves.
void keepRevisionChain(QByteArray &bytes, const QByteArray &original)
{
    const qsizetype trailer = bytes.indexOf("trailer", original.size());
    const qsizetype open = trailer < 0 ? -1 : bytes.indexOf("<<", trailer);
    const qsizetype end = open < 0 ? -1 : bytes.indexOf("startxref", open);
    const qint64 previous = lastStartXref(original);
    if (end < 0 || previous < 0 || bytes.mid(open, end - open).contains("/Prev"))
        return;
    bytes.insert(open + 2, " /Prev " + QByteArray::number(previous));
}

QByteArray stamped(const QByteArray &original, const std::vector<StampPlacement> &placements,
    const PrintedFace &printed, const QString &number, const SignatureRequest *signature, SignatureHole *hole)
{
    // PoDoFo's notes on what it reads are not for the user.
    PdfError::EnableLogging(false);
    PdfError::EnableDebug(false);
    PdfMemDocument document;
    document.LoadFromBuffer(original.constData(), long(original.size()), true);
    PdfMemDocument faceDocument;
    faceDocument.LoadFromBuffer(printed.pdf.constData(), long(printed.pdf.size()));
    PdfVecObjects &objects = document.GetObjects();
    Importer importer(faceDocument.GetObjects(), objects);
    const FacePage face = readFace(faceDocument, importer);

    const QByteArray latin = number.toLatin1();
    std::map<int, PdfReference> forms; // one per turn of the pages stamped
    for (const StampPlacement &placement : placements) {
        // A damaged page tree can count a page it cannot give.
        PdfPage *found = placement.page >= 1 && placement.page <= document.GetPageCount()
            ? document.GetPage(placement.page - 1)
            : nullptr;
        if (!found || !found->GetObject() || !found->GetObject()->IsDictionary())
            PODOFO_RAISE_ERROR_INFO(ePdfError_PageNotFound, "no such page");
        PdfObject &page = *found->GetObject();
        const int turns = quarterTurns(&page);
        if (!forms.count(turns))
            forms[turns] = formFor(objects, face, turns);
        const double side = placement.sizeMm / printed.circleFraction * kPointsPerMm;
        PdfDictionary appearance;
        appearance.AddKey("N", forms[turns]);
        PdfDictionary stamp;
        stamp.AddKey(PdfName::KeyType, PdfName("Annot"));
        stamp.AddKey(PdfName::KeySubtype, PdfName("Stamp"));
        stamp.AddKey("Rect",
            pointOnPage(
                shownBox(&page), turns, placement.xMm * kPointsPerMm, placement.yMm * kPointsPerMm, side));
        // Ours carry the number both as their text and as their name.
        stamp.AddKey("Contents", PdfString(latin.constData()));
        stamp.AddKey("NM", PdfString(latin.constData()));
        stamp.AddKey("T", PdfString("QVanto"));
        stamp.AddKey("Name", PdfName("QVanto"));
        stamp.AddKey("F", PdfVariant(pdf_int64(4))); // printed with the page
        stamp.AddKey("P", page.Reference());
        stamp.AddKey("AP", appearance);
        // A signed stamp's first seal is the signature's widget: what the
        // reader shows of the signature is the stamp.
        const bool signs = signature && &placement == &placements.front();
        if (signs)
            MakeSignatureWidget(objects, stamp, *signature, number);
        PdfObject *annotation = made(objects, stamp);
        addAnnotation(objects, page, annotation->Reference());
        if (signs)
            AddFormField(document, annotation->Reference());
    }
    keepIdentifier(document);

    // The original bytes first, untouched; the update after them.
    PdfRefCountedBuffer buffer(size_t(original.size()) + 64 * 1024);
    PdfOutputDevice out(&buffer);
    out.Write(original.constData(), size_t(original.size()));
    if (!original.endsWith('\n') && !original.endsWith('\r'))
        out.Write("\n", 1);
    document.WriteUpdate(&out, false);
    QByteArray bytes(buffer.GetBuffer(), qsizetype(out.GetLength()));
    keepRevisionChain(bytes, original);
    if (signature)
        *hole = FillByteRange(bytes, original.size());
    return bytes;
}

// The one place the writer's failures become a message.
template<typename Write>
QByteArray trapped(Write write, QString *error)
{
    try {
        return write();
    } catch (const PdfError &e) {
        *error = QStringLiteral("PDF に押印を書き込めません (%1)。")
                     .arg(QString::fromLatin1(PdfError::ErrorName(e.GetError())));
    } catch (const std::exception &e) {
        *error = QStringLiteral("PDF に押印を書き込めません (%1)。").arg(QString::fromLocal8Bit(e.what()));
    }
    return {};
}

} // namespace

QByteArray AppendStamps(const QByteArray &original, const std::vector<StampPlacement> &placements,
    const PrintedFace &face, const QString &number, QString *error)
{
    return trapped([&] { return stamped(original, placements, face, number, nullptr, nullptr); }, error);
}

QByteArray AppendSignatureField(const QByteArray &original, const std::vector<StampPlacement> &placements,
    const PrintedFace &face, const QString &number, const SignatureRequest &request, SignatureHole *hole,
    QString *error)
{
    return trapped([&] { return stamped(original, placements, face, number, &request, hole); }, error);
}

} // namespace pdf
