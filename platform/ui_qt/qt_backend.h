// The Qt Widgets backend of the dialog layer, for the programs that show windows.
// A program creates its QApplication, calls Install(), and from then on every
// dialog, message box and file dialog of the process is a real window. Only GUI
// programs link this library; the platform library and the modules never do.
#pragma once

#include <QRect>
#include <QSize>
#include <functional>

#include "ui/dialog.h"

class QDialog;
class QWidget;

namespace ui_qt {

// Makes Qt the process's dialog backend; needs a QApplication. Uninstall returns
// to the headless backend.
void Install();
void Uninstall();

// For tests and tools: the window of an open dialog and the widget of a control.
QDialog* DialogWidget(ui::Dialog* dialog);
QWidget* ControlWidget(ui::Dialog* dialog, int id);
QWidget* ControlWidgetAt(ui::Dialog* dialog, int index);  // by template position
// Pixels per 4 horizontal and per 8 vertical dialog units in the dialog's font, and
// a rectangle of dialog units in pixels.
QSize BaseUnits(ui::Dialog* dialog);
QRect DialogUnitsToPixels(ui::Dialog* dialog, int x, int y, int width, int height);

// Called each time a dialog's window has been shown and its loop runs (tests drive
// the window from here); nullptr removes it.
void SetShownHook(std::function<void(ui::Dialog*)> hook);

}  // namespace ui_qt
