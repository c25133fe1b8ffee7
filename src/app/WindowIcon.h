#pragma once

#include <QIcon>
#include <QImage>

// The program's icon: a red round date stamp on white, its circle divided by
// two lines into three bands with a character in each.
QImage WindowIconImage(int sizePx);
QIcon WindowIcon();
