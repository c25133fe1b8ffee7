#pragma once

#include "host/CheckBox.h"
#include "host/ComboBox.h"
#include "host/TextBox.h"
#include "render/RedrawStamp.h"
#include "render/StampFace.h"

#include "fakes/FakeSurface.h"

#include <QObject>
#include <memory>

// The controls a face is drawn from, wired as the window wires them: a
// change of any row redraws the face.
struct FaceFixture {
    std::array<std::unique_ptr<host::TextBox>, 5> rows;
    std::array<std::unique_ptr<host::TextBox>, 3> date;
    std::array<std::unique_ptr<host::ComboBox>, 4> fonts;
    host::CheckBox chkQVID;
    fakes::FakeSurface surface;
    qint32 ink = 255;
    render::StampGeometry geometry;
    render::FaceControls controls;
    int redraws = 0;

    FaceFixture()
    {
        for (size_t i = 0; i < rows.size(); ++i) {
            rows[i] = std::make_unique<host::TextBox>();
            controls.QVLabel[i] = rows[i].get();
        }
        for (size_t i = 0; i < date.size(); ++i) {
            date[i] = std::make_unique<host::TextBox>();
            controls.QVDate[i] = date[i].get();
        }
        for (size_t i = 0; i < fonts.size(); ++i) {
            fonts[i] = std::make_unique<host::ComboBox>();
            fonts[i]->SetText(QStringLiteral("Face%1").arg(i));
            controls.cmbFontName[i] = fonts[i].get();
        }
        controls.chkQVID = &chkQVID;
        controls.Picture1 = &surface;
        controls.InkColor = &ink;
        rows[0]->SetText(QStringLiteral("会 社 名"));
        rows[1]->SetText(QStringLiteral("部課係名"));
        rows[2]->SetText(QStringLiteral("氏    名"));
        rows[4]->SetText(QStringLiteral("QVANTOID"));
        setDate(QStringLiteral("2000"), QStringLiteral("1"), QStringLiteral("5"));
        rows[3]->SetText(QStringLiteral("2000.01.05"));
    }

    // Wires the rows as the window does: a change of any row redraws.
    void wireRows()
    {
        for (auto &row : rows)
            QObject::connect(row.get(), &host::TextBox::Change, [this] { redraw(); });
    }

    void setDate(const QString &y, const QString &m, const QString &d)
    {
        date[0]->SetText(y);
        date[1]->SetText(m);
        date[2]->SetText(d);
    }

    void redraw()
    {
        ++redraws;
        render::RedrawStamp(controls, geometry);
    }

    const fakes::FakeSurface::Printed *printedRow(const QString &text) const
    {
        for (const auto &p : surface.printed)
            if (p.text == text)
                return &p;
        return nullptr;
    }
};
