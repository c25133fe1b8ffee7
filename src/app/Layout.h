#pragma once

#include "host/CommandButton.h"

#include <array>

class QButtonGroup;
class QFrame;
class QPushButton;

namespace host {
class CheckBox;
class ComboBox;
class Form;
class Label;
class OptionButton;
class PictureBox;
class TextBox;
} // namespace host

namespace app {

// The window's controls, named as the rest of the program addresses them.
struct Controls {
    std::array<host::ComboBox *, 4> cmbFontName {};
    host::CheckBox *chkQVID = nullptr;
    QPushButton *cmdCopyRight = nullptr;
    host::CommandButton *cmdPetan = nullptr;
    std::array<host::TextBox *, 5> QVLabel {};
    std::array<host::TextBox *, 3> QVDate {};
    host::PictureBox *Picture1 = nullptr;
    QFrame *Frame1 = nullptr;
    std::array<host::OptionButton *, 9> chkColor {};
    QButtonGroup *chkColorGroup = nullptr;
    host::Label *lblTitle = nullptr;
    std::array<host::Label *, 4> Label {};
    // Beside each font field, shown while the row has characters its font lacks.
    std::array<host::Label *, 4> lblMissingGlyphs {};
};

// Builds every control on the form at its designed place, size, font and
// colour, stacked back to front and in the designed tab order.
Controls BuildLayout(host::Form &form);

} // namespace app
