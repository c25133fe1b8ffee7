#include "pdf/SignatureScan.h"

#include <podofo.h>

#include <algorithm>
#include <set>

namespace pdf {

using namespace PoDoFo;

namespace {

// Strings are either kind: written literally or in hex.
bool isString(const PdfObject *value)
{
    return value && (value->IsString() || value->IsHexString());
}

QString textOf(const PdfObject *value)
{
    return isString(value) ? QString::fromStdString(value->GetString().GetStringUtf8()) : QString();
}

QString nameOf(const PdfObject *value)
{
    return value && value->IsName() ? QString::fromStdString(value->GetName().GetName()) : QString();
}

bool isType(const PdfObject *object, const char *type)
{
    return object && object->IsDictionary()
        && nameOf(object->GetDictionary().GetKey(PdfName::KeyType)) == QLatin1String(type);
}

std::string written(const PdfObject &object)
{
    std::string text;
    object.ToString(text);
    if (object.HasStream()) {
        char *raw = nullptr;
        pdf_long length = 0;
        const_cast<PdfObject &>(object).GetStream()->GetCopy(&raw, &length);
        text.append(raw, size_t(length));
        podofo_free(raw);
    }
    return text;
}

// The keys whose values differ between two dictionaries.
std::set<std::string> changedKeys(const PdfDictionary &before, const PdfDictionary &after)
{
    std::set<std::string> keys;
    for (const PdfDictionary *one : {&before, &after})
        for (const auto &[key, unused] : one->GetKeys()) {
            const PdfObject *a = before.GetKey(key);
            const PdfObject *b = after.GetKey(key);
            if (!a || !b || written(*a) != written(*b))
                keys.insert(key.GetName());
        }
    return keys;
}

bool onlyKeys(const std::set<std::string> &changed, std::initializer_list<const char *> allowed)
{
    return std::all_of(changed.begin(), changed.end(), [&](const std::string &key) {
        return std::any_of(allowed.begin(), allowed.end(), [&](const char *a) { return key == a; });
    });
}

// A list that kept all it held and only gained annotations and fields.
bool onlyAnnotationsAdded(const PdfObject *before, const PdfObject *after, const PdfVecObjects &objects)
{
    if (!before || !after || !before->IsArray() || !after->IsArray())
        return !before && after && after->IsArray();
    std::multiset<std::string> kept;
    for (const PdfObject &item : before->GetArray())
        kept.insert(written(item));
    for (const PdfObject &item : after->GetArray()) {
        if (const auto found = kept.find(written(item)); found != kept.end()) {
            kept.erase(found);
            continue;
        }
        const PdfObject *added = item.IsReference() ? objects.GetObject(item.GetReference()) : nullptr;
        if (!added || !added->IsDictionary() || !added->GetDictionary().HasKey(PdfName::KeySubtype))
            return false;
    }
    return kept.empty();
}

// Whether one object's change between the signed revision and the file is
// one that adding annotations and signatures makes.
bool harmless(
    const PdfObject &before, const PdfObject &after, const PdfVecObjects &objects, const PdfReference &info)
{
    if (after.Reference() == info || isType(&after, "XRef") || isType(&after, "ObjStm"))
        return true;
    if (before.IsArray() && after.IsArray())
        return onlyAnnotationsAdded(&before, &after, objects);
    if (!before.IsDictionary() || !after.IsDictionary())
        return false;
    const PdfDictionary &a = before.GetDictionary();
    const PdfDictionary &b = after.GetDictionary();
    const std::set<std::string> changed = changedKeys(a, b);
    if (isType(&after, "Page"))
        return onlyKeys(changed, {"Annots"})
            && onlyAnnotationsAdded(a.GetKey("Annots"), b.GetKey("Annots"), objects);
    if (isType(&after, "Catalog"))
        return onlyKeys(changed, {"AcroForm", "DSS"});
    if (b.HasKey("Fields") || b.HasKey("SigFlags")) // the form
        return onlyKeys(changed, {"Fields", "SigFlags", "DR", "DA"})
            && onlyAnnotationsAdded(a.GetKey("Fields"), b.GetKey("Fields"), objects);
    return false;
}

QString changedAfter(const PdfMemDocument &signedRevision, const PdfMemDocument &whole)
{
    const PdfVecObjects &objects = whole.GetObjects();
    const PdfObject *trailerInfo = whole.GetTrailer()->GetDictionary().GetKey("Info");
    const PdfReference info
        = trailerInfo && trailerInfo->IsReference() ? trailerInfo->GetReference() : PdfReference();
    for (const PdfObject *after : objects) {
        const PdfObject *before = signedRevision.GetObjects().GetObject(after->Reference());
        if (!before || written(*before) == written(*after))
            continue; // new objects show only through a changed one
        if (!harmless(*before, *after, objects, info))
            return QStringLiteral("%1 0 obj").arg(after->Reference().ObjectNumber());
    }
    return {};
}

QString changedSince(const QByteArray &file, qint64 signedEnd, const PdfMemDocument &whole)
{
    try {
        PdfMemDocument signedRevision;
        signedRevision.LoadFromBuffer(file.constData(), long(signedEnd), true);
        return changedAfter(signedRevision, whole);
    } catch (const PdfError &) {
        // A range that ends inside a revision signs no document a reader saw.
        return QStringLiteral("署名の範囲が版の終わりで終わっていません");
    }
}

qint64 integerAt(const PdfArray &array, size_t i)
{
    return array[i].IsNumber() ? array[i].GetNumber() : -1;
}

FoundSignature readSignature(const QByteArray &file, const PdfObject &value)
{
    const PdfDictionary &d = value.GetDictionary();
    FoundSignature found;
    found.reason = textOf(d.GetKey("Reason"));
    found.name = textOf(d.GetKey("Name"));
    found.subFilter = nameOf(d.GetKey("SubFilter"));
    if (const PdfObject *contents = d.GetKey("Contents"); isString(contents))
        found.contents
            = QByteArray(contents->GetString().GetString(), qsizetype(contents->GetString().GetLength()));
    const PdfObject *range = d.GetKey("ByteRange");
    if (!range || !range->IsArray() || range->GetArray().size() != 4)
        return found;
    const PdfArray &r = range->GetArray();
    const qint64 a = integerAt(r, 0), b = integerAt(r, 1), c = integerAt(r, 2), e = integerAt(r, 3);
    // Two ranges from the start, around a hex string, within the file.
    found.rangeSound = a == 0 && b > 0 && c > b && e >= 0 && c + e <= file.size() && file.at(b) == '<'
        && file.at(c - 1) == '>';
    if (found.rangeSound) {
        found.signedBytes = file.left(b) + file.mid(c, e);
        found.signedEnd = c + e;
    }
    return found;
}

const PdfObject *resolved(const PdfObject *value, const PdfVecObjects &objects)
{
    return value && value->IsReference() ? objects.GetObject(value->GetReference()) : value;
}

std::vector<FoundSignature> scan(const QByteArray &file)
{
    PdfError::EnableLogging(false);
    PdfError::EnableDebug(false);
    PdfMemDocument whole;
    whole.LoadFromBuffer(file.constData(), long(file.size()), true);
    const PdfVecObjects &objects = whole.GetObjects();
    std::vector<FoundSignature> found;
    std::set<PdfReference> seen;
    std::map<qint64, QString> changes; // by the end of the revision signed
    for (int i = 0; i < whole.GetPageCount(); ++i) {
        // A damaged page tree can leave a page out.
        const PdfPage *listed = whole.GetPage(i);
        const PdfObject *page = listed ? listed->GetObject() : nullptr;
        if (!page || !page->IsDictionary())
            continue;
        const PdfObject *annots = resolved(page->GetDictionary().GetKey("Annots"), objects);
        if (!annots || !annots->IsArray())
            continue;
        for (const PdfObject &item : annots->GetArray()) {
            const PdfObject *widget = resolved(&item, objects);
            if (!widget || !widget->IsDictionary() || nameOf(widget->GetDictionary().GetKey("FT")) != u"Sig")
                continue;
            const PdfObject *valueRef = widget->GetDictionary().GetKey("V");
            const PdfObject *value = resolved(valueRef, objects);
            if (!value || !value->IsDictionary()
                || (valueRef->IsReference() && !seen.insert(valueRef->GetReference()).second))
                continue;
            FoundSignature signature = readSignature(file, *value);
            signature.page = i + 1;
            signature.number = textOf(widget->GetDictionary().GetKey("NM"));
            if (signature.rangeSound && signature.signedEnd < file.size()) {
                if (!changes.count(signature.signedEnd))
                    changes[signature.signedEnd] = changedSince(file, signature.signedEnd, whole);
                signature.changedAfter = changes[signature.signedEnd];
            }
            found.push_back(signature);
        }
    }
    return found;
}

} // namespace

std::vector<FoundSignature> FindSignatures(const QByteArray &file, QString *error)
{
    try {
        return scan(file);
    } catch (const PdfError &e) {
        *error = QStringLiteral("PDF の署名を読めません (%1)。")
                     .arg(QString::fromLatin1(PdfError::ErrorName(e.GetError())));
    } catch (const std::exception &e) {
        *error = QStringLiteral("PDF の署名を読めません (%1)。").arg(QString::fromLocal8Bit(e.what()));
    }
    return {};
}

} // namespace pdf
