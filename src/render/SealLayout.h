#pragma once

#include "StampFace.h"

#include <QRectF>
#include <QString>
#include <QStringList>
#include <vector>

namespace render {

// One character of a seal, placed: the middle of its cell, its size as the
// side of the square a character of the face fills (the em), and how far it
// is turned clockwise. All lengths in twips.
struct SealGlyph {
    QString text;
    double centreX, centreY;
    double emTwips;
    double angle;
    qint16 rowIndex; // whose font and style it takes
};

// A seal other than the dated stamp: its frame about the stamp's centre and
// its characters. The frame's outer edge lies where the dated stamp's circle
// lies, so every kind fills the same square in every output.
struct SealLayout {
    std::vector<double> ringRadii; // circles, at the middle of their pen
    double squareHalfSide = 0; // a square frame, at the middle of its pen; 0 none
    std::vector<SealGlyph> glyphs;
};

// Where the outer rim's pen runs: its outer edge stays one pixel beyond the
// stamp's radius, where the classic 2 px circle has it, however thick the pen.
double OuterPenRadius(const StampGeometry &g);

// The characters a seal sets, one per cell: whole graphemes (a character
// with its variation selector stays one), spaces left out.
QStringList SealCharacters(const QString &text);

// Cells of equal size filling `box`, read in columns top to bottom, the
// columns right to left, as vertical Japanese is read.
struct CellGrid {
    int columns, rows;
};
std::vector<QPointF> ColumnCells(int count, CellGrid grid, const QRectF &box);
// The columns and rows of square cells that let `count` characters, read in
// columns, be largest inside a circle; never wider than tall.
CellGrid GridInCircle(int count);

// Adds `text` upright in columns of square cells, as large as fit inside the
// circle of `radius` about the stamp's centre, in the face of `row`.
void SetInCircle(SealLayout &layout, const StampGeometry &g, const QString &text, double radius, qint16 row);

// 角印: rows 0 and 1 as one text in a square frame.
SealLayout SquareSealLayout(const StampGeometry &g, const QString &text);
// 認印: row 2 upright in columns filling a single circle.
SealLayout RoundSealLayout(const StampGeometry &g, const QString &name);
// 役職印: row 0 around the rim between two circles, row 1 upright inside.
SealLayout TitleSealLayout(const StampGeometry &g, const QString &rim, const QString &inside);

// The layout of the controls' kind, from their rows.
SealLayout LayoutSeal(const FaceControls &controls, const StampGeometry &g);
// Prints the layout's characters in their rows' faces and draws its frame.
void PaintSeal(FaceControls &controls, const StampGeometry &g, const SealLayout &layout);

} // namespace render
