# blank_pdf FILE: writes one blank A4 page to FILE, written by hand; qpdf
# adds the cross-reference table. Fails without qpdf or when it cannot write.
blank_pdf() {
    command -v qpdf >/dev/null || { echo "qpdf is not installed" >&2; return 1; }
    printf '%s\n' '%PDF-1.4' '1 0 obj << /Type /Catalog /Pages 2 0 R >> endobj' \
        '2 0 obj << /Type /Pages /Kids [3 0 R] /Count 1 >> endobj' \
        '3 0 obj << /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] >> endobj' \
        'trailer << /Root 1 0 R >>' '%%EOF' >"$1.raw"
    # qpdf's status 3 means it wrote the file with warnings.
    qpdf "$1.raw" "$1" 2>/dev/null || [ $? -eq 3 ] || return 1
    rm -f "$1.raw"
}
