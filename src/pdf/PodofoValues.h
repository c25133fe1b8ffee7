#pragma once

// Part of the PDF module only.
#include <podofo.h>

namespace pdf {

// PoDoFo writes into an update only the objects marked changed, and a value
// given when an object is made is not: every new or changed object gets its
// value by assignment.
inline void setValue(PoDoFo::PdfObject &object, const PoDoFo::PdfVariant &value)
{
    static_cast<PoDoFo::PdfVariant &>(object) = value;
}

inline PoDoFo::PdfObject *made(PoDoFo::PdfVecObjects &objects, const PoDoFo::PdfVariant &value)
{
    PoDoFo::PdfObject *object = objects.CreateObject(PoDoFo::PdfVariant());
    setValue(*object, value);
    return object;
}

} // namespace pdf
