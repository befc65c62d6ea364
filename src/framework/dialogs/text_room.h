// Room for translated texts in a dialog made from a template (private to the framework).
#pragma once

class QWidget;

// In a language other than English, grows each label and button whose text needs more room
// than the template gives it, moves what lies below or to the right of it along, and grows
// the dialog's window (outer) by as much; English texts keep the template's layout. client
// holds the controls.
void MakeRoomForTexts(QWidget& outer, QWidget& client);
