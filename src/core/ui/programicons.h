#pragma once

#include <QIcon>

// The program's pictures, drawn as one set (resources/icons, built into the program).
QIcon programIcon();
// The toolbar picture of that number (0 to 23 and 26); an empty icon for any other number.
QIcon toolbarImage(int image);
// The arrows of the buttons that hide and show the bottom panel.
QIcon panelArrow(bool up);
// Any picture of the set by its file name without ".svg" ("markleaf", "prevmonth").
QIcon programImage(const char* name);
