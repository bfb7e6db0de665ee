#pragma once

#include <QColor>
#include <QRect>

class QWidget;

// The keyboard focus, seen at a glance: a ring two pixels wide in the palette's highlight colour,
// drawn over the edge of the control that has the focus once the control has painted itself, so a
// style sheet of the control's own does not hide it. A box or list is ringed as a whole (an editable
// combo box, not the edit inside it), a tab bar at its current tab, a check box round its box and
// caption.
namespace FocusRing {
// Follows the focus from now on, in every window of the program. Once is enough; again does nothing.
void install();
// The control ringed now (null when none is).
QWidget* ringed();
// Where the ring of `w` is drawn, in its coordinates.
QRect ringRect(const QWidget* w);
// The ring's colour on `w`: the highlight colour, darkened or lightened until it stands out from the
// window behind it.
QColor colour(const QWidget* w);
} // namespace FocusRing
