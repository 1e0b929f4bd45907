// Puts the language pack over a window built with English captions. A window is
// translated once, at the end of its set-up; texts the program sets later pass
// through Translate where they are set.
#pragma once

class QComboBox;
class QMenu;
class QWidget;

namespace fk {

// The title and every caption below `window` (buttons, labels, group boxes, tabs,
// combo items). Controls that hold data (edit fields, lists, tables, progress bars,
// spin and date fields, address fields) are left alone; "..." captions are kept;
// a translation that comes out empty is never set. Widgets already translated are
// skipped, so a window opened again is not translated twice.
void TranslateWindow(QWidget* window);

// Every item of `menu` and its submenus; separators are skipped.
void TranslateMenu(QMenu* menu);

// Each item replaced by its translation; the selected item stays selected.
void TranslateComboItems(QComboBox* combo);

// Marks a widget as holding data, so the walkers leave it and its children alone
// (for example a composite address field).
void MarkAsDataControl(QWidget* widget);

// True once TranslateWindow has visited the widget.
bool IsTranslated(const QWidget* widget);

}  // namespace fk
